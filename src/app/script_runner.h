#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "app/script.h"

namespace qs {

class Context;
class FieldView;
class HeadlessPlatform;
class ShotSimulator;
class TMainForm;

// Plays a script into a run: its input goes to the window's handlers before the frame it is
// due in, its screenshots and state dumps are taken after that frame's picture. A script may
// also put content on the screen without a scene (maps, texts, particles, buttons) and open
// a playfield to fire shots at.
class ScriptRunner {
public:
    ScriptRunner(Script script, TMainForm& form, Context& ctx, HeadlessPlatform* headless);
    ~ScriptRunner();
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    // Input due by `now`, handed to the window's handlers before the frame.
    void deliverInput(uint32_t now);
    // Output commands due by `now`, after the frame's picture. False when the run is over.
    bool runOutput(uint32_t now);
    // A screenshot or state dump that could not be written fails the run.
    bool outputFailed() const { return outputFailed_; }

private:
    void apply(const ScriptCommand& command);
    // A playfield shown without the game scene: a level's balls, and shots fired at points.
    void openField(const ScriptCommand& command);
    void shoot(const ScriptCommand& command);
    // One field step per scene step, as the game scene will do.
    void stepField();
    // Script buttons get the usual feedback: frame 1 when hovered, frame 2 while pressed.
    void hoverButtons();

    Script script_;
    TMainForm& form_;
    Context& ctx_;
    HeadlessPlatform* headless_;
    std::vector<std::pair<int, int>> buttons_;  // button number, object slot
    std::unique_ptr<ShotSimulator> field_;
    std::unique_ptr<FieldView> view_;
    uint64_t fieldSteps_ = 0;
    size_t nextInput_ = 0;
    size_t nextOutput_ = 0;
    bool outputFailed_ = false;
};

}  // namespace qs
