#pragma once

#include "menu/menu_screen.h"

namespace qs {

// Whether to leave the game: yes closes the window, no goes back to the main menu.
class ExitQuestionScreen final : public MenuDialog {
public:
    using MenuDialog::MenuDialog;

    ScreenKind kind() const override { return kScreenExitQuestion; }
    void enter() override;
    void leave() override;
    void release(int button) override;
    int enterButton() const override { return 1; }
    int escapeButton() const override { return 2; }
};

}  // namespace qs
