#pragma once

#include "menu/menu_screen.h"

namespace qs {

// The mode's short introduction before its first game, with a box that switches it off; OK starts the game.
class GameMessageScreen final : public MenuDialog {
public:
    using MenuDialog::MenuDialog;

    ScreenKind kind() const override { return kScreenGameMessage; }
    void enter() override;
    void leave() override;
    void hover(uint32_t now) override;
    void release(int button) override;
    int enterButton() const override { return 2; }
    int escapeButton() const override { return 2; }
};

}  // namespace qs
