// The menus driven as a player drives them: mouse and keyboard only, through the real binary,
// checked on the state dumps, the files left in the user folder and the exit code. Every run is
// strict, so a screen that misses any of its content fails the run it appears in.
//
// With QUIBBLESTAR_KEEP_SCREENSHOTS naming a folder, a picture of every screen in its real
// state is copied there under the screen's name.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e_support.h"
#include "menu_driver.h"
#include "test_support.h"

namespace qs {
namespace {

using namespace qs::test;
namespace fs = std::filesystem;

// Screen kinds the menus route input to.
constexpr int kMainMenu = 1;
constexpr int kGameType = 2;
constexpr int kGameMessage = 3;
constexpr int kOptions = 4;
constexpr int kRecords = 5;
constexpr int kHelp = 6;
constexpr int kExitQuestion = 10;
constexpr int kNameEntry = 11;
constexpr int kNameMessage = 12;
constexpr int kPlayerList = 13;
constexpr int kDeleteQuestion = 14;
constexpr int kContinueQuestion = 17;

constexpr int kMenuScene = 1;
constexpr int kGameScene = 2;
constexpr int kFirstPlayerEntry = 1;
constexpr int kNewPlayerEntry = 2;

// One strict headless run of the script with the user folder dir/user; the state at its end
// comes back as the output.
RunResult runMenus(const TempDir& dir, const fs::path& content, const Timeline& script, int until,
                   const std::string& name = "menus") {
    const fs::path file = dir.write(name + ".script", script.text());
    return runCommand(game() + " --headless --strict-content --data " + content.string() + " --user-dir " +
                      (dir / "user").string() + " --seed 1 --script " + file.string() + " --until " +
                      std::to_string(until) + " --dump-state");
}

std::string dumpOf(const TempDir& dir, const std::string& name) {
    const fs::path path = dir / (name + ".json");
    return fs::exists(path) ? readFile(path) : std::string();
}
long long number(const std::string& json, const std::string& key) { return jsonNumber(json, key).value_or(-12345); }
int screenOf(const std::string& dump) { return static_cast<int>(number(jsonValue(dump, "input"), "ScreenKind")); }
std::string menuOf(const std::string& dump) { return jsonValue(dump, "menu"); }
std::string gameOf(const std::string& dump) { return jsonValue(dump, "game"); }
std::string playersOf(const std::string& dump) { return jsonValue(dump, "players"); }

// The players' names in a dump, in list order.
std::vector<std::string> playerNames(const std::string& dump) {
    std::vector<std::string> names;
    const std::string list = jsonValue(playersOf(dump), "list");
    static const std::regex name("\\{\"name\":\"([^\"]*)\"");
    for (auto it = std::sregex_iterator(list.begin(), list.end(), name); it != std::sregex_iterator(); ++it)
        names.push_back((*it)[1]);
    return names;
}

// A key's value in the user folder's options.txt (the last line of the key counts).
std::string optionValue(const TempDir& dir, const std::string& key) {
    std::istringstream in(readFile(dir / "user/options.txt"));
    std::string line, value;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind(key + "=", 0) == 0) value = line.substr(key.size() + 1);
    }
    return value;
}

