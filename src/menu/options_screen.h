#pragma once

#include <array>

#include "menu/menu_screen.h"

namespace qs {

// The options: music and sound volumes (arrows, or a drag along a bar), window or full screen,
// the game messages on or off, and back. Every change is stored at once.
class OptionsScreen final : public MenuScreen {
public:
    using MenuScreen::MenuScreen;

    ScreenKind kind() const override { return kScreenOptions; }
    void prepare() override;
    void enter() override;
    void leave() override;
    void hover(uint32_t now) override;
    void release(int button) override;
    int escapeButton() const override { return 5; }
    void command(int command) override;
    std::vector<FocusTarget> focusTargets() const override;
    // Left and Right move the focused volume bar.
    bool key(const input::Key& key) override;
    void step() override;

private:
    void stepVolume(bool music);
    void toggleMessages();
    void redrawVolumeBars();
    void applyFullscreenRequest();

    std::array<ObjectRef, 5> buttons_, movers_;
};

}  // namespace qs
