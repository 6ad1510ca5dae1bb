#pragma once

#include "menu/menu_screen.h"

namespace qs {

// A word about the name typed (taken, or none given) over the name entry; OK goes back to it
// with the name kept.
class NameMessageScreen final : public MenuDialog {
public:
    using MenuDialog::MenuDialog;

    ScreenKind kind() const override { return kScreenNameMessage; }
    void enter() override;
    void leave() override;
    void release(int button) override;
    int enterButton() const override { return 1; }
    int escapeButton() const override { return 1; }
};

}  // namespace qs
