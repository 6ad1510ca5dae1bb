// One frame of a busy game, and an empty frame beside it, measured two ways.
//
//   build/bench_bench_game_frame [--benchmark_repetitions=10 --benchmark_report_aggregates_only=true]
//
// CPU side (the windowless device): the game scene's step (the session's rules, the field
// view, the zone, the dragons, the particles), the sprite moves the frame loop does after a
// step, and building the frame's draw list. Software frame: the same, then the draw list
// drawn on SDL's software renderer (800 x 600) and presented, as the window's frame does.
//
// The busy game is the arcade's third level with its field pushed down to twelve full rows,
// the freeze and target bonuses running, four dozen sparkles alive and a shot in flight;
// whenever the cannon may fire again, the next shot goes off (the input a player's click
// would post). One game second (60 frames) is timed from that starting point; then the game
// is left and started again from the same seed, off the clock, so every timed second shows
// the same busy picture instead of drifting towards a lost or cleared field.
// The empty frame runs the same code over a scene with no objects.
//
// Goals (reported, not asserted): CPU side at most 0.25 ms, software frame at most 3.5 ms.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <unistd.h>

#include "app/context.h"
#include "app/main_form.h"
#include "game/bonuses.h"
#include "game/combo_table.h"
#include "game/game_session.h"
#include "game/shot_path.h"
#include "game/view/game_scene.h"
#include "render/null_device.h"
#include "render/render_pass.h"
#include "render/sdl_platform.h"
#include "scene/particles.h"
#include "scene/scene_object_list.h"
#include "visual/object_3d.h"
#include "visual/object_3d_pass.h"
#include "visual/prototype_library.h"
#include "visual/sprite_engine.h"

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kSeed = 7;
constexpr int kLevel = 3;
constexpr int kFullRows = 12;           // down from the ceiling
constexpr int kSparkles = 48;
constexpr int kEpisodeFrames = 60;      // one game second
constexpr uint32_t kGameStart = 1000;   // game clock (ms) when a game is entered
constexpr int kSetupStepLimit = 5000;   // a game that never gets busy is a broken benchmark
// Where the shots go, in turn: banks off both walls and straight ones.
constexpr double kAims[] = {0.55, -0.35, 0.12, -0.62, 0.3};

// The picture device: windowless for the CPU side, SDL's software renderer for the other.
enum class Device { kNull, kSoftware };

std::unique_ptr<qs::Platform> makePlatform(Device device) {
    if (device == Device::kNull)
        return std::make_unique<qs::NullPlatform>([](const std::string& caption, const std::string& text) {
            std::cerr << caption << ": " << text << '\n';
        });
    auto platform = qs::HeadlessPlatform::create([](const std::string& message) { std::cerr << message << '\n'; });
    if (!platform) {
        std::cerr << "no software renderer\n";
        std::exit(2);
    }
    return platform;
}

// A program's state over the game's own content, a user folder of its own, the game scene
// and the frame loop's per-frame work.
class World {
public:
    explicit World(Device device)
        : user_(fs::temp_directory_path() /
                ("qs-bench-frame-" + std::to_string(::getpid()) + "-" + std::to_string(++worlds_))),
          platform_(makePlatform(device)) {
        qs::FileSystem files(QUIBBLESTAR_SOURCE_DIR "/data", user_);
        std::string error;
        if (!files.prepareUserDir("options.txt", &error)) std::cerr << error << '\n';
        ctx_ = std::make_unique<qs::Context>(std::make_unique<qs::VirtualClock>(0), std::move(files),
                                             *platform_, kSeed);
        // A content problem means the frame is not the game's frame: say so loudly.
        ctx_->log.setErrorSink([](const std::string& message) { std::cerr << "content: " << message << '\n'; });
        ctx_->comboTexts = qs::readComboTable(ctx_->files, ctx_->log);
        ctx_->ReadOptions();
        ctx_->prototypes->textures().choosePixelFormat(ctx_->options.textures16bit);
        scene_ = std::make_unique<qs::GameScene>(*ctx_);
    }

    ~World() {
        if (started_) scene_->UnloadSceneMain();
        scene_.reset();
        ctx_.reset();
        platform_.reset();
        std::error_code ec;
        fs::remove_all(user_, ec);
    }

