#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/scene_codes.h"
#include "render/key_codes.h"
#include "ui/focus.h"
#include "ui/input_command.h"

namespace qs {

// One screen or dialog of a scene: the main menu, the options, a question, the game's
// statistics... It builds its objects when entered and frees them when left, gives the
// hovered button its feedback at each step, and answers a released button. Enter and Escape
// stand for one of its buttons (0: the key reaches the screen as a plain key).
class Screen {
public:
    virtual ~Screen() = default;

    virtual ScreenKind kind() const = 0;
    virtual void enter() = 0;
    virtual void leave() = 0;
    virtual void hover(uint32_t /*now*/) {}
    virtual void release(int button) = 0;
    // A key that none of its buttons stands for, typed while it was up; false when the screen
    // has no use for it (the arrows then move the focus).
    virtual bool key(const input::Key& /*key*/) { return false; }
    // The buttons the keys move between, in their natural order, each with a point on it; and
    // the one the focus starts on (0: the first).
    virtual std::vector<FocusTarget> focusTargets() const { return {}; }
    virtual int defaultFocus() const { return enterButton(); }
    virtual int enterButton() const { return 0; }
    virtual int escapeButton() const { return 0; }
};

// The screens of a scene, one per kind, found by the kind that is up.
class ScreenTable {
public:
    // Takes the screen in under its kind; a second screen of the same kind replaces the first.
    Screen& add(std::unique_ptr<Screen> screen) {
        Screen& added = *screen;
        screens_[static_cast<size_t>(screen->kind())] = std::move(screen);
        return added;
    }
    // The screen of a kind, or null for a kind the scene does not have (and for "none").
    Screen* find(int kind) const {
        if (kind <= kScreenNone || kind >= kScreenKindCount) return nullptr;
        return screens_[static_cast<size_t>(kind)].get();
    }

private:
    std::array<std::unique_ptr<Screen>, kScreenKindCount> screens_;
};

// The button a key stands for on a screen: Enter the focused button (or the screen's own Enter
// button), Escape its Escape button; 0 when the key is not one of them or the screen has no
// button for it.
inline int keyButtonOf(const Screen* screen, int virtualKey, int focused = 0) {
    if (!screen) return 0;
    if (virtualKey == kVkReturn) return focused != 0 ? focused : screen->enterButton();
    if (virtualKey == kVkEscape) return screen->escapeButton();
    return 0;
}

}  // namespace qs
