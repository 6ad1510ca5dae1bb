#include <gtest/gtest.h>

#include "game/bonuses.h"
#include "game_test_support.h"

namespace qs {
namespace {

using test::picture;
using test::putRows;

// Steps the clock 10 ms at a time until the net rests; returns the frames it stepped on.
std::vector<int> runNet(Gameplay& game) {
    std::vector<int> frames;
    for (int i = 0; i < 1000 && game.net.direction != 0; ++i) {
        game.now += 10;
        if (stepNet(game)) frames.push_back(game.net.frame);
    }
    return frames;
}

void openNet(Gameplay& game) {
    game.net = NetState{kNetOpen, kNetOpen, 0, 0};
    game.grid.netMargin = 0;
}

void startClosing(Gameplay& game) {
    game.net.target = kNetClosed;
    game.net.direction = 1;
    game.net.nextStep = game.now + kNetStepMs;
}

TEST(Net, ClosesAtLevelStartOneFrameEvery50Ms) {
    test::Playfield p;
    p.game.now = 5000;
    resetNet(p.game);
    EXPECT_EQ(p.game.grid.netMargin, 0);
    p.game.now = 5049;
    EXPECT_FALSE(stepNet(p.game));

    struct Case {
        uint32_t now;
        int frame;
        int margin;
    };
    const Case cases[] = {
        {5050, 1, 0}, {5100, 2, 0}, {5150, 3, 1}, {5200, 4, 1},  {5250, 5, 1},  {5300, 6, 1},
        {5350, 7, 1}, {5400, 8, 1}, {5450, 9, 2}, {5500, 10, 2}, {5550, 11, 2},
    };
    for (const Case& c : cases) {
        p.game.now = c.now;
        EXPECT_TRUE(stepNet(p.game)) << c.now;
        EXPECT_EQ(p.game.net.frame, c.frame) << c.now;
        EXPECT_EQ(p.game.grid.netMargin, c.margin) << c.now;
        EXPECT_FALSE(stepNet(p.game)) << c.now;  // once per 50 ms
    }
    EXPECT_EQ(p.game.net.direction, 0);
    p.game.now = 9000;
    EXPECT_FALSE(stepNet(p.game));
}

TEST(Net, ABallInFlightHoldsItAndItResumesAtItsOwnPace) {
    test::Playfield p;
    resetNet(p.game);
    p.game.ball = ShotBall{};
    p.game.now = 400;
    EXPECT_FALSE(stepNet(p.game));
    p.game.ball.reset();
    EXPECT_TRUE(stepNet(p.game));
    EXPECT_FALSE(stepNet(p.game));
    p.game.now = 449;
    EXPECT_FALSE(stepNet(p.game));
    p.game.now = 450;
    EXPECT_TRUE(stepNet(p.game));
    EXPECT_EQ(p.game.net.frame, 2);
}

TEST(Net, OpeningLeavesAFullFieldAlone) {
    test::Playfield p;
    const std::vector<std::string> field = {
        "..333333333333..",
        "..44444444444...",
        "..555555555555..",
        "..66666666666...",
    };
    putRows(p.game.grid, 13, field);
    p.game.net = NetState{kNetClosed, kNetOpen, -1, 50};
    EXPECT_EQ(runNet(p.game), (std::vector<int>{10, 9, 8, 7, 6, 5, 4, 3, 2}));
    EXPECT_EQ(p.game.grid.netMargin, 0);
    EXPECT_EQ(picture(p.game.grid, 13, 10), field);
    EXPECT_EQ(p.events(true), std::vector<std::string>{});
}

TEST(Net, ClosingCutsTheOuterColumnsAndDropsWhatHungFromThem) {
    test::Playfield p;
    openNet(p.game);
    putRows(p.game.grid, 13, {
        "LLLLLLLLLLLLLLLL",
        ".1............7.",  // the 7 sits in column 14 of a short row: cut at margin 1
        "..2.............",  // hangs from the 1 alone
        "..3.............",
    });
    startClosing(p.game);
    p.game.now += kNetStepMs;
    ASSERT_TRUE(stepNet(p.game));  // frame 3: margin 1
    EXPECT_EQ(picture(p.game.grid, 13, 10), (std::vector<std::string>{
                                                 ".LLLLLLLLLLLLLL.",
                                                 ".1..............",
                                                 "..2.............",
                                                 "..3.............",
                                             }));
    EXPECT_TRUE(p.hasEvent("particles 1x22 kind 100 at 128,38"));
    EXPECT_TRUE(p.hasEvent("particles 1x22 kind 7 at 621,68"));
    EXPECT_FALSE(p.hasEvent("dropped 1"));

    runNet(p.game);
    EXPECT_EQ(p.game.grid.netMargin, 2);
    EXPECT_EQ(picture(p.game.grid, 13, 10), (std::vector<std::string>{
                                                 "..LLLLLLLLLLLL..",
                                                 "................",
                                                 "................",
                                                 "................",
                                             }));
    EXPECT_TRUE(p.hasEvent("dropped 2"));
    EXPECT_EQ(p.game.score.levelScore, 0);  // the net scores nothing
    EXPECT_EQ(p.game.grid.lowestRow, 13);
    p.view.expectMatches(p.game.grid);
}

TEST(Net, ASmallBombCutByTheNetGoesAlone) {
    test::Playfield p;
    openNet(p.game);
    putRows(p.game.grid, 13, {
        ".LLLLLLLLLLLLLL.",
        "................",
        ".3..............",  // hangs from the bomb alone
    });
    p.game.grid.setCell(0, 12, 5, 0, kBonusSmallBomb);
    startClosing(p.game);
    p.game.now += kNetStepMs;
    ASSERT_TRUE(stepNet(p.game));
    // The land beside the bomb stays, and the 3 falls: a mark the bomb left on it would
    // have passed for attachment.
    EXPECT_EQ(picture(p.game.grid, 13, 11), (std::vector<std::string>{
                                                 ".LLLLLLLLLLLLLL.",
                                                 "................",
                                                 "................",
                                             }));
    EXPECT_TRUE(p.hasEvent("bonus 6 kind 5 at 145,68"));
    EXPECT_TRUE(p.hasEvent("dropped 1"));
    for (int r = BallGrid::kFirstRow; r <= BallGrid::kLastRow; ++r)
        for (int k = 0; k < BallGrid::kColumns; ++k) ASSERT_EQ(p.game.grid.cellAt(k, r)->mark, 0) << k << "," << r;
}

}  // namespace
}  // namespace qs