    // Leaves the game (if one runs) and enters a new one, brought to the busy starting point.
    void startBusyGame() {
        qs::Context& ctx = *ctx_;
        if (started_) scene_->UnloadSceneMain();
        started_ = true;
        ctx.random.reseed(kSeed);
        steps_ = 0;
        shots_ = 0;
        setClock(kGameStart);
        ctx.selectedMode = qs::kModeArcade;
        ctx.startLevel = kLevel;
        scene_->StartSceneMain();
        step();  // the game's set-up
        qs::GameSession& session = *scene_->session();
        qs::Gameplay& game = session.game();

        // The cannon comes up and the field slides in.
        stepUntil([&] { return session.mayFire(); }, "the cannon never got ready");
        // Twelve full rows: the field pushed down a row at a time.
        for (;;) {
            game.grid.updateRowStats();
            if (game.grid.lowestRow <= game.grid.rows - kFullRows) break;
            if (game.grid.ballsDown(qs::BallGrid::kRowPitch, ctx.random) == 0) break;
        }
        game.grid.updateRowStats();
        rows_ = game.grid.consecutiveRows;
        // Two bonuses fly to their slots and run (the freeze also holds the field where it is).
        qs::releaseBonus(game, qs::kBonusFreeze, 3, 400, 300);
        qs::releaseBonus(game, qs::kBonusTarget, 5, 300, 260);
        stepUntil([&] { return game.bonuses.active[qs::kBonusFreeze] && game.bonuses.active[qs::kBonusTarget]; },
                  "the bonuses never ran");
        stepUntil([&] { return session.mayFire(); }, "the cannon never got ready again");
        // Sparkles over the field.
        for (int i = 0; i < kSparkles; ++i)
            ctx.particles->Create(16, 160 + (i * 97) % 460, 80 + (i * 53) % 300);
        // The first shot, until it leaves the cannon.
        fireWhenReady();
        stepUntil([&] { return game.ball.has_value(); }, "the shot never left the cannon");
    }

    // What a player's click would post: the next shot as soon as the cannon may fire.
    void fireWhenReady() {
        qs::GameSession* session = scene_->session();
        if (!session || !session->mayFire()) return;
        qs::Gameplay& game = session->game();
        game.aim.smoothTurn = false;
        qs::setAimAngle(game.aim, kAims[shots_++ % (sizeof kAims / sizeof kAims[0])]);
        game.updatePath();
        ctx_->hooks.command(qs::input::Press{1});
    }

    // One scene step and the sprite moves after it, as the frame loop does at 60 steps a second.
    void step() {
        ++steps_;
        setClock(kGameStart + static_cast<uint32_t>(steps_ * 1000 / 60));
        scene_->UpdateSceneMain();
        ctx_->sceneObjects->ApplyTransformAll();
        ctx_->spriteEngine->Move(qs::kSpriteMoveCount);
        if (!ctx_->objects3D->empty()) ctx_->objects3D->Move(qs::kSpriteMoveCount);
    }

    // The frame's draw list from the sprites' places.
    void buildDrawList() {
        qs::DrawList& quads = ctx_->drawList;
        quads.clear();
        ctx_->spriteEngine->Draw(quads, ctx_->prototypes->textures());
        quads_ += quads.size();
    }

    // The picture: the 2D pass over the draw list, the 3D pass, and present.
    void render() {
        qs::RenderDevice& device = ctx_->platform().device();
        device.clear();
        bool textureFailure = false;
        qs::drawQuadPass(device, ctx_->drawList, textureFailure);
        if (textureFailure) {
            std::cerr << "a texture page is missing\n";
            std::exit(2);
        }
        if (!ctx_->objects3D->empty())
            qs::draw3DPass(device, *ctx_->objects3D, ctx_->prototypes->meshes(), ctx_->spriteEngine->scrollX,
                           ctx_->spriteEngine->scrollY);
        device.present();
    }

    uint64_t quadsDrawn() const { return quads_; }
    bool ballInFlight() const {
        const qs::GameSession* session = scene_->session();
        return session && session->game().ball;
    }
    void savePicture(const std::string& path) {
        std::string error;
        if (!ctx_->platform().device().saveScreenshot(path, &error)) std::cerr << path << ": " << error << '\n';
    }
    int fullRows() const { return rows_; }
    int liveObjects() const { return ctx_->sceneObjects->liveCount(); }
    size_t sprites() const { return ctx_->spriteEngine->size(); }
    int particles() const { return ctx_->particles->liveCount(); }
    void resetCounts() { quads_ = 0; }

private:
    void setClock(uint32_t now) {
        ctx_->frame.frameTick = now;
        ctx_->frame.gameClock = now;
    }