// The lines of a file in the user folder, line ends dropped.
std::vector<std::string> userLines(const TempDir& dir, const std::string& name) {
    std::vector<std::string> lines;
    if (!fs::exists(dir / "user" / name)) return lines;
    std::istringstream in(readFile(dir / "user" / name));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

void writePlayers(const TempDir& dir, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    dir.write("user/players.txt", text);
}

// A player line with every mode never played and its message off.
std::string quietPlayer(const std::string& name) { return name + ", -1, -1, -1, 0, 0, 0, 0, 0, 0, -1, -1, -1, 0, 0, 0"; }

// Copies a screenshot to the folder named by QUIBBLESTAR_KEEP_SCREENSHOTS, if any.
void keepScreenshot(const fs::path& picture, const std::string& name) {
    const char* keep = std::getenv("QUIBBLESTAR_KEEP_SCREENSHOTS");
    if (!keep || !*keep) return;
    ASSERT_TRUE(fs::exists(picture)) << picture;
    fs::create_directories(keep);
    fs::copy_file(picture, fs::path(keep) / name, fs::copy_options::overwrite_existing);
}

// The game's own content with the small levels of tests/e2e/fixtures and some level files
// replaced or added (name -> contents).
fs::path quickContent(const TempDir& dir, const std::map<std::string, std::string>& levels) {
    const fs::path root = dir / "content";
    fs::create_directories(root);
    for (const fs::directory_entry& entry : fs::directory_iterator(dataDir())) {
        if (entry.path().filename() == "levels") continue;
        fs::create_symlink(entry.path(), root / entry.path().filename());
    }
    fs::copy(fs::path(QUIBBLESTAR_SOURCE_DIR) / "tests/e2e/fixtures/levels", root / "levels");
    for (const auto& [name, contents] : levels) dir.write("content/levels/" + name, contents);
    return root;
}

std::string fixtureLevel(const std::string& name) {
    return readFile(fs::path(QUIBBLESTAR_SOURCE_DIR) / "tests/e2e/fixtures/levels" / name);
}

// ---------------------------------------------------------------------------------------------

// The first start: nobody has played, so the name entry opens by itself; the player is
// created, chooses arcade, turns its message off and loses level 1 (which cannot be won); the
// result stands highlighted in the records and the run comes back to the main menu. The next
// start finds the player and the message choice as they were left.
TEST(MenuFlow, FirstPlayerIsNamedLosesAnArcadeGameIntoTheRecordsAndIsFoundAgainNextStart) {
    TempDir dir;
    const fs::path content = quickContent(dir, {{"arcade-01.ini", fixtureLevel("arcade-06.ini")}});
    const char* keep = std::getenv("QUIBBLESTAR_KEEP_SCREENSHOTS");

    Timeline script(dir);
    script.dump("first");
    // A leading blank goes at once; Shift makes capitals; minus, Delete (".") and digits type
    // themselves; the fifteenth character is ignored and Backspace takes the fourteenth.
    script.type(" Bob 7-abcdef.g").dump("fourteen").type("x").dump("fifteen").type("<Z").dump("typed");
    script.key("enter").dump("created");
    script.click(kStartButton).click(kArcadeButton).dump("message");
    script.click(kCheckbox).dump("unticked");
    script.click(kMessageOk, 1000).dump("playing");
    // Nobody shoots: the field comes down onto the cannon some 12 s into the game. Enter every
    // half second takes the game-over dialog's and then the records' button (during play and
    // on the main menu it does nothing); the records show in between.
    const int lostBy = script.now() + 10000, overBy = script.now() + 15000;
    for (int t = script.now(); t < overBy; t += 500) script.addAt(t, "key_down enter");
    for (int t = lostBy; t < overBy; t += 100) {
        script.at(t).dump("end" + std::to_string(t));
        if (keep) script.shot("end" + std::to_string(t));
    }
    const RunResult first = runMenus(dir, content, script, overBy + 500, "first");
    ASSERT_EQ(first.exitCode, 0);

    const std::string start = dumpOf(dir, "first");
    EXPECT_EQ(screenOf(start), kNameEntry);
    EXPECT_EQ(number(menuOf(start), "editMode"), kFirstPlayerEntry);
    EXPECT_EQ(jsonValue(menuOf(dumpOf(dir, "fourteen")), "nameText"), "\"Bob 7-abcdef.g\"");
    EXPECT_EQ(jsonValue(menuOf(dumpOf(dir, "fifteen")), "nameText"), "\"Bob 7-abcdef.g\"");
    EXPECT_EQ(jsonValue(menuOf(dumpOf(dir, "typed")), "nameText"), "\"Bob 7-abcdef.Z\"");

    const std::string created = dumpOf(dir, "created");
    EXPECT_EQ(screenOf(created), kMainMenu);
    EXPECT_EQ(number(playersOf(created), "currentPlayer"), 0);
    EXPECT_EQ(jsonValue(created, "player_index"), "0");
    EXPECT_EQ(screenOf(dumpOf(dir, "message")), kGameMessage);
    EXPECT_EQ(number(jsonValue(playersOf(dumpOf(dir, "message")), "modes"), "showMessage"), 1);
    EXPECT_EQ(number(jsonValue(playersOf(dumpOf(dir, "unticked")), "modes"), "showMessage"), 0);
    const std::string playing = dumpOf(dir, "playing");
    EXPECT_EQ(number(playing, "currentScene"), kGameScene);
    EXPECT_EQ(number(gameOf(playing), "mode"), 1);
    EXPECT_EQ(number(gameOf(playing), "level"), 1);

    // The records showed the arcade table with the result on the first row, highlighted.
    int recordsAt = -1;
    for (int t = lostBy; t < overBy && recordsAt < 0; t += 100) {
        const std::string records = jsonValue(dumpOf(dir, "end" + std::to_string(t)), "records");
        if (records.find("\"open\":true") == std::string::npos) continue;
        recordsAt = t;
        EXPECT_EQ(number(records, "mode"), 1) << records;
        EXPECT_EQ(number(records, "highlighted"), 1) << records;
        EXPECT_EQ(number(records, "rows"), 1) << records;
    }
    ASSERT_GE(recordsAt, 0) << "the records never showed between " << lostBy << " and " << overBy << " ms";
    if (keep) keepScreenshot(dir / ("end" + std::to_string(recordsAt) + ".png"), "records.png");
    const std::vector<std::string> records = userLines(dir, "records.txt");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].rfind("1, 1, Bob 7-abcdef.Z, 1, ", 0), 0u) << records[0];
    EXPECT_EQ(number(first.output, "currentScene"), kMenuScene);
    EXPECT_EQ(screenOf(first.output), kMainMenu);

    // Choosing the game re-reads players.txt before it starts afresh, so the message is still
    // off here only if unticking wrote the file at once.
    const std::vector<std::string> players = userLines(dir, "players.txt");
    ASSERT_EQ(players.size(), 1u);
    // The arcade message stays off; the game lost below level 5 leaves nothing to continue.
    EXPECT_EQ(players[0], "Bob 7-abcdef.Z, 1, -1, -1, 0, 1, 1, 0, 0, 0, -1, -1, -1, 0, 0, 0");
    EXPECT_EQ(optionValue(dir, "player_index"), "0");
    // Both files are written with CR LF line ends.
    const std::string playersText = readFile(dir / "user/players.txt");
    EXPECT_EQ(playersText.substr(playersText.size() - 2), "\r\n");
    EXPECT_NE(readFile(dir / "user/records.txt").find(", 0\r\n"), std::string::npos);

    // The next start greets the player on the main menu, and arcade starts without its message.
    Timeline again(dir);
    again.dump("greeted").click(kStartButton).click(kArcadeButton, 1000).dump("restarted");
    const RunResult second = runMenus(dir, content, again, again.now() + 100, "again");
    ASSERT_EQ(second.exitCode, 0);
    const std::string greeted = dumpOf(dir, "greeted");
    EXPECT_EQ(screenOf(greeted), kMainMenu);
    EXPECT_EQ(jsonValue(menuOf(greeted), "nameText"), "\"\"") << "the name entry was never opened";
    EXPECT_EQ(playerNames(greeted), std::vector<std::string>{"Bob 7-abcdef.Z"});
    EXPECT_EQ(number(dumpOf(dir, "restarted"), "currentScene"), kGameScene);
}

