#include "menu/menu_scene.h"

#include "app/context.h"
#include "scene/scene_object_list.h"
#include "scene/particles.h"
#include "audio/audio.h"
#include "visual/prototype_library.h"

namespace qs {

void MenuScene::StartSceneMenu() {
    ctx_.WriteLog("StartSceneMenu");
    ctx_.ReadOptions();
    ctx_.frame.sceneLive = true;
    // The loading screen stays as the menu's background (a game hides it).
    ctx_.sceneObjects->SetVisibleByTag("loading", true);
}

void MenuScene::UpdateSceneMenu() {
    FrameState& frame = ctx_.frame;
    if (frame.sceneChangeRequest != 0) return;
    ctx_.handlers.ReadMousePosition(true);
    if (frame.sceneSetupState == kSetupPending) {
        // The loading phase: one resource entry per call, two calls a frame.
        if (frame.loadIndex < static_cast<int>(frame.LoadList.size())) {
            ctx_.prototypes->LoadResourceEntry(frame.LoadList[frame.loadIndex]);
            ++frame.loadIndex;
            if (frame.loadIndex == static_cast<int>(frame.LoadList.size()))
                ctx_.audio->RequestMusic(ctx_.audio->musicMenu, 0, 250);
            return;
        }
        // The intro and the screens are built here.
        frame.sceneSetupState = kSetupDone;
        return;
    }
    ctx_.particles->UpdateAll();
    // One step of the menu's logic.
}

void MenuScene::UnloadSceneMenu() { ctx_.frame.sceneLive = false; }

void MenuScene::onStepsStarted() { menuTimerStart_ = ctx_.frame.frameTick; }

}  // namespace qs
