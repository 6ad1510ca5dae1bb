#include "game/replay_source.h"

namespace qs {

ReplaySource::ReplaySource(const Replay& replay)
    : replay_(replay), steps_(replay.stepCount()), clock_(replay.header.beginClock) {}

uint32_t ReplaySource::next(std::vector<GameCommand>* commands) {
    commands->clear();
    if (done()) return clock_;
    while (run_ < replay_.clock.size() && usedOfRun_ >= replay_.clock[run_].count) {
        ++run_;
        usedOfRun_ = 0;
    }
    if (run_ < replay_.clock.size()) {
        clock_ += replay_.clock[run_].delta;
        ++usedOfRun_;
    }
    while (command_ < replay_.commands.size() && replay_.commands[command_].step == step_)
        commands->push_back(replay_.commands[command_++].command);
    ++step_;
    return clock_;
}

}  // namespace qs