// The options screen: the music bar follows a drag, the arrows step the levels and stop at
// the ends, every change is written to options.txt and the next start reads it back.
TEST(MenuFlow, VolumesSetOnTheOptionsScreenAreStoredAndReadBack) {
    TempDir dir;
    // Ann sees the arcade message only.
    writePlayers(dir, {"Ann, -1, -1, -1, 1, 0, 0, 0, 0, 0, -1, -1, -1, 0, 0, 0"});
    Timeline script(dir);
    script.click(kOptionsButton).dump("opened");

    // Dragging along the music bar: six pixels a level, a half going to the even neighbour.
    struct Drag {
        int x, level;
    };
    const std::vector<Drag> drags = {{361, 0}, {369, 2}, {363, 0}, {375, 2}, {381, 4}, {438, 13}, {420, 10}};
    script.move({drags[0].x, 196}).down();
    for (size_t i = 0; i < drags.size(); ++i) script.move({drags[i].x, 196}).dump("drag" + std::to_string(i));
    script.up(100);
    script.move({438, 196}).dump("released");  // a move with the button up sets nothing

    // Arrows: (button, clicks, music, sound) after the clicks.
    struct Arrows {
        Point button;
        int clicks, music, sound;
    };
    const std::vector<Arrows> arrows = {
        {kMusicRight, 4, 13, 11},  // 10 -> 13, then held at the top
        {kSoundLeft, 12, 13, 0},   // 11 -> 0, then held at the bottom
        {kSoundRight, 1, 13, 1},
        {kMusicLeft, 2, 11, 1},
    };
    for (size_t i = 0; i < arrows.size(); ++i) {
        for (int c = 0; c < arrows[i].clicks; ++c) script.click(arrows[i].button, 100);
        script.dump("arrows" + std::to_string(i));
    }
    // The messages button: any message on turns all three off, then all three on.
    script.click(kMessagesButton, 200).dump("messages_off").click(kMessagesButton, 200).dump("messages_on");
    script.shot("options").key("escape").dump("left");
    const RunResult run = runMenus(dir, dataDir(), script, script.now() + 100);
    ASSERT_EQ(run.exitCode, 0);

    EXPECT_EQ(screenOf(dumpOf(dir, "opened")), kOptions);
    for (size_t i = 0; i < drags.size(); ++i) {
        SCOPED_TRACE("drag to x " + std::to_string(drags[i].x));
        EXPECT_EQ(number(jsonValue(dumpOf(dir, "drag" + std::to_string(i)), "options"), "music_volume"), drags[i].level);
    }
    EXPECT_EQ(number(jsonValue(dumpOf(dir, "released"), "options"), "music_volume"), 10);
    for (size_t i = 0; i < arrows.size(); ++i) {
        SCOPED_TRACE("arrow step " + std::to_string(i));
        const std::string options = jsonValue(dumpOf(dir, "arrows" + std::to_string(i)), "options");
        EXPECT_EQ(number(options, "music_volume"), arrows[i].music);
        EXPECT_EQ(number(options, "sound_volume"), arrows[i].sound);
    }
    // The new sound level is heard at each change (eleven down, one up), never at the limit
    // and not on opening.
    EXPECT_EQ(timesPlayed(run.output, "sample_hit"), 12);
    auto messages = [](const std::string& dump) {
        std::vector<long long> shown;
        const std::string modes = jsonValue(playersOf(dump), "modes");
        for (size_t at = modes.find("\"showMessage\":"); at != std::string::npos; at = modes.find("\"showMessage\":", at + 1))
            shown.push_back(std::strtoll(modes.c_str() + at + 14, nullptr, 10));
        return shown;
    };
    EXPECT_EQ(messages(dumpOf(dir, "messages_off")), (std::vector<long long>{0, 0, 0}));
    EXPECT_EQ(messages(dumpOf(dir, "messages_on")), (std::vector<long long>{1, 1, 1}));
    EXPECT_EQ(userLines(dir, "players.txt"),
              std::vector<std::string>{"Ann, -1, -1, -1, 1, 1, 1, 0, 0, 0, -1, -1, -1, 0, 0, 0"});
    EXPECT_EQ(screenOf(dumpOf(dir, "left")), kMainMenu);
    EXPECT_EQ(optionValue(dir, "music_volume"), "11");
    EXPECT_EQ(optionValue(dir, "sound_volume"), "1");
    keepScreenshot(dir / "options.png", "options.png");

    Timeline nothing(dir);
    const RunResult restarted = runMenus(dir, dataDir(), nothing, kMenuReady, "restart");
    ASSERT_EQ(restarted.exitCode, 0);
    EXPECT_EQ(number(jsonValue(restarted.output, "options"), "music_volume"), 11);
    EXPECT_EQ(number(jsonValue(restarted.output, "options"), "sound_volume"), 1);
}

