#include "menu/exit_question_screen.h"

#include "core/scene_codes.h"
#include "scene/scene_object_list.h"
#include "scene/text_file.h"
#include "ui/scene_services.h"

namespace qs {

namespace {

constexpr const char* kTag = "exit_to_windows";

}  // namespace

void ExitQuestionScreen::enter() {
    ctx_.input.ScreenKind = kScreenExitQuestion;
    ctx_.sceneObjects->SetVisibleByTag("menu_buttons_mainmenu", false);
    buttons_ = menu_.openDialog("exit_to_windows.map", kTag, {"panel_yes", "panel_no"});
    ShowTextFile(*ctx_.sceneObjects, "text\\exit_to_windows.txt", kTag);
    menu_.startFade({kTag});
}

void ExitQuestionScreen::leave() { ctx_.sceneObjects->unload_by_tag(kTag); }

void ExitQuestionScreen::release(int button) {
    if (button == 1) {
        // The window closes through its own way out: the loop ends, the device and files go.
        ctx_.WriteLog("exit from menu");
        ctx_.frame.closeRequested = true;
    } else if (button == 2) {
        menu_.post(kCommandMainMenu);
    }
}

}  // namespace qs
