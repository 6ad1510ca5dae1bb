#pragma once

namespace qs {

// One of the two scenes the frame loop runs. The frame starts a scene, calls its update
// once for set-up and then once per scene step, and unloads it when another is asked for.
class Scene {
public:
    virtual ~Scene() = default;
    virtual void start() = 0;
    virtual void update() = 0;
    virtual void unload() = 0;
    // The step schedule has just begun (the frame moved the scene from set-up to running).
    virtual void onStepsStarted() {}
    // Still on its way in (an intro or a loading phase): the frame updates it twice a frame
    // and moves the sprites, before its steps begin.
    virtual bool preparing() const { return false; }
};

}  // namespace qs
