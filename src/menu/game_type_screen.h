#pragma once

#include <array>

#include "menu/menu_screen.h"

namespace qs {

// The choice of the game: arcade, challenge or puzzle, each with its comment while hovered,
// and back.
class GameTypeScreen final : public MenuScreen {
public:
    using MenuScreen::MenuScreen;

    ScreenKind kind() const override { return kScreenGameType; }
    void prepare() override;
    void enter() override;
    void leave() override;
    void hover(uint32_t now) override;
    void release(int button) override;
    std::vector<FocusTarget> focusTargets() const override;
    // The mode played last (arcade for a new player).
    int defaultFocus() const override;
    int escapeButton() const override { return 4; }

private:
    std::array<ObjectRef, 4> buttons_, movers_;
};

}  // namespace qs
