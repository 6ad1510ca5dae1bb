#include "app/program.h"

#include <filesystem>
#include <iostream>
#include <random>

#include "app/content_check.h"
#include "app/context.h"
#include "core/file_system.h"
#include "app/frame_timer.h"
#include "app/main_form.h"
#include "app/replay_run.h"
#include "app/script.h"
#include "app/frame_pacing.h"
#include "app/state_dump.h"
#include "audio/sdl_mixer_backend.h"
#include "game/view/field_view.h"
#include "game/gameplay.h"
#include "game/level_files.h"
#include "game/puzzle_solver.h"
#include "game/shot_simulator.h"
#include "render/sdl_platform.h"
#include "scene/location_map.h"
#include "scene/scene_object_list.h"
#include "scene/text_file.h"
#include "scene/particles.h"
#include "visual/prototype_library.h"

namespace qs {

namespace {

class ScriptRunner {
public:
    ScriptRunner(Script script, TMainForm& form, Context& ctx, HeadlessPlatform* headless)
        : script_(std::move(script)), form_(form), ctx_(ctx), headless_(headless) {}

    // Input due by `now`, handed to the window's handlers before the frame.
    void deliverInput(uint32_t now) {
        while (nextInput_ < script_.commands.size() && script_.commands[nextInput_].time <= now) {
            const ScriptCommand& command = script_.commands[nextInput_++];
            if (command.isOutput()) continue;
            // The scene's own hover pass ran since; the script's buttons decide for its input.
            if (!buttons_.empty()) hoverButtons();
            apply(command);
        }
        if (!buttons_.empty()) hoverButtons();
        stepField();
    }

    // Output commands due by `now`, after the frame's picture. False when the run is over.
    bool runOutput(uint32_t now) {
        bool goOn = true;
        if (!buttons_.empty()) hoverButtons();
        while (nextOutput_ < script_.commands.size() && script_.commands[nextOutput_].time <= now) {
            const ScriptCommand& command = script_.commands[nextOutput_++];
            if (command.kind == ScriptCommand::Kind::Quit) goOn = false;
            if (!command.isOutput()) continue;
            std::string error;
            if (command.kind == ScriptCommand::Kind::Screenshot) {
                if (!ctx_.platform().device().saveScreenshot(command.path, &error)) {
                    std::cerr << "quibblestar: screenshot " << command.path << " failed: " << error << '\n';
                    outputFailed_ = true;
                }
            } else {
                std::string json = dumpState(ctx_, form_, command.withObjects) + "\n";
                if (!FileSystem::writeFileAtomic(command.path, json, &error)) {
                    std::cerr << "quibblestar: dump_state " << command.path << " failed: " << error << '\n';
                    outputFailed_ = true;
                }
            }
        }
        return goOn;
    }

    // A screenshot or state dump that could not be written fails the run.
    bool outputFailed() const { return outputFailed_; }

private:
    void apply(const ScriptCommand& command) {
        using Kind = ScriptCommand::Kind;
        switch (command.kind) {
            case Kind::MouseMove:
                if (headless_) {
                    bool inside = command.x >= 0 && command.x < kScreenWidth && command.y >= 0 &&
                                  command.y < kScreenHeight;
                    headless_->setMouse(command.x, command.y, inside);
                } else {
                    ctx_.platform().warpMouse(command.x, command.y);  // a window's real pointer
                }
                form_.onMouseMove();
                break;
            case Kind::MouseLeave:
                if (headless_) headless_->setMouse(-1000, -1000, false);
                break;
            case Kind::MouseDown: form_.onMouseDown(command.button); break;
            case Kind::MouseUp: form_.onMouseUp(command.button); break;
            case Kind::Click:
                form_.onMouseDown(command.button);
                form_.onMouseUp(command.button);
                break;
            case Kind::KeyDown: form_.onKeyDown(command.key, command.shift); break;
            case Kind::FocusLost: form_.onDeactivate(); break;
            case Kind::FocusGained: form_.onActivate(); break;
            case Kind::Minimize: form_.onMinimize(); break;
            case Kind::Restore: form_.onRestore(); break;
            case Kind::ToggleFullscreen: form_.onToggleFullscreen(); break;
            case Kind::WindowSize:
                if (!ctx_.platform().resizeWindow(command.x, command.y))
                    std::cerr << "script line " << command.line << ": no window to resize\n";
                break;
            case Kind::LoadMap: load_location_map(*ctx_.sceneObjects, command.path); break;
            case Kind::ShowText: ShowTextFile(*ctx_.sceneObjects, command.path, command.tag, command.values); break;
            case Kind::Particles:
                for (int i = 0; i < command.count; ++i)
                    ctx_.particles->Create(command.type, command.x, command.y);
                break;
            case Kind::Button: {
                int slot = ctx_.sceneObjects->FindSceneObject(command.path, -1, "");
                if (slot < 0) {
                    std::cerr << "script line " << command.line << ": no object " << command.path << '\n';
                    break;
                }
                buttons_.push_back({command.button, slot});
                // A screen under test: its buttons' releases come here, not to the scene.
                ctx_.hooks.HandleButtonRelease = [this] {
                    ctx_.input.lastReleasedButton = ctx_.input.pressedButton;
                };
                break;
            }
            case Kind::Field: openField(command); break;
            case Kind::Shoot: shoot(command); break;
            default: break;
        }
    }

