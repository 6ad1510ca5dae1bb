#include <functional>

#include <gtest/gtest.h>

#include "app/context.h"
#include "app/frame_pacing.h"
#include "app/frame_timer.h"
#include "app/main_form.h"
#include "test_support.h"

namespace qs {
namespace {

// A scene that does only what the frame loop expects of every scene and counts its calls.
class CountingScene final : public Scene {
public:
    explicit CountingScene(Context& ctx) : ctx_(ctx) {}
    void start() override { ++starts; }
    bool setUpUpdate() override {
        if (ctx_.frame.sceneChangeRequest != 0) return false;
        ++setups;
        return true;
    }
    void update() override {
        if (ctx_.frame.sceneChangeRequest != 0) return;
        ++steps;
        if (onStep) onStep(steps);
    }
    void unload() override { ++unloads; }
    int starts = 0, setups = 0, steps = 0, unloads = 0;
    std::function<void(int)> onStep;

private:
    Context& ctx_;
};

struct FrameLoop {
    explicit FrameLoop(const std::string& options) {
        world.userFile("options.txt", options);
        world.content("text/combo.txt", "3,Combo\r\n5,Great\r\n");
        auto menuScene = std::make_unique<CountingScene>(*world.ctx);
        auto gameScene = std::make_unique<CountingScene>(*world.ctx);
        menu = menuScene.get();
        game = gameScene.get();
        form = std::make_unique<TMainForm>(*world.ctx, std::move(menuScene), std::move(gameScene));
        form->FormCreate();
    }
    // Runs timer ticks every 10 ms until the clock reaches `until`.
    void runUntil(uint32_t until) {
        while (world.clock->now() + FrameTimer::kInterval <= until) {
            world.clock->advance(FrameTimer::kInterval);
            form->TimerTick();
        }
    }
    FrameState& frame() { return world.ctx->frame; }

