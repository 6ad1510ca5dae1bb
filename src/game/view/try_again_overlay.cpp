#include "game/view/try_again_overlay.h"

#include <string>
#include <vector>

#include "audio/audio.h"
#include "game/game_session.h"
#include "game/view/game_zone.h"
#include "game/view/hud_layout.h"
#include "scene/location_map.h"
#include "scene/scene_object_list.h"
#include "scene/text_file.h"
#include "ui/dialog_fade.h"
#include "ui/scene_services.h"

namespace qs {

void TryAgainOverlay::enter() {
    SceneObjectList& objects = *c_.ctx.sceneObjects;
    const Gameplay& game = c_.session().game();
    c_.ctx.audio->RequestMusic(c_.ctx.audio->musicMenu, hud::kMusicFadeOutMs, hud::kMusicFadeInMs);
    objects.unload_by_tag("hiscores");
    objects.SetVisibleByTag("game_over", false);
    objects.unload_by_tag("game_over_text");
    std::vector<std::string> tags;
    if (game.mode == kModePuzzle) {
        load_location_map(objects, "try_again_puzzle.map");
        ShowTextFile(objects, "text\\try_again_puzzle.txt", "try_again_puzzle");
        findButtons("try_again_puzzle", {"panel_ok", "panel_menu"});
        tags = {"try_again_puzzle"};
    } else {
        // A screen of its own: the zone goes behind it.
        c_.zone.setHidden(true);
        for (const char* backdrop :
             {"graphics\\elements_gamezone\\space_background.spr", "graphics\\elements_gamezone\\dark_panel.spr",
              "graphics\\elements_gamezone\\menu_panel.spr"}) {
            TMultiSprite& made = objects.create(backdrop);
            made.tag = "try_again";
        }
        load_location_map(objects, "try_again.map");
        ShowTextFile(objects, "text\\try_again.txt", "try_again");
        findButtons("try_again", {"panel_ok", "panel_menu"});
        tags = {"try_again"};
    }
    ShowTextFile(objects, modeTitleText(game.mode), "game_type_text");
    tags.push_back("game_type_text");
    c_.ctx.dialogFade->start(tags);
}

void TryAgainOverlay::leave() {
    SceneObjectList& objects = *c_.ctx.sceneObjects;
    objects.unload_by_tag("try_again");
    objects.unload_by_tag("try_again_puzzle");
    objects.unload_by_tag("game_type_text");
    c_.zone.setHidden(false);
    buttons_.clear();
}

void TryAgainOverlay::release(int button) {
    InputState& in = c_.ctx.input;
    if (button == 1 || button == 2) {
        leave();
        in.ScreenKind = kScreenNone;
        if (button == 1)
            c_.queue(command::TryAgain{});
        else if (c_.session().game().mode == kModePuzzle)
            c_.queue(command::ShowRecords{});
        else
            c_.queue(command::LeaveForMenu{});
    }
    in.pressedButton = -1;
}

}  // namespace qs