    template <typename Done>
    void stepUntil(Done done, const char* failure) {
        for (int i = 0; !done(); ++i) {
            if (i == kSetupStepLimit) {
                std::cerr << failure << '\n';
                std::exit(2);
            }
            step();
        }
    }

    static inline int worlds_ = 0;
    fs::path user_;
    std::unique_ptr<qs::Platform> platform_;
    std::unique_ptr<qs::Context> ctx_;
    std::unique_ptr<qs::GameScene> scene_;
    bool started_ = false;
    uint64_t steps_ = 0;  // since the game was entered: the game clock follows it
    int shots_ = 0;
    int rows_ = 0;
    uint64_t quads_ = 0;
};

void runFrames(benchmark::State& state, Device device, bool busy) {
    World world(device);
    if (busy) world.startBusyGame();
    world.resetCounts();
    int objects = world.liveObjects(), particles = world.particles();
    size_t sprites = world.sprites();
    int framesLeft = kEpisodeFrames;
    uint64_t ballFrames = 0;
    for (auto _ : state) {
        if (busy && framesLeft == 0) {
            state.PauseTiming();
            world.startBusyGame();
            framesLeft = kEpisodeFrames;
            state.ResumeTiming();
        }
        --framesLeft;
        world.fireWhenReady();
        world.step();
        world.buildDrawList();
        if (device == Device::kSoftware) world.render();
        ballFrames += world.ballInFlight();
        benchmark::ClobberMemory();
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["quads"] = static_cast<double>(world.quadsDrawn()) / frames;
    state.counters["ball_in_flight"] = static_cast<double>(ballFrames) / frames;
    state.counters["objects"] = objects;
    state.counters["sprites"] = static_cast<double>(sprites);
    state.counters["particles"] = particles;
    if (busy) state.counters["full_rows"] = world.fullRows();
    // QUIBBLESTAR_FRAME_PICTURE=FILE.png keeps the busy software frame's picture for a look.
    if (const char* picture = std::getenv("QUIBBLESTAR_FRAME_PICTURE"); picture && busy && device == Device::kSoftware) {
        world.startBusyGame();
        world.step();
        world.buildDrawList();
        world.render();
        world.savePicture(picture);
    }
}

void BM_CpuFrameBusy(benchmark::State& state) { runFrames(state, Device::kNull, true); }
void BM_CpuFrameEmpty(benchmark::State& state) { runFrames(state, Device::kNull, false); }
void BM_SoftwareFrameBusy(benchmark::State& state) { runFrames(state, Device::kSoftware, true); }
void BM_SoftwareFrameEmpty(benchmark::State& state) { runFrames(state, Device::kSoftware, false); }

BENCHMARK(BM_CpuFrameBusy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CpuFrameEmpty)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SoftwareFrameBusy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SoftwareFrameEmpty)->Unit(benchmark::kMicrosecond);

// Prints the usual table, then the frames against their goals (medians when repeated). The
// goals are judged on CPU time: the cores are shared, and waiting for one is not the frame's.
class GoalReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            if ((median || single) && run.iterations > 0)
                times_[run.run_name.function_name] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        report("CPU side", "BM_CpuFrameBusy", "BM_CpuFrameEmpty", 250);
        report("software frame", "BM_SoftwareFrameBusy", "BM_SoftwareFrameEmpty", 3500);
    }

private:
    struct Times {
        double real = 0, cpu = 0;  // microseconds
    };
    void report(const char* what, const char* busy, const char* empty, double goal) {
        auto b = times_.find(busy), e = times_.find(empty);
        if (b == times_.end() || e == times_.end()) return;
        std::printf("%s: busy %.1f us CPU (%.1f real), empty %.3f us CPU (%.3f real); goal <= %.0f us: %s\n",
                    what, b->second.cpu, b->second.real, e->second.cpu, e->second.real, goal,
                    b->second.cpu <= goal ? "met" : "missed");
    }
    std::map<std::string, Times> times_;
};

}  // namespace

int main(int argc, char** argv) {
    // No display: SDL is told so before anything of it starts.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    GoalReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
