#include "menu/menu_scene.h"

#include "app/context.h"

namespace qs {

void MenuScene::StartSceneMenu() {
    ctx_.WriteLog("StartSceneMenu");
    ctx_.ReadOptions();
    ctx_.frame.sceneLive = true;
}

void MenuScene::UpdateSceneMenu() {
    FrameState& frame = ctx_.frame;
    if (frame.sceneChangeRequest != 0) return;
    if (frame.sceneSetupState == 0) {
        // Set-up: the intro, the loading phase and the screens are built here.
        frame.sceneSetupState = 1;
        return;
    }
    // One step of the menu's logic.
}

void MenuScene::UnloadSceneMenu() { ctx_.frame.sceneLive = false; }

void MenuScene::onStepsStarted() { menuTimerStart_ = ctx_.frame.frameTick; }

}  // namespace qs
