#pragma once

#include "game/progress.h"

namespace qs {

class PlayerStore;

// The current player's progress in "players.txt": the saved level, the score carried into
// it, the checkpoint score and the continue flag of each mode.
class PlayerProgress final : public ProgressStore {
public:
    explicit PlayerProgress(PlayerStore& players) : players_(players) {}
    SavedProgress load(GameMode mode) override;
    bool save(GameMode mode, const SavedProgress& progress) override;

private:
    PlayerStore& players_;
};

}  // namespace qs
