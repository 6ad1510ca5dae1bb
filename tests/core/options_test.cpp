#include <gtest/gtest.h>

#include <filesystem>

#include "core/log.h"
#include "core/options.h"
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
        {"move_cnt=-1", &GameOptions::move_cnt, 0},
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

TEST(ReadOptions, MalformedIntegerStopsTheReadingAndIsLogged) {
    TempDir dir;
    Log log(dir / "log.txt");
    log.setEnabled(true);
    GameOptions options;
    bool complete = applyOptionsText(options, "move_cnt=16\nball_step=ten\nfps_max=60\n", log);
    EXPECT_FALSE(complete);
    EXPECT_EQ(options.move_cnt, 16);  // read before the bad line
    EXPECT_EQ(options.ball_step, 0);
    EXPECT_EQ(options.fps_max, 0);  // after it: not read
    std::string logged = readFile(dir / "log.txt");
    EXPECT_NE(logged.find("line 2"), std::string::npos) << logged;
    EXPECT_NE(logged.find("ball_step"), std::string::npos) << logged;
}

TEST(ReadOptions, MissingFileShowsTheMessageAndKeepsValues) {
    TempDir dir;
    Log log;
    GameOptions options;
    options.move_cnt = 16;
    std::vector<std::string> shown;
    ReadOptions(options, dir / "options.txt", log,
                [&](const std::string& caption, const std::string& text) {
                    shown.push_back(caption + "|" + text);
                });
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], "Error|Configuration file not found!");
    EXPECT_EQ(options.move_cnt, 16);
}

TEST(ReadOptions, AFolderInThePlaceOfTheFileIsSaidToBeOne) {
    TempDir dir;
    std::filesystem::create_directories(dir / "options.txt");
    Log log(dir / "log.txt");
    log.setEnabled(true);
    GameOptions options;
    options.move_cnt = 16;
    ReadOptions(options, dir / "options.txt", log, nullptr);
    EXPECT_EQ(options.move_cnt, 16);
    const std::string logged = readFile(dir / "log.txt");
    EXPECT_NE(logged.find("options.txt is a folder"), std::string::npos) << logged;
}

TEST(ReadOptions, SwitchesTheLogAndWritesItsLines) {
    TempDir dir;
    dir.write("options.txt", "log_enabled=1\ntextures16bit=1\n");
    Log log(dir / "log.txt", [] { return std::string("T"); });
    GameOptions options;
    ReadOptions(options, dir / "options.txt", log, nullptr);
    EXPECT_TRUE(log.enabled());
    // "setup_refresh" is written before the reading turns the log on.
    EXPECT_EQ(readFile(dir / "log.txt"), "T :  textures mode=16bit\r\n");
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
