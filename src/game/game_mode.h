#pragma once

#include <optional>
#include <string>

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

// "arcade", "challenge" or "puzzle" (as typed on a command line or in a script); nothing
// for any other word.
inline std::optional<GameMode> parseGameMode(const std::string& name) {
    for (GameMode mode : {kModeArcade, kModeChallenge, kModePuzzle})
        if (name == gameModeName(mode)) return mode;
    return std::nullopt;
}

}  // namespace qs
