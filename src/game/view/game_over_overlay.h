#pragma once

#include "game/view/overlay_screen.h"

namespace qs {

// "Game over", with its OK: on to the records of the mode.
class GameOverOverlay final : public OverlayScreen {
public:
    explicit GameOverOverlay(OverlayContext& context) : OverlayScreen(context) {}
    ScreenKind kind() const override { return kScreenGameOver; }
    void enter() override;
    void leave() override;
    void release(int button) override;
    int enterButton() const override { return 1; }
    int escapeButton() const override { return 1; }
};

}  // namespace qs
