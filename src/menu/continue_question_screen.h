#pragma once

#include "menu/menu_screen.h"

namespace qs {

// Whether to go on where the mode's last game was left (or from its checkpoint after a loss);
// either answer starts the game.
class ContinueQuestionScreen final : public MenuDialog {
public:
    using MenuDialog::MenuDialog;

    ScreenKind kind() const override { return kScreenContinueQuestion; }
    void enter() override;
    void leave() override;
    void release(int button) override;
    int enterButton() const override { return 1; }
    int escapeButton() const override { return 2; }
};

}  // namespace qs
