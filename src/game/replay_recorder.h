#pragma once

#include <cstdint>
#include <vector>

#include "game/replay.h"

namespace qs {

class FileSystem;
class GameSession;
struct GameOptions;

// FNV-1a of everything in a session that plays on: the step, state, level, scores, the
// grid's cells and scroll, the queue, the aim, the ball in flight, the timers. Two sessions
// with the same hash after the same step play on the same way (to the hash's odds).
uint64_t sessionStateHash(const GameSession& session);

// The options that change how a game plays, with their values.
std::vector<ReplayOption> playOptions(const GameOptions& options);
// Sets the options a replay names; false when one is none of playOptions' keys.
bool applyPlayOptions(GameOptions& options, const std::vector<ReplayOption>& values);

// The fingerprint of the content a game of `mode` plays with: its level files (level 1 up to
// the first missing one), the combo table and the play options.
uint64_t contentFingerprint(const FileSystem& files, GameMode mode, const std::vector<ReplayOption>& options);

// Builds a game's replay as it is played: begun once the session's game has begun, told
// of every step after the session ran it.
class ReplayRecorder {
public:
    // `header` without the begin clock and start, which come from the session.
    void begin(ReplayHeader header, const GameSession& session);
    // Takes a step: its clock and commands, and the state hash when one is due.
    void recordStep(uint32_t now, const std::vector<GameCommand>& commands, const GameSession& session);
    // Sets the result from the session after its last recorded step (its hash is worked out
    // here, not at every step: a step's recording costs next to nothing).
    void finish(const GameSession& session);
    bool active() const { return active_; }
    // The replay so far; its result is the one of the last `finish`.
    const Replay& replay() const { return replay_; }

private:
    Replay replay_;
    bool active_ = false;
    uint32_t lastClock_ = 0;
    int pointerX_ = -1000;
    int pointerY_ = 0;
};

}  // namespace qs
