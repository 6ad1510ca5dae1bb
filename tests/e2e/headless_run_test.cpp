#include <filesystem>

#include <gtest/gtest.h>

#include "e2e_support.h"
#include "test_support.h"

namespace qs {
namespace {

using namespace qs::test;

std::string headless(const TempDir& dir, const std::string& args) {
    return game() + " --headless --data " + dataDir() + " --user-dir " + (dir / "user").string() +
           " --seed 7 " + args;
}

// Width and height from a PNG's header.
std::pair<int, int> pngSize(const std::string& bytes) {
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {0, 0};
    auto word = [&](size_t at) {
        return (static_cast<unsigned char>(bytes[at]) << 24) | (static_cast<unsigned char>(bytes[at + 1]) << 16) |
               (static_cast<unsigned char>(bytes[at + 2]) << 8) | static_cast<unsigned char>(bytes[at + 3]);
    };
    return {word(16), word(20)};
}

TEST(HeadlessRun, TenSecondsOfMenuRunSixHundredSteps) {
    TempDir dir;
    RunResult run = runCommand(headless(dir, "--until 10000 --dump-state"));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(jsonNumber(run.output, "currentScene"), 1);
    EXPECT_EQ(jsonNumber(run.output, "sceneSetupState"), 2);
    EXPECT_EQ(jsonNumber(run.output, "frameTick"), 10000);
    auto steps = jsonNumber(run.output, "sceneStepsRun");
    auto start = jsonNumber(run.output, "stepStart");
    ASSERT_TRUE(steps.has_value() && start.has_value());
    // The step schedule starts when the loading phase is over: 16 * 1000 / 267 steps a second.
    EXPECT_NEAR(*steps, 16.0 * (10000 - *start) / 267, 1.5);
    // The first run seeds the user folder with the game's options.
    EXPECT_TRUE(std::filesystem::exists(dir / "user/options.txt"));
    EXPECT_EQ(jsonNumber(run.output, "move_cnt"), 16);
    // Headless runs record the sound library's calls instead of playing them.
    EXPECT_NE(run.output.find("\"init 44100\""), std::string::npos) << run.output;
}

TEST(HeadlessRun, ScriptTakesScreenshotsAndDumpsState) {
    TempDir dir;
    auto script = dir.write("run.script",
                            "# time command\n"
                            "100 key_down a shift\n"
                            "500 screenshot " + (dir / "shot.png").string() + "\n"
                            "600 focus_lost\n"
                            "700 dump_state " + (dir / "state.json").string() + "\n"
                            "800 focus_gained\n"
                            "900 quit\n");
    RunResult run = runCommand(headless(dir, "--script " + script.string() + " --dump-state"));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(pngSize(readFile(dir / "shot.png")), std::make_pair(800, 600));
    std::string state = readFile(dir / "state.json");
    EXPECT_EQ(jsonNumber(state, "frameTick"), 700);
    EXPECT_NE(state.find("\"appActive\":false"), std::string::npos) << state;
    EXPECT_EQ(jsonNumber(state, "keyCode"), 65);
    EXPECT_EQ(jsonNumber(state, "shiftState"), 1);
    // The quit at 900 ends the run there.
    EXPECT_EQ(jsonNumber(run.output, "frameTick"), 900);
    EXPECT_NE(run.output.find("\"appActive\":true"), std::string::npos);
}

TEST(HeadlessRun, BadArgumentsAndScriptsAreRefused) {
    TempDir dir;
    auto script = dir.write("bad.script", "100 jump\n");
    struct Case {
        std::string args;
        int exitCode;
    };
    const Case cases[] = {
        {"--script " + script.string(), 2},
        {"--script " + (dir / "none.script").string(), 2},
        {"--script " + dir.path().string(), 2},                // a folder, not a file
        {"--simulate arcade 1 --shots " + dir.path().string(), 2},
        {"--shots " + script.string(), 2},                      // shots without a simulation
        {"--level 3", 2},                                       // a level without a game
        {"--until soon", 2},
        {"--frobnicate", 2},
        {"--help", 0},
    };
    for (const Case& c : cases) {
        RunResult run = runCommand(headless(dir, c.args + " 2>/dev/null"));
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args;
    }
}

// A run that cannot do what it was asked stops with exit 2 and says why, before any frame.
TEST(HeadlessRun, ARunThatCannotDoWhatItWasAskedExitsTwoAndSaysWhy) {
    TempDir dir;
    dir.write("a-file", "x");
    struct Case {
        std::string args;
        const char* said;
    };
    const Case cases[] = {
        {"--start-game arcade --level 31", "there is no arcade level 31 (levels\\arcade-31.ini is missing); arcade has levels 1 to 30"},
        {"--start-game arcade --level 999 --bot", "there is no arcade level 999"},
        {"--start-game puzzle --level 61", "puzzle has levels 1 to 60"},
        {"--start-game arcade --user-dir " + (dir / "a-file/u").string(), "cannot create the user folder"},
        {"--start-game arcade --user-dir /proc/x/u", "cannot create the user folder /proc/x/u"},
        {"--bot --until 100", "--bot goes with --start-game"},
        {"--simulate arcade 1 --bot", "is for a run of the game; --simulate does not take it"},
    };
    for (const Case& c : cases) {
        // The later --user-dir wins over the one the helper gives.
        RunResult run = runCommand(headless(dir, c.args + " --until 3000 --dump-state 2>&1"));
        EXPECT_EQ(run.exitCode, 2) << c.args << "\n" << run.output;
        EXPECT_NE(run.output.find(c.said), std::string::npos) << c.args << "\n" << run.output;
        EXPECT_EQ(run.output.find("\"frameTick\""), std::string::npos) << c.args;
    }
}

TEST(HeadlessRun, AContentFolderThatIsNotThereIsRefusedByName) {
    TempDir dir;
    dir.write("empty/readme.txt", "not the game");
    struct Case {
        std::string data;
        const char* said;
    };
    const Case cases[] = {
        {(dir / "nothing").string(), "does not exist"},
        {(dir / "empty").string(), "has no main.msl"},
    };
    for (const Case& c : cases) {
        RunResult run = runCommand(game() + " --headless --data " + c.data + " --user-dir " +
                                   (dir / "user").string() + " --until 1000 2>" + (dir / "err.txt").string());
        EXPECT_EQ(run.exitCode, 2) << c.data;
        const std::string errors = readFile(dir / "err.txt");
        EXPECT_NE(errors.find("the content folder " + c.data + " " + c.said), std::string::npos) << errors;
    }
    RunResult empty = runCommand(game() + " --headless --data \"\" --until 1000 2>/dev/null");
    EXPECT_EQ(empty.exitCode, 2);
}

TEST(HeadlessRun, AScreenshotThatCannotBeWrittenFailsTheRun) {
    TempDir dir;
    auto script = dir.write("shot.script", "100 screenshot " + (dir / "no/such/folder/shot.png").string() + "\n");
    RunResult run = runCommand(headless(dir, "--script " + script.string() + " --until 300 2>/dev/null"));
    EXPECT_EQ(run.exitCode, 4);
}

TEST(ContentCheck, TheGamesOwnContentIsClean) {
    RunResult run = runCommand(game() + " --check-content --data " + dataDir());
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find(" 0 problems"), std::string::npos) << run.output;
}

TEST(Simulator, PlaysAShotListFromTheCommandLine) {
    TempDir dir;
    auto shots = dir.write("shots.txt", "# two shots\naim 400 300\nangle 0.2\n");
    std::string fixtures = std::string(QUIBBLESTAR_SOURCE_DIR) + "/tests/game/fixtures";
    RunResult run = runCommand(game() + " --simulate puzzle 1 --shots " + shots.string() +
                               " --data " + fixtures + " --seed 3");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("\"loaded\":true"), std::string::npos);
    EXPECT_NE(run.output.find("\"shots\":["), std::string::npos);
    // The same seed plays the same game.
    EXPECT_EQ(runCommand(game() + " --simulate puzzle 1 --shots " + shots.string() + " --data " +
                         fixtures + " --seed 3").output,
              run.output);
    EXPECT_EQ(runCommand(game() + " --simulate puzzle 99 --data " + fixtures + " 2>/dev/null").exitCode, 1);
    EXPECT_EQ(runCommand(game() + " --simulate golf 1 2>/dev/null").exitCode, 2);
}

