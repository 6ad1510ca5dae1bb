#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game/replay.h"
#include "game/replay_source.h"

namespace qs {

class FileSystem;
class Log;
struct GameOptions;

// What playing a replay again came to.
struct ReplayCheck {
    ReplayResult reached;
    bool agree = false;
    // The first kept hash (its step count) the replayed game did not match, if any.
    std::optional<uint64_t> divergence;
    // The header's options could not all be set: an option this game does not know.
    std::string problem;
};

// Plays `replay` on a fresh session over `base` options (the header's play options set over
// them) with the content in `files`, and compares the hashes and result on the way.
ReplayCheck checkReplay(const Replay& replay, const FileSystem& files, Log& log, const GameOptions& base);

// Why a replay is not of this game's content or version ("" when it is): another
// fingerprint, another game version.
std::string replayMismatch(const Replay& replay, const FileSystem& files, const std::string& version);

}  // namespace qs