    test::TestWorld world;
    CountingScene* menu = nullptr;
    CountingScene* game = nullptr;
    std::unique_ptr<TMainForm> form;
};

TEST(FrameLoop, FirstFrameStartsTheMenuAndTheStepSchedule) {
    FrameLoop loop("move_cnt=16\nfps_max=60\n");
    loop.runUntil(10);
    EXPECT_EQ(loop.frame().currentScene, kSceneMenu);
    EXPECT_TRUE(loop.frame().appActive);
    EXPECT_EQ(loop.menu->starts, 1);
    EXPECT_EQ(loop.menu->setups, 1);
    EXPECT_EQ(loop.frame().sceneSetupState, 2);
    EXPECT_EQ(loop.frame().stepStart, 10u);
    ASSERT_EQ(loop.world.ctx->comboTexts.size(), 2u);
    EXPECT_EQ(loop.world.ctx->comboTexts[1].threshold, 5);
    EXPECT_EQ(loop.world.ctx->comboTexts[1].text, "Great");
}

TEST(FrameLoop, FirstFrameQueuesListEntriesWithTheirPlaces) {
    FrameLoop loop("move_cnt=16\nfps_max=60\n");
    std::vector<std::string> errors;
    loop.world.ctx->log.setErrorSink([&errors](const std::string& message) { errors.push_back(message); });
    loop.world.content("loading.msl", "; the loading screen\r\ngraphics\\absent.spr\r\n");
    loop.world.content("music.ini", "\r\nmusic_menu, , loop\r\n");
    loop.world.content("main.msl", "graphics\\back.spr\r\n");
    loop.world.content("sound.ini", "; samples\r\n\r\nsample_shot, sound\\shot.wav\r\n");
    loop.runUntil(10);

    // What the menu's loading phase loads later is handed to the menu (tests/menu).

    // Lists read and loaded at once name the line of a bad entry.
    for (const char* place : {"loading.msl line 2: ", "music.ini line 2: "}) {
        bool found = false;
        for (const std::string& error : errors) found = found || error.rfind(place, 0) == 0;
        EXPECT_TRUE(found) << place << "\n" << ::testing::PrintToString(errors);
    }
}

TEST(FrameLoop, StepRateFollowsMoveCountNotFrameRate) {
    struct Case {
        const char* options;
        int minSteps, maxSteps;
    };
    const Case cases[] = {
        {"move_cnt=16\nfps_max=60\n", 598, 600},
        {"move_cnt=16\nfps_max=25\n", 598, 600},
        {"move_cnt=16\nno_sync=1\n", 598, 600},
        {"move_cnt=8\nfps_max=60\n", 298, 301},
        // A game without steps would stand still: the slowest rate there is, and the shipped one.
        {"move_cnt=0\nfps_max=60\n", 36, 38},
        {"fps_max=60\n", 598, 600},
    };
    for (const Case& c : cases) {
        FrameLoop loop(c.options);
        loop.runUntil(10);
        uint32_t start = loop.frame().stepStart;
        loop.runUntil(start + 10000);
        EXPECT_GE(loop.menu->steps, c.minSteps) << c.options;
        EXPECT_LE(loop.menu->steps, c.maxSteps) << c.options;
        EXPECT_EQ(loop.menu->setups, 1) << c.options;
    }
}

TEST(FrameLoop, FramesFollowingTheDisplayAllPresentAndTheStepsKeepTheirSchedule) {
    FrameLoop loop("move_cnt=16\nfps_max=60\n");
    PacingChoice pacing = choosePacing(false, 0, loop.world.ctx->options.fps_max, false, 60);
    loop.frame().frameCapHolds = pacing.capHolds;
    FramePacer pacer(pacing, loop.world.clock->now());
    auto& device = loop.world.platform.fakeDevice();
    auto runUntil = [&](uint32_t until) {
        for (uint32_t now = loop.world.clock->now(); now <= until; ++now) {
            loop.world.clock->set(now);
            if (pacer.poll(now)) loop.form->TimerTick();
        }
    };
    runUntil(17);
    const uint32_t start = loop.frame().stepStart;
    const int presentsBefore = device.presents;
    runUntil(start + 10000);
    // 60 pictures a second (the 10 ms ticks with the cap gave 50), and the steps as before.
    EXPECT_GE(device.presents - presentsBefore, 599);
    EXPECT_LE(device.presents - presentsBefore, 601);
    EXPECT_GE(loop.menu->steps, 598);
    EXPECT_LE(loop.menu->steps, 600);
}

TEST(FrameLoop, FrameBeforeNextRenderTimeDrawsNothing) {
    FrameLoop loop("move_cnt=16\nfps_max=40\n");  // a picture every 25 ms at most
    auto& device = loop.world.platform.fakeDevice();
    loop.runUntil(10);
    EXPECT_EQ(device.presents, 1);
    loop.runUntil(20);  // 20 < 10 + 25
    EXPECT_EQ(device.presents, 1);
    EXPECT_TRUE(loop.frame().renderSkipped);
    EXPECT_FALSE(loop.frame().frameBusy);
    loop.runUntil(40);
    EXPECT_EQ(device.presents, 2);
    // The capped frames still ran their scene steps.
    EXPECT_GT(loop.menu->steps, 0);
}

TEST(FrameLoop, SwitchAskedForInsideTheStepLoopWaitsForTheNextFrame) {
    FrameLoop loop("move_cnt=16\nno_sync=1\n");
    loop.runUntil(10);
    // A stall: the next frame owes the scene many steps at once.
    loop.menu->onStep = [&](int step) {
        if (step == 3) loop.frame().sceneChangeRequest = kSceneGame;
    };
    loop.world.clock->advance(200);
    loop.form->TimerTick();
    EXPECT_EQ(loop.menu->steps, 3);
    EXPECT_EQ(loop.frame().currentScene, kSceneMenu);
    EXPECT_EQ(loop.game->starts, 0);
    uint64_t movesAfterSwitch = loop.form->spriteMoves();

    loop.world.clock->advance(10);
    loop.form->TimerTick();
    EXPECT_EQ(loop.menu->unloads, 1);
    EXPECT_EQ(loop.game->starts, 1);
    EXPECT_EQ(loop.frame().currentScene, kSceneGame);
    EXPECT_EQ(loop.menu->steps, 3);
    // The game's set-up call moved the sprites once.
    EXPECT_EQ(loop.form->spriteMoves(), movesAfterSwitch + 1);
}

TEST(FrameLoop, FocusLossPausesTheGameClockOnlyInTheGame) {
    for (bool inGame : {true, false}) {
        FrameLoop loop("move_cnt=16\nfps_max=60\n");
        loop.runUntil(10);
        if (inGame) {
            loop.frame().sceneChangeRequest = kSceneGame;
            loop.runUntil(1000);
            ASSERT_EQ(loop.frame().currentScene, kSceneGame);
            ASSERT_EQ(loop.frame().sceneSetupState, 2);
        }
        loop.runUntil(2000);
        int stepsBefore = inGame ? loop.game->steps : loop.menu->steps;
        loop.form->onDeactivate();
        EXPECT_FALSE(loop.frame().appActive);
        loop.runUntil(7000);
        loop.form->onActivate();
        EXPECT_TRUE(loop.frame().appActive);
        loop.runUntil(8000);

        uint32_t behind = loop.frame().frameTick - loop.frame().gameClock;
        if (inGame) {
            // The pause runs from the last frame before the loss to the first frame after.
            EXPECT_GE(behind, 5000u);
            EXPECT_LE(behind, 5010u);
        } else {
            EXPECT_EQ(behind, 0u);
        }
        // Scene steps go on while inactive: the frames still run.
        int stepsAfter = inGame ? loop.game->steps : loop.menu->steps;
        EXPECT_GT(stepsAfter - stepsBefore, 300);
    }
}

TEST(FrameLoop, InactiveApplicationDrawsNothing) {
    FrameLoop loop("move_cnt=16\nno_sync=1\n");
    loop.runUntil(100);
    auto& device = loop.world.platform.fakeDevice();
    int presents = device.presents;
    loop.form->onDeactivate();
    loop.runUntil(500);
    EXPECT_EQ(device.presents, presents);
    loop.form->onActivate();
    loop.runUntil(510);
    EXPECT_EQ(device.presents, presents + 1);
}

TEST(FrameLoop, StartsInTheDisplayModeTheOptionsAsk) {
    FrameLoop windowed("fullscreen=0\n");
    EXPECT_FALSE(windowed.world.platform.fullscreen);
    EXPECT_GE(windowed.world.platform.centred, 1);

    FrameLoop full("fullscreen=1\n");
    EXPECT_TRUE(full.world.platform.fullscreen);
    full.form->onToggleFullscreen();
    EXPECT_FALSE(full.world.platform.fullscreen);
    EXPECT_FALSE(full.world.ctx->options.fullscreen);
    // The toggle is stored for the next start.
    EXPECT_NE(test::readFile(full.world.dir / "user/options.txt").find("fullscreen=0"),
              std::string::npos);
}

TEST(FrameLoop, MissingComboFileIsReportedNotFatal) {
    test::TestWorld world;
    world.userFile("options.txt", "move_cnt=16\n");
    TMainForm form(*world.ctx);
    form.FormCreate();
    EXPECT_TRUE(world.ctx->comboTexts.empty());
    world.clock->advance(10);
    form.TimerTick();
    EXPECT_EQ(world.ctx->frame.currentScene, kSceneMenu);
}

TEST(FrameLoop, BadComboLinesAreSkipped) {
    test::TestWorld world;
    world.userFile("options.txt", "move_cnt=16\n");
    world.content("text/combo.txt", "3,Combo\r\nfour,Oops\r\n\r\n6,Mega, combo\r\n");
    TMainForm form(*world.ctx);
    form.FormCreate();
    ASSERT_EQ(world.ctx->comboTexts.size(), 2u);
    EXPECT_EQ(world.ctx->comboTexts[1].threshold, 6);
    EXPECT_EQ(world.ctx->comboTexts[1].text, "Mega");
}

TEST(FrameTimer, DropsItsBacklogAfterTenLateIntervals) {
    FrameTimer timer(0);
    EXPECT_FALSE(timer.poll(5));
    EXPECT_TRUE(timer.poll(10));
    EXPECT_FALSE(timer.poll(10));

    // A stall of 500 ms fires one tick, not fifty.
    int fired = 0;
    while (timer.poll(510)) ++fired;
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(timer.due(), 520u);

    // A short delay (five intervals) is caught up.
    fired = 0;
    while (timer.poll(570)) ++fired;
    EXPECT_EQ(fired, 6);
}

}  // namespace
}  // namespace qs
