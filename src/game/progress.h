#pragma once

#include <array>
#include <cstdint>

#include "game/game_mode.h"

namespace qs {

// A player's progress in one mode: where the next game starts or continues.
struct SavedProgress {
    int level = 1;                 // the level the next game of the mode plays
    int64_t score = 0;             // the score carried into it
    int64_t checkpointScore = 0;   // the score on reaching the last level that is a multiple of 5
    int continueFlag = -1;         // 1 continue, 0 lost past level 4, -1 nothing to continue
};

// Where the game reads and saves the current player's progress. Saving may fail (the file
// cannot be written): the game goes on, and the store says so in the log.
class ProgressStore {
public:
    virtual ~ProgressStore() = default;
    virtual SavedProgress load(GameMode mode) = 0;
    virtual bool save(GameMode mode, const SavedProgress& progress) = 0;
};

// Progress kept in memory only: the shot simulator, the tests and games without a player.
class MemoryProgressStore final : public ProgressStore {
public:
    SavedProgress load(GameMode mode) override { return modes_[index(mode)]; }
    bool save(GameMode mode, const SavedProgress& progress) override {
        modes_[index(mode)] = progress;
        ++saves_;
        return true;
    }
    int saves() const { return saves_; }

private:
    static int index(GameMode mode) { return mode >= kModeArcade && mode <= kModePuzzle ? mode - 1 : 0; }
    std::array<SavedProgress, 3> modes_{};
    int saves_ = 0;
};

}  // namespace qs