// The help opens at page 1; the arrows turn the pages and stop at either end; OK and Escape
// lead back to the main menu, and the next opening is at page 1 again.
TEST(MenuFlow, HelpPagesTurnWithTheArrowsAndLeaveForTheMainMenu) {
    TempDir dir;
    writePlayers(dir, {quietPlayer("Ann")});
    struct Step {
        std::string action;  // a button, or a key
        Point at;
        int screen, page;
    };
    const std::vector<Step> steps = {
        {"help", kHelpButton, kHelp, 1},        {"previous on page 1", kHelpPrevious, kHelp, 1},
        {"next", kHelpNext, kHelp, 2},          {"next on page 2", kHelpNext, kHelp, 2},
        {"previous", kHelpPrevious, kHelp, 1},  {"escape", {}, kMainMenu, -1},
        {"help again", kHelpButton, kHelp, 1},  {"next again", kHelpNext, kHelp, 2},
        {"ok", kSmallOk, kMainMenu, -1},        {"help once more", kHelpButton, kHelp, 1},
        {"enter", {}, kMainMenu, -1},
    };
    Timeline script(dir);
    for (size_t i = 0; i < steps.size(); ++i) {
        if (steps[i].action == "escape" || steps[i].action == "enter") script.key(steps[i].action);
        else script.click(steps[i].at);
        script.dump("step" + std::to_string(i));
        if (i == 0) script.shot("help1");
        if (i == 2) script.shot("help2");
    }
    const RunResult run = runMenus(dir, dataDir(), script, script.now() + 100);
    ASSERT_EQ(run.exitCode, 0);
    for (size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(steps[i].action);
        const std::string dump = dumpOf(dir, "step" + std::to_string(i));
        EXPECT_EQ(screenOf(dump), steps[i].screen);
        if (steps[i].page > 0) {
            EXPECT_EQ(number(menuOf(dump), "helpPage"), steps[i].page);
        }
    }
    keepScreenshot(dir / "help1.png", "help1.png");
    keepScreenshot(dir / "help2.png", "help2.png");
}

// Page 2 lays its ball list where page 1 runs its demo: nothing of the demo may stay up
// behind it.
TEST(MenuFlow, HelpPageTwoShowsNothingOfThePageOneDemo) {
    TempDir dir;
    writePlayers(dir, {quietPlayer("Ann")});
    Timeline script(dir);
    script.click(kHelpButton).addAt(script.now() - 10, "dump_state " + (dir / "page1.json").string() + " objects");
    script.click(kHelpNext).addAt(script.now() - 10, "dump_state " + (dir / "page2.json").string() + " objects");
    ASSERT_EQ(runMenus(dir, dataDir(), script, script.now() + 100).exitCode, 0);

    // The objects of the help's map that are drawn (a drawn object has a box in the dump).
    auto shown = [&](const std::string& name) {
        std::multiset<std::string> names;
        const std::string objects = jsonValue(dumpOf(dir, name), "objects");
        static const std::regex drawn("\\{\"tag\":\"menu_help\",\"name\":\"([^\"]*)\"[^}]*\"box\"");
        for (auto it = std::sregex_iterator(objects.begin(), objects.end(), drawn); it != std::sregex_iterator(); ++it)
            names.insert((*it)[1]);
        return names;
    };
    const std::multiset<std::string> page1 = shown("page1"), page2 = shown("page2");
    ASSERT_EQ(number(menuOf(dumpOf(dir, "page2")), "helpPage"), 2);
    for (const char* demo : {"help_demo", "scores_poloska_vert", "canon2_mini", "ball2_mini", "ball3_mini", "ball4_mini"}) {
        EXPECT_GT(page1.count(demo), 0u) << demo << " is part of page 1";
        EXPECT_EQ(page2.count(demo), 0u) << demo << " still shows on page 2";
    }
}

// Enter on the main menu does nothing; the exit button and Escape both ask, "no" and Escape
// go back, Enter on the question ends the program at once with success.
TEST(MenuFlow, ExitQuestionAnsweredWithEnterEndsTheProgram) {
    TempDir dir;
    writePlayers(dir, {quietPlayer("Ann")});
    Timeline script(dir);
    // Escape during the logo is forgotten once the menu is up.
    script.at(1000).key("escape", 0).at(kMenuReady).dump("after_logo");
    script.key("enter").dump("enter");
    script.click(kExitButton).dump("button");
    script.click(kExitNo).dump("no");
    script.key("escape").dump("escape").shot("exit_question");
    script.key("escape").dump("escape_no");
    script.key("escape").key("enter", 100);
    const int quitAt = script.now();
    script.at(quitAt + 2000).shot("never").dump("never");
    const RunResult run = runMenus(dir, dataDir(), script, quitAt + 5000);
    ASSERT_EQ(run.exitCode, 0);

    EXPECT_EQ(screenOf(dumpOf(dir, "after_logo")), kMainMenu);
    EXPECT_EQ(screenOf(dumpOf(dir, "enter")), kMainMenu);
    EXPECT_EQ(screenOf(dumpOf(dir, "button")), kExitQuestion);
    EXPECT_EQ(screenOf(dumpOf(dir, "no")), kMainMenu);
    EXPECT_EQ(screenOf(dumpOf(dir, "escape")), kExitQuestion);
    EXPECT_EQ(screenOf(dumpOf(dir, "escape_no")), kMainMenu);
    // The run ended with the answer, long before its time was up.
    EXPECT_FALSE(fs::exists(dir / "never.png"));
    EXPECT_FALSE(fs::exists(dir / "never.json"));
    EXPECT_LT(number(run.output, "frameTick"), quitAt + 500) << run.output.substr(0, 300);
    keepScreenshot(dir / "exit_question.png", "exit_question.png");
}

