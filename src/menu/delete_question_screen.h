#pragma once

#include "menu/menu_screen.h"

namespace qs {

// "Delete this player?" over the player list: yes removes the highlighted player.
class DeleteQuestionScreen final : public MenuDialog {
public:
    using MenuDialog::MenuDialog;

    ScreenKind kind() const override { return kScreenDeleteQuestion; }
    void enter() override;
    void leave() override;
    void release(int button) override;
    int enterButton() const override { return 1; }
    int escapeButton() const override { return 2; }
};

}  // namespace qs
