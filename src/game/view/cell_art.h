#pragma once

#include <cstdint>
#include <string>

namespace qs {

// What shows a cell or a ball of a kind: the prototype and the scene tag of its object.
struct CellArt {
    std::string prototype;
    const char* tag = "balls";
};

// Colours 1..9: "graphics\balls\ballN\ballN.spr"; bombs, multiball, land and crystal their
// own prototypes. An unknown kind gets no prototype.
CellArt cellArt(int kind);

// The colour value of ball colour 1..7 (trails, bomb tints, painted rockets); white, which
// leaves a sprite untinted, for anything else.
uint32_t ballColourValue(int colour);

}  // namespace qs
