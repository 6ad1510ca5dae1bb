#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "game/game_command.h"
#include "game/game_mode.h"
#include "game/progress.h"

namespace qs {

// One game as the session lived it: what it started from (header), the game clock of every
// step, the commands each step applied, and the session's state hash at regular steps. The
// same seed, start and steps give the same game, so a replay is played back by stepping a
// fresh session with them. docs/replay-format.md describes the file.

inline constexpr int kReplayFormatVersion = 1;
// The first line of every replay (before the version number).
inline constexpr const char* kReplayMagic = "quibblestar-replay";
// A state hash is kept after every this many steps (and after the last one).
inline constexpr uint64_t kReplayHashInterval = 100;
// No replay the game writes comes near this size unpacked (an hour of play is a few MB);
// a larger one is refused rather than read into memory.
inline constexpr std::size_t kReplayTextLimit = 64u * 1024 * 1024;

// The game's settings that change how it plays, as "key value" pairs in the options table's
// names: kept in the header and played back with those values whatever the local file says.
struct ReplayOption {
    std::string key;
    int value = 0;
    bool operator==(const ReplayOption& o) const { return key == o.key && value == o.value; }
};

struct ReplayHeader {
    int formatVersion = kReplayFormatVersion;
    std::string gameVersion;
    // FNV-1a of the content that plays (the mode's level files, the combo table) and of the
    // options below: another content or rule set gives another number.
    uint64_t contentFingerprint = 0;
    uint32_t seed = 0;  // the game's own generator
    GameMode mode = kModeArcade;
    int begLevel = 0;         // a level asked for at the start (0: the saved one)
    SavedProgress start;      // the player's saved progress of the mode the game began from
    std::string player;       // empty: a game without a player
    uint32_t beginClock = 0;  // the game clock of beginGame
    std::vector<ReplayOption> options;
};

// `count` steps in a row whose game clock each moved on by `delta` ms.
struct ClockRun {
    uint32_t delta = 0;
    uint32_t count = 0;
    bool operator==(const ClockRun& o) const { return delta == o.delta && count == o.count; }
};

// A command and the step (0 the first) it was handed to.
struct ReplayCommand {
    uint64_t step = 0;
    GameCommand command;
};

// The session's state hash once `steps` steps had run.
struct ReplayHash {
    uint64_t steps = 0;
    uint64_t hash = 0;
    bool operator==(const ReplayHash& o) const { return steps == o.steps && hash == o.hash; }
};

// Where a game stood after its last recorded step.
struct ReplayResult {
    GameMode mode = kModeArcade;
    int level = 0;
    int64_t score = 0;
    uint64_t hash = 0;
    uint64_t steps = 0;
    bool operator==(const ReplayResult& o) const {
        return mode == o.mode && level == o.level && score == o.score && hash == o.hash && steps == o.steps;
    }
    bool operator!=(const ReplayResult& o) const { return !(*this == o); }
};

struct Replay {
    ReplayHeader header;
    std::vector<ClockRun> clock;
    std::vector<ReplayCommand> commands;
    std::vector<ReplayHash> hashes;
    ReplayResult result;

    uint64_t stepCount() const;
};

// The replay's text, as docs/replay-format.md gives it.
std::string replayText(const Replay& replay);
// The text packed as the user folder keeps it (gzip).
std::string packReplay(const Replay& replay);

// Reads a replay, packed or plain. On bad input returns nothing and says in *error where
// it stops making sense: "line N: ..." of the text, or "byte N: ..." of the packed file.
std::optional<Replay> parseReplay(const std::string& bytes, std::string* error);

// A command as a replay line writes it (the aim angle exactly, in hexadecimal), and back.
std::string replayCommandText(const GameCommand& command);
std::optional<GameCommand> parseReplayCommand(const std::string& text);

// 16 lowercase hexadecimal digits.
std::string hashText(uint64_t hash);

}  // namespace qs
