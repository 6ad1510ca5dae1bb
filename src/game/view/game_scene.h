#pragma once

#include "app/scene.h"

namespace qs {

class Context;

// The game scene: one game of arcade, challenge or puzzle from level start to game over.
class GameScene final : public Scene {
public:
    explicit GameScene(Context& context) : ctx_(context) {}

    void StartSceneMain();
    void UpdateSceneMain();
    void UnloadSceneMain();

    void start() override { StartSceneMain(); }
    void update() override { UpdateSceneMain(); }
    void unload() override { UnloadSceneMain(); }

private:
    Context& ctx_;
};

}  // namespace qs
