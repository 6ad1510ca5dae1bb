#include "game/view/game_scene.h"

#include "app/context.h"
#include "scene/particles.h"

namespace qs {

void GameScene::StartSceneMain() {
    ctx_.WriteLog("StartSceneMain");
    ctx_.ReadOptions();
    ctx_.frame.sceneSetupState = 0;
    ctx_.frame.sceneLive = true;
}

void GameScene::UpdateSceneMain() {
    FrameState& frame = ctx_.frame;
    if (frame.sceneChangeRequest != 0) return;
    ctx_.handlers.ReadMousePosition(true);
    if (frame.sceneSetupState == 0) {
        // Set-up: the game zone and the first level are built here.
        frame.sceneSetupState = 1;
        return;
    }
    ctx_.particles->UpdateAll();
    // One step of the game's logic.
}

void GameScene::UnloadSceneMain() { ctx_.frame.sceneLive = false; }

}  // namespace qs
