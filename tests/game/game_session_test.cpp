#include "game/game_session.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/file_system.h"
#include "core/log.h"
#include "game/bonuses.h"
#include "game/view/game_scene.h"
#include "game_test_support.h"
#include "test_support.h"

namespace qs {
namespace {

constexpr uint32_t kFrameMs = 16;  // the scene's step, about 60 a second

// Arcade and challenge: `interval` ms between descents (arcade) or drain steps (challenge),
// score divisor 1 (the arcade gauge is the plain score), three colours, no bonus balls.
std::string plainLevel(int interval = 60000, int newBonus = 0) {
    return std::to_string(interval) + "\n1\n3\n0\n" + std::to_string(newBonus) + "\n";
}

// Four rows from the ceiling down, the land on top:
//   23  LLLLLLLLLLLL
//   22   C.....C
//   21  11.....22
//   20   .....33
// Each crystal rests on a pair of balls; the field comes down to row 8.
std::string puzzleLevel(int newBonus = 0) {
    return "8\n1\nLLLLLLLLLLLL\nC.....C\n11.....22\n.....33\n#\n0\n" + std::to_string(newBonus) + "\n";
}

// A game of one mode over a folder of level files, on a clock the test moves.
struct GameFixture {
    explicit GameFixture(GameMode mode, SavedProgress start = {}, std::vector<int> levels = {})
        : mode(mode), files(dir.path(), dir.path() / "user"), options(defaultGameplayOptions()),
          combos(test::standardCombos()), random(7) {
        store.save(mode, start);
        if (levels.empty()) levels.push_back(start.level);
        for (int number : levels) level(number, mode == kModePuzzle ? puzzleLevel() : plainLevel());
    }

    void level(int number, const std::string& text) {
        dir.write(FileSystem::normaliseName(levelFileName(mode, number)), text);
    }

    // The first frame of the game.
    void begin() {
        session = std::make_unique<GameSession>(options, combos, random, files, log, store);
        game().aim.smoothTurn = false;
        session->beginGame(mode, now);
    }
    // Begins the game and plays its start: the level starts after the cannon's intro, the field
    // comes in (a click brings down what is still far away) and the net closes.
    void play() {
        begin();
        ASSERT_TRUE(until([&] { return started() && session->cannonReady() && game().net.direction == 0; }));
        if (session->fastDropping() && toStartRow() >= 40) press(1);
        ASSERT_TRUE(until([&] { return !session->fastDropping(); }));
        step();
        ASSERT_TRUE(session->mayFire());
    }

    void step(const std::vector<GameCommand>& commands = {}, uint32_t ms = kFrameMs) {
        now += ms;
        session->step(now, commands);
    }
    // Frames up to `when`, the last one shorter when needed.
    void runTo(uint32_t when) {
        while (now + kFrameMs <= when) step();
        if (now < when) step({}, when - now);
    }
    bool until(const std::function<bool()>& done, int maxFrames = 3000) {
        for (int i = 0; i < maxFrames && !done(); ++i) step();
        return done();
    }
    // A mouse press in the play area: 1 the left button (fire), 2 another (swap, or the
    // rocket while one is held), with the pointer at (x, y) when given.
    void press(int button, int x = -1000, int y = 0) {
        std::vector<GameCommand> commands;
        if (x != -1000) commands.push_back(command::Pointer{x, y});
        if (button == 1) commands.push_back(command::Fire{});
        else if (game().queue.rocketCount >= 1) commands.push_back(command::FireRocket{});
        else commands.push_back(command::Swap{});
        step(commands);
    }
    void command(const GameCommand& command) { step({command}); }

    GameSession& s() { return *session; }
    Gameplay& game() { return session->game(); }
    BallGrid& grid() { return game().grid; }
    bool started() { return !session->levelStartPending(); }
    // Pixels the field still has to come down at the level start.
    int toStartRow() { return (grid().lowestRow - session->fastDropRow()) * BallGrid::kRowPitch - grid().scroll; }
    // How high the lowest row stands, in pixels (it grows as the field climbs).
    int height() {
        grid().updateRowStats();
        return grid().lowestRow * BallGrid::kRowPitch - grid().scroll;
    }
    SavedProgress saved() { return store.load(mode); }

    // Brings about the mode's loss (a ball held in row 0, an empty gauge, a ball in row -1)
    // and returns once the field bursts.
    void lose() {
        switch (mode) {
            case kModeArcade: grid().setCell(5, 0, 1); break;
            case kModeChallenge: game().score.scoreGauge = 0; break;
            case kModePuzzle: grid().setCell(5, BallGrid::kFirstRow, 1); break;
        }
        ASSERT_TRUE(until([&] { return s().state() == kGameLosing; }, 1000));
    }
    // Fills the mode's gauge (every crystal for the puzzle) and returns once the cleared field
    // has climbed out and the statistics are up.
    void completeLevel() {
        switch (mode) {
            case kModeArcade: game().score.plainScore = 333; break;
            case kModeChallenge: game().score.scoreGauge = 333; break;
            case kModePuzzle: game().score.crystalsCollected = game().levelValues.crystalsInLevel; break;
        }
        ASSERT_TRUE(until([&] { return s().state() == kGameStatistics; }, 1000));
    }

