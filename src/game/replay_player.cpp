#include "game/replay_player.h"

#include "core/log.h"
#include "core/options.h"
#include "core/random.h"
#include "game/combo_table.h"
#include "game/game_session.h"
#include "game/replay_recorder.h"

namespace qs {

ReplayCheck checkReplay(const Replay& replay, const FileSystem& files, Log& log, const GameOptions& base) {
    ReplayCheck check;
    GameOptions options = base;
    if (!applyPlayOptions(options, replay.header.options))
        check.problem = "the replay sets an option this game does not know";
    options.beg_level = replay.header.begLevel;
    const std::vector<ComboText> combos = readComboTable(files, log);
    Random random(replay.header.seed);
    MemoryProgressStore progress;
    progress.save(replay.header.mode, replay.header.start);
    GameSession session(options, combos, random, files, log, progress);
    session.beginGame(replay.header.mode, replay.header.beginClock);

    ReplaySource source(replay);
    std::vector<GameCommand> commands;
    size_t nextHash = 0;
    while (!source.done()) {
        const uint32_t now = source.next(&commands);
        session.step(now, commands);
        const uint64_t steps = session.stepCount();
        while (nextHash < replay.hashes.size() && replay.hashes[nextHash].steps < steps) ++nextHash;
        if (nextHash < replay.hashes.size() && replay.hashes[nextHash].steps == steps) {
            if (!check.divergence && sessionStateHash(session) != replay.hashes[nextHash].hash)
                check.divergence = steps;
            ++nextHash;
        }
    }
    check.reached = ReplayResult{session.game().mode, session.level(), session.game().score.totalScore,
                                 sessionStateHash(session), session.stepCount()};
    if (!check.divergence && check.reached.hash != replay.result.hash) check.divergence = check.reached.steps;
    check.agree = check.reached == replay.result && !check.divergence && check.problem.empty();
    return check;
}

std::string replayMismatch(const Replay& replay, const FileSystem& files, const std::string& version) {
    const ReplayHeader& h = replay.header;
    if (contentFingerprint(files, h.mode, h.options) != h.contentFingerprint)
        return "it was recorded with other content (levels, combo table or play options)";
    if (h.gameVersion != version) return "it was recorded by game version " + h.gameVersion + ", this is " + version;
    return "";
}

}  // namespace qs
