#include "core/options.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "core/log.h"
#include "core/text_util.h"
#include "test_support.h"

namespace qs {
namespace {

using test::readFile;
using test::TempDir;

GameOptions readText(const std::string& text, GameOptions start = {}) {
    Log log;
    applyOptionsText(start, text, log);
    return start;
}

TEST(ReadOptions, ReadsKeysAsTheGameWritesThem) {
    struct Case {
        const char* name;
        std::string text;
        std::function<bool(const GameOptions&)> check;
    };
    const Case cases[] = {
        {"mixed-case volume key with comment is clamped", "  Music_Volume = 20 ; loud\r\n",
         [](const GameOptions& o) { return o.music_volume == 13 && o.musicVolumeShownStale; }},
        {"negative volume is raised to 0", "sound_volume=-4",
         [](const GameOptions& o) { return o.sound_volume == 0; }},
        {"empty fullscreen value turns it on", "fullscreen=",
         [](const GameOptions& o) { return o.fullscreen; }},
        {"fullscreen 0 turns it off", "fullscreen=1\nfullscreen=0",
         [](const GameOptions& o) { return !o.fullscreen; }},
        {"text booleans are true for anything but 0", "log_enabled=no",
         [](const GameOptions& o) { return o.log_enabled; }},
        {"integer booleans need 1 or more", "fps_show=0\nwait_vblank=2",
         [](const GameOptions& o) { return !o.fps_show && o.wait_vblank; }},
        {"a leading = and a line without = are ignored", "=5\nmove_cnt 16\n; move_cnt=3",
         [](const GameOptions& o) { return o.move_cnt == 0; }},
        {"the later line wins", "move_cnt=8\nMOVE_CNT=16",
         [](const GameOptions& o) { return o.move_cnt == 16; }},
        {"fps_max sets the frame interval", "fps_max=60",
         [](const GameOptions& o) { return o.fps_max == 60 && o.frameInterval == 16; }},
        {"fps_max 0 is no cap", "fps_max=0",
         [](const GameOptions& o) { return o.fps_max == 0 && o.frameInterval == 0; }},
        {"negative fps_max is no cap", "fps_max=-5",
         [](const GameOptions& o) { return o.frameInterval == 0; }},
        {"unknown keys are ignored", "colour=red\nball_step=10",
         [](const GameOptions& o) { return o.ball_step == 10; }},
        {"absent keys keep their defaults", "",
         [](const GameOptions& o) { return o.music_amplify == 75 && o.player_index == 0; }},
        {"a line is cut at 255 characters", std::string("beg_level=1") + std::string(250, ' ') + "9",
         [](const GameOptions& o) { return o.beg_level == 1; }},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(c.check(readText(c.text))) << c.name;
    }
}

TEST(ReadOptions, NumbersOutsideTheirRangeAreClampedAndLogged) {
    struct Case {
        const char* line;
        int GameOptions::*field;
        int expected;
    };
    // A move_cnt of 2^31 - 1 used to make every frame run that many sprite moves.
    const Case cases[] = {
        {"move_cnt=2147483647", &GameOptions::move_cnt, 160},
        {"move_cnt=-1", &GameOptions::move_cnt, 1},
        // No scene step would ever run: the game would stand still.
        {"move_cnt=0", &GameOptions::move_cnt, 1},
        {"ball_step=-3", &GameOptions::ball_step, 1},
        {"bigbomb_radius=90", &GameOptions::bigbomb_radius, 15},
        {"bonus_freeze_time=999999", &GameOptions::bonus_freeze_time, 3600},
        {"fps_max=-2147483648", &GameOptions::fps_max, -1000},
    };
    for (const Case& c : cases) {
        TempDir dir;
        Log log(dir / "log.txt");
        log.setEnabled(true);
        GameOptions options;
        EXPECT_TRUE(applyOptionsText(options, std::string("; comment\r\n") + c.line + "\r\n", log, "options.txt"));
        EXPECT_EQ(options.*(c.field), c.expected) << c.line;
        const std::string logged = readFile(dir / "log.txt");
        EXPECT_NE(logged.find(std::string("options.txt line 2: ") + c.line + " is outside"), std::string::npos)
            << logged;
    }
    // In range: nothing is said.
    TempDir dir;
    Log log(dir / "log.txt");
    log.setEnabled(true);
    GameOptions options;
    applyOptionsText(options, "move_cnt=16\nball_step=10\n", log, "options.txt");
    EXPECT_EQ(readFile(dir / "log.txt").find("outside"), std::string::npos);
}

TEST(ReadOptions, ABadLineIsSkippedAndNamedAndTheLinesAfterItAreRead) {
    TempDir dir;
    Log log(dir / "log.txt");
    log.setEnabled(true);
    GameOptions options;
    bool complete = applyOptionsText(options, "move_cnt=16\nball_step=ten\nfps_max=60\n", log, "/u/options.txt");
    EXPECT_FALSE(complete);
    EXPECT_EQ(options.move_cnt, 16);
    EXPECT_EQ(options.ball_step, 0);  // the bad line changes nothing
    EXPECT_EQ(options.fps_max, 60);   // after it: still read
    std::string logged = readFile(dir / "log.txt");
    EXPECT_NE(logged.find("/u/options.txt line 2: \"ten\" is not a whole number for ball_step"), std::string::npos)
        << logged;
}

// Whatever is wrong with a file, the game keeps values it can run with: the ones it ships.
TEST(ReadOptions, ADamagedFileLeavesTheShippedValuesWhereItGivesNone) {
    struct Case {
        const char* name;
        std::string text;
        bool complete;
    };
    std::string utf16 = std::string("\xFF\xFE", 2);
    for (char c : std::string("move_cnt=0\r\n")) utf16 += std::string{c, '\0'};
    const Case cases[] = {
        {"empty", "", true},
        {"only one other key", "log_enabled=1\r\n", true},
        {"UTF-16", utf16, false},
        {"binary junk", std::string("\x01\x02\x7f\x00move_cnt=0\x05", 12) + "\n\x80\xff\x10", false},
        {"a value that is no number", "move_cnt=fast\r\n", false},
    };
    for (const Case& c : cases) {
        Log log;
        GameOptions options = defaultOptions();
        EXPECT_EQ(applyOptionsText(options, c.text, log), c.complete) << c.name;
        EXPECT_EQ(options.move_cnt, 16) << c.name;
        EXPECT_EQ(options.ball_step, 10) << c.name;
        EXPECT_EQ(options.frameInterval, 16) << c.name;
    }
}

TEST(ReadOptions, ALineOfJunkIsSkippedButTheLinesAroundItAreRead) {
    Log log;
    GameOptions options;
    EXPECT_FALSE(applyOptionsText(options, "move_cnt=8\r\n\x01\x02garbage\x03\r\nball_step=12\r\n", log));
    EXPECT_EQ(options.move_cnt, 8);
    EXPECT_EQ(options.ball_step, 12);
    // A UTF-8 mark from an editor does not hide the first key.
    EXPECT_TRUE(applyOptionsText(options, "\xEF\xBB\xBFmove_cnt=20\r\n", log));
    EXPECT_EQ(options.move_cnt, 20);
}

TEST(ReadOptions, AFileOfJunkNamesTwentyLinesAndCountsTheRest) {
    TempDir dir;
    Log log(dir / "log.txt");
    log.setEnabled(true);
    GameOptions options;
    std::string text;
    for (int i = 0; i < 500; ++i) text += "move_cnt=x\n";
    applyOptionsText(options, text, log, "options.txt");
    const std::string logged = readFile(dir / "log.txt");
    EXPECT_NE(logged.find("options.txt line 20:"), std::string::npos);
    EXPECT_EQ(logged.find("options.txt line 21:"), std::string::npos);
    EXPECT_NE(logged.find("options.txt: 480 more lines skipped"), std::string::npos) << logged;
}

TEST(ShippedOptions, TheProgramsDefaultsAreTheShippedFile) {
    const std::string shipped = readFile(std::string(QUIBBLESTAR_SOURCE_DIR) + "/data/options.txt");
    EXPECT_TRUE(missingOptionKeys(shipped).empty());
    Log log;
    GameOptions read;
    ASSERT_TRUE(applyOptionsText(read, shipped, log));
    const GameOptions defaults = defaultOptions();
    EXPECT_EQ(optionsText(read), optionsText(defaults));
    EXPECT_GE(defaults.move_cnt, 1);
}

TEST(ShippedOptions, MissingKeysAreListed) {
    EXPECT_EQ(missingOptionKeys("move_cnt=16\n").size(), optionKeyNames().size() - 1);
    // A key whose value is no number gives none.
    const std::vector<std::string> missing = missingOptionKeys("move_cnt=x\n");
    EXPECT_NE(std::find(missing.begin(), missing.end(), "move_cnt"), missing.end());
}

TEST(ReadOptions, MissingFileShowsTheMessageWithItsPathAndKeepsValues) {
    TempDir dir;
    Log log;
    GameOptions options;
    options.move_cnt = 16;
    std::vector<std::string> shown;
    EXPECT_EQ(ReadOptions(options, dir / "options.txt", log,
                          [&](const std::string& caption, const std::string& text) {
                              shown.push_back(caption + "|" + text);
                          }),
              OptionsFileState::Missing);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], "Error|Configuration file not found!\n" + (dir / "options.txt").string());
    EXPECT_EQ(options.move_cnt, 16);
}

