// Replays: how fast a long game replays headless, what recording costs a step, and how large
// an hour of play is on disk.
//
//   build/bench_bench_replay [--benchmark_repetitions=5 --benchmark_report_aggregates_only=true]
//
// The game: ten minutes of arcade from level 1 played by the bot (seed 7), on a clock that
// moves as a window's does (60 frames a second, the steps of one frame sharing its time), the
// statistics clicked on as they come. It is played once, off the clock, and recorded.
//
// ReplayCheck: the replay checked the way `--replay FILE --headless` checks it (a fresh session
// stepped flat out, hashes compared). Counter speed_factor: game time over the time taken
// (goal: 200 or more).
// Step / StepRecorded: the same steps replayed on a session alone, and with the recorder taking
// each one as the game scene does; the difference is what recording costs a step (a window's
// frame runs one or two). Counters packed_bytes_per_hour and text_bytes_per_hour: the file's
// size scaled to an hour of such play.
#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "core/file_system.h"
#include "core/log.h"
#include "core/options.h"
#include "core/random.h"
#include "game/bot.h"
#include "game/combo_table.h"
#include "game/game_session.h"
#include "game/replay.h"
#include "game/replay_player.h"
#include "game/replay_recorder.h"

namespace {

using namespace qs;

constexpr uint32_t kSeed = 7;
constexpr uint32_t kGameMs = 10 * 60 * 1000;

FileSystem content() { return FileSystem(std::string(QUIBBLESTAR_SOURCE_DIR) + "/data", {}); }

// The ten-minute game, recorded once for every benchmark.
const Replay& tenMinutes() {
    static const Replay replay = [] {
        Log log;
        const FileSystem files = content();
        const GameOptions options = defaultOptions();
        const std::vector<ComboText> combos = readComboTable(files, log);
        Random random(kSeed);
        MemoryProgressStore progress;
        GameSession session(options, combos, random, files, log, progress);
        session.beginGame(kModeArcade, 1000);
        ReplayRecorder recorder;
        ReplayHeader header;
        header.seed = kSeed;
        header.mode = kModeArcade;
        header.options = playOptions(options);
        header.contentFingerprint = contentFingerprint(files, kModeArcade, header.options);
        recorder.begin(header, session);
        Bot bot;
        // 16.7 ms frames on a 1 ms clock, steps at the frame loop's 16 per 267 ms.
        uint64_t stepsDue = 0;
        for (uint32_t frame = 1; frame * 50 / 3 <= kGameMs; ++frame) {
            const uint32_t now = 1000 + frame * 50 / 3;
            const uint64_t target = static_cast<uint64_t>(now - 1000) * 16 / 267;
            for (; stepsDue < target; ++stepsDue) {
                std::vector<GameCommand> commands;
                if (session.state() == kGameStatistics)
                    commands.push_back(command::NextLevel{});
                else if (session.state() == kGamePlaying)
                    commands = bot.play(session);
                session.step(now, commands);
                recorder.recordStep(now, commands, session);
            }
        }
        recorder.finish(session);
        return recorder.replay();
    }();
    return replay;
}

void ReplayCheck(benchmark::State& state) {
    const Replay& replay = tenMinutes();
    const FileSystem files = content();
    Log log;
    const GameOptions options = defaultOptions();
    bool agree = true;
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const qs::ReplayCheck check = checkReplay(replay, files, log, options);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        agree = agree && check.agree;
        benchmark::DoNotOptimize(check.reached.hash);
    }
    if (!agree) state.SkipWithError("the replay did not agree with its recording");
    state.counters["speed_factor"] = kGameMs / 1000.0 * static_cast<double>(state.iterations()) / seconds;
    state.counters["steps"] = static_cast<double>(replay.stepCount());
    state.counters["level_reached"] = replay.result.level;
}
BENCHMARK(ReplayCheck)->Unit(benchmark::kMillisecond);

// The replay's steps on a session, recorded again when `record` is set.
void replaySteps(benchmark::State& state, bool record) {
    const Replay& replay = tenMinutes();
    const FileSystem files = content();
    Log log;
    GameOptions options = defaultOptions();
    applyPlayOptions(options, replay.header.options);
    const std::vector<ComboText> combos = readComboTable(files, log);
    uint64_t steps = 0;
    size_t bytes = 0, textBytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Random random(replay.header.seed);
        MemoryProgressStore progress;
        GameSession session(options, combos, random, files, log, progress);
        session.beginGame(replay.header.mode, replay.header.beginClock);
        ReplayRecorder recorder;
        recorder.begin(replay.header, session);
        ReplaySource source(replay);
        std::vector<GameCommand> commands;
        state.ResumeTiming();
        while (!source.done()) {
            const uint32_t now = source.next(&commands);
            session.step(now, commands);
            if (record) recorder.recordStep(now, commands, session);
        }
        steps += source.steps();
        if (record) {
            state.PauseTiming();
            recorder.finish(session);
            bytes = packReplay(recorder.replay()).size();
            textBytes = replayText(recorder.replay()).size();
            state.ResumeTiming();
        }
    }
    state.counters["time_per_step"] =
        benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    if (record) {
        state.counters["packed_bytes_per_hour"] = static_cast<double>(bytes) * 6;
        state.counters["text_bytes_per_hour"] = static_cast<double>(textBytes) * 6;
    }
}

void Step(benchmark::State& state) { replaySteps(state, false); }
void StepRecorded(benchmark::State& state) { replaySteps(state, true); }
BENCHMARK(Step)->Unit(benchmark::kMillisecond);
BENCHMARK(StepRecorded)->Unit(benchmark::kMillisecond);

// The largest file a player's hand makes: the ten minutes' clock and commands with, on top,
// a pointer move the session takes at every single step (the pointer never still, never
// ignored). Counter packed_bytes_per_hour as above.
void PointerEveryStepSize(benchmark::State& state) {
    Replay replay = tenMinutes();
    std::vector<ReplayCommand> commands;
    size_t next = 0;
    for (uint64_t step = 0; step < replay.stepCount(); ++step) {
        while (next < replay.commands.size() && replay.commands[next].step == step)
            commands.push_back(replay.commands[next++]);
        const double t = static_cast<double>(step);
        commands.push_back({step, command::Pointer{400 + static_cast<int>(300 * std::sin(t / 90)),
                                                   300 + static_cast<int>(200 * std::sin(t / 37))}});
    }
    replay.commands = std::move(commands);
    size_t bytes = 0;
    for (auto _ : state) bytes = packReplay(replay).size();
    state.counters["packed_bytes_per_hour"] = static_cast<double>(bytes) * 6;
}
BENCHMARK(PointerEveryStepSize)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
