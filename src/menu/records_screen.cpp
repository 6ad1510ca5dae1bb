#include "menu/records_screen.h"

#include "core/scene_codes.h"
#include "game/game_mode.h"
#include "ui/scene_services.h"
#include "ui/scores_screen.h"

namespace qs {

void RecordsScreen::enter() { scores_.OpenScoresScreen(kModeArcade); }

void RecordsScreen::leave() { scores_.close(); }

std::vector<FocusTarget> RecordsScreen::focusTargets() const { return scores_.focusTargets(); }

void RecordsScreen::hover(uint32_t now) { scores_.UpdateScoresButtons(now); }

void RecordsScreen::release(int button) {
    if (scores_.release(button)) menu_.post(kCommandMainMenu);
}

}  // namespace qs
