#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "game/replay.h"
#include "game/replay_recorder.h"

namespace qs {

class FileSystem;
class Log;
struct RecordsLine;

// The replays of the user folder: "replays/", one file a game, named by the time the game
// began so that the names sort oldest first.
inline constexpr const char* kReplayFolder = "replays";
inline constexpr const char* kReplayExtension = ".qsr";
// The newest games kept; older replays go unless a record stands on them.
inline constexpr int kReplaysKept = 50;

// "20261211-113620-arcade-0000002a.qsr" for a game begun at `when` (local time).
std::string replayFileName(std::time_t when, GameMode mode, uint32_t seed);

// Reads a replay file: nothing on failure, and *error names the file and the place.
std::optional<Replay> readReplayFile(const std::filesystem::path& path, std::string* error);

// The record row a replay's game stands behind: same mode, player and score.
bool replayBehindRecord(const Replay& replay, const std::vector<RecordsLine>& records);

// The replay files of the folder, oldest first.
std::vector<std::filesystem::path> replayFiles(const std::filesystem::path& folder);

// Removes the replays older than the newest `keep`, except those behind a row of
// `records` (or that cannot be read: a file the game cannot judge is not its to delete).
// The files removed.
std::vector<std::filesystem::path> pruneReplays(const std::filesystem::path& folder, int keep,
                                                const std::vector<RecordsLine>& records, Log& log);

// The newest replay behind a record row (mode 1..3, the row's name and score).
std::optional<std::filesystem::path> findRecordReplay(const std::filesystem::path& folder, int mode,
                                                      const std::string& name, const std::string& score);

// A game's replay file as the game goes: recorded step by step, and written whole (through
// a temporary file) whenever `save` is called, so a crash loses at most what came after.
class ReplayKeeper {
public:
    void begin(const std::filesystem::path& path, ReplayHeader header, const GameSession& session);
    void recordStep(uint32_t now, const std::vector<GameCommand>& commands, const GameSession& session) {
        recorder_.recordStep(now, commands, session);
    }
    // Writes the replay up to the session's last step; a failure is logged once and the game
    // goes on.
    bool save(Log& log, const GameSession& session);
    bool active() const { return recorder_.active(); }
    const Replay& replay() const { return recorder_.replay(); }
    const std::filesystem::path& path() const { return path_; }

private:
    ReplayRecorder recorder_;
    std::filesystem::path path_;
    bool failureLogged_ = false;
};

// A game's replay begun in the user folder once its session has begun: the header from the
// options, content and player, a new file name, and the folder pruned to the newest games
// and the records' replays.
void beginGameReplay(ReplayKeeper& keeper, const FileSystem& files, const GameOptions& options,
                     const GameSession& session, uint32_t seed, const std::string& player, Log& log);

}  // namespace qs
