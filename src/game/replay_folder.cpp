#include "game/replay_folder.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

#include "core/file_system.h"
#include "core/log.h"
#include "core/options.h"
#include "core/version.h"
#include "game/game_session.h"
#include "profile/records_file.h"

namespace qs {

namespace fs = std::filesystem;

namespace {

// A packed replay this large is none the game wrote.
constexpr std::uintmax_t kReplayFileLimit = 32u * 1024 * 1024;

}  // namespace

std::string replayFileName(std::time_t when, GameMode mode, uint32_t seed) {
    std::tm local{};
    localtime_r(&when, &local);
    char name[96];
    std::snprintf(name, sizeof name, "%04d%02d%02d-%02d%02d%02d-%s-%08x%s", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, gameModeName(mode), seed, kReplayExtension);
    return name;
}

std::optional<Replay> readReplayFile(const fs::path& path, std::string* error) {
    std::string why;
    std::optional<std::string> bytes = FileSystem::readFile(path, &why, kReplayFileLimit);
    if (!bytes) {
        if (error) *error = path.string() + ": cannot be read (" + why + ")";
        return std::nullopt;
    }
    std::optional<Replay> replay = parseReplay(*bytes, &why);
    if (!replay && error) *error = path.string() + ": " + why;
    return replay;
}

bool replayBehindRecord(const Replay& replay, const std::vector<RecordsLine>& records) {
    const int mode = static_cast<int>(replay.result.mode);
    const std::string score = std::to_string(replay.result.score);
    for (const RecordEntry& row : recordTable(records, mode))
        if (row.name == replay.header.player && row.score == score) return true;
    return false;
}

std::vector<fs::path> replayFiles(const fs::path& folder) {
    std::vector<fs::path> out;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->path().extension() == kReplayExtension && it->is_regular_file(ec)) out.push_back(it->path());
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<fs::path> pruneReplays(const fs::path& folder, int keep, const std::vector<RecordsLine>& records,
                                   Log& log) {
    std::vector<fs::path> removed;
    const std::vector<fs::path> files = replayFiles(folder);
    if (static_cast<int>(files.size()) <= keep) return removed;
    const size_t old = files.size() - static_cast<size_t>(std::max(keep, 0));
    for (size_t i = 0; i < old; ++i) {
        std::optional<Replay> replay = readReplayFile(files[i], nullptr);
        if (!replay || replayBehindRecord(*replay, records)) continue;
        std::error_code ec;
        if (fs::remove(files[i], ec))
            removed.push_back(files[i]);
        else if (ec)
            log.error("the old replay " + files[i].string() + " could not be removed: " + ec.message());
    }
    return removed;
}

std::optional<fs::path> findRecordReplay(const fs::path& folder, int mode, const std::string& name,
                                         const std::string& score) {
    const std::vector<fs::path> files = replayFiles(folder);
    for (auto it = files.rbegin(); it != files.rend(); ++it) {
        std::optional<Replay> replay = readReplayFile(*it, nullptr);
        if (replay && static_cast<int>(replay->result.mode) == mode && replay->header.player == name &&
            std::to_string(replay->result.score) == score)
            return *it;
    }
    return std::nullopt;
}

void ReplayKeeper::begin(const fs::path& path, ReplayHeader header, const GameSession& session) {
    path_ = path;
    failureLogged_ = false;
    recorder_.begin(std::move(header), session);
}

bool ReplayKeeper::save(Log& log, const GameSession& session) {
    if (!recorder_.active() || path_.empty()) return false;
    recorder_.finish(session);
    std::error_code ec;
    fs::create_directories(path_.parent_path(), ec);
    std::string error;
    if (FileSystem::writeFileAtomic(path_, packReplay(recorder_.replay()), &error)) return true;
    if (!failureLogged_) log.error("the replay " + path_.string() + " could not be written: " + error);
    failureLogged_ = true;
    return false;
}

void beginGameReplay(ReplayKeeper& keeper, const FileSystem& files, const GameOptions& options,
                     const GameSession& session, uint32_t seed, const std::string& player, Log& log) {
    ReplayHeader header;
    header.gameVersion = gameVersion();
    header.seed = seed;
    header.mode = session.game().mode;
    header.begLevel = options.beg_level;
    header.player = player;
    header.options = playOptions(options);
    header.contentFingerprint = contentFingerprint(files, header.mode, header.options);
    const fs::path folder = files.userPath(kReplayFolder);
    std::vector<RecordsLine> records;
    if (std::optional<std::string> text = files.readUser(kRecordsFile)) records = parseRecords(*text).lines;
    pruneReplays(folder, kReplaysKept - 1, records, log);
    // Two games begun within a second (a test, a quick restart) get names of their own.
    std::string name = replayFileName(std::time(nullptr), header.mode, seed);
    std::error_code ec;
    for (int n = 2; fs::exists(folder / name, ec) && n < 1000; ++n) {
        const std::string base = replayFileName(std::time(nullptr), header.mode, seed);
        name = base.substr(0, base.size() - 4) + "-" + std::to_string(n) + kReplayExtension;
    }
    keeper.begin(folder / name, std::move(header), session);
}

}  // namespace qs
