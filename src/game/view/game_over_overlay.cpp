#include "game/view/game_over_overlay.h"

#include <string>

#include "game/game_session.h"
#include "scene/scene_object_list.h"
#include "scene/text_file.h"
#include "ui/dialog_fade.h"
#include "ui/scene_services.h"

namespace qs {

void GameOverOverlay::enter() {
    SceneObjectList& objects = *c_.ctx.sceneObjects;
    objects.SetVisibleByTag("game_over", true);
    findButtons("game_over", {"panel_ok"});
    objects.unload_by_tag("game_over_text");
    // Lost past a checkpoint: the player learns the game goes on from there.
    const GameSession& session = c_.session();
    const int checkpoint = session.saved().level;
    if (session.game().mode != kModePuzzle && checkpoint > 4)
        ShowTextFile(objects, "text\\game_over_checkpoint.txt", "game_over_text", std::to_string(checkpoint));
    else
        ShowTextFile(objects, "text\\game_over.txt", "game_over_text");
    c_.ctx.dialogFade->start({"game_over", "game_over_text"});
}

void GameOverOverlay::leave() {
    SceneObjectList& objects = *c_.ctx.sceneObjects;
    objects.SetVisibleByTag("game_over", false);
    objects.unload_by_tag("game_over_text");
    buttons_.clear();
}

void GameOverOverlay::release(int button) {
    if (button != 1) return;
    leave();
    c_.queue(command::ShowRecords{});
}

}  // namespace qs
