#pragma once

#include <cstdint>
#include <variant>

namespace qs {

// A device's input as the window's handlers hand it to the scene up: what was pressed, not
// what it means there (a scene turns it into its own commands, the game into shots).
namespace input {

struct Press {  // a mouse button went down inside the picture: 1 left, 2 right, 3 middle
    int button = 1;
};
struct Key {  // a key went down that no button of the screen up stands for
    int code = 0;
    uint8_t mods = 0;  // ShiftBits
};
struct KeyUp {  // a key was let go
    int code = 0;
};

}  // namespace input

using InputCommand = std::variant<input::Press, input::Key, input::KeyUp>;

}  // namespace qs