    // A playfield shown without the game scene: a level's balls, and shots fired at points.
    void openField(const ScriptCommand& command) {
        view_.reset();
        field_ = std::make_unique<ShotSimulator>(ctx_.log);
        SimulatorSetup setup;
        setup.contentRoot = ctx_.files.contentRoot();
        setup.mode = parseGameMode(command.path).value_or(kModeArcade);
        setup.level = command.count;
        setup.seed = ctx_.random.seed();
        if (!field_->load(setup)) {
            field_.reset();
            return;
        }
        view_ = std::make_unique<FieldView>(ctx_);
        BallGrid& grid = field_->game().grid;
        grid.setView(view_.get());
        for (int row = -1; row <= 89; ++row) {
            for (int column = 0; column < 16; ++column) {
                const GridCell* cell = grid.cellAt(column, row);
                if (cell && !cell->empty())
                    view_->cellFilled(column, row, *cell, grid.cellX(column, row), grid.cellY(row));
            }
        }
        field_->game().events.clear();
        fieldSteps_ = ctx_.frame.sceneStepsRun;
    }

    void shoot(const ScriptCommand& command) {
        if (!field_) return;
        Gameplay& game = field_->game();
        game.aim.smoothTurn = false;
        updateAim(game.aim, command.x, command.y, kScreenWidth, kScreenHeight);
        game.updatePath();
        int kind = command.type != 0 ? command.type : field_->currentKind();
        fire(game, kind, 0, 0);
    }

    // One field step per scene step, as the game scene will do.
    void stepField() {
        if (!field_) return;
        for (; fieldSteps_ < ctx_.frame.sceneStepsRun; ++fieldSteps_) {
            if (field_->game().ball) stepShotBall(field_->game());
            view_->update(field_->game());
        }
    }

    // Script buttons get the usual feedback: frame 1 when hovered, frame 2 while pressed.
    void hoverButtons() {
        ctx_.handlers.ReadMousePosition(true);
        InputState& in = ctx_.input;
        in.hoveredButton = -1;
        for (const auto& [number, slot] : buttons_) {
            TMultiSprite* object = ctx_.sceneObjects->at(slot);
            if (!object) continue;
            bool over = ctx_.sceneObjects->ObjectContainsPoint(*object, in.mouseX, in.mouseY, 0, 0,
                                                               ctx_.prototypes->textures());
            if (over) in.hoveredButton = number;
            int frame = !over ? 0 : in.pressedButton == number ? 2 : 1;
            if (!object->sprites.empty() && object->sprites[0]->animCount > frame)
                object->sprites[0]->animPos = frame;
        }
    }

    Script script_;
    TMainForm& form_;
    Context& ctx_;
    HeadlessPlatform* headless_;
    std::vector<std::pair<int, int>> buttons_;  // button number, object slot
    std::unique_ptr<ShotSimulator> field_;
    std::unique_ptr<FieldView> view_;
    uint64_t fieldSteps_ = 0;
    size_t nextInput_ = 0;
    size_t nextOutput_ = 0;
    bool outputFailed_ = false;
};

}  // namespace

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
    int last = 0;
    while (last < 9999 && files.contentExists(levelFileName(*line.startMode, last + 1))) ++last;
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
    setup.contentRoot = line.dataDir.empty() ? QUIBBLESTAR_DEFAULT_DATA : line.dataDir;
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
    setup.contentRoot = line.dataDir.empty() ? QUIBBLESTAR_DEFAULT_DATA : line.dataDir;
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
        std::string root = line.dataDir.empty() ? QUIBBLESTAR_DEFAULT_DATA : line.dataDir;
        return checkContent(root, std::cout, decodeSoundFile) == 0 ? 0 : 1;
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

    if (!contentFolderUsable(line.dataDir.empty() ? QUIBBLESTAR_DEFAULT_DATA : line.dataDir)) return 2;
    if (!startLevelExists(line, line.dataDir.empty() ? QUIBBLESTAR_DEFAULT_DATA : line.dataDir)) return 2;
    FileSystem files(line.dataDir.empty() ? QUIBBLESTAR_DEFAULT_DATA : line.dataDir,
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
