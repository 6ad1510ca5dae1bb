#include "app/replay_run.h"

#include <iostream>

#include "core/file_system.h"
#include "core/json_writer.h"
#include "core/log.h"
#include "core/options.h"
#include "core/version.h"
#include "game/replay_folder.h"
#include "game/replay_player.h"
#include "profile/records_file.h"

namespace qs {

namespace {

void resultJson(JsonWriter& json, const char* name, const ReplayResult& r) {
    json.key(name).beginObject();
    json.field("mode", gameModeName(r.mode)).field("level", r.level).field("score", r.score);
    json.field("hash", hashText(r.hash)).field("steps", r.steps);
    json.endObject();
}

std::string contentRoot(const CommandLine& line) {
    return line.dataDir.empty() ? QUIBBLESTAR_DEFAULT_DATA : line.dataDir;
}

}  // namespace

int runReplayCheck(const CommandLine& line) {
    std::string error;
    std::optional<Replay> replay = readReplayFile(line.replayFile, &error);
    if (!replay) {
        std::cerr << "quibblestar: the replay " << error << '\n';
        return 2;
    }
    const FileSystem files(contentRoot(line), {});
    const std::string mismatch = replayMismatch(*replay, files, gameVersion());
    if (!mismatch.empty()) {
        if (!line.force) {
            std::cerr << "quibblestar: the replay " << line.replayFile << " is not of this game: " << mismatch
                      << " (--force plays it anyway)\n";
            return 2;
        }
        std::cerr << "quibblestar: playing " << line.replayFile << " although " << mismatch << '\n';
    }
    Log log;  // its errors go to stderr: stdout carries the JSON alone
    const ReplayCheck check = checkReplay(*replay, files, log, defaultOptions());
    if (!check.problem.empty()) std::cerr << "quibblestar: " << line.replayFile << ": " << check.problem << '\n';
    JsonWriter json;
    json.beginObject();
    json.field("replay", line.replayFile);
    resultJson(json, "reached", check.reached);
    resultJson(json, "stored", replay->result);
    json.field("agree", check.agree);
    json.key("divergence_step");
    if (check.divergence)
        json.value(*check.divergence);
    else
        json.null();
    json.field("forced", !mismatch.empty());
    json.endObject();
    std::cout << json.str() << std::endl;
    return check.agree ? 0 : 1;
}

int runVerifyRecords(const CommandLine& line) {
    const FileSystem files(contentRoot(line), line.userDir.empty() ? defaultUserDir() : line.userDir);
    std::string error;
    std::optional<std::string> text = FileSystem::readFile(files.userPath(kRecordsFile), &error, kRecordsFileLimit);
    if (!text) {
        std::cerr << "quibblestar: the records " << files.userPath(kRecordsFile).string() << " cannot be read ("
                  << error << ")\n";
        return 2;
    }
    const std::vector<RecordsLine> records = parseRecords(*text).lines;
    Log log;  // its errors go to stderr: stdout carries the JSON alone
    bool allAgree = true;
    for (int mode = kModeArcade; mode <= kModePuzzle; ++mode) {
        for (const RecordEntry& row : recordTable(records, mode)) {
            JsonWriter json;
            json.beginObject();
            json.field("mode", gameModeName(static_cast<GameMode>(mode))).field("rank", row.rank);
            json.field("name", row.name).field("level", row.level).field("score", row.score);
            std::string verdict;
            const std::optional<std::filesystem::path> path =
                findRecordReplay(files.userPath(kReplayFolder), mode, row.name, row.score);
            if (!path) {
                verdict = "missing";
            } else {
                json.field("replay", path->string());
                std::optional<Replay> replay = readReplayFile(*path, &error);
                if (!replay) {
                    verdict = "unreadable";
                } else if (!replayMismatch(*replay, files, gameVersion()).empty() && !line.force) {
                    verdict = "other_content";
                } else {
                    const ReplayCheck check = checkReplay(*replay, files, log, defaultOptions());
                    verdict = check.agree ? "agrees" : "differs";
                    if (check.divergence) json.field("divergence_step", *check.divergence);
                }
            }
            json.field("verdict", verdict);
            json.endObject();
            std::cout << json.str() << '\n';
            if (verdict != "agrees") allAgree = false;
        }
    }
    std::cout.flush();
    return allAgree ? 0 : 1;
}

}  // namespace qs
