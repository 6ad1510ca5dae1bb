#pragma once

#include "menu/menu_screen.h"

namespace qs {

class ScoresScreen;

// The records as the menu shows them: the records screen the game shares, opened on the arcade
// table; its third button goes back to the main menu.
class RecordsScreen final : public MenuScreen {
public:
    RecordsScreen(MenuContext& menu, ScoresScreen& scores) : MenuScreen(menu), scores_(scores) {}

    ScreenKind kind() const override { return kScreenScores; }
    void enter() override;
    void leave() override;
    void hover(uint32_t now) override;
    void release(int button) override;
    int enterButton() const override { return 3; }
    std::vector<FocusTarget> focusTargets() const override;
    int escapeButton() const override { return 3; }

private:
    ScoresScreen& scores_;
};

}  // namespace qs