// Ten players: the list opens on the current player and scrolls by a row at a time once the
// highlight stands on the last (or first) row; the keys and the scroller buttons do the same.
TEST(MenuFlow, PlayerListOfTenScrollsWithTheHighlightOnItsEdgeRows) {
    TempDir dir;
    std::vector<std::string> players;
    for (int i = 0; i < 10; ++i) players.push_back(quietPlayer("Player" + std::to_string(i)));
    writePlayers(dir, players);

    struct Selection {
        std::string after;
        int selection, top, row;
    };
    std::vector<std::string> keys(10, "down");
    keys.insert(keys.end(), 10, "up");
    Timeline script(dir);
    script.click(kPlayerLine).dump("key0");
    for (size_t i = 0; i < keys.size(); ++i) {
        script.key(keys[i], 100).dump("key" + std::to_string(i + 1));
        if (i + 1 == 8) script.shot("player_list_10");
    }
    script.click(kScrollDown, 200).dump("scroller_down").click(kScrollUp, 200).dump("scroller_up");
    script.key("escape").dump("cancelled");
    const RunResult run = runMenus(dir, dataDir(), script, script.now() + 100);
    ASSERT_EQ(run.exitCode, 0);

    const std::vector<Selection> expected = {
        {"key0", 0, 0, 0},  {"key6", 6, 0, 6},   {"key7", 7, 1, 6},   {"key9", 9, 3, 6},
        {"key10", 9, 3, 6},  // Down on the last player stays
        {"key16", 3, 3, 0},  {"key17", 2, 2, 0}, {"key19", 0, 0, 0},
        {"key20", 0, 0, 0},  // Up on the first player stays
        {"scroller_down", 1, 0, 1}, {"scroller_up", 0, 0, 0},
    };
    EXPECT_EQ(screenOf(dumpOf(dir, "key0")), kPlayerList);
    for (const Selection& s : expected) {
        SCOPED_TRACE(s.after);
        const std::string menu = menuOf(dumpOf(dir, s.after));
        EXPECT_EQ(number(menu, "listSelection"), s.selection);
        EXPECT_EQ(number(menu, "listTop"), s.top);
        EXPECT_EQ(number(menu, "listRow"), s.row);
    }
    const std::string cancelled = dumpOf(dir, "cancelled");
    EXPECT_EQ(screenOf(cancelled), kMainMenu);
    EXPECT_EQ(number(playersOf(cancelled), "currentPlayer"), 0);
    keepScreenshot(dir / "player_list_10.png", "player_list_10.png");
}

// Two players: rows choose, an empty row does nothing, a name taken is refused with its
// message and kept for another try, and deleting down to nobody leads to the first player's
// name entry.
TEST(MenuFlow, PlayerListChoosesCreatesAndDeletesDownToTheFirstPlayersEntry) {
    TempDir dir;
    writePlayers(dir, {quietPlayer("Ann"), quietPlayer("Bob")});
    Timeline script(dir);
    script.click(kPlayerLine).dump("opened");
    script.click(listRow(4)).dump("empty_row");
    script.click(listRow(1)).dump("row1");
    script.click(listRow(1)).dump("chosen");
    // A new player under a name that exists (the blank at its end is trimmed before the
    // names are compared).
    script.click(kPlayerLine).click(kCreateLine).dump("create").type("Ann ").shot("name_entry");
    script.key("enter").dump("taken").shot("name_message");
    script.key("enter").dump("retry");
    script.key("escape").dump("back");
    script.click(kRenamePanel).shot("rename").dump("rename").key("enter").dump("renamed");
    // Bob, the current player, goes; then Ann, the only one left.
    script.click(kDeletePanel).dump("delete_question").shot("delete_question");
    script.key("enter").dump("one_left");
    script.click(kDeletePanel).key("enter").dump("nobody");
    const RunResult run = runMenus(dir, dataDir(), script, script.now() + 100);
    ASSERT_EQ(run.exitCode, 0);

    EXPECT_EQ(screenOf(dumpOf(dir, "opened")), kPlayerList);
    const std::string emptyRow = dumpOf(dir, "empty_row");
    EXPECT_EQ(screenOf(emptyRow), kPlayerList);
    EXPECT_EQ(number(menuOf(emptyRow), "listSelection"), 0);
    EXPECT_EQ(number(menuOf(emptyRow), "listRow"), 0);
    EXPECT_EQ(number(menuOf(dumpOf(dir, "row1")), "listSelection"), 1);
    EXPECT_EQ(screenOf(dumpOf(dir, "row1")), kPlayerList);
    // The highlighted row clicked again chooses its player.
    const std::string chosen = dumpOf(dir, "chosen");
    EXPECT_EQ(screenOf(chosen), kMainMenu);
    EXPECT_EQ(number(playersOf(chosen), "currentPlayer"), 1);
    EXPECT_EQ(jsonValue(chosen, "player_index"), "1");

    EXPECT_EQ(screenOf(dumpOf(dir, "create")), kNameEntry);
    EXPECT_EQ(number(menuOf(dumpOf(dir, "create")), "editMode"), kNewPlayerEntry);
    EXPECT_EQ(screenOf(dumpOf(dir, "taken")), kNameMessage);
    const std::string retry = dumpOf(dir, "retry");
    EXPECT_EQ(screenOf(retry), kNameEntry);
    EXPECT_EQ(jsonValue(menuOf(retry), "nameText"), "\"Ann \"");
    EXPECT_EQ(playerNames(retry).size(), 2u) << "no second Ann";
    EXPECT_EQ(screenOf(dumpOf(dir, "back")), kPlayerList);
    EXPECT_EQ(screenOf(dumpOf(dir, "rename")), kNameEntry);
    EXPECT_EQ(jsonValue(menuOf(dumpOf(dir, "rename")), "nameText"), "\"Bob\"");
    // A player renamed to its own name is no clash.
    EXPECT_EQ(screenOf(dumpOf(dir, "renamed")), kPlayerList);
    EXPECT_EQ(playerNames(dumpOf(dir, "renamed")), (std::vector<std::string>{"Ann", "Bob"}));

    EXPECT_EQ(screenOf(dumpOf(dir, "delete_question")), kDeleteQuestion);
    const std::string oneLeft = dumpOf(dir, "one_left");
    EXPECT_EQ(screenOf(oneLeft), kPlayerList);
    EXPECT_EQ(playerNames(oneLeft), std::vector<std::string>{"Ann"});
    // The current player went: the one now selected is current.
    EXPECT_EQ(number(playersOf(oneLeft), "currentPlayer"), 0);
    EXPECT_EQ(number(menuOf(oneLeft), "listSelection"), 0);

    const std::string nobody = dumpOf(dir, "nobody");
    EXPECT_EQ(screenOf(nobody), kNameEntry);
    EXPECT_EQ(number(menuOf(nobody), "editMode"), kFirstPlayerEntry);
    EXPECT_EQ(jsonValue(menuOf(nobody), "nameText"), "\"\"");
    EXPECT_TRUE(userLines(dir, "players.txt").empty());
    for (const char* name : {"name_entry", "name_message", "rename", "delete_question"})
        keepScreenshot(dir / (std::string(name) + ".png"), std::string(name) + ".png");
}

