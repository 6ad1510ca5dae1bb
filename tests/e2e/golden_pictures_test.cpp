// Golden pictures: every menu screen and dialog, every game overlay and a minute of bot play
// in each mode, drawn by the real binary on the headless software renderer and compared with
// the pictures this code drew when the table was made. Code that only moves things around
// must leave every picture byte for byte as it was.
//
// The table, tests/e2e/golden/pictures.txt, holds one "group/name hash" line a picture: the
// FNV-1a 64 hash of its width, height and decoded red, green and blue bytes, so the repository
// keeps no pictures. A picture that differs is written to build/golden-actual/ (or to the
// folder QUIBBLESTAR_GOLDEN_OUT names) for a look, and the failure names its path.
//
// QUIBBLESTAR_KEEP_SCREENSHOTS=DIR keeps every picture there as GROUP.NAME.png, to look at.
//
// When a picture is meant to change, regenerate the table and commit it with the change:
//   QUIBBLESTAR_UPDATE_GOLDEN=1 build/tests_e2e --gtest_filter='GoldenPictures.*'
// Each case rewrites the lines of its own group. The hashes hold for the SDL software renderer
// the build links; another SDL version may blend a pixel differently.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include "e2e_support.h"
#include "menu_driver.h"
#include "picture.h"
#include "test_support.h"

