#pragma once

namespace qs {

// One of the two scenes the frame loop runs. The loop starts a scene, gives it set-up updates
// until it says it is ready, then one update per scene step, and unloads it when another is
// asked for (through `SceneServices::requestScene`). The loop alone keeps the flags that say
// how far the scene is.
class Scene {
public:
    virtual ~Scene() = default;
    virtual void start() = 0;
    // One update on the way in; true once the scene is set up and its step schedule may begin.
    virtual bool setUpUpdate() = 0;
    // One step on the step schedule.
    virtual void update() = 0;
    virtual void unload() = 0;
    // Still on its way in (an intro or a loading phase): the frame gives it two set-up
    // updates a frame and moves the sprites, before its steps begin.
    virtual bool preparing() const { return false; }
};

}  // namespace qs
