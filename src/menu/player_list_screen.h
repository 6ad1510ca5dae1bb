#pragma once

#include <vector>

#include "menu/menu_screen.h"

namespace qs {

// The players: seven rows that scroll, the highlighted one chosen with OK (or clicked again),
// and the ways to delete, rename and create a player. Up and Down move the highlight.
class PlayerListScreen final : public MenuScreen {
public:
    using MenuScreen::MenuScreen;

    ScreenKind kind() const override { return kScreenPlayerList; }
    void enter() override;
    void leave() override;
    void hover(uint32_t now) override;
    void release(int button) override;
    int enterButton() const override { return 5; }
    int escapeButton() const override { return 6; }
    bool key(const input::Key& key) override;
    std::vector<FocusTarget> focusTargets() const override;

private:
    void DrawPlayerList();

    std::vector<ObjectRef> buttons_;
    ObjectRef marker_, scrollerBar_;
};

}  // namespace qs
