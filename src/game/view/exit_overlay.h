#pragma once

#include "game/view/overlay_screen.h"

namespace qs {

// "Leave for the menu?" over the game: yes leaves, no goes back where the player was.
class ExitOverlay final : public OverlayScreen {
public:
    explicit ExitOverlay(OverlayContext& context) : OverlayScreen(context) {}
    ScreenKind kind() const override { return kScreenExitToMenu; }
    void enter() override;
    void leave() override;
    void release(int button) override;
    int enterButton() const override { return 1; }
    int escapeButton() const override { return 2; }
};

}  // namespace qs
