#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "e2e_support.h"
#include "test_support.h"

namespace qs {
namespace {

using namespace qs::test;
namespace fs = std::filesystem;

constexpr int kArcade = 1;
constexpr int kChallenge = 2;
constexpr int kPuzzle = 3;

// The game states and screen kinds the flow goes through.
constexpr int kPlaying = 0;
constexpr int kGameOverDialog = 1;
constexpr int kTryAgainScreen = 5;
constexpr int kExitDialog = 6;
constexpr int kScreenGameOver = 7;
constexpr int kScreenTryAgain = 15;
constexpr int kScreenExitToMenu = 16;
constexpr int kMenuScene = 1;
constexpr int kGameScene = 2;
constexpr int kNoLowestRow = 9999999;

// A silent sample, so that the sound list names files that exist.
std::string silentWav() {
    const int samples = 64;
    auto word = [](uint32_t v, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
        return out;
    };
    return "RIFF" + word(36 + samples, 4) + "WAVEfmt " + word(16, 4) + word(1, 2) + word(1, 2) +
           word(22050, 4) + word(22050, 4) + word(1, 2) + word(8, 2) + "data" + word(samples, 4) +
           std::string(samples, '\x80');
}

// A content folder for quick games: the game's own pictures, maps and texts, the small levels
// of tests/e2e/fixtures (arcade 1, 4 and 5 are won in a couple of matches, arcade 6 and 7 and
// puzzle 2 cannot be won, challenge 1 drains dry in seconds), a sound list so that the
// recording sound library can tell which sample was played, and the puzzle's pushes coming
// down at once instead of a pixel every 20 s.
fs::path makeContent(const TempDir& dir) {
    const fs::path root = dir / "content";
    fs::create_directories(root);
    for (const fs::directory_entry& entry : fs::directory_iterator(dataDir())) {
        const std::string name = entry.path().filename().string();
        // sound/ is this folder's own: a link would let the silent samples below overwrite the
        // game's real ones
        if (name == "levels" || name == "sound" || name == "sound.ini" || name == "options.txt") continue;
        fs::create_symlink(entry.path(), root / name);
    }
    fs::copy(fs::path(QUIBBLESTAR_SOURCE_DIR) / "tests/e2e/fixtures/levels", root / "levels");

    std::istringstream options(readFile(fs::path(dataDir()) / "options.txt"));
    std::string text, line;
    bool changed = false;
    while (std::getline(options, line)) {
        if (line.rfind("balls_climb_time_puzzle=", 0) == 0) {
            line = "balls_climb_time_puzzle=10\r";
            changed = true;
        }
        text += line + "\n";
    }
    EXPECT_TRUE(changed) << "the game's options.txt has no balls_climb_time_puzzle";
    dir.write("content/options.txt", text);

    std::string sounds;
    for (const char* name : {"game_begin", "shot1", "balls_down", "balls_up", "level_complete", "game_over",
                             "alarm", "puzzle_down"}) {
        sounds += std::string("sample_") + name + ", sound\\" + name + ".wav\r\n";
        dir.write(std::string("content/sound/") + name + ".wav", silentWav());
    }
    dir.write("content/sound.ini", sounds);
    return root;
}

// One strict headless run (any content problem fails it) with a fixed seed and the state
// dumped at its end.
struct GameRun {
    const TempDir& dir;
    fs::path content;

