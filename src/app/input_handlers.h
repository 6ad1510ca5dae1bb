#pragma once

#include <cstdint>
#include <functional>

namespace qs {

class Context;

// The window's key and mouse handlers. They only record input (pointer, hovered and pressed
// button, one pending scene command) or hand a button release to the menus at once.
class InputHandlers {
public:
    explicit InputHandlers(Context& ctx) : ctx_(ctx) {}

    // Reads the pointer; outside the 800 x 600 picture (when clipping) x becomes -1000.
    void ReadMousePosition(bool clip);
    void FormKeyDown(int key, uint8_t shift);
    void FormKeyUp(int key);
    void FormMouseDown(int button);
    void FormMouseMove();
    void FormMouseUp(int button);
    // Called once a frame after the scene: notes when a new screen or dialog came up, so
    // that a click meant for what was there before does not land on it.
    void watchScreen(uint32_t now);

    // A dialog or screen ignores presses this long after it came up.
    static constexpr uint32_t kClickGuardMs = 300;
    bool guarded() const;

private:
    bool insidePicture() const;
    int shownKind_ = -1;
    uint32_t shownAt_ = 0;
    bool staleDown_ = false;  // the button held down went down before this screen came up
    void hideSystemPointer();
    // A mouse move or press after keys had the pointer: it follows the mouse again.
    void mouseTakesOver();
    Context& ctx_;
};

}  // namespace qs
