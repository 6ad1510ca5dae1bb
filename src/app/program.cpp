#include "app/program.h"

#include <filesystem>
#include <iostream>
#include <random>

#include "app/content_check.h"
#include "app/context.h"
#include "app/frame_pacing.h"
#include "app/frame_timer.h"
#include "app/main_form.h"
#include "app/replay_run.h"
#include "app/script.h"
#include "app/script_runner.h"
#include "app/state_dump.h"
#include "audio/sdl_mixer_backend.h"
#include "core/file_system.h"
#include "game/level_files.h"
#include "game/puzzle_solver.h"
#include "game/shot_simulator.h"
#include "render/sdl_platform.h"

namespace qs {

// The content folder the run reads: the one the command line (or the search at start-up)
// settled on, else the checkout's.
std::string contentRootOf(const CommandLine& line) {
    return line.dataDir.empty() ? QUIBBLESTAR_DEFAULT_DATA : line.dataDir;
}

// A file named on the command line: nothing (and the reason on stderr) when it is a folder
// or cannot be read.
std::optional<std::string> readArgumentFile(const std::string& path, const char* what) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        std::cerr << "quibblestar: the " << what << " " << path << " is a folder, not a file\n";
        return std::nullopt;
    }
    std::optional<std::string> text = FileSystem::readFile(path);
    if (!text) std::cerr << "quibblestar: cannot read the " << what << " " << path << '\n';
    return text;
}

// The content folder must exist and, for the game, hold the main resource list; without it
// nothing the game shows could be found. (The simulator reads only levels and options.)
bool contentFolderUsable(const std::string& root, bool forTheGame = true) {
    std::error_code ec;
    if (!std::filesystem::is_directory(root, ec)) {
        std::cerr << "quibblestar: the content folder " << root << " does not exist\n";
        return false;
    }
    if (forTheGame && !FileSystem(root, {}).readContent("main.msl")) {
        std::cerr << "quibblestar: the content folder " << root << " has no main.msl: it is not the game's content\n";
        return false;
    }
    return true;
}

// A level asked for on the command line must exist: a game that names the missing file and
// then plays on at some other level would pass for a run of the level asked for.
bool startLevelExists(const CommandLine& line, const std::string& root) {
    if (!line.startMode || line.startLevel <= 0) return true;
    const FileSystem files(root, {});
    if (files.contentExists(levelFileName(*line.startMode, line.startLevel))) return true;
    constexpr int kLevelsLookedFor = 9999;
    int last = 0;
    while (last < kLevelsLookedFor && files.contentExists(levelFileName(*line.startMode, last + 1))) ++last;
    const std::string mode = gameModeName(*line.startMode);
    std::cerr << "quibblestar: there is no " << mode << " level " << line.startLevel << " ("
              << levelFileName(*line.startMode, line.startLevel) << " is missing); ";
    if (last == 0)
        std::cerr << "this content has no " << mode << " levels\n";
    else
        std::cerr << mode << " has levels 1 to " << last << '\n';
    return false;
}

int runSimulation(const CommandLine& line) {
    Log log;
    std::vector<SimShot> shots;
    if (!line.shotsFile.empty()) {
        std::optional<std::string> text = readArgumentFile(line.shotsFile, "shot list");
        if (!text) return 2;
        std::optional<std::vector<SimShot>> parsed = parseShotList(*text, log, line.shotsFile);
        if (!parsed) return 2;
        shots = std::move(*parsed);
    }
    SimulatorSetup setup;
    setup.contentRoot = contentRootOf(line);
    if (!contentFolderUsable(setup.contentRoot.string(), false)) return 2;
    setup.mode = *line.simulateMode;
    setup.level = line.simulateLevel;
    setup.seed = line.seed.value_or(1);
    bool ok = false;
    std::cout << runShotSimulation(setup, shots, log, &ok) << std::endl;
    return ok ? 0 : 1;
}

int runSolver(const CommandLine& line) {
    Log log;
    SolverSetup setup;
    setup.contentRoot = contentRootOf(line);
    if (!contentFolderUsable(setup.contentRoot.string(), false)) return 2;
    setup.level = line.solveLevel;
    setup.seed = line.seed.value_or(1);
    if (line.solveBudget) setup.nodeBudget = static_cast<long>(*line.solveBudget);
    const SolverResult result = solvePuzzle(setup, log);
    std::cout << solverResultJson(result) << std::endl;
    if (!result.loaded) return 2;
    return result.solved ? 0 : 1;
}

