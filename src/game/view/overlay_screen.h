#pragma once

#include <functional>
#include <string>
#include <vector>

#include "game/game_command.h"
#include "ui/screen.h"

namespace qs {

class GameSession;
class GameZone;
class SceneServices;

// What the game's overlays share with the scene: the run's services, the session they show,
// the zone some of them cover, and the queue their buttons answer into.
struct OverlayContext {
    SceneServices& ctx;
    GameZone& zone;
    std::function<const GameSession&()> session;
    std::function<void(GameCommand)> queue;
};

// A dialog or screen over the game's field. Its buttons are found by name under its tag and
// numbered from 1 in the order given; the one under the pointer shows frame 1 (2 while
// pressed).
class OverlayScreen : public Screen {
public:
    void hover(uint32_t now) override;
    std::vector<FocusTarget> focusTargets() const override;

protected:
    explicit OverlayScreen(OverlayContext& context) : c_(context) {}
    void findButtons(const std::string& tag, const std::vector<std::string>& names);
    int buttonSlot(int number) const;

    OverlayContext& c_;
    std::vector<int> buttons_;
};

// The mode's title text for the try-again screen.
const char* modeTitleText(int mode);

}  // namespace qs