namespace qs {
namespace {

using namespace qs::test;
namespace fs = std::filesystem;

// Screen kinds (what keys and buttons go to) a picture must show; kAnyScreen checks nothing.
constexpr int kAnyScreen = -1;
constexpr int kNoScreen = 0;  // between screens, and while a game is played
constexpr int kMainMenu = 1;
constexpr int kGameType = 2;
constexpr int kGameMessage = 3;
constexpr int kOptions = 4;
constexpr int kRecords = 5;
constexpr int kHelp = 6;
constexpr int kGameOver = 7;
constexpr int kStatistics = 8;
constexpr int kExitQuestion = 10;
constexpr int kNameEntry = 11;
constexpr int kNameMessage = 12;
constexpr int kPlayerList = 13;
constexpr int kDeleteQuestion = 14;
constexpr int kTryAgain = 15;
constexpr int kExitToMenu = 16;
constexpr int kContinueQuestion = 17;

// FNV-1a 64 over the width, the height and the red, green and blue bytes of every pixel, top
// row first.
uint64_t pictureHash(const Picture& picture) {
    uint64_t hash = 14695981039346656037ull;
    auto add = [&hash](uint8_t byte) {
        hash ^= byte;
        hash *= 1099511628211ull;
    };
    for (int value : {picture.width(), picture.height()})
        for (int i = 0; i < 4; ++i) add(static_cast<uint8_t>(value >> (8 * i)));
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            for (int c = 0; c < 3; ++c) add(static_cast<uint8_t>(picture.channel(x, y, c)));
    return hash;
}

std::string hex(uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

fs::path tableFile() { return fs::path(QUIBBLESTAR_SOURCE_DIR) / "tests/e2e/golden/pictures.txt"; }

bool updating() {
    const char* update = std::getenv("QUIBBLESTAR_UPDATE_GOLDEN");
    return update && *update && std::string(update) != "0";
}

fs::path actualFolder() {
    const char* out = std::getenv("QUIBBLESTAR_GOLDEN_OUT");
    if (out && *out) return out;
    return fs::path(QUIBBLESTAR_BINARY).parent_path() / "golden-actual";
}

const char* const kTableHeader =
    "# Golden pictures: \"group/name hash\" a line, the FNV-1a 64 hash of a screenshot's width,\n"
    "# height and red, green and blue bytes (tests/e2e/golden_pictures_test.cpp). Regenerate with\n"
    "#   QUIBBLESTAR_UPDATE_GOLDEN=1 build/tests_e2e --gtest_filter='GoldenPictures.*'\n";

std::map<std::string, std::string> readTable(const std::string& text) {
    std::map<std::string, std::string> table;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string name, hash;
        if (words >> name >> hash) table[name] = hash;
    }
    return table;
}

// Replaces the lines of one group in the table file. Cases may run in parallel processes
// (ctest -j), so the read and the write happen under a lock on the file.
void updateGroup(const std::string& group, const std::map<std::string, std::string>& hashes) {
    fs::create_directories(tableFile().parent_path());
    const int fd = ::open(tableFile().c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_GE(fd, 0) << tableFile();
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    std::map<std::string, std::string> table = readTable(readFile(tableFile()));
    for (auto it = table.begin(); it != table.end();)
        it = it->first.rfind(group + "/", 0) == 0 ? table.erase(it) : std::next(it);
    for (const auto& [name, hash] : hashes) table[group + "/" + name] = hash;
    std::string text = kTableHeader;
    for (const auto& [name, hash] : table) text += name + " " + hash + "\n";
    const std::string temporary = tableFile().string() + ".new";
    std::ofstream(temporary, std::ios::binary) << text;
    fs::rename(temporary, tableFile());
    ::flock(fd, LOCK_UN);
    ::close(fd);
}

// A picture to take: its name in the group, when, and the screen it must show.
struct Shot {
    std::string name;
    int at;
    int screen = kAnyScreen;
};

// A picture taken: its hash and where it lies until the run's folder goes.
struct Taken {
    std::string hash;
    fs::path png;
};

// Compares a group's pictures with the table, or writes them into it in its place.
void checkGroup(const std::string& group, const std::map<std::string, Taken>& taken) {
    if (updating()) {
        std::map<std::string, std::string> hashes;
        for (const auto& [name, picture] : taken) hashes[name] = picture.hash;
        updateGroup(group, hashes);
        return;
    }
    const std::map<std::string, std::string> table = readTable(readFile(tableFile()));
    for (const auto& [name, picture] : taken) {
        const std::string key = group + "/" + name;
        const auto expected = table.find(key);
        if (expected != table.end() && expected->second == picture.hash) continue;
        fs::create_directories(actualFolder());
        const fs::path kept = actualFolder() / (group + "." + name + ".png");
        fs::copy_file(picture.png, kept, fs::copy_options::overwrite_existing);
        if (expected == table.end())
            ADD_FAILURE() << key << " has no golden hash (set QUIBBLESTAR_UPDATE_GOLDEN=1 to add it); the picture is "
                          << kept.string();
        else
            ADD_FAILURE() << key << " differs from its golden picture (hash " << picture.hash << ", expected "
                          << expected->second << "); the picture is " << kept.string();
    }
    for (const auto& [key, hash] : table)
        if (key.rfind(group + "/", 0) == 0 && !taken.count(key.substr(group.size() + 1)))
            ADD_FAILURE() << key << " is in the table but was not taken";
}

// One strict headless run (any content problem fails it) that takes the pictures, each with
// a state dump beside it, in the folder dir/shots.
class PictureRun {
public:
    PictureRun(const TempDir& dir, fs::path content) : dir_(dir), content_(std::move(content)) {
        fs::create_directories(dir_ / "shots");
    }

    void take(const Shot& shot) {
        shots_.push_back(shot);
        const fs::path stem = dir_ / "shots" / shot.name;
        script_ += std::to_string(shot.at) + " screenshot " + stem.string() + ".png\n";
        script_ += std::to_string(shot.at) + " dump_state " + stem.string() + ".json\n";
    }
    // Input in the menu driver's timeline, and the timeline's own pictures.
    void add(const std::string& lines) { script_ += lines; }

    RunResult run(const std::string& args, int until) const {
        const fs::path file = dir_.write("golden.script", script_);
        return runCommand(game() + " --headless --strict-content --data " + content_.string() + " --user-dir " +
                          (dir_ / "user").string() + " --script " + file.string() + " --until " +
                          std::to_string(until) + " " + args + " 2>&1");
    }

    // The hash of every picture taken, after checking that each shows its screen.
    void hashInto(const std::string& group, std::map<std::string, Taken>& taken) const {
        for (const Shot& shot : shots_) {
            SCOPED_TRACE(group + "/" + shot.name + " at " + std::to_string(shot.at) + " ms");
            const fs::path png = dir_ / "shots" / (shot.name + ".png");
            ASSERT_TRUE(fs::exists(png)) << "no picture was taken";
            if (shot.screen != kAnyScreen) {
                const std::string dump = readFile(dir_ / "shots" / (shot.name + ".json"));
                EXPECT_EQ(jsonNumber(jsonValue(dump, "input"), "ScreenKind"), shot.screen)
                    << "the picture does not show the screen it is named after";
            }
            if (const char* keep = std::getenv("QUIBBLESTAR_KEEP_SCREENSHOTS"); keep && *keep) {
                fs::create_directories(keep);
                fs::copy_file(png, fs::path(keep) / (group + "." + shot.name + ".png"),
                              fs::copy_options::overwrite_existing);
            }
            const Picture picture = loadPicture(png);
            ASSERT_FALSE(picture.empty());
            taken[shot.name] = {hex(pictureHash(picture)), png};
        }
    }

    void check(const std::string& group) const {
        std::map<std::string, Taken> taken;
        hashInto(group, taken);
        checkGroup(group, taken);
    }

private:
    const TempDir& dir_;
    fs::path content_;
    std::string script_;
    std::vector<Shot> shots_;
};

// The menu driver's timeline with a picture (and a dump that names its screen) of the last
// frame before the current time.
struct MenuShots {
    PictureRun& run;
    Timeline& timeline;

    MenuShots& shot(const std::string& name, int screen) {
        run.take({name, timeline.now() - 10, screen});
        return *this;
    }
};

void writePlayers(const TempDir& dir, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    dir.write("user/players.txt", text);
}

// The game's own content with the small levels of tests/e2e/fixtures (arcade 1 is won in a
// couple of matches, arcade 6 cannot be won, challenge 1 drains dry in seconds, puzzle 1 is
// solved and puzzle 2 lost quickly), so the overlays come up within seconds.
fs::path quickContent(const TempDir& dir) {
    const fs::path root = dir / "content";
    fs::create_directories(root);
    for (const fs::directory_entry& entry : fs::directory_iterator(dataDir())) {
        if (entry.path().filename() == "levels") continue;
        fs::create_symlink(entry.path(), root / entry.path().filename());
    }
    fs::copy(fs::path(QUIBBLESTAR_SOURCE_DIR) / "tests/e2e/fixtures/levels", root / "levels");
    return root;
}

// ---------------------------------------------------------------------------------------------

// The very first start: the logo over the loading bar, the first player's name entry, the
// message for an empty name and the main menu greeting the new player; then a game started
// from the menu with its message, left for the menu again, and the next mode's message.
TEST(GoldenPictures, FirstStart) {
    TempDir dir;
    PictureRun run(dir, dataDir());
    run.take({"logo_loading", 300});
    run.take({"logo_loaded", 1500});
    run.take({"name_entry_fades_in", 3100});
    Timeline script(dir);
    MenuShots shots{run, script};
    script.wait(kScreenChange);
    shots.shot("name_entry_first", kNameEntry);
    script.key("escape");
    shots.shot("name_message_empty", kNameMessage);
    script.key("enter").type("Dee");
    shots.shot("name_entry_typed", kNameEntry);
    script.key("enter");
    shots.shot("main_menu_new_player", kMainMenu);
    script.click(kStartButton).click(kArcadeButton);
    shots.shot("game_message_arcade", kGameMessage);
    script.click(kMessageOk, 1500);
    shots.shot("arcade_from_the_menu", kNoScreen);
    script.key("escape");
    shots.shot("exit_to_menu", kExitToMenu);
    script.key("enter", 4000);
    shots.shot("main_menu_after_a_game", kMainMenu);
    script.click(kStartButton).click(kPuzzleButton);
    shots.shot("game_message_puzzle", kGameMessage);
    run.add(script.text());
    const RunResult result = run.run("--seed 1", script.now() + 100);
    ASSERT_EQ(result.exitCode, 0) << result.output;
    run.check("first_start");
}

// Two players, records in every mode: each menu screen and dialog as a player opens it.
TEST(GoldenPictures, MenuScreens) {
    TempDir dir;
    // Ann left arcade at level 12 and lost challenge at 12 past the checkpoint of level 10; she
// still sees the challenge and puzzle messages.
    // Fields: name, levels, messages, start scores, game states, checkpoint scores.
    writePlayers(dir, {"Ann, 12, 12, -1, 0, 1, 1, 900, 800, 0, 1, 0, -1, 5000, 4000, 0",
                       "Bob, -1, -1, -1, 0, 0, 0, 0, 0, 0, -1, -1, -1, 0, 0, 0"});
    dir.write("user/records.txt", "1, 1, Ann, 12, 98765\r\n1, 2, Bob, 3, 4321\r\n1, 3, Ann, 1, 120\r\n"
                                  "2, 1, Bob, 7, 55555\r\n2, 2, Ann, 12, 3000\r\n"
                                  "3, 1, Ann, 9, 777777\r\n");
    PictureRun run(dir, dataDir());
    Timeline script(dir);
    MenuShots shots{run, script};
    script.wait(kScreenChange);
    shots.shot("main_menu", kMainMenu);
    script.move(kPlayerLine, kScreenChange);
    shots.shot("main_menu_lit_player", kMainMenu);
    script.click(kOptionsButton);
    shots.shot("options", kOptions);
    script.key("escape").click(kRecordsButton);
    shots.shot("records_arcade", kRecords);
    script.click(kRecordsPrevious);
    shots.shot("records_puzzle", kRecords);
    script.click(kRecordsNext).click(kRecordsNext);
    shots.shot("records_challenge", kRecords);
    script.key("enter").click(kHelpButton);
    shots.shot("help_page1", kHelp);
    script.click(kHelpNext);
    shots.shot("help_page2", kHelp);
    script.key("escape").click(kPlayerLine);
    shots.shot("player_list", kPlayerList);
    script.click(listRow(1));
    shots.shot("player_list_second", kPlayerList);
    script.click(kRenamePanel);
    shots.shot("rename", kNameEntry);
    script.key("escape").click(kCreateLine);
    shots.shot("name_entry_new", kNameEntry);
    script.type("Ann").key("enter");
    shots.shot("name_message_taken", kNameMessage);
    script.key("enter").key("escape").click(kDeletePanel);
    shots.shot("delete_question", kDeleteQuestion);
    script.key("escape").key("escape").key("escape");
    shots.shot("exit_question", kExitQuestion);
    script.key("escape").click(kStartButton);
    shots.shot("game_type", kGameType);
    script.click(kArcadeButton);
    shots.shot("continue_question", kContinueQuestion);
    // No: arcade starts afresh, without its message; then back to the menu for challenge, whose
    // message comes before the question.
    script.key("escape", 1500);
    shots.shot("arcade_afresh", kNoScreen);
    script.key("escape").key("enter", 4000).click(kStartButton).click(kChallengeButton);
    shots.shot("game_message_challenge", kGameMessage);
    script.key("enter");
    shots.shot("continue_after_loss", kContinueQuestion);
    run.add(script.text());
    const RunResult result = run.run("--seed 1", script.now() + 100);
    ASSERT_EQ(result.exitCode, 0) << result.output;
    run.check("menu");
}

// A game run to an overlay: the content it plays, the player's stored progress, the command
// line and input, and the pictures.
struct OverlayRun {
    std::string name;
    bool lastLevelOnly;  // only the first level of each mode: winning it wins the game
    std::string player;  // a players.txt line, or none for a new player
    std::string args;
    std::vector<std::string> input;
    std::vector<Shot> shots;
};

void playToOverlays(const std::vector<OverlayRun>& runs, const std::string& group) {
    std::vector<std::unique_ptr<TempDir>> dirs;
    std::map<std::string, Taken> taken;
    for (const OverlayRun& overlay : runs) {
        SCOPED_TRACE(overlay.name);
        dirs.push_back(std::make_unique<TempDir>());
        const TempDir& dir = *dirs.back();
        const fs::path content = quickContent(dir);
        if (overlay.lastLevelOnly)
            for (const fs::directory_entry& level : fs::directory_iterator(content / "levels"))
                if (level.path().stem().string().substr(level.path().stem().string().size() - 3) != "-01")
                    fs::remove(level.path());
        if (!overlay.player.empty()) writePlayers(dir, {overlay.player});
        PictureRun run(dir, content);
        for (const std::string& line : overlay.input) run.add(line + "\n");
        int until = 0;
        for (Shot shot : overlay.shots) {
            until = std::max(until, shot.at + 100);
            shot.name = overlay.name + "_" + shot.name;
            run.take(shot);
        }
        const RunResult result = run.run("--seed 1 " + overlay.args, until);
        ASSERT_EQ(result.exitCode, 0) << result.output;
        run.hashInto(group, taken);
    }
    checkGroup(group, taken);
}

// The small levels of tests/e2e/fixtures bring each overlay up within seconds: a level won
// (the field climbing out, then its statistics), a puzzle solved, the game won at its last
// level, and the records the end of a game leads to.
TEST(GoldenPictures, LevelEndOverlays) {
    playToOverlays(
        {
            {"arcade", false, "", "--start-game arcade --bot", {},
             {{"level_won", 6000, kNoScreen}, {"statistics", 8200, kStatistics}, {"next_level", 9500, kNoScreen}}},
            {"puzzle", false, "", "--start-game puzzle --bot", {},
             {{"statistics", 18400, kStatistics}, {"next_level", 20200, kNoScreen}}},
            {"won", true, "", "--start-game arcade --bot", {},
             {{"statistics", 8300, kStatistics}, {"records", 9800, kRecords}}},
        },
        "level_end");
}

// Games lost and left: the field falling, the game-over dialog (also past a checkpoint), the
// records, the try-again screens of arcade and puzzle, and the dialog that leaves for the menu.
TEST(GoldenPictures, LossOverlays) {
    playToOverlays(
        {
            {"challenge", false, "", "--start-game challenge --bot", {},
             {{"field_falls", 6200, kNoScreen},
              {"game_over", 7500, kGameOver},
              {"records", 9000, kRecords}}},
            // Level 6 cannot be won; it is lost past the checkpoint of level 5.
            {"checkpoint", false, "Player, 6, -1, -1, 0, 0, 0, 3000, 0, 0, 1, -1, -1, 2000, 0, 0",
             "--start-game arcade", {"14600 key_down enter", "15500 key_down enter", "16600 key_down enter"},
             {{"field_falls", 13000, kNoScreen},
              {"game_over", 14300, kGameOver},
              {"records", 15300, kRecords},
              {"try_again", 16400, kTryAgain},
              {"level_again", 18000, kNoScreen}}},
            {"puzzle", false, "", "--start-game puzzle --bot", {}, {{"try_again", 26200, kTryAgain}}},
            {"exit", false, "", "--start-game arcade", {"100 mouse_move 400 300", "5000 key_down escape"},
             {{"exit_to_menu", 5600, kExitToMenu}}},
        },
        "loss");
}

// A minute of bot play in each mode on the game's own levels, a picture every five seconds.
void playAMinute(const std::string& mode) {
    TempDir dir;
    PictureRun run(dir, dataDir());
    for (int at = 5000; at <= 60000; at += 5000) {
        const std::string seconds = std::to_string(at / 1000);
        run.take({mode + "_" + std::string(seconds.size() < 2 ? "0" : "") + seconds + "s", at});
    }
    const RunResult result = run.run("--seed 1 --start-game " + mode + " --bot", 60100);
    ASSERT_EQ(result.exitCode, 0) << result.output;
    run.check("bot_" + mode);
}

TEST(GoldenPictures, BotPlaysArcade) { playAMinute("arcade"); }
TEST(GoldenPictures, BotPlaysChallenge) { playAMinute("challenge"); }
TEST(GoldenPictures, BotPlaysPuzzle) { playAMinute("puzzle"); }

}  // namespace
}  // namespace qs