// The player index stored in options.txt names the current player; it stays on the list and
// follows its player when a player above it is deleted.
TEST(MenuFlow, StoredPlayerIndexStaysOnTheListAndFollowsItsPlayer) {
    struct Case {
        std::string name;
        std::vector<std::string> players;
        int storedIndex;
        int deleteRow;  // -1: nothing deleted
        int current;
        std::vector<std::string> left;
    };
    const std::vector<Case> cases = {
        {"an index past the end falls back to the first player", {"Ann", "Bob"}, 5, -1, 0, {"Ann", "Bob"}},
        {"a player above the current one deleted", {"Ann", "Bob", "Cy"}, 2, 0, 1, {"Bob", "Cy"}},
        {"a player below the current one deleted", {"Ann", "Bob", "Cy"}, 1, 2, 1, {"Ann", "Bob"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        std::vector<std::string> lines;
        for (const std::string& name : c.players) lines.push_back(quietPlayer(name));
        writePlayers(dir, lines);
        std::string options = readFile(fs::path(dataDir()) / "options.txt");
        const size_t at = options.find("player_index=0");
        ASSERT_NE(at, std::string::npos);
        options.replace(at, 14, "player_index=" + std::to_string(c.storedIndex));
        dir.write("user/options.txt", options);

        Timeline script(dir);
        script.wait(100).dump("menu");
        if (c.deleteRow >= 0) script.click(kPlayerLine).click(listRow(c.deleteRow)).click(kDeletePanel).key("enter");
        script.dump("end");
        ASSERT_EQ(runMenus(dir, dataDir(), script, script.now() + 100).exitCode, 0);

        const std::string end = dumpOf(dir, "end");
        EXPECT_EQ(screenOf(dumpOf(dir, "menu")), kMainMenu);
        EXPECT_EQ(playerNames(end), c.left);
        EXPECT_EQ(number(playersOf(end), "currentPlayer"), c.current);
        EXPECT_EQ(optionValue(dir, "player_index"), std::to_string(c.current));
    }
}

// A release fires only the button the mouse went down on: sliding off before the release, or
// sliding onto a button after pressing elsewhere, does nothing; nor does a release with no
// press after Enter or Escape chose a button.
TEST(MenuFlow, AReleaseFiresOnlyTheButtonPressedOnIt) {
    TempDir dir;
    writePlayers(dir, {quietPlayer("Ann")});
    Timeline script(dir);
    script.move(kStartButton).down().move({400, 420}).up(100).dump("slid_off");
    script.down().move(kStartButton).up(100).dump("slid_on");
    script.key("escape").key("escape").move(kOptionsButton).up(100).dump("stray_release");
    script.click(kOptionsButton).dump("clicked");
    ASSERT_EQ(runMenus(dir, dataDir(), script, script.now() + 100).exitCode, 0);
    for (const char* name : {"slid_off", "slid_on", "stray_release"}) EXPECT_EQ(screenOf(dumpOf(dir, name)), kMainMenu) << name;
    EXPECT_EQ(screenOf(dumpOf(dir, "clicked")), kOptions);
}

// Choosing a mode with stored progress: what is offered, and where the game starts on the
// answer.
TEST(MenuFlow, StoredProgressDecidesTheContinueQuestionAndTheStartingLevel) {
    struct Case {
        std::string name;
        std::string player;
        Point mode;
        bool asks, afterLoss;
        int checkpoint;
        std::string answer;  // key on the question
        int level, score;
    };
    // Fields: name, levels, messages, start scores, game states, checkpoint scores.
    const std::vector<Case> cases = {
        {"arcade lost at 12 goes back to 10", "Cy, 12, -1, -1, 0, 0, 0, 900, 0, 0, 0, -1, -1, 5000, 0, 0",
         kArcadeButton, true, true, 10, "enter", 10, 5000},
        {"arcade left at 12 goes on there", "Cy, 12, -1, -1, 0, 0, 0, 900, 0, 0, 1, -1, -1, 5000, 0, 0",
         kArcadeButton, true, false, -1, "enter", 12, 900},
        {"arcade lost at 4 starts afresh", "Cy, 4, -1, -1, 0, 0, 0, 900, 0, 0, 0, -1, -1, 0, 0, 0",
         kArcadeButton, false, false, -1, "", 1, 0},
        {"puzzle at 3 asks though lost; no starts afresh", "Cy, -1, -1, 3, 0, 0, 0, 0, 0, 700, -1, -1, 0, 0, 0, 0",
         kPuzzleButton, true, false, -1, "escape", 1, 0},
    };
    std::map<std::string, std::string> levels;
    for (int level = 8; level <= 12; ++level) {
        levels["arcade-" + std::string(level < 10 ? "0" : "") + std::to_string(level) + ".ini"] =
            fixtureLevel("arcade-01.ini");
    }
    TempDir shared;
    const fs::path content = quickContent(shared, levels);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        writePlayers(dir, {c.player});
        Timeline script(dir);
        script.click(kStartButton).click(c.mode).dump("asked");
        if (c.name == cases[0].name) script.shot("continue_question");
        if (!c.answer.empty()) script.key(c.answer);
        script.wait(600).dump("started");
        const RunResult run = runMenus(dir, content, script, kMenuReady + 3000);
        ASSERT_EQ(run.exitCode, 0);

        const std::string asked = dumpOf(dir, "asked");
        if (c.asks) {
            EXPECT_EQ(screenOf(asked), kContinueQuestion);
            EXPECT_EQ(jsonValue(menuOf(asked), "continueAfterLoss"), c.afterLoss ? "true" : "false");
            if (c.afterLoss) {
                EXPECT_EQ(number(menuOf(asked), "checkpointLevel"), c.checkpoint);
            }
        } else {
            EXPECT_NE(screenOf(asked), kContinueQuestion);
        }
        const std::string started = dumpOf(dir, "started");
        ASSERT_EQ(number(started, "currentScene"), kGameScene) << started.substr(0, 400);
        const std::string game = gameOf(started);
        EXPECT_EQ(number(game, "level"), c.level);
        EXPECT_EQ(number(game, "totalScore"), c.score);
        // The answer is stored: the mode goes on at the level started, as an unfinished game.
        const std::vector<std::string> stored = userLines(dir, "players.txt");
        ASSERT_EQ(stored.size(), 1u);
        std::vector<std::string> fields;
        std::istringstream in(stored[0]);
        for (std::string field; std::getline(in, field, ',');) fields.push_back(field.substr(field.find_first_not_of(' ')));
        ASSERT_EQ(fields.size(), 16u) << stored[0];
        const int mode = c.mode.y == kPuzzleButton.y ? 3 : 1;
        EXPECT_EQ(fields[mode], std::to_string(c.level)) << stored[0];
        EXPECT_EQ(fields[9 + mode], "1") << stored[0];
        if (c.name == cases[0].name) keepScreenshot(dir / "continue_question.png", "continue_question.png");
    }
}

// One strict run through every screen of the menus from the very first start, a picture of
// each on the way: nothing the menus show may be missing from the game's content.
TEST(MenuFlow, EveryMenuScreenOpensFromTheGamesContent) {
    TempDir dir;
    Timeline script(dir);
    script.at(1500).shot("intro").at(3050).shot("loading").at(kMenuReady);
    // The first player cannot leave the name entry without a name.
    script.key("escape").dump("no_name").key("enter").dump("asked_again");
    script.type("Dee").key("enter").dump("main").shot("main_menu");
    script.click(kStartButton).dump("game_type").shot("game_type").key("escape");
    script.click(kOptionsButton).dump("options").key("escape");
    script.click(kRecordsButton).dump("records1").click(kRecordsPrevious, 200).dump("records3");
    script.click(kRecordsNext, 200).click(kRecordsNext, 200).dump("records2").key("enter");
    script.click(kHelpButton).dump("help").click(kHelpNext).key("escape");
    script.click(kPlayerLine).dump("list").click(kRenamePanel).dump("rename").key("escape");
    script.click(kCreateLine).type("Dee").key("enter").dump("taken").key("enter").key("escape");
    script.click(kDeletePanel).dump("delete").key("escape").key("escape");
    script.key("escape").dump("exit").key("escape");
    script.click(kStartButton).click(kArcadeButton).dump("message").shot("game_message");
    script.key("escape", 1000).dump("game");
    const RunResult run = runMenus(dir, dataDir(), script, script.now() + 100);
    EXPECT_EQ(run.exitCode, 0) << "a content problem (see the log above) or a failed output";

    const std::vector<std::pair<std::string, int>> screens = {
        {"no_name", kNameMessage}, {"asked_again", kNameEntry}, {"main", kMainMenu},       {"game_type", kGameType},
        {"options", kOptions},     {"records1", kRecords},      {"help", kHelp},           {"list", kPlayerList},
        {"rename", kNameEntry},    {"taken", kNameMessage},     {"delete", kDeleteQuestion}, {"exit", kExitQuestion},
        {"message", kGameMessage},
    };
    for (const auto& [name, screen] : screens) EXPECT_EQ(screenOf(dumpOf(dir, name)), screen) << name;
    // The records page through the modes, the left arrow from arcade to puzzle.
    EXPECT_EQ(number(jsonValue(dumpOf(dir, "records1"), "records"), "mode"), 1);
    EXPECT_EQ(number(jsonValue(dumpOf(dir, "records1"), "records"), "highlighted"), 0);
    EXPECT_EQ(number(jsonValue(dumpOf(dir, "records3"), "records"), "mode"), 3);
    EXPECT_EQ(number(jsonValue(dumpOf(dir, "records2"), "records"), "mode"), 2);
    EXPECT_EQ(number(dumpOf(dir, "game"), "currentScene"), kGameScene);
    for (const char* name : {"intro", "loading", "main_menu", "game_type", "game_message"})
        keepScreenshot(dir / (std::string(name) + ".png"), std::string(name) + ".png");
}

}  // namespace
}  // namespace qs

