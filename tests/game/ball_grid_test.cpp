#include "game/ball_grid.h"

#include <gtest/gtest.h>

#include "game_test_support.h"

namespace qs {
namespace {

using test::MirrorView;
using test::picture;
using test::putRow;
using test::putRows;

TEST(BallGrid, NeighboursFollowTheWalkOrderAndTheRowsShift) {
    struct Case {
        int column, row, width;
        CellPos expected[6];
    };
    const Case cases[] = {
        // Column 0 of a full row: the left neighbour and both diagonals lie at column -1.
        {0, 5, 12, {{-1, 5}, {1, 5}, {-1, 4}, {0, 4}, {-1, 6}, {0, 6}}},
        // The last column of a shifted row: the diagonals lie at column 16.
        {15, 4, 11, {{14, 4}, {16, 4}, {16, 3}, {15, 3}, {16, 5}, {15, 5}}},
        {3, -1, 12, {{2, -1}, {4, -1}, {2, -2}, {3, -2}, {2, 0}, {3, 0}}},
        {5, 89, 12, {{4, 89}, {6, 89}, {4, 88}, {5, 88}, {4, 90}, {5, 90}}},
    };
    for (const Case& c : cases) {
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(BallGrid::neighbour(c.column, c.row, i, c.width), c.expected[i])
                << c.column << "," << c.row << " neighbour " << i;
        }
    }
}

TEST(BallGrid, WalksAtTheFieldEdgesStayInside) {
    BallGrid grid;
    // A chain down column 0 and one up column 15, pairs in row -1 and row 89.
    for (int r = 3; r <= 7; ++r) grid.setCell(0, r, 1);
    for (int r = 3; r <= 7; ++r) grid.setCell(15, r, 2);
    grid.setCell(3, -1, 3);
    grid.setCell(3, 0, 3);
    grid.setCell(5, 89, 4);
    grid.setCell(5, 88, 4);
    struct Case {
        int column, row, colour, expected;
    };
    for (const Case& c : {Case{0, 5, 1, 5}, Case{15, 7, 2, 5}, Case{3, -1, 3, 2}, Case{5, 89, 4, 2},
                          Case{-1, 5, 1, 0}, Case{16, 5, 2, 0}, Case{3, -2, 3, 0}, Case{5, 90, 4, 0}}) {
        grid.groupCounter = 0;
        grid.markGroup(c.column, c.row, c.colour);
        EXPECT_EQ(grid.groupCounter, c.expected) << c.column << "," << c.row;
        grid.clearMarks(-1, 89);
    }
    EXPECT_EQ(grid.cellAt(-1, 0), nullptr);
    EXPECT_EQ(grid.cellAt(0, 90), nullptr);
    EXPECT_EQ(grid.kindAt(16, 3), 0);
    EXPECT_EQ(grid.markBallLike(0, -2), 0);
    grid.markAttached(0, 90);  // outside: nothing to do, nothing to break
}

TEST(BallGrid, CellGeometryFollowsWidthAndScroll) {
    BallGrid grid;  // arcade widths: odd rows 12, even rows 11
    EXPECT_EQ(grid.cellX(0, 1), 128);
    EXPECT_EQ(grid.cellX(2, 1), 196);
    EXPECT_EQ(grid.cellX(0, 0), 145);
    EXPECT_EQ(grid.cellY(0), 428);
    EXPECT_EQ(grid.cellY(-1), 458);
    grid.scroll = 7;
    EXPECT_EQ(grid.cellY(13), 428 + 7 - 390);

    struct Case {
        int margin, row, first, last;
    };
    for (const Case& c : {Case{2, 1, 2, 13}, Case{2, 0, 2, 12}, Case{0, 1, 0, 15}, Case{0, 0, 0, 14}}) {
        grid.netMargin = c.margin;
        for (int k = -1; k <= 16; ++k)
            EXPECT_EQ(grid.playable(k, c.row), k >= c.first && k <= c.last)
                << "margin " << c.margin << " row " << c.row << " column " << k;
    }
}

// Rows 6, 5 and 4 (widths 11, 12, 11) around a ball docked at (5, 5).
struct WalkCase {
    const char* name;
    std::vector<std::string> rows;
    int expectedCounter;
    std::vector<std::string> expectedMarked;  // 'x' where a mark is left
};

void expectMarks(const BallGrid& grid, const std::vector<std::string>& expected, const char* name) {
    for (size_t i = 0; i < expected.size(); ++i) {
        const int row = 6 - static_cast<int>(i);
        std::string marks;
        for (int k = 0; k < 16; ++k) marks += grid.cellAt(k, row)->mark ? 'x' : '.';
        EXPECT_EQ(marks, expected[i]) << name << " row " << row;
    }
}

TEST(BallGrid, MultiballWalkKeepsEveryColourGroupOfThree) {
    const WalkCase cases[] = {
        {"two reds and the multiball make a group",
         {"................", "...44M..........", "................"},
         3,
         {"................", "...xxx..........", "................"}},
        {"two reds, the multiball and three blues mark all six",
         {"................", "...44M111.......", "................"},
         7,
         {"................", "...xxxxxx.......", "................"}},
        {"one red is no group",
         {"................", "....4M..........", "................"},
         0,
         {"................", "................", "................"}},
        {"two multiballs match each other for the red",
         {"................", ".....MM4........", "................"},
         3,
         {"................", ".....xxx........", "................"}},
        {"two multiballs alone are no group",
         {"................", ".....MM.........", "................"},
         0,
         {"................", "................", "................"}},
        {"the walk goes on through the diagonals",
         {"....2...........", ".....M..........", "....2...........",},
         3,
         {"....x...........", ".....x..........", "....x..........."}},
    };
    for (const WalkCase& c : cases) {
        BallGrid grid;
        putRows(grid, 6, c.rows);
        grid.groupCounter = 0;
        grid.markMultiballGroups(5, 5);
        EXPECT_EQ(grid.groupCounter, c.expectedCounter) << c.name;
        expectMarks(grid, c.expectedMarked, c.name);
    }
}

TEST(BallGrid, MultiballWalkDoesNothingFromAMarkedCell) {
    BallGrid grid;
    putRow(grid, 5, "...44M..........");
    grid.cellAt(5, 5)->mark = kMarkFlag;
    grid.markMultiballGroups(5, 5);
    EXPECT_EQ(grid.groupCounter, 0);
    EXPECT_EQ(grid.cellAt(4, 5)->mark, 0);
}

TEST(BallGrid, GroupWalkTakesMultiballsButNotOtherColours) {
    BallGrid grid;
    putRows(grid, 6, {"....3...........", "...1M1.2........", "....11.........."});
    grid.markGroup(3, 5, 1);
    // 1, M, 1 in row 5 and the two ones below; the 3 and the 2 stay out.
    EXPECT_EQ(grid.groupCounter, 5);
    expectMarks(grid, {"................", "...xxx..........", "....xx.........."}, "group");
}

TEST(BallGrid, RowStatsCountTheFirstUnbrokenRunFromRowZero) {
    struct Case {
        const char* name;
        std::vector<int> occupiedRows;
        int count, lowest, highest;
    };
    const Case cases[] = {
        {"empty field", {}, 0, BallGrid::kNoLowestRow, BallGrid::kNoHighestRow},
        {"a gap ends the run", {0, 1, 3}, 2, 0, 1},
        {"a run above empty rows", {2, 3, 4}, 3, 2, 4},
        {"row -1 is not counted", {-1}, 0, BallGrid::kNoLowestRow, BallGrid::kNoHighestRow},
        {"rows above the ceiling are not counted", {12, 13, 14}, 2, 12, 13},
    };
    for (const Case& c : cases) {
        BallGrid grid;
        for (int r : c.occupiedRows) grid.setCell(4, r, 1);
        grid.updateRowStats();
        EXPECT_EQ(grid.consecutiveRows, c.count) << c.name;
        EXPECT_EQ(grid.lowestRow, c.lowest) << c.name;
        EXPECT_EQ(grid.highestRow, c.highest) << c.name;
    }
}

void expectAlternatingWidths(const BallGrid& grid, int top) {
    for (int r = -1; r < top; ++r)
        EXPECT_NE(grid.rowWidth(r), grid.rowWidth(r + 1)) << "rows " << r << " and " << r + 1;
}

TEST(BallsDown, RowMinusOneHoldsTheField) {
    test::Playfield p;
    BallGrid& grid = p.game.grid;
    grid.setCell(5, -1, 1);
    EXPECT_EQ(grid.ballsDown(10, p.random), 0);
    EXPECT_EQ(grid.scroll, 0);
}

TEST(BallsDown, ThirtyPixelsShiftTheRowsAndGrowANewCeiling) {
    test::Playfield p;
    BallGrid& grid = p.game.grid;
    grid.colourCount = 3;
    putRows(grid, 13, {"..123123123123..", "..3213213213...."});
    EXPECT_EQ(grid.ballsDown(29, p.random), 29);
    EXPECT_EQ(grid.scroll, 29);
    p.view.expectMatches(grid);
    EXPECT_EQ(grid.ballsDown(1, p.random), 1);
    EXPECT_EQ(grid.scroll, 0);
    EXPECT_EQ(picture(grid, 12, 11), (std::vector<std::string>{"..123123123123..", "..3213213213...."}));
    // The new ceiling: width 11 over the row of 12 below it, random colours 1..3.
    EXPECT_EQ(grid.rowWidth(13), 11);
    for (int k = 0; k < 16; ++k) {
        const int kind = grid.kindAt(k, 13);
        if (k >= 2 && k <= 12) EXPECT_TRUE(kind >= 1 && kind <= 3) << k;
        else EXPECT_EQ(kind, 0) << k;
    }
    EXPECT_EQ(grid.newRowToggle, 1);
    EXPECT_EQ(grid.rows, 14);
    expectAlternatingWidths(grid, 13);
    p.view.expectMatches(grid);
}

TEST(BallsDown, NewCeilingAlternatesWithTheRowBelowWhateverTheToggle) {
    test::Playfield p;
    BallGrid& grid = p.game.grid;
    grid.rows = 15;  // the ceiling row 14 has width 11, the toggle says 11 too
    putRows(grid, 14, {"..11111111111...", "..222222222222.."});
    grid.ballsDown(30, p.random);
    EXPECT_EQ(grid.rowWidth(13), 11);
    EXPECT_EQ(grid.rowWidth(14), 12);
    for (int k = 2; k <= 13; ++k) EXPECT_TRUE(grid.occupied(k, 14)) << k;
    expectAlternatingWidths(grid, 14);
    p.view.expectMatches(grid);
}

TEST(BallsDown, MultiplierByMode) {
    struct Case {
        GameMode mode;
        int steps, maxPixels, expected;
    };
    const Case cases[] = {
        {kModeArcade, 1, 1000, 1},   {kModeArcade, 4, 1000, 4},   {kModeChallenge, 1, 1000, 3},
        {kModeChallenge, 2, 1000, 6}, {kModePuzzle, 1, 1000, 3},  {kModePuzzle, 2, 1000, 2},
        {kModeChallenge, 5, 4, 4},    {kModePuzzle, 0, 1000, 0},  {kModeArcade, -3, 1000, 0},
    };
    for (const Case& c : cases) {
        test::Playfield p(c.mode);
        p.options.balls_climb_inc_arcade = 3;
        p.options.balls_climb_inc_challenge = 3;
        p.options.balls_climb_inc_puzzle = 3;
        p.game.grid.configure(c.mode, p.options);
        EXPECT_EQ(p.game.grid.ballsDown(c.steps, p.random, c.maxPixels), c.expected)
            << gameModeName(c.mode) << " steps " << c.steps;
    }
}

TEST(BallsDown, PuzzleFieldShrinksAndGrowsNothing) {
    test::Playfield p(kModePuzzle);
    BallGrid& grid = p.game.grid;
    grid.rows = 24;
    grid.setAlternatingWidths(23, 12);
    putRows(grid, 23, {"..LLLLLLLLLLLL..", "..1.2.3........."});
    EXPECT_EQ(grid.ballsDown(30, p.random), 30);
    EXPECT_EQ(grid.rows, 23);
    EXPECT_EQ(picture(grid, 23, 21),
              (std::vector<std::string>{"................", "..LLLLLLLLLLLL..", "..1.2.3........."}));
    p.view.expectMatches(grid);

    grid.rows = 1;
    grid.ballsDown(60, p.random);
    EXPECT_EQ(grid.rows, 0);
}

TEST(BallsDown, ArcadeStopsGrowingAtTheGeneratedRowLimit) {
    test::Playfield p;
    BallGrid& grid = p.game.grid;
    grid.rows = 20;
    putRow(grid, 19, "..111111111111..");
    grid.ballsDown(30, p.random);
    EXPECT_EQ(grid.rows, 19);
    EXPECT_EQ(picture(grid, 19, 18), (std::vector<std::string>{"................", "..111111111111.."}));
}

TEST(BallsDown, StopsOnceABallReachesRowMinusOne) {
    test::Playfield p;
    BallGrid& grid = p.game.grid;
    for (int r = 0; r <= 13; ++r) grid.setCell(6, r, 1 + r % 3);
    EXPECT_EQ(grid.ballsDown(100, p.random), 30);
    EXPECT_TRUE(grid.rowOccupied(-1));
    EXPECT_EQ(grid.scroll, 0);
    p.view.expectMatches(grid);
}

TEST(BallsClimb, OpensARowAtScrollZeroAndGivesRowMinusOneTheOtherWidth) {
    test::Playfield p;
    p.options.balls_climb_inc_arcade = 2;
    BallGrid& grid = p.game.grid;
    grid.configure(kModeArcade, p.options);
    putRows(grid, 13, {"..123123123123..", "..3213213213...."});
    grid.setCell(4, -1, 5);
    grid.setCell(4, 0, 5);
    grid.updateRowStats();
    EXPECT_EQ(grid.ballsClimb(), 2);
    EXPECT_EQ(grid.rows, 15);  // the ceiling was occupied
    EXPECT_EQ(grid.scroll, 28);
    EXPECT_EQ(picture(grid, 14, 13), (std::vector<std::string>{"..123123123123..", "..3213213213...."}));
    EXPECT_EQ(grid.kindAt(4, 0), 5);
    EXPECT_EQ(grid.kindAt(4, 1), 5);
    EXPECT_FALSE(grid.rowOccupied(-1));
    expectAlternatingWidths(grid, 14);
    p.view.expectMatches(grid);
}

TEST(BallsClimb, Guards) {
    struct Case {
        const char* name;
        int rows, consecutive, limitRow, scroll, increment, maxPixels, expected;
        bool ceilingOccupied;
    };
    const Case cases[] = {
        {"within a row no row is opened", 14, 2, 0, 10, 1, 100, 1, true},
        {"a field of 90 rows with the limit does not climb", 14, 85, 5, 0, 1, 100, 0, true},
        {"90 rows with an occupied ceiling do not climb", 90, 2, 0, 0, 1, 100, 0, true},
        {"90 rows with an empty ceiling climb", 90, 2, 0, 0, 1, 100, 1, false},
        {"never more than what is left", 14, 2, 0, 0, 3, 1, 1, true},
    };
    for (const Case& c : cases) {
        test::Playfield p;
        p.options.balls_climb_inc_arcade = c.increment;
        BallGrid& grid = p.game.grid;
        grid.configure(kModeArcade, p.options);
        grid.rows = c.rows;
        grid.scroll = c.scroll;
        if (c.ceilingOccupied) grid.setCell(5, c.rows - 1, 1);
        grid.setCell(5, c.rows - 2, 2);
        grid.consecutiveRows = c.consecutive;
        grid.limitRow = c.limitRow;
        EXPECT_EQ(grid.ballsClimb(c.maxPixels), c.expected) << c.name;
        EXPECT_LE(grid.rows, 90) << c.name;
        p.view.expectMatches(grid);
    }
}

TEST(BallsClimb, UndoesAPuzzleDescent) {
    test::Playfield p(kModePuzzle);
    p.options.balls_climb_inc_puzzle = 45;
    BallGrid& grid = p.game.grid;
    grid.configure(kModePuzzle, p.options);
    grid.rows = 24;
    grid.setAlternatingWidths(23, 11);
    putRows(grid, 23, {"..LLLLLLLLLLL...", "..C.......C.....", "..11.....22....."});
    const auto before = picture(grid, 23, 19);
    EXPECT_EQ(grid.ballsDown(45, p.random), 45);
    EXPECT_EQ(grid.rows, 23);
    grid.updateRowStats();
    EXPECT_EQ(grid.ballsClimb(), 45);
    EXPECT_EQ(grid.rows, 24);
    EXPECT_EQ(grid.scroll, 0);
    EXPECT_EQ(picture(grid, 23, 19), before);
    EXPECT_EQ(grid.rowWidth(23), 11);
    p.view.expectMatches(grid);
}

}  // namespace
}  // namespace qs
