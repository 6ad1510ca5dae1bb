#pragma once

#include <array>
#include <string>
#include <vector>

namespace qs {

// Modes are numbered as the game numbers them (1 arcade, 2 challenge, 3 puzzle). The
// profile keeps its own count so it never has to include the game.
inline constexpr int kFirstMode = 1;
inline constexpr int kModeCount = 3;

inline bool isValidMode(int mode) { return mode >= kFirstMode && mode < kFirstMode + kModeCount; }

// What a player has achieved in one mode.
struct ModeProgress {
    int levelReached = -1;    // level the next game starts or continues at; -1 never played
    int showMessage = 1;      // 1: show the mode's game message before a game
    int levelStartScore = 0;  // score carried into a continued game
    int gameState = -1;       // 1 unfinished, 0 lost, -1 nothing to continue
    int checkpointScore = 0;  // score on reaching the last level that is a multiple of 5

    bool operator==(const ModeProgress& o) const {
        return levelReached == o.levelReached && showMessage == o.showMessage &&
               levelStartScore == o.levelStartScore && gameState == o.gameState &&
               checkpointScore == o.checkpointScore;
    }
    bool operator!=(const ModeProgress& o) const { return !(*this == o); }
};

struct PlayerRecord {
    std::string name;
    std::array<ModeProgress, kModeCount> modes{};

    // The progress of a mode 1..3; nothing for any other number, so a bad mode can never
    // reach past the array.
    ModeProgress* progress(int mode) { return isValidMode(mode) ? &modes[mode - kFirstMode] : nullptr; }
    const ModeProgress* progress(int mode) const {
        return isValidMode(mode) ? &modes[mode - kFirstMode] : nullptr;
    }

    bool operator==(const PlayerRecord& o) const { return name == o.name && modes == o.modes; }
    bool operator!=(const PlayerRecord& o) const { return !(*this == o); }
};

// The players in file order.
using PlayerList = std::vector<PlayerRecord>;

// A player created from the player list: never played any mode, messages on.
inline PlayerRecord newPlayerRecord(const std::string& name) {
    PlayerRecord record;
    record.name = name;
    return record;
}

// The very first player is stored with levels 0; the reader turns those into -1, so the
// first re-read makes it look like any other new player.
inline PlayerRecord firstPlayerRecord(const std::string& name) {
    PlayerRecord record = newPlayerRecord(name);
    for (ModeProgress& mode : record.modes) mode.levelReached = 0;
    return record;
}

}  // namespace qs