namespace qs {
namespace {

using namespace qs::test;

// The logo plays to its end on a first start, while the content loads behind it; from then
// on a click skips it (and the press does nothing else).
TEST(MenuIntro, TheLogoIsSkippedByAClickOnceItHasBeenSeen) {
    TempDir dir;
    auto run = [&](const std::string& name) {
        const fs::path script = dir.write(name + ".script", "290 mouse_move 400 300\n300 click left\n");
        return runCommand(game() + " --headless --strict-content --data " + dataDir() + " --user-dir " +
                          (dir / "user").string() + " --seed 1 --script " + script.string() +
                          " --until 800 --dump-state");
    };
    const RunResult first = run("first");
    ASSERT_EQ(first.exitCode, 0) << first.output;
    EXPECT_NE(number(menuOf(first.output), "introState"), -1) << "a first start shows the whole logo";
    EXPECT_EQ(optionValue(dir, "intro_seen"), "0");
    const RunResult seen = runCommand(game() + " --headless --strict-content --data " + dataDir() + " --user-dir " +
                                      (dir / "user").string() + " --until 6000");
    ASSERT_EQ(seen.exitCode, 0) << seen.output;
    EXPECT_EQ(optionValue(dir, "intro_seen"), "1");
    const RunResult skipped = run("skipped");
    ASSERT_EQ(skipped.exitCode, 0) << skipped.output;
    EXPECT_EQ(number(menuOf(skipped.output), "introState"), -1);
    EXPECT_EQ(jsonValue(menuOf(skipped.output), "loadingFinished"), "true");
    EXPECT_EQ(screenOf(skipped.output), 11) << "the first player's name is asked for at once";
}

// Keys alone, from the first start: the first player is named, every screen of the menu is
// opened and left, the cannon of an arcade game is turned, fired and its balls swapped, the
// exit question is answered both ways, and a game of each other mode is started and left.
TEST(MenuFlow, KeysAloneNameAPlayerVisitEveryScreenAndPlay) {
    TempDir dir;
    const fs::path content = quickContent(dir, {});
    constexpr int kGameIn = 3000;  // a game's field and cannon come in

    Timeline s(dir);
    s.dump("first").type("Kim").key("enter").dump("named");
    // The first arrow shows the focus on Start; the next ones walk down the buttons.
    s.key("down", kKeyGap).dump("focused");
    s.key("down", kKeyGap).key("enter").dump("options").key("escape").dump("menu1");
    s.key("down", kKeyGap).key("down", kKeyGap).key("enter").dump("records").key("escape");
    s.key("down", kKeyGap).key("down", kKeyGap).key("down", kKeyGap).key("enter").dump("help");
    s.key("right").dump("help2").key("escape");
    s.key("up", kKeyGap).key("enter").dump("players").key("escape");
    s.key("escape").dump("exitQuestion").key("escape").dump("menu2");
    // Enter on the focused Start, the focused arcade, the message's OK.
    s.key("enter").dump("gameType").key("enter").dump("message").key("enter", kGameIn).dump("arcade");
    s.key("left", 500).addAt(s.now(), "key_up left").wait(kKeyGap).dump("aimed");
    s.key("space", 1500).dump("fired").key("down", 200).dump("swapped");
    s.key("escape").dump("exitDialog").key("right", kKeyGap).dump("exitNo").key("enter").dump("backInGame");
    s.key("escape").key("enter", 1000).dump("left");
    // Back on the menu the focus shows Start again; the game type screen starts on the mode
    // played last, so Down goes on to the next one.
    for (const char* mode : {"challenge", "puzzle"})
        s.key("enter").key("down", kKeyGap).key("enter").key("enter", kGameIn).dump(mode).key("escape").key("enter", 1000);
    s.dump("end");
    const RunResult run = runMenus(dir, content, s, s.now() + 100, "keys");
    ASSERT_EQ(run.exitCode, 0) << run.output;

    const struct {
        const char* dump;
        int screen;
    } screens[] = {{"first", kNameEntry}, {"named", kMainMenu},   {"options", kOptions},     {"menu1", kMainMenu},
                   {"records", kRecords}, {"help", kHelp},        {"help2", kHelp},          {"players", kPlayerList},
                   {"exitQuestion", kExitQuestion},               {"menu2", kMainMenu},      {"gameType", kGameType},
                   {"message", kGameMessage}};
    for (const auto& c : screens) EXPECT_EQ(screenOf(dumpOf(dir, c.dump)), c.screen) << c.dump;
    EXPECT_EQ(playerNames(dumpOf(dir, "named")), std::vector<std::string>{"Kim"});
    const std::string focused = jsonValue(dumpOf(dir, "focused"), "input");
    EXPECT_EQ(number(focused, "focusedButton"), 1);
    EXPECT_NE(focused.find("\"pointerDevice\":\"keys\""), std::string::npos) << focused;
    EXPECT_EQ(number(menuOf(dumpOf(dir, "help2")), "helpPage"), 2);

    EXPECT_EQ(number(dumpOf(dir, "arcade"), "currentScene"), kGameScene);
    const double aimed = std::stod(jsonValue(gameOf(dumpOf(dir, "aimed")), "aimAngle"));
    EXPECT_GT(aimed, 0.2) << "Left turns the cannon left, as a pointer on the left does";
    EXPECT_EQ(number(gameOf(dumpOf(dir, "fired")), "shotCount"), 1);
    const std::string fired = jsonValue(gameOf(dumpOf(dir, "fired")), "queue");
    const std::string swapped = jsonValue(gameOf(dumpOf(dir, "swapped")), "queue");
    EXPECT_EQ(jsonValue(swapped, "current"), jsonValue(fired, "next"));
    EXPECT_EQ(jsonValue(swapped, "next"), jsonValue(fired, "current"));
    // The exit question: Right walks to "no", which Enter presses; then Enter says yes.
    EXPECT_EQ(number(gameOf(dumpOf(dir, "exitDialog")), "screenKind"), 16);
    EXPECT_EQ(number(jsonValue(dumpOf(dir, "exitDialog"), "input"), "focusedButton"), 1);
    EXPECT_EQ(number(jsonValue(dumpOf(dir, "exitNo"), "input"), "focusedButton"), 2);
    EXPECT_EQ(number(gameOf(dumpOf(dir, "backInGame")), "state"), 0);
    EXPECT_EQ(number(dumpOf(dir, "left"), "currentScene"), kMenuScene);
    EXPECT_EQ(number(gameOf(dumpOf(dir, "challenge")), "mode"), 2);
    EXPECT_EQ(number(gameOf(dumpOf(dir, "puzzle")), "mode"), 3);
    EXPECT_EQ(number(dumpOf(dir, "end"), "currentScene"), kMenuScene);
}

}  // namespace
}  // namespace qs
