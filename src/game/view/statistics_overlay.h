#pragma once

#include "game/view/overlay_screen.h"

namespace qs {

// A level's statistics: its figures, the best shot and combo, or the bonus it brought, with
// OK (on to the next level, or the records after the last) and the menu.
class StatisticsOverlay final : public OverlayScreen {
public:
    explicit StatisticsOverlay(OverlayContext& context) : OverlayScreen(context) {}
    ScreenKind kind() const override { return kScreenStatistics; }
    void enter() override;
    void leave() override;
    void release(int button) override;
    int enterButton() const override { return 1; }
    int escapeButton() const override { return 2; }
};

}  // namespace qs