    GameMode mode;
    test::TempDir dir;
    FileSystem files;
    GameOptions options;
    std::vector<ComboText> combos;
    Random random;
    Log log;
    MemoryProgressStore store;
    std::unique_ptr<GameSession> session;
    uint32_t now = 1000;
};

const char* modeName(GameMode mode) {
    return mode == kModeArcade ? "arcade" : mode == kModeChallenge ? "challenge" : "puzzle";
}

TEST(GameSessionLoss, ArcadeRowZeroLosesAfterFiveSecondsUnlessItEmpties) {
    struct Case {
        uint32_t heldMs;
        bool lost;
    };
    for (const Case c : {Case{4999, false}, Case{5000, true}}) {
        GameFixture f(kModeArcade);
        ASSERT_NO_FATAL_FAILURE(f.play());
        f.grid().setCell(5, 0, 1);
        f.step();
        ASSERT_TRUE(f.s().lossCountdown());
        const uint32_t since = f.now;
        f.runTo(since + c.heldMs);
        EXPECT_EQ(f.s().state(), c.lost ? kGameLosing : kGamePlaying) << c.heldMs;
        if (c.lost) continue;
        f.grid().emptyCell(5, 0);
        f.step();
        EXPECT_FALSE(f.s().lossCountdown());
        f.runTo(f.now + 6000);
        EXPECT_EQ(f.s().state(), kGamePlaying);
    }
}

TEST(GameSessionLoss, TheExitDialogHoldsTheCountdownWhereItWas) {
    GameFixture f(kModeArcade);
    ASSERT_NO_FATAL_FAILURE(f.play());
    f.grid().setCell(5, 0, 1);
    f.step();
    const uint32_t since = f.now;
    f.runTo(since + 3000);
    f.command(command::OpenExitDialog{});
    // A long think in the dialog neither loses the game nor starts the count again.
    f.runTo(f.now + 20000);
    EXPECT_EQ(f.s().state(), kGameExitDialog);
    f.command(command::CloseExitDialog{});
    const uint32_t back = f.now;
    f.runTo(back + 1900);
    EXPECT_EQ(f.s().state(), kGamePlaying);
    f.runTo(back + 2100);
    EXPECT_EQ(f.s().state(), kGameLosing);
}

TEST(GameSessionLoss, ChallengeGaugeAtZeroLosesAfterHalfASecondUnlessItRises) {
    struct Case {
        bool rises;
    };
    for (const Case c : {Case{false}, Case{true}}) {
        GameFixture f(kModeChallenge);
        f.level(1, plainLevel(100));
        ASSERT_NO_FATAL_FAILURE(f.play());
        // Below 50 the gauge drains by halves: 0.5 reaches exactly 0.
        f.game().score.scoreGauge = 0.5;
        ASSERT_TRUE(f.until([&] { return f.s().progress() <= 0; }, 20));
        EXPECT_EQ(f.s().progress(), 0.0);
        EXPECT_TRUE(f.s().lossCountdown());
        const uint32_t since = f.now;
        if (c.rises) {
            f.runTo(since + 300);
            f.game().score.scoreGauge = 100;
            f.step();
            EXPECT_FALSE(f.s().lossCountdown());
            f.runTo(since + 2000);
            EXPECT_EQ(f.s().state(), kGamePlaying);
        } else {
            f.runTo(since + 499);
            EXPECT_EQ(f.s().state(), kGamePlaying);
            f.runTo(since + 500);
            EXPECT_EQ(f.s().state(), kGameLosing);
        }
    }
}

TEST(GameSessionGauge, ChallengeDrainKeepsItsIntervalOnTheFrameClock) {
    GameFixture f(kModeChallenge);
    f.level(1, plainLevel(100));
    ASSERT_NO_FATAL_FAILURE(f.play());
    f.game().score.scoreGauge = 300;
    f.runTo(f.now + 3000);
    // One step of 1 every 100 ms, whatever the 16 ms frames make of it.
    EXPECT_NEAR(f.s().progress(), 270, 1);
}

TEST(GameSessionLevel, PuzzleWithoutCrystalsIsCompleteAtOnce) {
    GameFixture f(kModePuzzle);
    f.level(1, "8\n1\nLLLLLLLLLLLL\n11.....22\n#\n0\n0\n");
    f.begin();
    ASSERT_TRUE(f.until([&] { return f.started(); }));
    EXPECT_NE(f.s().state(), kGamePlaying);
    EXPECT_EQ(f.s().progress(), 333);
    EXPECT_TRUE(f.until([&] { return f.s().state() == kGameStatistics; }, 10));
}

TEST(GameSessionFastDrop, AShortDropFiresByItselfOnceTheCannonMayFire) {
    enum Shot { kNextFrame, kWhenNetOpen, kNever };
    struct Case {
        const char* name;
        int distance;    // pixels left to the start row when the player clicks
        bool netMoving;  // the net opens (a net-expand bonus) as the player clicks
        bool tryAgain;   // the level starts again before the shot could leave
        Shot shot;
    };
    const Case cases[] = {
        {"short drop", 30, false, false, kNextFrame},
        {"long drop", 80, false, false, kNever},
        {"net opening", 30, true, false, kWhenNetOpen},
        {"level restarted", 30, true, true, kNever},
    };
    for (const Case& c : cases) {
        GameFixture f(kModeArcade);
        f.begin();
        ASSERT_TRUE(f.until([&] { return f.started(); })) << c.name;
        // The intro at 20 frames a second leaves the field far enough up for either distance.
        while (!f.s().cannonReady()) f.step({}, 50);
        ASSERT_TRUE(f.s().fastDropping()) << c.name;
        ASSERT_GT(f.toStartRow(), c.distance) << c.name;
        ASSERT_TRUE(f.until([&] { return f.toStartRow() == c.distance; })) << c.name;
        if (c.netMoving) f.game().net = NetState{kNetClosed, kNetOpen, -1, f.now + kNetStepMs};

        f.press(1);
        EXPECT_NEAR(f.toStartRow(), 0, 1) << c.name;  // where the slide-in would have stopped
        EXPECT_FALSE(f.s().fastDropping()) << c.name;
        EXPECT_FALSE(f.game().ball) << c.name;
        if (c.tryAgain) {
            f.command(command::TryAgain{});
            ASSERT_TRUE(f.until([&] { return f.started() && f.s().cannonReady() && !f.s().fastDropping(); }))
                << c.name;
        }
        int frame = 0;
        while (!f.game().ball && frame < 90) {
            f.step();
            ++frame;
        }
        switch (c.shot) {
            case kNextFrame: EXPECT_EQ(frame, 1) << c.name; break;
            case kWhenNetOpen:
                EXPECT_GT(frame, 1) << c.name;
                EXPECT_EQ(f.game().net.frame, kNetOpen) << c.name;
                break;
            case kNever: EXPECT_FALSE(f.game().ball) << c.name; break;
        }
    }
}

TEST(GameSessionFiring, NoShotBeforeTheCannonIsUpWhileTheNetMovesOrWithoutAPath) {
    struct Case {
        const char* name;
        GameMode mode;
        std::function<void(GameFixture&)> setUp;
    };
    const Case cases[] = {
        {"cannon intro", kModeArcade,
         [](GameFixture& f) {
             f.begin();
             ASSERT_TRUE(f.until([&] { return f.started(); }));
             ASSERT_FALSE(f.s().cannonReady());
         }},
        {"net opening", kModeArcade,
         [](GameFixture& f) {
             f.play();
             f.game().net = NetState{kNetClosed, kNetOpen, -1, f.now + kNetStepMs};
             f.step();
         }},
        {"no path", kModeArcade,
         [](GameFixture& f) {
             f.play();
             // A net drawn in past every column leaves the ball no cell to take.
             f.grid().netMargin = 8;
             f.step();
             ASSERT_EQ(f.game().path.count(), 0);
         }},
    };
    for (const Case& c : cases) {
        GameFixture f(c.mode);
        ASSERT_NO_FATAL_FAILURE(c.setUp(f)) << c.name;
        const bool dropping = f.s().fastDropping();
        const int before = f.toStartRow();
        f.press(1);
        EXPECT_FALSE(f.game().ball) << c.name;
        EXPECT_EQ(f.s().shotCount(), 0) << c.name;
        // A click that is not a shot does not bring the field down either.
        EXPECT_EQ(f.s().fastDropping(), dropping) << c.name;
        if (dropping) {
            EXPECT_GE(f.toStartRow(), before - 1) << c.name;
        }
    }
}

TEST(GameSessionFiring, AShotFollowsTheFieldAsABombLeftIt) {
    GameFixture f(kModeArcade);
    ASSERT_NO_FATAL_FAILURE(f.play());
    // A colour bomb where the next shot would dock, going off in the frame of the click: the
    // path drawn before it would send the ball to a cell that hangs in the air.
    const ShotPath before = f.game().path;
    ASSERT_TRUE(before.hasTarget());
    f.grid().setCell(before.targetColumn, before.targetRow, kCellColourBomb, 5);
    f.game().bombDeadline = f.now + kFrameMs;
    f.press(1);
    ASSERT_TRUE(f.game().ball.has_value());
    EXPECT_EQ(f.game().bombDeadline, 0u);
    ShotPath now;
    const AimState& aim = f.game().aim;
    computePath(now, f.grid(), kModeArcade, f.options.ball_step, aim.muzzleX, aim.muzzleY, aim.launchVX,
                aim.launchVY);
    ASSERT_GT(now.targetRow, before.targetRow);
    EXPECT_EQ(f.game().path.targetColumn, now.targetColumn);
    EXPECT_EQ(f.game().path.targetRow, now.targetRow);
}

TEST(GameSessionFiring, SwapNeedsPlayWithNothingInFlight) {
    struct Case {
        const char* name;
        std::function<void(GameFixture&)> setUp;
        bool swaps;
    };
    const Case cases[] = {
        {"ready", [](GameFixture&) {}, true},
        {"climb pending", [](GameFixture& f) { f.game().pendingClimb = 30; }, true},
        {"ball in flight", [](GameFixture& f) { f.press(1); }, false},
        {"exit dialog", [](GameFixture& f) { f.command(command::OpenExitDialog{}); }, false},
    };
    for (const Case& c : cases) {
        GameFixture f(kModeArcade);
        ASSERT_NO_FATAL_FAILURE(f.play());
        c.setUp(f);
        f.game().queue.current = QueuedBall{1, 0, 0};
        f.game().queue.next = QueuedBall{2, 0, 0};
        f.press(2);
        EXPECT_EQ(f.game().queue.current.kind, c.swaps ? 2 : 1) << c.name;
        EXPECT_EQ(f.game().queue.next.kind, c.swaps ? 1 : 2) << c.name;
    }
}

TEST(GameSessionFiring, TheBallOfAShotUnderWayCannotBeSwappedAway) {
    GameFixture f(kModeArcade);
    f.begin();
    ASSERT_TRUE(f.until([&] { return f.started(); }));
    while (!f.s().cannonReady()) f.step({}, 50);
    ASSERT_TRUE(f.until([&] { return f.toStartRow() == 30; }));
    f.game().net = NetState{kNetClosed, kNetOpen, -1, f.now + kNetStepMs};
    f.press(1);  // the field drops; the shot waits for the net
    f.game().queue.current = QueuedBall{1, 0, 0};
    f.game().queue.next = QueuedBall{2, 0, 0};
    f.press(2);
    ASSERT_TRUE(f.until([&] { return f.game().ball.has_value(); }, 90));
    EXPECT_EQ(f.game().ball->kind, 1);
    EXPECT_EQ(f.s().shotCount(), 1);
}

TEST(GameSessionFiring, AClickWhileTheShotWaitsSendsOneBallOnly) {
    GameFixture f(kModeArcade);
    f.begin();
    ASSERT_TRUE(f.until([&] { return f.started(); }));
    while (!f.s().cannonReady()) f.step({}, 50);
    ASSERT_TRUE(f.until([&] { return f.toStartRow() == 30; }));
    f.game().net = NetState{kNetClosed, kNetOpen, -1, f.now + kNetStepMs};
    f.press(1);
    // The player keeps clicking until the ball leaves.
    for (int frame = 0; frame < 90 && !f.game().ball; ++frame) f.press(1);
    ASSERT_TRUE(f.game().ball.has_value());
    ASSERT_TRUE(f.until([&] { return !f.game().ball; }, 500));
    f.runTo(f.now + 1000);
    EXPECT_EQ(f.s().shotCount(), 1);
}

TEST(GameSessionScore, ShownScoreClimbsByATenthPlusOneEveryTwentyMs) {
    GameFixture f(kModeArcade);
    ASSERT_NO_FATAL_FAILURE(f.play());
    ASSERT_EQ(f.s().shownScore(), 0);
    f.game().score.totalScore = 1000;
    std::vector<int64_t> shown;
    std::vector<uint32_t> at;
    while (shown.size() < 3) {
        f.step({}, 1);
        if (f.s().shownScore() != (shown.empty() ? 0 : shown.back())) {
            shown.push_back(f.s().shownScore());
            at.push_back(f.now);
        }
    }
    EXPECT_EQ(shown, (std::vector<int64_t>{101, 191, 272}));
    EXPECT_EQ(at[1] - at[0], 20u);
    EXPECT_EQ(at[2] - at[1], 20u);

    // On the 16 ms frames it still takes fifty steps a second.
    f.game().score.totalScore = 2000000000;
    int steps = 0;
    const uint32_t from = f.now;
    while (f.now + kFrameMs <= from + 1000) {
        const int64_t before = f.s().shownScore();
        f.step();
        steps += f.s().shownScore() != before ? 1 : 0;
    }
    EXPECT_NEAR(steps, 50, 1);
}

TEST(GameSessionScore, ShownScoreJumpsToTheTotalOnlyWhileAnOverlayIsUp) {
    struct Case {
        GameState state;
        bool jumps;
    };
    const Case cases[] = {
        {kGameOverDialog, true}, {kGameStatistics, true}, {kGameRecords, true}, {kGameTryAgain, true},
        {kGameExitDialog, true}, {kGameMessage, true},    {kGamePlaying, false}, {kGameButtonReleased, false},
    };
    for (const Case& c : cases) {
        GameFixture f(kModeArcade);
        ASSERT_NO_FATAL_FAILURE(f.play());
        f.s().setState(c.state);
        f.game().score.totalScore = 5000;
        f.runTo(f.now + 40);
        EXPECT_EQ(f.s().shownScore() == 5000, c.jumps) << c.state;
    }
}

TEST(GameSessionLoss, LosingSavesProgressAndShowsTheModesScreenAfterASecond) {
    struct Case {
        GameMode mode;
        SavedProgress start;
        SavedProgress after;
        GameState screen;
        int screenKind;
    };
    // Each game earns 150 points in its level before it is lost.
    const Case cases[] = {
        {kModeArcade, {3, 800, 100, 1}, {3, 800, 100, -1}, kGameOverDialog, kScreenGameOver},
        {kModeArcade, {7, 900, 500, 1}, {5, 0, 500, 0}, kGameOverDialog, kScreenGameOver},
        {kModeChallenge, {12, 900, 500, 1}, {10, 0, 500, 0}, kGameOverDialog, kScreenGameOver},
        // A puzzle is tried again from where it was lost, with the score it started with.
        {kModePuzzle, {3, 800, 100, 1}, {3, 800, 100, -1}, kGameTryAgain, kScreenTryAgain},
        {kModePuzzle, {7, 800, 100, 1}, {7, 800, 100, 0}, kGameTryAgain, kScreenTryAgain},
    };
    for (const Case& c : cases) {
        const std::string name = std::string(modeName(c.mode)) + " level " + std::to_string(c.start.level);
        GameFixture f(c.mode, c.start);
        ASSERT_NO_FATAL_FAILURE(f.play()) << name;
        f.game().score.levelScore += 150;
        f.game().score.totalScore += 150;
        ASSERT_NO_FATAL_FAILURE(f.lose()) << name;
        const uint32_t since = f.now;
        const SavedProgress saved = f.saved();
        EXPECT_EQ(saved.level, c.after.level) << name;
        EXPECT_EQ(saved.score, c.after.score) << name;
        EXPECT_EQ(saved.checkpointScore, c.after.checkpointScore) << name;
        EXPECT_EQ(saved.continueFlag, c.after.continueFlag) << name;
        // While the field bursts the score still counts up.
        f.game().score.totalScore += 5000;
        f.step();
        EXPECT_LT(f.s().shownScore(), f.game().score.totalScore) << name;

        f.runTo(since + 999);
        EXPECT_EQ(f.s().state(), kGameLosing) << name;
        f.runTo(since + 1000);
        EXPECT_EQ(f.s().state(), c.screen) << name;
        EXPECT_EQ(screenKindOf(f.s()), c.screenKind) << name;
        // The puzzle's crystals fall with the burst field, but a lost puzzle collected none.
        EXPECT_EQ(f.game().score.crystalsCollected, 0) << name;
        EXPECT_LT(f.s().shownProgress(), c.mode == kModePuzzle ? 1 : 1e9) << name;
    }
}

TEST(GameSessionLevel, FinishingALevelSavesTheNextAndPicksTheStatistics) {
    struct Case {
        GameMode mode;
        int level;
        bool nextExists;
        int newBonus;
        StatisticsKind kind;
        SavedProgress after;
    };
    // Every game starts with a checkpoint score of 100 and ends its level with 1234 points.
    const Case cases[] = {
        {kModeArcade, 4, true, 0, StatisticsKind::kBestShot, {5, 1234, 1234, 1}},
        {kModeArcade, 3, true, 2, StatisticsKind::kNewItem, {4, 1234, 100, 1}},
        {kModeChallenge, 9, true, 0, StatisticsKind::kBestShot, {10, 1234, 1234, 1}},
        {kModePuzzle, 4, true, 9, StatisticsKind::kNewItem, {5, 1234, 100, 1}},
        {kModeArcade, 6, false, 0, StatisticsKind::kGameWon, {1, 0, 100, -1}},
        {kModePuzzle, 2, false, 0, StatisticsKind::kGameWon, {1, 0, 100, -1}},
    };
    for (const Case& c : cases) {
        const std::string name = std::string(modeName(c.mode)) + " level " + std::to_string(c.level);
        GameFixture f(c.mode, SavedProgress{c.level, 1000, 100, 1});
        f.level(c.level, c.mode == kModePuzzle ? puzzleLevel(c.newBonus) : plainLevel(60000, c.newBonus));
        if (c.nextExists) f.level(c.level + 1, c.mode == kModePuzzle ? puzzleLevel() : plainLevel());
        ASSERT_NO_FATAL_FAILURE(f.play()) << name;
        f.game().score.totalScore = 1234;
        ASSERT_NO_FATAL_FAILURE(f.completeLevel()) << name;
        EXPECT_EQ(screenKindOf(f.s()), kScreenStatistics) << name;
        EXPECT_EQ(f.s().statisticsKind(), c.kind) << name;
        EXPECT_EQ(f.s().gameWon(), c.kind == StatisticsKind::kGameWon) << name;
        const SavedProgress saved = f.saved();
        EXPECT_EQ(saved.level, c.after.level) << name;
        EXPECT_EQ(saved.score, c.after.score) << name;
        EXPECT_EQ(saved.checkpointScore, c.after.checkpointScore) << name;
        EXPECT_EQ(saved.continueFlag, c.after.continueFlag) << name;
    }
}

TEST(GameSessionLevel, NextLevelStartsTheFollowingFile) {
    GameFixture f(kModeArcade, SavedProgress{1, 0, 0, 1}, {1, 2});
    ASSERT_NO_FATAL_FAILURE(f.play());
    f.game().score.totalScore = 700;
    ASSERT_NO_FATAL_FAILURE(f.completeLevel());
    f.command(command::NextLevel{});
    EXPECT_EQ(f.s().level(), 2);
    EXPECT_EQ(f.s().state(), kGamePlaying);
    EXPECT_EQ(screenKindOf(f.s()), kScreenNone);
    ASSERT_TRUE(f.until([&] { return f.started(); }));
    EXPECT_TRUE(f.s().fastDropping());
    EXPECT_EQ(f.game().score.totalScore, 700);
    EXPECT_EQ(f.game().score.levelScore, 0);
    EXPECT_EQ(f.saved().level, 2);
}

TEST(GameSessionTryAgain, StartsFromTheCheckpointOutsidePuzzle) {
    struct Case {
        GameMode mode;
        SavedProgress start;
        int level;
        int64_t score;
    };
    const Case cases[] = {
        {kModeArcade, {7, 9000, 4000, 0}, 5, 4000},
        {kModeChallenge, {12, 9000, 7000, 0}, 10, 7000},
        {kModeArcade, {3, 800, 0, -1}, 1, 0},
        {kModePuzzle, {7, 800, 0, 0}, 7, 800},
    };
    for (const Case& c : cases) {
        const std::string name = std::string(modeName(c.mode)) + " level " + std::to_string(c.start.level);
        GameFixture f(c.mode, c.start, {c.start.level, c.level});
        ASSERT_NO_FATAL_FAILURE(f.play()) << name;
        f.game().score.levelScore = 300;
        f.game().score.totalScore += 300;
        f.command(command::TryAgain{});
        const SavedProgress saved = f.saved();
        EXPECT_EQ(saved.level, c.level) << name;
        EXPECT_EQ(saved.score, c.score) << name;
        EXPECT_EQ(saved.continueFlag, 1) << name;
        ASSERT_TRUE(f.until([&] { return f.started(); })) << name;
        EXPECT_EQ(f.s().level(), c.level) << name;
        EXPECT_EQ(f.s().state(), kGamePlaying) << name;
        EXPECT_EQ(f.game().score.totalScore, c.score) << name;
        EXPECT_EQ(f.s().shownScore(), c.score) << name;
        EXPECT_EQ(f.game().score.levelScore, 0) << name;
        // A puzzle tried again starts at once; the other modes slide their field in.
        EXPECT_EQ(f.s().fastDropping(), c.mode != kModePuzzle) << name;
        EXPECT_EQ(f.s().cannonReady(), c.mode == kModePuzzle) << name;
    }
}

// Until its first level starts a game's net stands closed: the walls of the last game's
// field never show, and the net closes once, at the level start.
TEST(GameSessionLevelStart, TheNetStandsClosedUntilTheLevelStarts) {
    for (GameMode mode : {kModeArcade, kModeChallenge, kModePuzzle}) {
        GameFixture f(mode);
        f.begin();
        f.game().net = NetState{};  // what a session left behind
        f.s().beginGame(mode, f.now);
        int direction = 0;
        while (!f.started()) {
            EXPECT_EQ(f.game().net.frame, kNetClosed) << modeName(mode);
            direction = f.game().net.direction;
            f.step();
        }
        EXPECT_EQ(direction, 0) << modeName(mode);
        EXPECT_LT(f.game().net.frame, kNetClosed) << modeName(mode) << ": the level start opens it";
    }
}

// A click, Space or Enter while the cannon comes up or the field slides in has the level
// start over at once: the cannon up, the field at its start row, and no shot.
TEST(GameSessionLevelStart, AClickOrAKeyHurriesTheStartWithoutAShot) {
    struct Case {
        const char* name;
        GameCommand command;
        int afterMs;  // into the game: still in the first cannon intro, or in the slide-in
    };
    const Case cases[] = {
        {"click in the cannon's intro", command::Fire{}, 200},
        {"Space in the cannon's intro", command::Hurry{}, 200},
        {"Enter in the slide-in", command::Hurry{}, 2500},
        {"click in the slide-in", command::Fire{}, 2500},
    };
    for (const Case& c : cases) {
        GameFixture f(kModeArcade);
        f.begin();
        f.runTo(c.afterMs);
        ASSERT_TRUE(f.s().fastDropping() || !f.s().cannonReady()) << c.name;
        f.command(c.command);
        ASSERT_TRUE(f.until([&] { return f.started() && f.s().cannonReady() && !f.s().fastDropping(); }, 3)) << c.name;
        EXPECT_NEAR(f.toStartRow(), 0, 1) << c.name;  // where the slide-in would have stopped
        EXPECT_FALSE(f.game().ball) << c.name;
        EXPECT_EQ(f.s().shotCount(), 0) << c.name;
    }
}

TEST(GameSessionTryAgain, FromTheGameOverDialogBackToTheCheckpoint) {
    GameFixture f(kModeArcade, SavedProgress{7, 9000, 4000, 1}, {5, 7});
    ASSERT_NO_FATAL_FAILURE(f.play());
    ASSERT_NO_FATAL_FAILURE(f.lose());
    ASSERT_TRUE(f.until([&] { return f.s().state() == kGameOverDialog; }, 100));
    f.command(command::ShowRecords{});
    EXPECT_EQ(f.s().state(), kGameRecords);
    f.command(command::ShowTryAgain{});
    EXPECT_EQ(f.s().state(), kGameTryAgain);
    EXPECT_EQ(screenKindOf(f.s()), kScreenTryAgain);
    f.command(command::TryAgain{});
    ASSERT_TRUE(f.until([&] { return f.started(); }));
    EXPECT_EQ(f.s().level(), 5);
    EXPECT_EQ(f.game().score.totalScore, 4000);
    EXPECT_EQ(f.s().state(), kGamePlaying);
    ASSERT_TRUE(f.until([&] { return f.s().mayFire(); }));
}

TEST(GameSessionLevel, NoLossWhileTheLevelStartIsPending) {
    // Each mode's threat stands through the whole intro of a new game.
    for (const GameMode mode : {kModeArcade, kModeChallenge, kModePuzzle}) {
        GameFixture f(mode);
        f.begin();
        while (!f.started()) {
            if (mode == kModeArcade) f.grid().setCell(5, 0, 1);
            if (mode == kModeChallenge) f.game().score.scoreGauge = 0;
            if (mode == kModePuzzle) f.grid().setCell(5, BallGrid::kFirstRow, 1);
            f.step();
            EXPECT_FALSE(f.s().lossCountdown()) << modeName(mode);
            EXPECT_EQ(f.s().state(), kGamePlaying) << modeName(mode);
        }
        f.runTo(f.now + 2000);
        EXPECT_EQ(f.s().state(), kGamePlaying) << modeName(mode);
    }
}

TEST(GameSessionLevel, ACompleteLevelCancelsTheLossCountdown) {
    for (const GameMode mode : {kModeArcade, kModeChallenge}) {
        GameFixture f(mode);
        ASSERT_NO_FATAL_FAILURE(f.play());
        if (mode == kModeArcade) f.grid().setCell(5, 0, 1);
        if (mode == kModeChallenge) f.game().score.scoreGauge = 0;
        f.step();
        ASSERT_TRUE(f.s().lossCountdown());
        if (mode == kModeArcade) f.game().score.plainScore = 333;
        if (mode == kModeChallenge) f.game().score.scoreGauge = 333;
        f.step();
        EXPECT_EQ(f.s().state(), kGameLevelCleared) << modeName(mode);
        EXPECT_FALSE(f.s().lossCountdown()) << modeName(mode);
        // The ball of row 0 climbs out with the field, a pixel a frame.
        const uint32_t until = f.now + 8000;
        while (f.now < until) {
            f.step();
            ASSERT_NE(f.s().state(), kGameLosing) << modeName(mode);
        }
        EXPECT_EQ(f.s().state(), kGameStatistics) << modeName(mode);
    }
}

TEST(GameSessionClimb, ChallengeLimitClimbStopsExactlyOnTheLimitRow) {
    GameFixture f(kModeChallenge);
    f.options.balls_climb_inc_challenge = 7;  // does not divide a row's 30 pixels
    ASSERT_NO_FATAL_FAILURE(f.play());
    // A column of balls hanging from the ceiling down to row 2, three rows below the limit.
    for (int r = BallGrid::kFirstRow; r <= BallGrid::kLastRow; ++r)
        for (int k = 0; k < BallGrid::kColumns; ++k) f.grid().emptyCell(k, r);
    for (int r = 2; r < f.grid().rows; ++r) f.grid().setCell(5, r, 1);
    ASSERT_EQ(f.height(), 60);
    const int limit = f.grid().limitRow * BallGrid::kRowPitch;
    for (int frame = 0; frame < 200; ++frame) {
        f.step();
        ASSERT_LE(f.height(), limit) << frame;
    }
    EXPECT_EQ(f.grid().lowestRow, f.grid().limitRow);
    EXPECT_EQ(f.grid().scroll, 0);
}

TEST(GameSessionClimb, PendingClimbEndsAtZeroAndEndsTheUpBonus) {
    struct Case {
        GameMode mode;
        bool byBonus;  // the up bonus asks for the climb; otherwise 45 pixels are pending
    };
    for (const Case c : {Case{kModeArcade, true}, Case{kModeChallenge, true}, Case{kModePuzzle, false}}) {
        GameFixture f(c.mode);
        f.options.balls_climb_inc_arcade = 7;
        f.options.balls_climb_inc_challenge = 7;
        f.options.balls_climb_inc_puzzle = 7;
        ASSERT_NO_FATAL_FAILURE(f.play());
        const int before = f.height();
        int climb = 45;
        if (c.byBonus) {
            releaseBonus(f.game(), kBonusUp, 1, 230, 98);
            f.step();
            ASSERT_TRUE(f.game().bonuses.active[kBonusUp]) << modeName(c.mode);
            climb = f.game().pendingClimb + (f.height() - before);
        } else {
            f.game().pendingClimb = climb;
        }
        ASSERT_TRUE(f.until([&] { return f.game().pendingClimb == 0; }, 100)) << modeName(c.mode);
        EXPECT_EQ(f.height() - before, climb) << modeName(c.mode);
        f.step();
        EXPECT_FALSE(f.game().bonuses.active[kBonusUp]) << modeName(c.mode);
        EXPECT_TRUE(f.s().mayFire()) << modeName(c.mode);
        EXPECT_EQ(f.height() - before, climb) << modeName(c.mode);
    }
}

TEST(GameSessionLevel, ALevelStartForgetsWhatTheLastLevelLeftBehind) {
    GameFixture f(kModePuzzle);
    ASSERT_NO_FATAL_FAILURE(f.play());
    // A one beside the two ones under the left crystal: the crystal falls and flies to the
    // counter.
    f.game().queue.current = QueuedBall{1, 0, 0};
    f.press(1, 264, 158);
    ASSERT_TRUE(f.until([&] { return !f.s().crystalIcons().empty(); }, 200));
    f.game().pendingClimb = 40;
    f.game().bombDeadline = f.now + 100000;
    PaintRocket rocket;
    rocket.alive = true;
    f.game().rockets.push_back(rocket);

    f.command(command::TryAgain{});
    ASSERT_TRUE(f.until([&] { return f.started(); }));
    EXPECT_TRUE(f.s().crystalIcons().empty());
    EXPECT_EQ(f.s().crystalsShown(), 0);
    EXPECT_EQ(f.game().score.crystalsCollected, 0);
    EXPECT_EQ(f.game().pendingClimb, 0);
    EXPECT_EQ(f.game().bombDeadline, 0u);
    EXPECT_TRUE(f.game().rockets.empty());
    EXPECT_FALSE(f.game().ball);
    // The plank starts again at -279 and has come down with the field.
    EXPECT_EQ(f.game().plankY, -279 + (360 - f.game().levelValues.pendingDescent));
}

TEST(GameSessionExitDialog, OpensFromPlayOrStatisticsAndClosesBackThere) {
    struct Case {
        const char* name;
        bool fromStatistics;
        bool openByEscape;
        bool closeByEscape;
    };
    const Case cases[] = {
        {"menu button, no", false, false, false},
        {"Escape, Escape", false, true, true},
        {"statistics, no", true, false, false},
        {"statistics, Escape", true, false, true},
    };
    for (const Case& c : cases) {
        GameFixture f(kModeArcade, SavedProgress{1, 0, 0, 1}, {1, 2});
        ASSERT_NO_FATAL_FAILURE(f.play());
        if (c.fromStatistics) {
            ASSERT_NO_FATAL_FAILURE(f.completeLevel());
        }
        const GameState back = f.s().state();
        const ScreenKind backKind = screenKindOf(f.s());
        if (c.openByEscape)
            f.command(command::Escape{});
        else
            f.command(command::OpenExitDialog{});
        EXPECT_EQ(f.s().state(), kGameExitDialog) << c.name;
        EXPECT_EQ(screenKindOf(f.s()), kScreenExitToMenu) << c.name;
        if (c.closeByEscape) {
            f.command(command::Escape{});
        } else {
            f.command(command::CloseExitDialog{});
        }
        EXPECT_EQ(f.s().state(), back) << c.name;
        EXPECT_EQ(screenKindOf(f.s()), backKind) << c.name;
    }
}

TEST(GameSessionExitDialog, EscapeOnOtherScreensOpensNothing) {
    GameFixture f(kModeArcade);
    ASSERT_NO_FATAL_FAILURE(f.play());
    ASSERT_NO_FATAL_FAILURE(f.lose());
    ASSERT_TRUE(f.until([&] { return f.s().state() == kGameOverDialog; }, 100));
    f.command(command::Escape{});
    EXPECT_EQ(f.s().state(), kGameOverDialog);
    EXPECT_EQ(screenKindOf(f.s()), kScreenGameOver);
}

}  // namespace
}  // namespace qs
