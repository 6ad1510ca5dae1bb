#include "game/scoring.h"

#include <set>

#include <gtest/gtest.h>

#include "game/matching.h"
#include "game_test_support.h"

namespace qs {
namespace {

using test::picture;
using test::putRow;
using test::putRows;

// A land ceiling in row 13, three ones in row 12 (columns 2..4, marked as a docked one
// would mark them) and whatever row 11 holds: row 11 hangs from the ones alone.
void buildGroup(Gameplay& game, const std::string& row11) {
    game.grid.resetForLevel(game.mode);
    putRows(game.grid, 13, {"..LLLLLLLLLLLL..", "..111...........", row11});
    game.grid.groupCounter = 0;
    game.grid.markGroup(2, 12, 1);
    game.events.clear();
}

TEST(ScoreDock, GroupTimesDropsLessOne) {
    struct Case {
        const char* row11;
        int drops;
        int64_t points;
    };
    const Case cases[] = {
        {"................", 0, 3},  {"..2.............", 1, 3},  {"..22............", 2, 3},
        {"..222...........", 3, 6},  {"..22222.........", 5, 12},
    };
    for (const Case& c : cases) {
        test::Playfield p;
        buildGroup(p.game, c.row11);
        ASSERT_EQ(p.game.grid.groupCounter, 3);
        scoreDock(p.game, 3);
        EXPECT_EQ(p.game.score.levelScore, c.points) << c.row11;
        EXPECT_EQ(p.game.score.totalScore, c.points) << c.row11;
        EXPECT_EQ(p.game.score.plainScore, c.points) << c.row11;
        EXPECT_EQ(p.game.score.bestShot, c.points) << c.row11;
        EXPECT_EQ(p.hasEvent("dropped " + std::to_string(c.drops)), c.drops > 0) << c.row11;
        EXPECT_TRUE(p.hasEvent("score_text " + std::to_string(c.points) + " at 247,68")) << c.row11;
        EXPECT_EQ(picture(p.game.grid, 13, 11),
                  (std::vector<std::string>{"..LLLLLLLLLLLL..", "................", "................"}));
        p.view.expectMatches(p.game.grid);
    }
}

TEST(ScoreDock, ComboFactorFromTheThirdShotCappedAtTheLastEntry) {
    test::Playfield p;
    const int64_t expectedPoints[] = {3, 3, 9, 12, 15, 18, 21, 24, 27, 30, 30, 30};
    const char* expectedText[] = {nullptr,        nullptr,        "Combo!",       "Super combo!",
                                  "Great combo!", "Mega combo!",   "Mega combo!",  "Ultra combo!",
                                  "Ultra combo!", "Unstoppable!", "Unstoppable!", "Unstoppable!"};
    int64_t total = 0;
    for (int shot = 0; shot < 12; ++shot) {
        buildGroup(p.game, "................");
        scoreDock(p.game, 3);
        const int64_t points = expectedPoints[shot];
        total += points;
        EXPECT_EQ(p.game.score.comboCount, shot + 1);
        if (expectedText[shot]) {
            EXPECT_TRUE(p.hasEvent("score_text " + std::to_string(points) + " at 247,56")) << shot + 1;
            EXPECT_TRUE(p.hasEvent(std::string("combo_text \"") + expectedText[shot] + "\" at 247,80")) << shot + 1;
        } else {
            EXPECT_TRUE(p.hasEvent("score_text " + std::to_string(points) + " at 247,68")) << shot + 1;
        }
    }
    EXPECT_EQ(p.game.score.levelScore, total);
    EXPECT_EQ(p.game.score.plainScore, 36);
    EXPECT_EQ(p.game.score.bestCombo, 12);
    EXPECT_EQ(p.game.score.bestShot, 30);
    EXPECT_EQ(p.game.score.matchRun, 12);
}

TEST(ScoreDock, ComboWithoutATable) {
    test::Playfield p;
    p.combos.clear();
    p.game.score.comboCount = 20;
    buildGroup(p.game, "................");
    scoreDock(p.game, 3);
    EXPECT_EQ(p.game.score.levelScore, 3);
    EXPECT_EQ(p.events().back(), "score_text 3 at 247,68");
}

TEST(ScoreDock, MultiplierCountsForTheNextDetonationNotForTheDock) {
    test::Playfield p;
    p.game.score.scoreMultiplier = 4;
    buildGroup(p.game, "................");
    scoreDock(p.game, 3);
    EXPECT_EQ(p.game.score.levelScore, 3);
    EXPECT_EQ(p.game.score.scoreMultiplier, 1);

    p.game.score.scoreMultiplier = 2;
    buildGroup(p.game, "..22222.........");
    scoreBombs(p.game, 3);
    EXPECT_EQ(p.game.score.levelScore, 3 + 3 * 4 * 2);
    EXPECT_EQ(p.game.score.comboCount, 1);  // a detonation neither raises nor breaks the combo
    EXPECT_EQ(p.game.score.scoreMultiplier, 1);
    EXPECT_TRUE(p.hasEvent("score_text 24 at 247,68"));
}

TEST(ScoreBombs, NeighbourMarksOfAColourBombScoreNothingButStillGo) {
    test::Playfield p;
    buildGroup(p.game, "..22222.........");
    p.game.grid.groupCounter = 0;  // marks of a colour bomb's neighbours count nothing
    scoreBombs(p.game, 0);
    EXPECT_EQ(p.game.score.levelScore, 0);
    EXPECT_TRUE(p.hasEvent("removed 3"));
    EXPECT_TRUE(p.hasEvent("dropped 5"));
    EXPECT_TRUE(p.hasEvent("score_text 0 at 247,68"));
}

TEST(RemoveMarked, SmallBombTakesItsSixNeighboursInTheSecondRun) {
    test::Playfield p;
    BallGrid& grid = p.game.grid;
    putRows(grid, 13, {"..LLLLLLLLLLLL..", "..1.1..........."});
    grid.setCell(3, 12, 1, 0, 6);  // the small bomb in the middle of the group
    grid.setCell(3, 11, 5, 0, 3);  // below it, carrying an x2
    grid.setCell(4, 11, 4);
    grid.markGroup(2, 12, 1);
    ASSERT_EQ(grid.groupCounter, 3);
    scoreDock(p.game, 3);
    // Run one: the three ones. Run two: the four neighbours left, the land above included,
    // though row 11 comes before row 12 and row 13 after it in the scan.
    EXPECT_TRUE(p.hasEvent("removed 3"));
    EXPECT_TRUE(p.hasEvent("removed 4"));
    EXPECT_TRUE(p.hasEvent("bonus 6 kind 1 at 247,68"));
    EXPECT_TRUE(p.hasEvent("bonus 3 kind 5 at 230,98"));
    EXPECT_TRUE(p.hasEvent("particles 20x16 kind 1 at 247,68"));
    EXPECT_EQ(picture(grid, 13, 11),
              (std::vector<std::string>{"..L..LLLLLLLLL..", "................", "................"}));
    EXPECT_EQ(p.game.score.levelScore, 3);
    p.view.expectMatches(grid);
}

TEST(RemoveMarked, ExplosionSoundBySize) {
    struct Case {
        int cells;
        const char* sound;
    };
    for (const Case& c : {Case{3, "sound sample_explosion_small"}, Case{5, "sound sample_explosion_middle"},
                          Case{8, "sound sample_explosion_middle"}, Case{9, "sound sample_explosion_big"}}) {
        test::Playfield p;
        for (int k = 0; k < c.cells; ++k) {
            p.game.grid.setCell(2 + k, 12, 1);
            p.game.grid.cellAt(2 + k, 12)->mark = kMarkFlag;
        }
        EXPECT_EQ(removeMarked(p.game), c.cells);
        EXPECT_EQ(p.events(), (std::vector<std::string>{c.sound, "removed " + std::to_string(c.cells)}));
        EXPECT_EQ(removeMarked(p.game), 0);
    }
}

TEST(RemoveCell, EffectsAndScorePiece) {
    struct Case {
        GameMode mode;
        bool scoreParticle;
        std::vector<std::string> particles;
    };
    const Case cases[] = {
        {kModeArcade, true, {"particles 4x20 shards kind 3 at 230,98", "particles 16x19 kind 3 at 230,98",
                             "particles 1x22 kind 3 at 230,98"}},
        {kModeArcade, false, {"particles 4x20 shards kind 3 at 230,98", "particles 16x19 kind 3 at 230,98"}},
        {kModePuzzle, true, {"particles 4x20 shards kind 3 at 230,98", "particles 16x19 kind 3 at 230,98"}},
    };
    for (const Case& c : cases) {
        test::Playfield p(c.mode);
        p.game.grid.setCell(3, 11, 3);
        removeCell(p.game, 3, 11, c.scoreParticle);
        EXPECT_EQ(p.events(true), c.particles);
        EXPECT_FALSE(p.game.grid.occupied(3, 11));
        removeCell(p.game, 3, 11, true);  // an empty cell: nothing
        EXPECT_EQ(p.events(true), c.particles);
    }
}

TEST(DropUnsupported, RowMinusOneAlwaysFalls) {
    test::Playfield p;
    for (int r = -1; r <= 13; ++r) p.game.grid.setCell(2, r, 1 + (r + 1) % 2);
    EXPECT_EQ(dropUnsupported(p.game, true), 1);
    EXPECT_FALSE(p.game.grid.occupied(2, -1));
    EXPECT_TRUE(p.game.grid.occupied(2, 0));
    EXPECT_EQ(p.events(true), (std::vector<std::string>{"particles 1x1 kind 1 at 196,458",
                                                        "particles 1x22 kind 1 at 196,458", "dropped 1"}));
}

TEST(DropUnsupported, RepeatsUntilNothingFallsAndLeavesNoMarks) {
    test::Playfield p;
    BallGrid& grid = p.game.grid;
    putRows(grid, 13, {"..L.............", "..1.............", "...........MLB..", ".....2.........."});
    EXPECT_EQ(dropUnsupported(p.game, false), 4);
    EXPECT_EQ(picture(grid, 13, 10), (std::vector<std::string>{"..L.............", "..1.............",
                                                                "................", "................"}));
    // Only the seven colours fall as balls; multiball, land and bomb fall as plain shards.
    EXPECT_TRUE(p.hasEvent("particles 1x20 kind 0 at 502,98"));
    EXPECT_TRUE(p.hasEvent("particles 1x20 kind 0 at 536,98"));
    EXPECT_TRUE(p.hasEvent("particles 1x2 kind 2 at 315,128"));
    for (int r = -1; r <= 89; ++r)
        for (int k = 0; k < 16; ++k) ASSERT_EQ(grid.cellAt(k, r)->mark, 0);
    p.view.expectMatches(grid);
}

TEST(Crystals, EveryCrystalThatLeavesIsCounted) {
    // Arcade: an unattached crystal falls and is collected; under an overlay it is counted
    // without its flight to the counter.
    for (bool overlay : {false, true}) {
        test::Playfield p;
        p.game.overlayUp = overlay;
        p.game.grid.setCell(6, 5, kCellCrystal);
        EXPECT_EQ(dropUnsupported(p.game, true), 1);
        EXPECT_EQ(p.game.score.crystalsCollected, 1);
        EXPECT_EQ(p.hasEvent("crystal at 332,278"), !overlay);
        EXPECT_EQ(p.hasEvent("sound sample_crystal"), !overlay);
    }
    // A crystal cut off by the net is collected, not exploded.
    test::Playfield p;
    p.game.grid.setCell(0, 5, kCellCrystal);
    removeCell(p.game, 0, 5, true);
    EXPECT_EQ(p.game.score.crystalsCollected, 1);
    EXPECT_EQ(p.events(true), (std::vector<std::string>{"sound sample_crystal", "crystal at 128,278"}));
}

TEST(Crystals, PuzzleCollectsCrystalsWithNothingBelow) {
    test::Playfield p(kModePuzzle);
    BallGrid& grid = p.game.grid;
    putRows(grid, 13, {"..LLLLLLLLLLLL..", "...C..C.........", "......3........."});
    grid.setCell(9, -1, kCellCrystal);
    grid.cellAt(3, 12)->bonus = 7;
    EXPECT_EQ(dropUnsupported(p.game, true), 2);
    EXPECT_EQ(picture(grid, 13, 11),
              (std::vector<std::string>{"..LLLLLLLLLLLL..", "......C.........", "......3........."}));
    EXPECT_FALSE(grid.occupied(9, -1));
    EXPECT_EQ(p.game.score.crystalsCollected, 2);
    EXPECT_TRUE(p.hasEvent("bonus 7 kind 200 at 247,68"));
    EXPECT_FALSE(p.hasEvent("particles 1x22 kind 200 at 247,68"));
}

TEST(TextPosition, MeanOfTheMarkedCellsElseTheScreenCentre) {
    test::Playfield p;
    computeTextPosition(p.game);
    EXPECT_EQ(p.game.score.textX, 400);
    EXPECT_EQ(p.game.score.textY, 300);
    putRow(p.game.grid, 12, "..1.1...........");
    p.game.grid.cellAt(2, 12)->mark = kMarkFlag;
    p.game.grid.cellAt(4, 12)->mark = colourBit(3);
    p.game.grid.cellAt(7, 12)->mark = kMarkFlag;  // marked but empty: not counted
    computeTextPosition(p.game);
    EXPECT_EQ(p.game.score.textX, (213 + 281) / 2);
    EXPECT_EQ(p.game.score.textY, 68);
}

TEST(Praise, ThresholdsByModeAndLevel) {
    struct Case {
        GameMode mode;
        int level;
        PraiseFor which;
        int count;
        bool plays;
    };
    const Case cases[] = {
        {kModeArcade, 1, PraiseFor::kGroup, 5, true},    {kModeArcade, 1, PraiseFor::kGroup, 4, false},
        {kModeArcade, 2, PraiseFor::kGroup, 7, true},    {kModeArcade, 2, PraiseFor::kGroup, 6, false},
        {kModeChallenge, 1, PraiseFor::kGroup, 5, true}, {kModePuzzle, 1, PraiseFor::kGroup, 6, false},
        {kModeArcade, 1, PraiseFor::kDrop, 4, true},     {kModeArcade, 1, PraiseFor::kDrop, 3, false},
        {kModeChallenge, 1, PraiseFor::kDrop, 4, true},  {kModeChallenge, 3, PraiseFor::kDrop, 5, false},
        {kModePuzzle, 1, PraiseFor::kDrop, 6, true},
    };
    for (const Case& c : cases) {
        test::Playfield p(c.mode);
        p.game.level = c.level;
        EXPECT_EQ(praise(p.game, c.count, c.which), c.plays)
            << gameModeName(c.mode) << " level " << c.level << " count " << c.count;
        EXPECT_EQ(p.game.events.size(), c.plays ? 1u : 0u);
    }
}

TEST(Praise, NeverTheSameSampleTwiceInARow) {
    test::Playfield p;
    std::set<std::string> heard;
    std::string previous;
    for (int i = 0; i < 200; ++i) {
        p.game.events.clear();
        ASSERT_TRUE(praise(p.game, 50, PraiseFor::kGroup));
        const std::string now = p.game.events.at(0).name;
        EXPECT_NE(now, previous) << i;
        previous = now;
        heard.insert(now);
    }
    EXPECT_EQ(heard.size(), 3u);
}

TEST(ScoreDock, PraiseForTheDropWhenTheGroupIsSmall) {
    test::Playfield p;  // level 2: group needs 7, drop needs 6
    buildGroup(p.game, "..2222222.......");
    scoreDock(p.game, 3);
    int praises = 0;
    for (const GameEvent& e : p.game.events) praises += e.type == GameEvent::kPraise ? 1 : 0;
    EXPECT_EQ(praises, 1);
    EXPECT_EQ(p.game.score.levelScore, 3 * 6);
}

}  // namespace
}  // namespace qs
