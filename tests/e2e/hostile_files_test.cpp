#include <filesystem>
#include <fstream>
#include <functional>

#include <gtest/gtest.h>

#include "e2e_support.h"
#include "test_support.h"

namespace qs {
namespace {

using namespace qs::test;
namespace fs = std::filesystem;

// A headless run over the shipped content with the given user folder; stderr joins stdout.
RunResult play(const fs::path& user, const std::string& args) {
    return runCommand(game() + " --headless --data " + dataDir() + " --user-dir " + user.string() + " --seed 5 " +
                      args + " 2>&1");
}

// Whatever the player's settings file holds, the game runs: a key the file lacks or cannot
// give takes the shipped value, and a value the game cannot run with is brought into range.
TEST(HostileSettings, ABotGamePlaysWhateverTheSettingsFileHolds) {
    struct Case {
        const char* name;
        std::string text;
    };
    std::string utf16 = std::string("\xFF\xFE", 2);
    for (char c : std::string("move_cnt=16\r\nlog_enabled=1\r\n")) utf16 += std::string{c, '\0'};
    const Case cases[] = {
        {"one key only", "log_enabled=1\r\n"},
        {"no steps asked for", "move_cnt=0\r\nball_step=0\r\n"},
        {"a bad value before the others", "move_cnt=fast\r\nball_step=10\r\nlog_enabled=1\r\n"},
        {"empty", ""},
        {"UTF-16", utf16},
    };
    for (const Case& c : cases) {
        TempDir dir;
        dir.write("user/options.txt", c.text);
        RunResult run = play(dir / "user", "--start-game arcade --bot --until 20000 --dump-state");
        EXPECT_EQ(run.exitCode, 0) << c.name << "\n" << run.output;
        // The slowest schedule there is still runs about four steps a second.
        const bool slowest = c.name == std::string("no steps asked for");
        EXPECT_EQ(jsonNumber(run.output, "move_cnt"), slowest ? 1 : 16) << c.name;
        EXPECT_GT(jsonNumber(run.output, "sceneStepsRun").value_or(0), slowest ? 50 : 1000) << c.name;
        EXPECT_GT(jsonNumber(run.output, "shotCount").value_or(0), slowest ? 0 : 5) << c.name;
    }
}

// A settings file that is there but cannot be read keeps every byte: switching to full
// screen must not write a one-line file in its place.
TEST(HostileSettings, ASettingsFileThatCannotBeReadIsNeverWritten) {
    TempDir dir;
    fs::create_directories(dir / "user");
    // Too large to be a settings file: refused unread, like one the player may not read.
    {
        std::ofstream big(dir / "user/options.txt", std::ios::binary);
        big << "music_volume=3\r\n" << std::string(2 * 1024 * 1024, ';') << "\r\n";
    }
    const auto size = fs::file_size(dir / "user/options.txt");
    auto script = dir.write("toggle.script", "3000 toggle_fullscreen\n3500 toggle_fullscreen\n4000 quit\n");
    RunResult run = play(dir / "user", "--script " + script.string());
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(fs::file_size(dir / "user/options.txt"), size);
    EXPECT_NE(run.output.find("options.txt cannot be read (it is 2097170 bytes"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("not found"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("fullscreen=1 is not stored"), std::string::npos) << run.output;
}

// A copy of the shipped content with one file damaged.
struct DamagedContent {
    explicit DamagedContent(const std::function<void(const fs::path&)>& damage) {
        fs::copy(dataDir(), dir / "data", fs::copy_options::recursive);
        damage(dir / "data");
    }
    RunResult check() const { return runCommand(game() + " --check-content --data " + (dir / "data").string() + " 2>&1"); }
    RunResult strictRun(const std::string& args) const {
        return runCommand(game() + " --headless --strict-content --seed 5 --until 4000 --data " + (dir / "data").string() +
                          " --user-dir " + (dir / "user").string() + " " + args + " 2>&1");
    }
    TempDir dir;
};

std::function<void(const fs::path&)> writing(const std::string& name, const std::string& text) {
    return [name, text](const fs::path& root) { std::ofstream(root / name, std::ios::binary | std::ios::trunc) << text; };
}

// Keeps the first `lines` lines of a file, each with its line end: a file cut between lines.
std::function<void(const fs::path&)> cutting(const std::string& name, int lines) {
    return [name, lines](const fs::path& root) {
        const std::string text = readFile(root / name);
        size_t end = 0;
        for (int i = 0; i < lines && end != std::string::npos; ++i) end = text.find('\n', end + (i > 0));
        ASSERT_NE(end, std::string::npos) << name << " has fewer than " << lines << " lines";
        std::ofstream(root / name, std::ios::binary | std::ios::trunc) << text.substr(0, end + 1);
    };
}

// What the checker flags, a strict run fails on, and the reverse: the checker and the game
// read the same files the same way.
TEST(HostileContent, TheCheckerAndAStrictRunAgreeOnEveryDamagedFile) {
    struct Case {
        const char* name;
        std::function<void(const fs::path&)> damage;
        const char* said;
        // The arguments of a strict run that reads the file (the first seconds of the menu
        // with "", of a game with "--start-game arcade"); none for a file no short run reads.
        const char* strictRun;
    };
    const char* menu = "";
    const char* game = "--start-game arcade";
    const Case cases[] = {
        {"menu.map missing", [](const fs::path& r) { fs::remove(r / "menu.map"); }, "menu.map", menu},
        {"a folder for game_stat.map",
         [](const fs::path& r) {
             fs::remove(r / "game_stat.map");
             fs::create_directories(r / "game_stat.map");
         },
         "game_stat.map is missing", game},
        {"your_name.txt missing", [](const fs::path& r) { fs::remove(r / "text/your_name.txt"); }, "your_name.txt",
         menu},
        {"your_name.txt without its section", writing("text/your_name.txt", "font=graphics\\fonts\\font_taurus1.spr\r\n"),
         "your_name.txt: no #begin section", menu},
        {"empty main.msl", writing("main.msl", ""), "main.msl lists nothing", menu},
        {"empty loading.msl", writing("loading.msl", ""), "loading.msl lists nothing", menu},
        {"empty music.ini", writing("music.ini", ""), "music.ini lists nothing", menu},
        {"empty sound.ini", writing("sound.ini", "; nothing\r\n"), "sound.ini lists nothing", menu},
        {"empty combo.txt", writing("text/combo.txt", ""), "combo.txt holds no combo line", menu},
        {"empty .pos", writing("graphics/fonts/font_taurus1.pos", ""), "font_taurus1.pos holds no letter widths", menu},
        {"half a .pos, cut between lines", cutting("graphics/fonts/font_crystal1.pos", 50),
         "font_crystal1.pos line 50: the widths end after 45 glyph frames, but the font's picture draws 95", menu},
        {"a .spr cut inside a group", cutting("graphics/dragons/dragon_blue.spr", 4),
         "dragon_blue.spr line 4: the file ends inside a group of 3 parts, after 2", menu},
        {"empty mouse cursor", writing("graphics/cursors/mouse_cursor.spr", ""), "mouse_cursor.spr: no part line", menu},
        {"empty shipped settings", writing("options.txt", ""), "no value for fullscreen, mode16bit", menu},
        {"shipped settings in UTF-16", writing("options.txt", std::string("\xFF\xFEm\0=\0", 6)), "options.txt is UTF-16 text",
         menu},
        {"a sound that does not decode", writing("music/menu.ogg", "OggS but not really"), "menu.ogg does not decode",
         nullptr},
    };
    for (const Case& c : cases) {
        const DamagedContent content(c.damage);
        const RunResult checked = content.check();
        EXPECT_EQ(checked.exitCode, 1) << c.name << "\n" << checked.output;
        EXPECT_NE(checked.output.find(c.said), std::string::npos) << c.name << "\n" << checked.output;
        if (!c.strictRun) continue;
        const RunResult run = content.strictRun(c.strictRun);
        EXPECT_EQ(run.exitCode, 3) << c.name << "\n" << run.output;
        EXPECT_NE(run.output.find(c.said), std::string::npos) << c.name << "\n" << run.output;
    }
}

}  // namespace
}  // namespace qs
