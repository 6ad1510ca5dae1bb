#include "game/view/player_progress.h"

#include <algorithm>
#include <cstdint>

#include "profile/player_store.h"

namespace qs {

namespace {

int clampScore(int64_t score) { return static_cast<int>(std::clamp<int64_t>(score, 0, INT32_MAX)); }

}  // namespace

SavedProgress PlayerProgress::load(GameMode mode) {
    SavedProgress progress;
    const PlayerRecord* player = players_.current();
    if (!player) return progress;
    if (const ModeProgress* saved = player->progress(mode)) {
        progress.level = saved->levelReached;
        progress.score = saved->levelStartScore;
        progress.checkpointScore = saved->checkpointScore;
        progress.continueFlag = saved->gameState;
    }
    return progress;
}

bool PlayerProgress::save(GameMode mode, const SavedProgress& progress) {
    return players_.saveProgress(mode, progress.level, clampScore(progress.score),
                                 clampScore(progress.checkpointScore), progress.continueFlag);
}

}  // namespace qs