TEST(Solver, SolvesAPuzzleFromTheCommandLine) {
    std::string fixtures = std::string(QUIBBLESTAR_SOURCE_DIR) + "/tests/game/fixtures";
    RunResult run = runCommand(game() + " --solve puzzle 1 --data " + fixtures + " --seed 3");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("\"level\":1,\"seed\":3,\"loaded\":true,\"solved\":true"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("\"moves\":[{\"angle\":"), std::string::npos) << run.output;
    // A budget too small to finish: not solved, and the line says the budget ran out.
    RunResult small = runCommand(game() + " --solve puzzle 1 --data " + fixtures + " --seed 3 --nodes 3");
    EXPECT_EQ(small.exitCode, 1) << small.output;
    EXPECT_NE(small.output.find("\"nodes\":3,"), std::string::npos) << small.output;
    EXPECT_NE(small.output.find("\"budget_spent\":true"), std::string::npos) << small.output;
    EXPECT_EQ(runCommand(game() + " --solve puzzle 99 --data " + fixtures + " 2>/dev/null").exitCode, 2);
    EXPECT_EQ(runCommand(game() + " --solve arcade 1 2>/dev/null").exitCode, 2);
}

TEST(WindowRun, OpensAWindowUnderXvfb) {
    if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xvfb-run is not installed";
    TempDir dir;
    auto script = dir.write("window.script", "1000 screenshot " + (dir / "window.png").string() + "\n"
                                             "1200 quit\n");
    RunResult run = runCommand("env -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy xvfb-run -a -s '-screen 0 1024x768x24' " +
                               game() + " --data " + dataDir() + " --user-dir " +
                               (dir / "user").string() + " --script " + script.string() +
                               " --dump-state 2>&1");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(jsonNumber(run.output, "currentScene"), 1) << run.output;
    EXPECT_EQ(pngSize(readFile(dir / "window.png")), std::make_pair(800, 600)) << run.output;
    // The window's program plays through the real sound library (here on SDL's silent driver).
    EXPECT_NE(run.output.find("\"soundReady\":true"), std::string::npos) << run.output;
}

}  // namespace
}  // namespace qs