    RunResult operator()(const std::string& args) const {
        RunResult run = runCommand(game() + " --headless --strict-content --data " + content.string() +
                                   " --user-dir " + (dir / "user").string() + " --seed 1 --dump-state " + args);
        EXPECT_EQ(run.exitCode, 0) << args;
        return run;
    }
};

std::string gameOf(const std::string& dump) { return jsonValue(dump, "game"); }
long long number(const std::string& json, const std::string& key) { return jsonNumber(json, key).value_or(-12345); }

// One mode's fields of the first player in players.txt.
struct SavedMode {
    long levelReached = 0, showMessage = 0, levelStartScore = 0, gameState = 0, checkpointScore = 0;
};

SavedMode savedMode(const TempDir& dir, int mode) {
    std::string line = readFile(dir / "user/players.txt");
    line = line.substr(0, line.find_first_of("\r\n"));
    std::vector<long> fields;
    std::istringstream in(line);
    std::string field;
    std::getline(in, field, ',');  // the name
    while (std::getline(in, field, ',')) fields.push_back(std::stol(field));
    EXPECT_EQ(fields.size(), 15u) << line;
    if (fields.size() != 15) return {};
    const int i = mode - 1;
    return {fields[i], fields[3 + i], fields[6 + i], fields[9 + i], fields[12 + i]};
}

std::string scriptLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

TEST(GameFlow, ArcadeLevelEndsInItsStatisticsAndTheNextLevelOutlivesARestart) {
    TempDir dir;
    const GameRun run{dir, makeContent(dir)};

    const std::string first = run("--start-game arcade --bot --until 11000").output;
    const std::string game = gameOf(first);
    ASSERT_FALSE(game.empty()) << first;
    EXPECT_EQ(number(first, "currentScene"), kGameScene);
    EXPECT_EQ(number(game, "mode"), kArcade);
    EXPECT_EQ(number(game, "level"), 2);
    EXPECT_EQ(number(game, "state"), kPlaying);
    // The first level was cleared: the field climbed out, the statistics came up with their
    // sound, and the bot went on from there.
    EXPECT_EQ(timesPlayed(first, "sample_game_begin"), 1);
    EXPECT_EQ(timesPlayed(first, "sample_balls_up"), 1);
    EXPECT_EQ(timesPlayed(first, "sample_level_complete"), 1);
    EXPECT_GT(timesPlayed(first, "sample_shot1"), 0);
    EXPECT_GT(number(game, "bestShot"), 0);

    // The progress for level 2 is saved with the score the first level ended with.
    const std::string saved = jsonValue(game, "saved");
    const long long score = number(saved, "score");
    EXPECT_GT(score, 0);
    EXPECT_EQ(number(saved, "level"), 2);
    EXPECT_EQ(number(saved, "continueFlag"), 1);
    EXPECT_GE(number(game, "totalScore"), score);
    const SavedMode arcade = savedMode(dir, kArcade);
    EXPECT_EQ(arcade.levelReached, 2);
    EXPECT_EQ(arcade.levelStartScore, score);
    EXPECT_EQ(arcade.gameState, 1);
    // A mode never played keeps the first player's 0 ("never played" once read back).
    EXPECT_EQ(savedMode(dir, kChallenge).levelReached, 0);

    // A new run of the mode starts at the saved level with the saved score.
    const std::string second = run("--start-game arcade --until 2500").output;
    const std::string resumed = gameOf(second);
    EXPECT_EQ(number(resumed, "level"), 2);
    EXPECT_EQ(number(resumed, "totalScore"), score);
    EXPECT_EQ(number(resumed, "shownScore"), score);
    EXPECT_EQ(number(resumed, "levelScore"), 0);
}

TEST(GameFlow, ChallengeDrainedDryShowsTheGameOverDialogAndGoesBackToTheMenu) {
    TempDir dir;
    const GameRun run{dir, makeContent(dir)};

    // The bot plays on while the gauge drains; the loss ends in the dialog, whose button the
    // bot presses, then in the records, and the game hands over to the menu.
    const std::string played = run("--start-game challenge --bot --until 12000").output;
    EXPECT_EQ(number(played, "currentScene"), kMenuScene) << played;
    EXPECT_TRUE(gameOf(played).empty());
    EXPECT_EQ(timesPlayed(played, "sample_game_over"), 1);
    EXPECT_EQ(timesPlayed(played, "sample_level_complete"), 0);
    const SavedMode challenge = savedMode(dir, kChallenge);
    EXPECT_EQ(challenge.levelReached, 1);
    EXPECT_EQ(challenge.gameState, -1);  // lost before level 5: nothing to continue

    // The same loss without the bot: the dialog stays up, the field has fallen, and Enter
    // takes the dialog's button.
    fs::remove_all(dir / "user");
    const fs::path script = dir.write("over.script", scriptLines({
                                                         "7500 dump_state " + (dir / "over.json").string(),
                                                         "7600 key_down enter",
                                                         "8500 dump_state " + (dir / "records.json").string(),
                                                         "8600 key_down enter",
                                                     }));
    const std::string left = run("--start-game challenge --until 9500 --script " + script.string()).output;
    const std::string over = readFile(dir / "over.json");
    const std::string game = gameOf(over);
    ASSERT_FALSE(game.empty()) << over;
    EXPECT_EQ(number(game, "mode"), kChallenge);
    EXPECT_EQ(number(game, "state"), kGameOverDialog);
    EXPECT_EQ(number(game, "screenKind"), kScreenGameOver);
    EXPECT_LE(std::stod(jsonValue(game, "progress")), 0.0);
    EXPECT_EQ(number(game, "lowestRow"), kNoLowestRow);
    EXPECT_EQ(number(game, "shotCount"), 0);
    EXPECT_EQ(timesPlayed(over, "sample_game_over"), 1);
    // The dialog's button leads to the records, the result entered and highlighted.
    const std::string records = jsonValue(readFile(dir / "records.json"), "records");
    EXPECT_NE(records.find("\"open\":true"), std::string::npos) << records;
    EXPECT_EQ(number(records, "mode"), kChallenge);
    EXPECT_EQ(number(records, "highlighted"), 1);
    EXPECT_NE(readFile(dir / "user/records.txt").find("2, 1, Player, 1, "), std::string::npos);
    EXPECT_EQ(number(left, "currentScene"), kMenuScene);
    EXPECT_TRUE(gameOf(left).empty());
}

TEST(GameFlow, PuzzleIsCompletedAndALostOneIsTriedAgainFromItsStartScore) {
    TempDir dir;
    const GameRun run{dir, makeContent(dir)};

    // The bot collects the first puzzle's crystals, then loses the second one (walled-in
    // crystal, pushed into the cannon) and tries it again from the try-again screen.
    const std::string played = run("--start-game puzzle --bot --until 27000").output;
    const std::string game = gameOf(played);
    ASSERT_FALSE(game.empty()) << played;
    EXPECT_EQ(timesPlayed(played, "sample_level_complete"), 1);
    EXPECT_GE(timesPlayed(played, "sample_game_over"), 1);
    EXPECT_EQ(number(game, "mode"), kPuzzle);
    EXPECT_EQ(number(game, "level"), 2);
    EXPECT_EQ(number(game, "lastLevel"), 2);
    EXPECT_EQ(number(jsonValue(game, "crystals"), "inLevel"), 1);
    const long long score = number(jsonValue(game, "saved"), "score");
    EXPECT_GT(score, 0);
    EXPECT_EQ(number(game, "totalScore"), score);
    SavedMode puzzle = savedMode(dir, kPuzzle);
    EXPECT_EQ(puzzle.levelReached, 2);
    EXPECT_EQ(puzzle.levelStartScore, score);
    EXPECT_EQ(puzzle.gameState, 1);

    // The next run starts there; two clicks (the first ends the field's slide-in, the second
    // fires and pushes) lose it; the try-again screen waits, and Enter tries again.
    const fs::path script = dir.write("again.script", scriptLines({
                                                          "100 mouse_move 400 300",
                                                          "3500 click left",
                                                          "4000 click left",
                                                          "5800 dump_state " + (dir / "again.json").string(),
                                                          "6000 key_down enter",
                                                      }));
    const std::string retried = run("--start-game puzzle --until 7000 --script " + script.string()).output;
    const std::string screen = gameOf(readFile(dir / "again.json"));
    ASSERT_FALSE(screen.empty());
    EXPECT_EQ(number(screen, "state"), kTryAgainScreen);
    EXPECT_EQ(number(screen, "screenKind"), kScreenTryAgain);
    EXPECT_EQ(number(screen, "shotCount"), 1);
    EXPECT_EQ(number(jsonValue(screen, "saved"), "continueFlag"), -1);
    const std::string again = gameOf(retried);
    EXPECT_EQ(number(again, "state"), kPlaying);
    EXPECT_EQ(number(again, "level"), 2);
    EXPECT_EQ(number(again, "totalScore"), score);
    EXPECT_EQ(jsonValue(again, "levelStartPending"), "false");
    EXPECT_EQ(number(jsonValue(again, "crystals"), "collected"), 0);
    EXPECT_EQ(timesPlayed(retried, "sample_game_over"), 1);
    puzzle = savedMode(dir, kPuzzle);
    EXPECT_EQ(puzzle.levelReached, 2);
    EXPECT_EQ(puzzle.levelStartScore, score);
    EXPECT_EQ(puzzle.gameState, 1);
}

TEST(GameFlow, ArcadeLostPastLevelFiveFallsBackToTheCheckpoint) {
    TempDir dir;
    const GameRun run{dir, makeContent(dir)};

    // Levels 4 and 5 are won by the bot: reaching level 5 takes the checkpoint score.
    const std::string played = run("--start-game arcade --level 4 --bot --until 18500").output;
    EXPECT_EQ(timesPlayed(played, "sample_level_complete"), 2);
    EXPECT_EQ(number(gameOf(played), "level"), 6);
    const SavedMode reached = savedMode(dir, kArcade);
    EXPECT_EQ(reached.levelReached, 6);
    EXPECT_EQ(reached.gameState, 1);
    EXPECT_GT(reached.checkpointScore, 0);
    EXPECT_GT(reached.levelStartScore, reached.checkpointScore);

    // The next run goes on at level 6, which nobody can win: with no shot fired the field
    // reaches the cannon, the game is lost and the progress falls back to level 5.
    const fs::path script = dir.write("lose.script", scriptLines({
                                                         "1000 dump_state " + (dir / "start.json").string(),
                                                         "14500 dump_state " + (dir / "over.json").string(),
                                                         "14600 key_down enter",
                                                         "15400 dump_state " + (dir / "records.json").string(),
                                                         "15500 key_down enter",
                                                         "16400 dump_state " + (dir / "again.json").string(),
                                                         "16500 screenshot " + (dir / "again.png").string(),
                                                         "16600 key_down enter",
                                                     }));
    const std::string lost = run("--start-game arcade --until 18000 --script " + script.string()).output;
    const std::string start = gameOf(readFile(dir / "start.json"));
    EXPECT_EQ(number(start, "level"), 6);
    EXPECT_EQ(number(start, "totalScore"), reached.levelStartScore);
    const std::string over = readFile(dir / "over.json");
    const std::string game = gameOf(over);
    ASSERT_FALSE(game.empty()) << over;
    EXPECT_EQ(number(game, "state"), kGameOverDialog);
    EXPECT_EQ(number(game, "screenKind"), kScreenGameOver);
    EXPECT_EQ(timesPlayed(over, "sample_game_over"), 1);
    EXPECT_GE(timesPlayed(over, "sample_alarm"), 1);
    const std::string saved = jsonValue(game, "saved");
    EXPECT_EQ(number(saved, "level"), 5);
    EXPECT_EQ(number(saved, "score"), 0);
    EXPECT_EQ(number(saved, "continueFlag"), 0);
    EXPECT_EQ(number(saved, "checkpointScore"), reached.checkpointScore);
    // Past a checkpoint the records lead on to the try-again screen, and leave nothing of theirs behind...
    const std::string records = readFile(dir / "records.json");
    EXPECT_EQ(number(gameOf(records), "screenKind"), 5);
    EXPECT_EQ(number(jsonValue(records, "records"), "highlighted"), 1);
    EXPECT_EQ(readFile(dir / "again.json").find("\"open\":true"), std::string::npos);
    const std::string offer = gameOf(readFile(dir / "again.json"));
    ASSERT_FALSE(offer.empty());
    EXPECT_EQ(number(offer, "state"), kTryAgainScreen);
    EXPECT_EQ(number(offer, "screenKind"), kScreenTryAgain);
    EXPECT_EQ(number(jsonValue(offer, "saved"), "continueFlag"), 0);

    // ...and trying again goes back to level 5 with the score the player had on reaching it.
    const std::string resumed = gameOf(lost);
    ASSERT_FALSE(resumed.empty()) << lost;
    EXPECT_EQ(number(resumed, "state"), kPlaying);
    EXPECT_EQ(number(resumed, "level"), 5);
    EXPECT_EQ(number(resumed, "totalScore"), reached.checkpointScore);
    const SavedMode retried = savedMode(dir, kArcade);
    EXPECT_EQ(retried.levelReached, 5);
    EXPECT_EQ(retried.levelStartScore, reached.checkpointScore);
    EXPECT_EQ(retried.gameState, 1);
}

// The small MENU button at the top right opens the exit dialog, as Escape does, and the
// press on it fires nothing.
TEST(GameFlow, TheMenuButtonOpensTheExitDialogWithoutAShot) {
    TempDir dir;
    const GameRun run{dir, makeContent(dir)};
    const fs::path script = dir.write("menu.script", scriptLines({"9000 mouse_move 756 8", "9100 click left"}));
    const std::string game = gameOf(run("--start-game arcade --until 9500 --script " + script.string()).output);
    ASSERT_FALSE(game.empty());
    EXPECT_EQ(number(game, "state"), kExitDialog);
    EXPECT_EQ(number(game, "screenKind"), kScreenExitToMenu);
    EXPECT_EQ(number(game, "shotCount"), 0);
}

TEST(GameFlow, EscapeOpensAndClosesTheExitDialogAndEnterLeavesForTheMenu) {
    TempDir dir;
    const GameRun run{dir, makeContent(dir)};
    auto dump = [&](int ms, const std::string& name) {
        return std::to_string(ms) + " dump_state " + (dir / name).string();
    };
    // Escape during the cannon's intro, before the level has started; then, with no clicks,
    // twice more while the field slides in (its sound running).
    const fs::path script = dir.write("exit.script", scriptLines({
                                                         "800 key_down escape",
                                                         dump(2400, "intro.json"),
                                                         "2500 key_down escape",
                                                         "3000 key_down escape",
                                                         dump(3200, "open1.json"),
                                                         dump(3600, "open2.json"),
                                                         "3700 key_down escape",
                                                         dump(4000, "closed.json"),
                                                         "4100 key_down escape",
                                                         dump(4200, "again.json"),
                                                         "4300 key_down enter",
                                                     }));
    const std::string left = run("--start-game arcade --until 5000 --script " + script.string()).output;

    // The level waits for the dialog to close: it does not start under it.
    const std::string intro = gameOf(readFile(dir / "intro.json"));
    ASSERT_FALSE(intro.empty());
    EXPECT_EQ(number(intro, "state"), kExitDialog);
    EXPECT_EQ(number(intro, "screenKind"), kScreenExitToMenu);
    EXPECT_EQ(jsonValue(intro, "levelStartPending"), "true");
    EXPECT_EQ(number(intro, "lowestRow"), kNoLowestRow);

    const std::string open1 = gameOf(readFile(dir / "open1.json"));
    const std::string open2 = gameOf(readFile(dir / "open2.json"));
    const std::string closed = gameOf(readFile(dir / "closed.json"));
    const std::string again = gameOf(readFile(dir / "again.json"));
    ASSERT_FALSE(open1.empty());
    EXPECT_EQ(number(open1, "state"), kExitDialog);
    EXPECT_EQ(number(open1, "screenKind"), kScreenExitToMenu);
    EXPECT_EQ(jsonValue(open1, "fastDrop"), "true");
    // The field stands still behind the dialog.
    EXPECT_EQ(number(open2, "state"), kExitDialog);
    EXPECT_EQ(jsonValue(open2, "picture"), jsonValue(open1, "picture"));
    EXPECT_EQ(number(open2, "scroll"), number(open1, "scroll"));
    // Escape again: back to play, and the field moves on.
    EXPECT_EQ(number(closed, "state"), kPlaying);
    EXPECT_EQ(number(closed, "screenKind"), 0);
    EXPECT_NE(std::make_pair(number(closed, "lowestRow"), number(closed, "scroll")),
              std::make_pair(number(open2, "lowestRow"), number(open2, "scroll")));
    EXPECT_EQ(number(again, "state"), kExitDialog);
    EXPECT_EQ(number(again, "screenKind"), kScreenExitToMenu);
    // Enter takes "yes": the menu scene, the game gone.
    EXPECT_EQ(number(left, "currentScene"), kMenuScene);
    EXPECT_TRUE(gameOf(left).empty());

    // The slide-in sound stops with each opening of the dialog and starts again on closing.
    // (The music's own stops on the way to the menu are left out.)
    std::vector<std::string> channelWork;
    std::set<std::string> slideChannels;
    for (const std::string& line : soundLog(left)) {
        if (line.rfind("play sample_balls_down ", 0) == 0) {
            slideChannels.insert(line.substr(line.find('#')));
            channelWork.push_back(line);
        } else if (line.rfind("stop ", 0) == 0 && slideChannels.count(line.substr(5))) {
            channelWork.push_back(line);
        }
    }
    ASSERT_EQ(channelWork.size(), 4u) << ::testing::PrintToString(channelWork);
    const std::string firstChannel = channelWork[0].substr(channelWork[0].find('#'));
    const std::string secondChannel = channelWork[2].substr(channelWork[2].find('#'));
    EXPECT_EQ(channelWork[1], "stop " + firstChannel);
    EXPECT_EQ(channelWork[2].rfind("play sample_balls_down ", 0), 0u);
    EXPECT_EQ(channelWork[3], "stop " + secondChannel);
    EXPECT_EQ(number(left, "droppedCalls"), 0);
}

}  // namespace
}  // namespace qs
