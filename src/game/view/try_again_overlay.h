#pragma once

#include "game/view/overlay_screen.h"

namespace qs {

// After a lost puzzle, or a game lost past a checkpoint: play it again from there, or leave
// (a puzzle for its records, a game for the menu). Outside the puzzle it is a screen of its
// own, the zone hidden behind it.
class TryAgainOverlay final : public OverlayScreen {
public:
    explicit TryAgainOverlay(OverlayContext& context) : OverlayScreen(context) {}
    ScreenKind kind() const override { return kScreenTryAgain; }
    void enter() override;
    void leave() override;
    void release(int button) override;
    int enterButton() const override { return 1; }
    int escapeButton() const override { return 2; }
};

}  // namespace qs
