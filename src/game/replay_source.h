#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "game/replay.h"

namespace qs {

// Hands a session the steps of a replay one at a time: the game clock the step saw and the
// commands it was handed. A headless check runs it flat out; a window's playback takes a
// step whenever its own pace says so.
class ReplaySource {
public:
    explicit ReplaySource(const Replay& replay);
    bool done() const { return step_ >= steps_; }
    // The step the next call hands out (0 the first).
    uint64_t step() const { return step_; }
    uint64_t steps() const { return steps_; }
    // The next step: its commands into *commands, its game clock returned.
    uint32_t next(std::vector<GameCommand>* commands);

private:
    const Replay& replay_;
    uint64_t steps_ = 0;
    uint64_t step_ = 0;
    size_t run_ = 0;
    uint32_t usedOfRun_ = 0;
    size_t command_ = 0;
    uint32_t clock_ = 0;
};

}  // namespace qs