// A file that is there but cannot be read is not "not found", and writing a key into it
// would leave that one line in the place of every other setting.
TEST(ReadOptions, AFileThatCannotBeReadIsSaidToBeSoAndNeverWritten) {
    struct Case {
        const char* name;
        std::function<void(const std::filesystem::path&)> make;
        const char* reason;
    };
    const Case cases[] = {
        {"a folder", [](const std::filesystem::path& f) { std::filesystem::create_directories(f); }, "it is a folder"},
        {"a link to itself", [](const std::filesystem::path& f) { std::filesystem::create_symlink(f.filename(), f); },
         "Too many levels of symbolic links"},
        {"a file past the size limit",
         [](const std::filesystem::path& f) {
             std::ofstream(f) << "move_cnt=16\r\n" << std::string(kOptionsFileLimit, ';');
         },
         "it is 1048589 bytes, more than the 1048576"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::filesystem::path file = dir / "options.txt";
        c.make(file);
        Log log(dir / "log.txt");
        log.setEnabled(true);
        GameOptions options = defaultOptions();
        std::vector<std::string> shown;
        EXPECT_EQ(ReadOptions(options, file, log, [&](const std::string&, const std::string& text) { shown.push_back(text); }),
                  OptionsFileState::Unreadable)
            << c.name;
        EXPECT_EQ(options.move_cnt, 16) << c.name;
        ASSERT_EQ(shown.size(), 1u) << c.name;
        EXPECT_NE(shown[0].find("cannot be read (" + std::string(c.reason)), std::string::npos) << shown[0];
        EXPECT_EQ(shown[0].find("not found"), std::string::npos) << shown[0];

        log.setEnabled(true);
        const auto type = std::filesystem::symlink_status(file).type();
        const auto size = type == std::filesystem::file_type::regular ? std::filesystem::file_size(file) : 0;
        EXPECT_FALSE(WriteOptionValue(file, "fullscreen", "1", log)) << c.name;
        EXPECT_EQ(std::filesystem::symlink_status(file).type(), type) << c.name;
        if (type == std::filesystem::file_type::regular) {
            EXPECT_EQ(std::filesystem::file_size(file), size) << c.name;
        }
        EXPECT_NE(readFile(dir / "log.txt").find("fullscreen=1 is not stored"), std::string::npos) << c.name;
    }
}

TEST(ReadOptions, SwitchesTheLogAndWritesItsLines) {
    TempDir dir;
    dir.write("options.txt", "log_enabled=1\ntextures16bit=1\n");
    Log log(dir / "log.txt", [] { return std::string("T"); });
    GameOptions options;
    ReadOptions(options, dir / "options.txt", log, nullptr);
    EXPECT_TRUE(log.enabled());
    // "setup_refresh" is written before the reading turns the log on.
    const std::string logged = readFile(dir / "log.txt");
    EXPECT_EQ(logged.rfind("T : " + (dir / "options.txt").string() + " has no value for fullscreen, mode16bit, ", 0), 0u)
        << logged;
    // (The long line loses its line end at the log's 255 characters.)
    EXPECT_NE(logged.find("T :  textures mode=16bit\r\n"), std::string::npos) << logged;
}

TEST(WriteOptionValue, ReplacesMatchingLinesAndKeepsTheRest) {
    TempDir dir;
    Log log;
    auto file = dir.write("options.txt", "  player_index = 1 ; who plays\r\nPLAYER_INDEX=2\r\n; note\r\n  fps_max=60  \r\n");
    ASSERT_TRUE(WriteOptionValue(file, "player_index", "3", log));
    EXPECT_EQ(readFile(file), "player_index=3\r\nPLAYER_INDEX=2\r\n; note\r\nfps_max=60\r\n");
    // The reader lower-cases keys, so the later capitalised line wins.
    GameOptions options = readText(readFile(file));
    EXPECT_EQ(options.player_index, 2);
}

TEST(WriteOptionValue, AppendsWhenNoLineMatchesAndCreatesMissingFiles) {
    TempDir dir;
    Log log;
    auto file = dir / "options.txt";
    ASSERT_TRUE(WriteOptionValue(file, "music_volume", "7", log));
    EXPECT_EQ(readFile(file), "music_volume=7\r\n");
    ASSERT_TRUE(WriteOptionValue(file, "sound_volume", "5", log));
    EXPECT_EQ(readFile(file), "music_volume=7\r\nsound_volume=5\r\n");
    // A line without "=" collects its whole text as the key.
    dir.write("other.txt", "fullscreen\r\n");
    ASSERT_TRUE(WriteOptionValue(dir / "other.txt", "fullscreen", "1", log));
    EXPECT_EQ(readFile(dir / "other.txt"), "fullscreen=1\r\n");
}

TEST(WriteOptionValue, FailedWriteKeepsTheOldFile) {
    TempDir dir;
    Log log(dir / "log.txt");
    log.setEnabled(true);
    auto file = dir.write("options.txt", "music_volume=9\r\nmove_cnt=16\r\n");
    // The temporary file cannot be created: a folder stands in its place.
    std::filesystem::create_directory(dir / "options.txt.tmp");
    EXPECT_FALSE(WriteOptionValue(file, "music_volume", "3", log));
    EXPECT_EQ(readFile(file), "music_volume=9\r\nmove_cnt=16\r\n");
    EXPECT_NE(readFile(dir / "log.txt").find("music_volume=3"), std::string::npos);
}

}  // namespace
}  // namespace qs
