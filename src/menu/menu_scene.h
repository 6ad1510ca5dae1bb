#pragma once

#include <cstdint>

#include "app/scene.h"

namespace qs {

class Context;

// The menu scene: intro, loading phase and the menu screens.
class MenuScene final : public Scene {
public:
    explicit MenuScene(Context& context) : ctx_(context) {}

    void StartSceneMenu();
    void UpdateSceneMenu();
    void UnloadSceneMenu();

    void start() override { StartSceneMenu(); }
    void update() override { UpdateSceneMenu(); }
    void unload() override { UnloadSceneMenu(); }
    void onStepsStarted() override;

    uint32_t menuTimerStart() const { return menuTimerStart_; }

private:
    Context& ctx_;
    uint32_t menuTimerStart_ = 0;
};

}  // namespace qs
