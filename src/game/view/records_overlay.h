#pragma once

#include "game/view/overlay_screen.h"
#include "ui/scores_screen.h"

namespace qs {

// The records after a game, its result entered in the table of its mode, on the menu's
// backdrop. Leaving goes back to a checkpoint the game may continue from, or to the menu.
class RecordsOverlay final : public OverlayScreen {
public:
    explicit RecordsOverlay(OverlayContext& context);
    ScreenKind kind() const override { return kScreenScores; }
    void enter() override;
    void leave() override;
    void hover(uint32_t now) override;
    void release(int button) override;
    int enterButton() const override { return 3; }
    std::vector<FocusTarget> focusTargets() const override;
    int escapeButton() const override { return 3; }

private:
    ScoresScreen scores_;
};

}  // namespace qs
