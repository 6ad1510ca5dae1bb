#include "game/view/exit_overlay.h"

#include "scene/scene_object_list.h"
#include "ui/dialog_fade.h"
#include "ui/scene_services.h"

namespace qs {

void ExitOverlay::enter() {
    c_.ctx.sceneObjects->SetVisibleByTag("exit_to_menu", true);
    findButtons("exit_to_menu", {"panel_yes", "panel_no"});
    c_.ctx.dialogFade->start({"exit_to_menu"});
}

void ExitOverlay::leave() {
    c_.ctx.sceneObjects->SetVisibleByTag("exit_to_menu", false);
    buttons_.clear();
}

void ExitOverlay::release(int button) {
    if (button == 1) {
        c_.ctx.input.ScreenKind = kScreenMainMenu;
        c_.queue(command::LeaveForMenu{});
    } else if (button == 2) {
        c_.queue(command::CloseExitDialog{});
    }
}

}  // namespace qs
