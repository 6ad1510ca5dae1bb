#pragma once

#include <array>

#include "menu/menu_screen.h"

namespace qs {

// Help: two pages paged with the arrows; page 1 plays a small demonstration of a shot that
// bursts a group.
class HelpScreen final : public MenuScreen {
public:
    using MenuScreen::MenuScreen;

    ScreenKind kind() const override { return kScreenHelp; }
    void prepare() override;
    void enter() override;
    void leave() override;
    void hover(uint32_t now) override;
    void release(int button) override;
    std::vector<FocusTarget> focusTargets() const override;
    // Left and Right turn the pages.
    bool key(const input::Key& key) override;
    int enterButton() const override { return 1; }
    int escapeButton() const override { return 1; }

private:
    void ShowHelpPage(bool opening);
    void runHelpDemo(uint32_t now);

    std::array<ObjectRef, 3> buttons_;  // OK, previous page, next page
    ObjectRef mover_;
};

}  // namespace qs
