#include "game/level_files.h"

#include <gtest/gtest.h>

#include "core/file_system.h"
#include "core/log.h"
#include "game/ball_grid.h"
#include "game_test_support.h"
#include "test_support.h"

namespace qs {
namespace {

using test::picture;

// A content root with level files and a log that keeps what it was told.
struct LevelFolder {
    LevelFolder() : files(dir.path(), dir.path() / "user"), log(dir.path() / "log.txt", [] { return "t"; }) {
        log.setEnabled(true);
        log.setEcho(true);
    }
    void level(const std::string& name, const std::string& text) { dir.write("levels/" + name, text); }
    std::string logText() const { return test::readFile(dir.path() / "log.txt"); }

    test::TempDir dir;
    FileSystem files;
    Log log;
    LevelValues values;
    BallGrid grid;
};

TEST(LevelFiles, FileNamesHaveTwoDigitsAtLeast) {
    EXPECT_EQ(levelFileName(kModeArcade, 1), "levels\\arcade-01.ini");
    EXPECT_EQ(levelFileName(kModeArcade, 10), "levels\\arcade-10.ini");
    EXPECT_EQ(levelFileName(kModeChallenge, 5), "levels\\challenge-05.ini");
    EXPECT_EQ(levelFileName(kModePuzzle, 123), "levels\\puzzle-123.ini");
}

TEST(ReadArcadeLevel, ReadsTheFiveValuesAndTheText) {
    LevelFolder f;
    f.level("arcade-10.ini",
            "; a comment line\r\n"
            "1500 ; ms between descents\r\n"
            "\r\n"
            "2.5\r\n"
            ";\r\n"
            " 4 \r\n"
            "2, 5, 11, 3\r\n"
            "7\r\n"
            "Net expand\r\n"
            "   \r\n"
            "makes the field wider;for a while\r\n");
    f.level("arcade-11.ini", "1\n1\n1\n");
    ASSERT_TRUE(ReadArcadeLevel(f.files, f.log, kModeArcade, 10, f.values, f.grid));
    EXPECT_EQ(f.values.descentInterval, 1500);
    EXPECT_DOUBLE_EQ(f.values.scoreDivisor, 2.5);
    EXPECT_EQ(f.grid.colourCount, 4);
    EXPECT_EQ(f.values.levelBonusList, (std::vector<int>{2, 5}));
    EXPECT_EQ(f.values.newBonus, 7);
    // A line of blanks is a data line like any other.
    EXPECT_EQ(f.values.newBonusText,
              (std::vector<std::string>{"Net expand", "   ", "makes the field wider"}));
    EXPECT_EQ(f.values.lastLevel, kMoreLevels);
}

TEST(ReadArcadeLevel, ChallengeFillsDrainAndGaugeAndTheLastLevelIsKnown) {
    LevelFolder f;
    f.values.descentInterval = 111;
    f.values.scoreDivisor = 9;
    f.level("challenge-03.ini", "800\n0.75\n5\n\n");
    ASSERT_TRUE(ReadArcadeLevel(f.files, f.log, kModeChallenge, 3, f.values, f.grid));
    EXPECT_EQ(f.values.drainInterval, 800);
    EXPECT_DOUBLE_EQ(f.values.gaugeFactor, 0.75);
    EXPECT_EQ(f.values.descentInterval, 111);
    EXPECT_DOUBLE_EQ(f.values.scoreDivisor, 9);
    EXPECT_EQ(f.values.lastLevel, 3);  // no challenge-04.ini
}

TEST(ReadArcadeLevel, NewBonusAndItsTextBetweenLevels) {
    LevelFolder f;
    f.values.newBonus = 4;
    f.values.newBonusText = {"old text"};
    f.values.levelBonusList = {1, 2};
    f.level("arcade-02.ini", "1000\n2\n3\n");
    ASSERT_TRUE(ReadArcadeLevel(f.files, f.log, kModeArcade, 2, f.values, f.grid));
    EXPECT_EQ(f.values.newBonus, 0);
    EXPECT_TRUE(f.values.levelBonusList.empty());
    EXPECT_EQ(f.values.newBonusText, (std::vector<std::string>{"old text"}));

    f.level("arcade-03.ini", "1000\n2\n3\n1\n1\nnew\ntext\n");
    ASSERT_TRUE(ReadArcadeLevel(f.files, f.log, kModeArcade, 3, f.values, f.grid));
    EXPECT_EQ(f.values.newBonusText, (std::vector<std::string>{"new", "text"}));
}

TEST(ReadArcadeLevel, ANewBonusThatIsNoBonusIsSaidAndAnnouncesNothing) {
    struct Case {
        const char* bonus;
        int read;
        bool said;
    };
    const Case cases[] = {{"0", 0, false}, {"1", 1, false}, {"10", 10, false}, {"11", 0, true}, {"-1", 0, true},
                          {"99999", 0, true}};
    for (const Case& c : cases) {
        LevelFolder f;
        f.level("arcade-04.ini", std::string("1000\n2\n3\n1\n") + c.bonus + "\ntext\n");
        ASSERT_TRUE(ReadArcadeLevel(f.files, f.log, kModeArcade, 4, f.values, f.grid)) << c.bonus;
        EXPECT_EQ(f.values.newBonus, c.read) << c.bonus;
        EXPECT_EQ(f.logText().find("arcade-04.ini line 5: the new bonus") != std::string::npos, c.said) << c.bonus;
    }
}

TEST(ReadArcadeLevel, RefusesFilesItCannotPlayAndSaysWhere) {
    struct Case {
        const char* name;
        const char* text;  // nullptr: no file
        const char* logged;
    };
    const Case cases[] = {
        {"missing file", nullptr, "levels\\arcade-01.ini: the level file is missing"},
        {"malformed interval", "12a\n2\n3\n", "levels\\arcade-01.ini line 1: the descent interval \"12a\""},
        {"malformed divisor", "1000\n; note\ntwo\n3\n", "levels\\arcade-01.ini line 3: the score divisor \"two\""},
        {"zero divisor", "1000\n0\n3\n", "line 2: the score divisor must be above 0"},
        {"no colours", "1000\n2\n0\n", "line 3: the colour count must be 1 to 7"},
        {"too many colours", "1000\n2\n8\n", "line 3: the colour count must be 1 to 7"},
        {"malformed bonus", "1000\n2\n3\n2, x\n", "line 4: the bonus \"x\" is not a whole number"},
        {"malformed new bonus", "1000\n2\n3\n2\nnet\n", "line 5: the new bonus \"net\""},
        {"too short", "1000\n2\n", "the file ends before its colour count"},
    };
    for (const Case& c : cases) {
        LevelFolder f;
        if (c.text) f.level("arcade-01.ini", c.text);
        f.values.descentInterval = 42;
        f.grid.colourCount = 6;
        EXPECT_FALSE(ReadArcadeLevel(f.files, f.log, kModeArcade, 1, f.values, f.grid)) << c.name;
        EXPECT_NE(f.logText().find(c.logged), std::string::npos) << c.name << "\n" << f.logText();
        EXPECT_EQ(f.values.descentInterval, 42) << c.name;
        EXPECT_EQ(f.grid.colourCount, 6) << c.name;
    }
}

// The levels the game ships: every arcade and challenge level up to the last one reads, the
// chain of files has no gap, and a level that presents a new item has its text (else the
// statistics screen would show the previous item's lines under the new picture).
TEST(ShippedLevels, EveryLevelReadsUpToTheLastAndPresentsItsItemWithText) {
    struct Case {
        GameMode mode;
        int levels;
    };
    const Case cases[] = {{kModeArcade, 30}, {kModeChallenge, 30}};
    test::TempDir dir;
    const FileSystem files(std::string(QUIBBLESTAR_SOURCE_DIR) + "/data", dir.path() / "user");
    Log log(dir.path() / "log.txt", [] { return "t"; });
    log.setEnabled(true);
    for (const Case& c : cases) {
        LevelValues values;
        BallGrid grid;
        int level = 1;
        for (;; ++level) {
            values.newBonusText.clear();
            ASSERT_TRUE(ReadArcadeLevel(files, log, c.mode, level, values, grid))
                << gameModeName(c.mode) << " " << level << "\n" << test::readFile(dir.path() / "log.txt");
            const int interval = c.mode == kModeArcade ? values.descentInterval : values.drainInterval;
            const double factor = c.mode == kModeArcade ? values.scoreDivisor : values.gaugeFactor;
            EXPECT_GT(interval, 0) << gameModeName(c.mode) << " " << level;
            EXPECT_GT(factor, 0) << gameModeName(c.mode) << " " << level;
            EXPECT_GE(grid.colourCount, 3) << gameModeName(c.mode) << " " << level;
            EXPECT_GE(values.newBonus, 0) << gameModeName(c.mode) << " " << level;
            EXPECT_LE(values.newBonus, 10) << gameModeName(c.mode) << " " << level;
            if (values.newBonus > 0) {
                EXPECT_FALSE(values.newBonusText.empty()) << gameModeName(c.mode) << " " << level;
            }
            if (values.lastLevel != kMoreLevels) break;
        }
        EXPECT_EQ(level, c.levels) << gameModeName(c.mode);
        EXPECT_EQ(values.lastLevel, c.levels) << gameModeName(c.mode);
        // The last level presents nothing: its statistics screen is the game's end.
        EXPECT_EQ(values.newBonus, 0) << gameModeName(c.mode);
    }
}

TEST(ReadPuzzleLevel, PlacesRowsFromRow23DownWithAlternatingWidths) {
    LevelFolder f;
    f.level("puzzle-04.ini",
            "; pushes every 6 shots\n"
            "6\n"
            "1, first row unshifted\n"
            "12L0C\n"
            " 33\n"
            "C\n"
            "#\n"
            "2, 5, 11, 3\n"
            "9\n"
            "Paint rocket\n");
    f.level("puzzle-05.ini", "x");
    f.grid.setCell(5, 23, 7);  // the '0' leaves it alone
    const std::optional<int> shift =
        ReadPuzzleLevel(f.files, f.log, levelFileName(kModePuzzle, 4), 4, f.values, f.grid);
    ASSERT_EQ(shift, 1);
    EXPECT_EQ(picture(f.grid, 23, 21),
              (std::vector<std::string>{"..12L7C.........", "...33...........", "..C............."}));
    EXPECT_EQ(f.grid.rowWidth(23), 12);
    EXPECT_EQ(f.grid.rowWidth(22), 11);
    EXPECT_EQ(f.grid.rowWidth(21), 12);
    EXPECT_EQ(f.grid.rows, 24);
    EXPECT_EQ(f.grid.limitRow, 21);
    EXPECT_EQ(f.values.pushInterval, 6);
    EXPECT_EQ(f.values.levelColourList, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(f.values.crystalsInLevel, 2);
    EXPECT_EQ(f.values.pendingDescent, 360);
    EXPECT_EQ(f.values.levelBonusList, (std::vector<int>{2, 5}));
    EXPECT_EQ(f.values.newBonus, 9);
    EXPECT_EQ(f.values.newBonusText, (std::vector<std::string>{"Paint rocket"}));
    EXPECT_EQ(f.values.lastLevel, kMoreLevels);
}

TEST(ReadPuzzleLevel, TenRowsReachRow14AndShiftZeroStartsShifted) {
    LevelFolder f;
    std::string text = "5\n0\n";
    for (int i = 0; i < 10; ++i) text += "1\n";
    f.level("puzzle-01.ini", text);
    ASSERT_EQ(ReadPuzzleLevel(f.files, f.log, "levels\\puzzle-01.ini", 1, f.values, f.grid), 0);
    EXPECT_EQ(f.grid.limitRow, 14);
    for (int r = 23; r >= 14; --r) {
        EXPECT_EQ(f.grid.rowWidth(r), (23 - r) % 2 == 0 ? 11 : 12) << r;
        EXPECT_EQ(f.grid.kindAt(2, r), 1) << r;
    }
    EXPECT_FALSE(f.grid.rowOccupied(13));
    EXPECT_EQ(f.values.lastLevel, 1);
}

TEST(ReadPuzzleLevel, ClipsRowsToThePlayableColumnsAndSkipsColoursEightAndNine) {
    LevelFolder f;
    f.level("puzzle-01.ini",
            "5\n1\n"
            "123456712345\n"  // width 12: exactly the 12 playable columns
            "12345671234\n"   // width 11: 11 columns
            "1234567123456\n" // width 12: one too many
            "891\n");
    ASSERT_TRUE(ReadPuzzleLevel(f.files, f.log, "levels\\puzzle-01.ini", 1, f.values, f.grid));
    EXPECT_EQ(picture(f.grid, 23, 20), (std::vector<std::string>{"..123456712345..", "..12345671234...",
                                                                 "..123456712345..", "....1..........."}));
    const std::string log = f.logText();
    EXPECT_NE(log.find("line 5: cells beyond column 13 of row 21 are left out"), std::string::npos) << log;
    EXPECT_NE(log.find("line 6: colour 8 does not exist"), std::string::npos) << log;
    EXPECT_NE(log.find("line 6: colour 9 does not exist"), std::string::npos) << log;
    EXPECT_EQ(log.find("line 3"), std::string::npos) << log;
    EXPECT_EQ(log.find("line 4"), std::string::npos) << log;
    EXPECT_EQ(f.values.levelColourList.size(), 7u);
}

TEST(ReadPuzzleLevel, RefusesFilesItCannotPlayAndLeavesTheGridAlone) {
    struct Case {
        const char* name;
        const char* text;
        const char* logged;
    };
    std::string thirteenRows = "5\n1\n";
    for (int i = 0; i < 13; ++i) thirteenRows += "1\n";
    const Case cases[] = {
        {"no pushes", "0\n1\n11\n", "line 1: the push interval must be above 0"},
        {"malformed push interval", "five\n1\n11\n", "line 1: the push interval \"five\""},
        {"shift of 2", "5\n2\n11\n", "line 2: the first row's shift \"2\" must be 0 or 1"},
        {"no colour", "5\n1\nLLC\n", "the puzzle has no ball of a colour 1 to 7"},
        {"only colours 8 and 9", "5\n1\n89\n", "the puzzle has no ball of a colour 1 to 7"},
        {"thirteen rows", thirteenRows.c_str(), "line 15: more than 12 ball rows"},
        {"hash too early", "5\n#\n1\n", "ends before its push interval"},
        {"malformed new bonus", "5\n1\n11\n#\n2\nrocket\n", "line 6: the new bonus \"rocket\""},
    };
    for (const Case& c : cases) {
        LevelFolder f;
        f.level("puzzle-02.ini", c.text);
        f.grid.setCell(2, 23, 4);
        f.values.pushInterval = 77;
        EXPECT_FALSE(ReadPuzzleLevel(f.files, f.log, "levels\\puzzle-02.ini", 2, f.values, f.grid)) << c.name;
        EXPECT_NE(f.logText().find(c.logged), std::string::npos) << c.name << "\n" << f.logText();
        EXPECT_EQ(test::countOccupied(f.grid), 1) << c.name;
        EXPECT_EQ(f.grid.rows, 14) << c.name;
        EXPECT_EQ(f.values.pushInterval, 77) << c.name;
    }
    LevelFolder f;
    EXPECT_FALSE(ReadPuzzleLevel(f.files, f.log, "levels\\puzzle-02.ini", 2, f.values, f.grid));
    EXPECT_NE(f.logText().find("levels\\puzzle-02.ini: the level file is missing"), std::string::npos);
}

}  // namespace
}  // namespace qs
