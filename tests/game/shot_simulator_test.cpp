#include <gtest/gtest.h>

#include "core/json_writer.h"
#include "core/log.h"
#include "game_test_support.h"
#include "test_support.h"

namespace qs {
namespace {

using test::picture;

SimShot aimAt(int x, int y, int current = 0) {
    SimShot shot;
    shot.aimX = x;
    shot.aimY = y;
    shot.current = current;
    return shot;
}

SimulatorSetup fixtureSetup(GameMode mode, int level, uint32_t seed = 1) {
    SimulatorSetup setup;
    setup.contentRoot = test::fixtureRoot();
    setup.mode = mode;
    setup.level = level;
    setup.seed = seed;
    return setup;
}

std::string shoot(ShotSimulator& simulator, const SimShot& shot) {
    JsonWriter json;
    simulator.shoot(shot, json);
    return json.str();
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(ShotSimulator, PlaysTheHandMadePuzzleToCompletion) {
    Log log;
    ShotSimulator simulator(log);
    ASSERT_TRUE(simulator.load(fixtureSetup(kModePuzzle, 1)));
    const Gameplay& game = simulator.game();
    // The four rows from the file (23..20) slid in by 360 pixels: twelve rows down.
    EXPECT_EQ(game.grid.rows, 12);
    EXPECT_EQ(game.grid.scroll, 0);
    EXPECT_EQ(game.levelValues.pendingDescent, 0);
    EXPECT_EQ(picture(game.grid, 11, -1),
              (std::vector<std::string>{"..LLLLLLLLLLLL..", "..C.....C.......", "..11.....22.....",
                                        ".......33.......", "................", "................",
                                        "................", "................", "................",
                                        "................", "................", "................",
                                        "................"}));
    EXPECT_EQ(game.levelValues.levelColourList, (std::vector<int>{1, 2, 3}));

    // A one beside the two ones: three go, and the crystal above them has nothing below.
    std::string report = shoot(simulator, aimAt(264, 158, 1));
    EXPECT_TRUE(contains(report, "\"target\":{\"column\":4,\"row\":9}")) << report;
    EXPECT_TRUE(contains(report, "\"docked\":true,\"group\":3")) << report;
    EXPECT_EQ(picture(game.grid, 11, 8), (std::vector<std::string>{"..LLLLLLLLLLLL..", "........C.......",
                                                                   ".........22.....", ".......33......."}));
    EXPECT_EQ(game.score.levelScore, 3);
    EXPECT_EQ(game.score.crystalsCollected, 1);
    EXPECT_FALSE(simulator.complete());

    // A two under the twos: three go, the two threes fall and the second crystal is free:
    // 3 x (3 - 1) = 6 points.
    report = shoot(simulator, aimAt(468, 158, 2));
    EXPECT_TRUE(contains(report, "\"target\":{\"column\":9,\"row\":8}")) << report;
    EXPECT_TRUE(contains(report, "{\"type\":\"removed\",\"count\":3}")) << report;
    EXPECT_TRUE(contains(report, "{\"type\":\"dropped\",\"count\":3}")) << report;
    EXPECT_TRUE(contains(report, "{\"type\":\"score_text\",\"points\":6,")) << report;
    // Only the land is left, and the cleared field has begun to climb out of view.
    EXPECT_EQ(test::countOccupied(game.grid), 12);
    EXPECT_TRUE(contains(report, "{\"type\":\"level_cleared\"}")) << report;
    EXPECT_EQ(game.score.levelScore, 9);
    EXPECT_EQ(game.score.comboCount, 2);
    EXPECT_EQ(game.score.crystalsCollected, 2);
    EXPECT_TRUE(simulator.complete());
    EXPECT_TRUE(contains(report, "\"complete\":true")) << report;

    report = shoot(simulator, aimAt(400, 100));
    EXPECT_EQ(report, "{\"shot\":3,\"skipped\":\"level complete\"}");
}

TEST(ShotSimulator, PuzzleShotThatMatchesNothingStays) {
    Log log;
    ShotSimulator simulator(log);
    ASSERT_TRUE(simulator.load(fixtureSetup(kModePuzzle, 1)));
    const std::string report = shoot(simulator, aimAt(264, 158, 3));
    EXPECT_TRUE(contains(report, "\"docked\":true,\"group\":1")) << report;
    EXPECT_EQ(picture(simulator.game().grid, 11, 8),
              (std::vector<std::string>{"..LLLLLLLLLLLL..", "..C.....C.......", "..113....22.....",
                                        ".......33......."}));
    EXPECT_EQ(simulator.game().score.comboCount, 0);
    EXPECT_EQ(simulator.game().score.levelScore, 0);
}

TEST(ShotSimulator, PuzzlePushIntoRowMinusOneLoses) {
    Log log;
    ShotSimulator simulator(log);
    ASSERT_TRUE(simulator.load(fixtureSetup(kModePuzzle, 2)));
    EXPECT_TRUE(simulator.game().grid.rowOccupied(0));
    EXPECT_FALSE(simulator.lost());
    SimShot shot;
    shot.byAngle = true;
    shot.angle = 0.4;
    shot.current = 5;
    const std::string report = shoot(simulator, shot);
    EXPECT_TRUE(contains(report, "\"lost\":true")) << report;
    // The push took the field into row -1: its ceiling bursts and everything falls.
    EXPECT_TRUE(contains(report, "{\"type\":\"sound\",\"name\":\"sample_game_over\"}")) << report;
    EXPECT_EQ(test::countOccupied(simulator.game().grid), 0);
    EXPECT_EQ(shoot(simulator, shot), "{\"shot\":2,\"skipped\":\"level lost\"}");
}

TEST(ShotSimulator, ArcadeFieldDropsToRowEightAndAShotDocksUnderIt) {
    Log log;
    ShotSimulator simulator(log);
    ASSERT_TRUE(simulator.load(fixtureSetup(kModeArcade, 1, 99)));
    const BallGrid& grid = simulator.game().grid;
    // Two rows at the top, lowered until row 8 is reached: four new rows came down with them.
    EXPECT_EQ(grid.lowestRow, 8);
    EXPECT_EQ(grid.consecutiveRows, 6);
    for (int r = -1; r <= 89; ++r) {
        for (int k = 0; k < 16; ++k) {
            const bool inField = r >= 8 && r <= 13 && k >= 2 && k < 2 + grid.rowWidth(r);
            const int kind = grid.kindAt(k, r);
            if (inField) EXPECT_TRUE(kind >= 1 && kind <= 3) << k << "," << r;
            else EXPECT_EQ(kind, 0) << k << "," << r;
        }
    }
    EXPECT_EQ(grid.rowWidth(8), 11);
    const std::vector<std::string> before = picture(grid, 13, 8);

    // Straight up: the ball touches (7,8) at x 383 and takes the free cell (8,7), whose
    // centre (400, 218) is nearer to the last point (384, 219) than that of (7,7).
    SimShot shot;
    shot.byAngle = true;
    shot.current = 7;
    const std::string report = shoot(simulator, shot);
    EXPECT_TRUE(contains(report, "\"target\":{\"column\":8,\"row\":7}")) << report;
    EXPECT_EQ(grid.kindAt(8, 7), 7);
    EXPECT_EQ(picture(grid, 13, 8), before);
    EXPECT_EQ(test::countOccupied(grid), 6 * 12 - 3 + 1);  // rows of 12, 11, 12, 11, 12, 11 and the ball
}

TEST(ShotSimulator, SameSeedSameGame) {
    const std::vector<SimShot> shots = {aimAt(300, 200), aimAt(500, 250), aimAt(380, 100)};
    Log log;
    bool ok = false;
    const std::string first = runShotSimulation(fixtureSetup(kModeArcade, 1, 5), shots, log, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(runShotSimulation(fixtureSetup(kModeArcade, 1, 5), shots, log), first);
    EXPECT_NE(runShotSimulation(fixtureSetup(kModeArcade, 1, 6), shots, log), first);
    EXPECT_TRUE(contains(first, "\"mode\":\"arcade\",\"level\":1,\"seed\":5,\"loaded\":true,\"start\":{")) << first;
    EXPECT_TRUE(contains(first, "{\"shot\":3,")) << first;
}

TEST(ShotSimulator, LevelThatCannotBeReadIsReportedNotPlayed) {
    test::TempDir dir;
    Log log(dir.path() / "log.txt", [] { return "t"; });
    log.setEnabled(true);
    bool ok = true;
    const std::string json = runShotSimulation(fixtureSetup(kModeChallenge, 1), {aimAt(400, 300)}, log, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(json, "{\"mode\":\"challenge\",\"level\":1,\"seed\":1,\"loaded\":false}");
    EXPECT_TRUE(contains(test::readFile(dir.path() / "log.txt"), "levels\\challenge-01.ini: the level file is missing"));
}

TEST(ParseShotList, ReadsAimsAnglesAndBalls) {
    Log log;
    const auto shots = parseShotList("# opening\naim 300 200\n\nangle -0.25 current 10 tint 3 next 12 # bomb\n"
                                     "aim 10 20 current 4 bonus 6\n",
                                     log);
    ASSERT_TRUE(shots);
    ASSERT_EQ(shots->size(), 3u);
    EXPECT_FALSE((*shots)[0].byAngle);
    EXPECT_EQ((*shots)[0].aimX, 300);
    EXPECT_EQ((*shots)[0].current, 0);
    EXPECT_TRUE((*shots)[1].byAngle);
    EXPECT_DOUBLE_EQ((*shots)[1].angle, -0.25);
    EXPECT_EQ((*shots)[1].current, 10);
    EXPECT_EQ((*shots)[1].currentTint, 3);
    EXPECT_EQ((*shots)[1].next, 12);
    EXPECT_EQ((*shots)[2].currentBonus, 6);
}

TEST(ParseShotList, ReadsSwapsAndRockets) {
    Log log;
    const auto shots = parseShotList("swap\nrocket\nrocket angle 0.2\nrocket aim 300 200\n", log);
    ASSERT_TRUE(shots);
    ASSERT_EQ(shots->size(), 4u);
    EXPECT_EQ((*shots)[0].action, SimShot::Action::kSwap);
    EXPECT_EQ((*shots)[1].action, SimShot::Action::kRocket);
    EXPECT_FALSE((*shots)[1].aimGiven) << "a bare rocket flies where the cannon points";
    EXPECT_TRUE((*shots)[2].byAngle);
    EXPECT_DOUBLE_EQ((*shots)[2].angle, 0.2);
    EXPECT_EQ((*shots)[3].aimX, 300);
}

// The simulator's swap and rocket lines go through the session as the mouse's would.
TEST(ShotSimulator, SwapExchangesTheBallsAndARocketNeedsOneHeld) {
    Log log;
    ShotSimulator simulator(log);
    ASSERT_TRUE(simulator.load(fixtureSetup(kModePuzzle, 1)));
    Gameplay& game = simulator.game();
    game.queue.current = QueuedBall{2, 0, 0};
    game.queue.next = QueuedBall{5, 0, 0};
    SimShot swap;
    swap.action = SimShot::Action::kSwap;
    const std::string swapped = shoot(simulator, swap);
    EXPECT_TRUE(contains(swapped, "\"swap\":true")) << swapped;
    EXPECT_EQ(game.queue.current.kind, 5);
    EXPECT_EQ(game.queue.next.kind, 2);

    SimShot rocket;
    rocket.action = SimShot::Action::kRocket;
    rocket.aimGiven = false;
    EXPECT_TRUE(contains(shoot(simulator, rocket), "\"skipped\":\"no rocket held\"")) << "none held yet";
    game.queue.rocketCount = 1;
    const std::string fired = shoot(simulator, rocket);
    EXPECT_TRUE(contains(fired, "\"rocket\":true")) << fired;
    EXPECT_FALSE(contains(fired, "skipped")) << fired;
    EXPECT_EQ(game.queue.rocketCount, 0);
    EXPECT_EQ(game.queue.current.kind, 5) << "the ball in the cannon stays for the next shot";
}

// The solver plays on copies: a copy must push a puzzle's field after the same shots as the
// game it was copied from, with everything else the session keeps.
TEST(ShotSimulator, ACopyPlaysOnExactlyAsTheOriginal) {
    Log log;
    ShotSimulator original(log);
    ASSERT_TRUE(original.load(fixtureSetup(kModePuzzle, 1)));
    SimShot miss = aimAt(264, 158, 3);
    shoot(original, miss);
    std::unique_ptr<ShotSimulator> copy = original.clone();
    for (int i = 0; i < 3; ++i) {
        miss.current = 4 + i;
        const std::string a = shoot(original, miss);
        const std::string b = shoot(*copy, miss);
        EXPECT_EQ(a, b) << "shot " << i + 2;
    }
    EXPECT_EQ(copy->session().pushCounter(), original.session().pushCounter());
}

TEST(ParseShotList, RefusesWhatItCannotRead) {
    test::TempDir dir;
    for (const char* bad : {"shoot 1 2", "aim 1", "aim one 2", "angle up", "aim 1 2 current", "aim 1 2 current 300",
                            "aim 1 2 colour 3", "swap 1", "rocket 3", "rocket angle 0.1 current 2",
                            "rocket aim 1"}) {
        Log log(dir.path() / "log.txt", [] { return "t"; });
        log.setEnabled(true);
        EXPECT_FALSE(parseShotList(std::string("aim 1 1\n") + bad + "\n", log, "my.shots")) << bad;
        EXPECT_TRUE(contains(test::readFile(dir.path() / "log.txt"), "my.shots line 2: ")) << bad;
        std::filesystem::remove(dir.path() / "log.txt");
    }
}

}  // namespace
}  // namespace qs

namespace qs {
namespace {

// Level files made of the characters the readers care about, in any order: whatever they
// hold, reading and playing them must neither crash nor leave the grid.
TEST(ShotSimulator, ScrambledLevelFilesAreReadOrRefusedButNeverBreakAnything) {
    test::TempDir dir;
    Log log(dir.path() / "log.txt", [] { return "t"; });
    Random scramble(31337);
    const std::string alphabet = "0123456789LC#;, .-\n\n\n\n\txX";
    int loaded = 0;
    for (int file = 0; file < 300; ++file) {
        const GameMode mode = file % 2 ? kModePuzzle : kModeArcade;
        std::string text = mode == kModePuzzle ? "3\n1\n" : "500\n2\n3\n";
        if (file % 3 == 0) text.clear();
        const int length = scramble.below(400);
        for (int i = 0; i < length; ++i) text += alphabet[static_cast<size_t>(scramble.below(static_cast<int>(alphabet.size())))];
        dir.write(std::string("levels/") + gameModeName(mode) + "-01.ini", text);
        SimulatorSetup setup;
        setup.contentRoot = dir.path();
        setup.mode = mode;
        setup.seed = static_cast<uint32_t>(file);
        ShotSimulator simulator(log);
        if (!simulator.load(setup)) continue;
        ++loaded;
        for (int shot = 0; shot < 4; ++shot) {
            SimShot s;
            s.byAngle = true;
            s.angle = -1.2 + 0.8 * shot;
            JsonWriter json;
            simulator.shoot(s, json);
        }
        const BallGrid& grid = simulator.game().grid;
        EXPECT_GE(grid.rows, 0);
        EXPECT_LE(grid.rows, 90);
        for (int r = -1; r <= 89; ++r)
            for (int k = 0; k < 16; ++k) ASSERT_EQ(grid.cellAt(k, r)->mark, 0) << text;
    }
    EXPECT_GT(loaded, 20);
}

}  // namespace
}  // namespace qs
