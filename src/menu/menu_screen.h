#pragma once

#include <cstdint>
#include <vector>

#include "menu/menu_context.h"
#include "ui/screen.h"

namespace qs {

// A screen of the menu. Its panel is loaded with the menu's other maps when the scene is set
// up; entering shows it and writes its texts, leaving frees what entering made (the scene
// leaves every screen when it unloads). Between screens nothing is left: the screen coming up
// covers the one before by itself (hiding its panel, freeing its texts), so a dialog can
// stand over the screen it was opened from.
class MenuScreen : public Screen {
public:
    explicit MenuScreen(MenuContext& menu) : menu_(menu), ctx_(menu.services), state_(menu.state) {}

    // The menu's maps are loaded: the screen finds its buttons.
    virtual void prepare() {}
    // A command of the step that is the screen's own (an options arrow).
    virtual void command(int /*command*/) {}
    // The step's command is carried out: what the screen redraws after it.
    virtual void step() {}

protected:
    MenuContext& menu_;
    SceneServices& ctx_;
    MenuState& state_;
};

}  // namespace qs

namespace qs {

// A question or message over the screen it was opened from: its own map, loaded afresh each
// time, with buttons found by name and lit by their pixels.
class MenuDialog : public MenuScreen {
public:
    using MenuScreen::MenuScreen;

    void hover(uint32_t /*now*/) override { menu_.hoverObjectButtons(buttons_, true, false); }
    std::vector<FocusTarget> focusTargets() const override { return menu_.targetsOf(buttons_); }

protected:
    std::vector<ObjectRef> buttons_;
};

}  // namespace qs
