#pragma once

#include <array>

#include "menu/menu_screen.h"

namespace qs {

// The main menu: start, options, records, help and leave, and the player's line under the
// title that opens the player list. Escape asks whether to leave.
class MainMenuScreen final : public MenuScreen {
public:
    using MenuScreen::MenuScreen;

    ScreenKind kind() const override { return kScreenMainMenu; }
    void prepare() override;
    void enter() override;
    void leave() override;
    void hover(uint32_t now) override;
    void release(int button) override;
    std::vector<FocusTarget> focusTargets() const override;
    int defaultFocus() const override { return 1; }
    int escapeButton() const override { return 5; }

private:
    void ShowWelcomeText();
    void checkPlayers();

    std::array<ObjectRef, 5> buttons_, movers_;
};

}  // namespace qs
