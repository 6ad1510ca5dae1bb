#include "game/view/records_overlay.h"

#include "audio/audio.h"
#include "game/game_session.h"
#include "game/view/game_zone.h"
#include "game/view/hud_layout.h"
#include "profile/player_store.h"
#include "scene/scene_object_list.h"
#include "ui/scene_services.h"

namespace qs {

RecordsOverlay::RecordsOverlay(OverlayContext& context) : OverlayScreen(context), scores_(context.ctx) {}

void RecordsOverlay::enter() {
    // The level's objects go; the records stand on the menu's backdrop.
    const Gameplay& game = c_.session().game();
    SceneObjectList& objects = *c_.ctx.sceneObjects;
    c_.zone.setHidden(true);
    for (const char* tag : {"balls", "land", "crystal", "shot_ball"}) objects.SetVisibleByTag(tag, false);
    objects.unload_by_tag("hiscores");
    // The records carry their own title; the mode's title from the menu would cover it.
    objects.unload_by_tag("game_type_text");
    for (const char* backdrop :
         {"graphics\\elements_gamezone\\space_background.spr", "graphics\\elements_gamezone\\dark_panel.spr",
          "graphics\\elements_gamezone\\menu_panel.spr"}) {
        TMultiSprite& made = objects.create(backdrop);
        made.tag = "hiscores";
    }
    scores_.prepare();
    const PlayerRecord* player = c_.ctx.players ? c_.ctx.players->current() : nullptr;
    scores_.OpenScoresScreen(game.mode,
                             GameResult{player ? player->name : "Player", game.level, game.score.totalScore});
    c_.ctx.audio->RequestMusic(c_.ctx.audio->musicMenu, hud::kMusicFadeOutMs, hud::kMusicFadeInMs);
}

void RecordsOverlay::leave() { scores_.close(); }

std::vector<FocusTarget> RecordsOverlay::focusTargets() const { return scores_.focusTargets(); }

void RecordsOverlay::hover(uint32_t) { scores_.UpdateScoresButtons(c_.ctx.frame.frameTick); }

void RecordsOverlay::release(int button) {
    if (!scores_.release(button)) return;
    const GameSession& session = c_.session();
    scores_.close();
    // A game lost past a checkpoint offers to go back to it; anything else ends at the menu.
    if (!session.gameWon() && session.game().mode != kModePuzzle && session.saved().level > 4) {
        c_.queue(command::ShowTryAgain{});
        return;
    }
    c_.ctx.sceneObjects->unload_by_tag("hiscores");
    c_.queue(command::LeaveForMenu{});
}

}  // namespace qs
