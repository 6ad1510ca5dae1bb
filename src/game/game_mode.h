#pragma once

namespace qs {

// The three kinds of game; the values are the ones saved with a player's progress.
enum GameMode : int { kModeArcade = 1, kModeChallenge = 2, kModePuzzle = 3 };

inline const char* gameModeName(GameMode mode) {
    switch (mode) {
        case kModeArcade: return "arcade";
        case kModeChallenge: return "challenge";
        case kModePuzzle: return "puzzle";
    }
    return "arcade";
}

}  // namespace qs