int runProgram(const CommandLine& line) {
    if (line.help) {
        std::cout << commandLineHelp();
        return 0;
    }

    if (line.simulateMode) return runSimulation(line);
    if (line.solveLevel > 0) return runSolver(line);
    if (!line.replayFile.empty()) return runReplayCheck(line);
    if (line.verifyRecords) return runVerifyRecords(line);
    if (line.checkContent) {
        return checkContent(contentRootOf(line), std::cout, decodeSoundFile) == 0 ? 0 : 1;
    }

    Script script;
    if (!line.scriptFile.empty()) {
        std::optional<std::string> text = readArgumentFile(line.scriptFile, "script");
        if (!text) return 2;
        std::string error;
        std::optional<Script> parsed = parseScript(*text, &error);
        if (!parsed) {
            std::cerr << line.scriptFile << ": " << error << '\n';
            return 2;
        }
        script = std::move(*parsed);
    }

    const std::string contentRoot = contentRootOf(line);
    if (!contentFolderUsable(contentRoot)) return 2;
    if (!startLevelExists(line, contentRoot)) return 2;
    FileSystem files(contentRoot,
                     line.userDir.empty() ? defaultUserDir() : line.userDir);
    std::string folderError;
    if (!files.prepareUserDir("options.txt", &folderError)) {
        // Without its folder the run could keep no settings, players or records: say so and stop
        // rather than play a game that loses everything.
        std::cerr << "quibblestar: " << folderError << '\n';
        return 2;
    }
    if (!folderError.empty()) std::cerr << "quibblestar: " << folderError << '\n';

    auto report = [](const std::string& message) { std::cerr << "quibblestar: " << message << '\n'; };
    std::unique_ptr<Platform> platform;
    HeadlessPlatform* headless = nullptr;
    if (line.headless) {
        auto created = HeadlessPlatform::create(report);
        headless = created.get();
        platform = std::move(created);
    } else {
        platform = SdlPlatform::create(kWindowTitle, report,
                                       (files.contentRoot() / "graphics/icon/quibblestar.bmp").string());
    }
    if (!platform) return 1;

    VirtualClock* virtualClock = nullptr;
    std::unique_ptr<Clock> clock;
    if (line.headless) {
        auto created = std::make_unique<VirtualClock>();
        virtualClock = created.get();
        clock = std::move(created);
    } else {
        clock = std::make_unique<SteadyClock>();
    }
    uint32_t seed = line.seed ? *line.seed : std::random_device{}();

    Context ctx(std::move(clock), std::move(files), *platform, seed);
    // Headless runs keep the recording sound library: no device, every call in the state dump.
    if (!line.headless) ctx.useAudioBackend(makeSdlMixerBackend(ctx.files, ctx.log));
    // Strict runs (the tests) treat every content problem as a failure of the run.
    int contentProblems = 0;
    if (line.strictContent) {
        ctx.log.setErrorSink([&contentProblems](const std::string& message) {
            ++contentProblems;
            std::cerr << "quibblestar: content: " << message << '\n';
        });
    }
    ctx.bot = line.bot;
    if (line.startMode) {
        ctx.selectedMode = *line.startMode;
        ctx.startLevel = line.startLevel;
        ctx.startGameAtOnce = true;
    }
    TMainForm form(ctx);
    form.FormCreate();

    ScriptRunner runner(std::move(script), form, ctx, headless);
    // Headless runs keep the 10 ms ticks of their virtual clock; a window follows the
    // display when it may.
    FrameTimer timer(ctx.clock().now());
    PacingChoice pacing;
    if (!line.headless) {
        const bool vsync = platform->enableVsync(ctx.options.no_sync == 0);
        pacing = choosePacing(false, ctx.options.no_sync, ctx.options.fps_max, vsync,
                              platform->refreshRate());
        ctx.frame.frameCapHolds = pacing.capHolds;
        ctx.WriteLog(describePacing(pacing));
    }
    FramePacer pacer(pacing, ctx.clock().now());
    while (!form.quitRequested()) {
        if (virtualClock)
            virtualClock->set(timer.due());
        else
            platform->pumpEvents(form, pacer.waitTime(ctx.clock().now()));
        uint32_t now = ctx.clock().now();
        if (line.untilMs && now > *line.untilMs) break;
        runner.deliverInput(now);
        if (virtualClock) {
            if (timer.poll(now)) form.TimerTick();
        } else if (pacer.poll(now)) {
            const uint64_t pictures = ctx.frame.framesRendered;
            const FramePace pace = pacer.pace();
            form.TimerTick();
            pacer.framePresented(ctx.frame.framesRendered != pictures, ctx.clock().now());
            if (pace == FramePace::Vsync && pacer.pace() != pace)
                ctx.WriteLog("presenting does not wait for the display: frames are timed instead");
        }
        if (!runner.runOutput(now)) break;
    }

    if (line.dumpState) std::cout << dumpState(ctx, form) << std::endl;
    if (runner.outputFailed()) return 4;
    if (contentProblems > 0) {
        std::cerr << "quibblestar: " << contentProblems << " content problems (strict content)\n";
        return 3;
    }
    return 0;
}

}  // namespace qs
