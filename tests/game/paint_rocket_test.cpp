#include "game/paint_rocket.h"

#include <cmath>

#include <gtest/gtest.h>

#include "game_test_support.h"

namespace qs {
namespace {

using test::picture;
using test::putRows;

constexpr double kPi = 3.14159265358979323846;
constexpr double kSide = 0.433;

// A rocket of paint `colour` standing still on the centre of cell (column, row).
PaintRocket rocketOn(const BallGrid& grid, int column, int row, int colour) {
    PaintRocket r;
    r.x = grid.cellX(column, row);
    r.y = grid.cellY(row);
    r.colour = colour;
    r.alive = true;
    return r;
}

int countParticles(const Gameplay& game, int type) {
    int n = 0;
    for (const GameEvent& e : game.events) n += e.type == GameEvent::kParticles && e.particle == type ? 1 : 0;
    return n;
}

TEST(PaintRocket, RepaintsTheBallsAroundItsRowAndColumnEstimate) {
    test::Playfield p;
    putRows(p.game.grid, 12, {
        "..11111111111...",
        "..111111111111..",
        "..11111111111...",
    });
    p.game.rockets.push_back(rocketOn(p.game.grid, 5, 11, 3));
    stepRockets(p.game);
    // Three columns in each of three rows; the short rows' estimate falls half a cell left.
    EXPECT_EQ(picture(p.game.grid, 12, 10), (std::vector<std::string>{
                                                "..13331111111...",
                                                "..113331111111..",
                                                "..13331111111...",
                                            }));
    EXPECT_EQ(countParticles(p.game, kParticleSpark), 9);
    EXPECT_TRUE(p.hasEvent("particles 12x0 kind 3 at 298,98"));
    EXPECT_TRUE(p.hasEvent("particles 1x15 kind 3 at 298,98"));
    p.view.expectMatches(p.game.grid);
}

TEST(PaintRocket, OnlyBallsOfAnotherColourTakeThePaint) {
    struct Case {
        char letter;
        bool repainted;
    };
    const Case cases[] = {{'1', true}, {'7', true}, {'3', false}, {'M', false},
                          {'B', false}, {'G', false}, {'L', false}, {'C', false}};
    for (const Case& c : cases) {
        test::Playfield p;
        const int kind = test::kindFromLetter(c.letter);
        p.game.grid.setCell(5, 11, kind, kind == kCellColourBomb ? 6 : 0);
        p.game.rockets.push_back(rocketOn(p.game.grid, 5, 11, 3));
        stepRockets(p.game);
        EXPECT_EQ(p.game.grid.kindAt(5, 11), c.repainted ? 3 : kind) << c.letter;
        EXPECT_EQ(countParticles(p.game, kParticleSpark), c.repainted ? 1 : 0) << c.letter;
        p.view.expectMatches(p.game.grid);
    }
}

TEST(PaintRocket, ARepaintedBallKeepsItsBonus) {
    test::Playfield p;
    p.game.grid.setCell(5, 11, 1, 0, 8);
    p.game.rockets.push_back(rocketOn(p.game.grid, 5, 11, 6));
    stepRockets(p.game);
    const GridCell* cell = p.game.grid.cellAt(5, 11);
    EXPECT_EQ(cell->kind, 6);
    EXPECT_EQ(cell->bonus, 8);
    EXPECT_EQ(p.view.objects.at({5, 11}).kind, 6);  // the view made the ball anew
}

TEST(PaintRocket, FindsItsRowWhateverTheFieldsScroll) {
    for (int scroll : {0, 15, 29}) {
        test::Playfield p;
        p.game.grid.scroll = scroll;
        p.game.grid.setCell(5, 11, 1);
        p.game.grid.setCell(5, 8, 1);
        p.game.rockets.push_back(rocketOn(p.game.grid, 5, 11, 2));
        stepRockets(p.game);
        EXPECT_EQ(p.game.grid.kindAt(5, 11), 2) << scroll;
        EXPECT_EQ(p.game.grid.kindAt(5, 8), 1) << scroll;
    }
}

TEST(PaintRocket, BurstsAtTheWallsAndFarAboveTheField) {
    struct Case {
        int netMargin;
        double x, y, vx, vy;
        bool bursts;
        const char* event;
    };
    const Case cases[] = {
        {2, 190, 200, -4, 0, true, "particles 32x16 kind 3 at 186,200"},  // the net's wall, mid-field
        {0, 190, 200, -4, 0, false, "particles 1x15 kind 3 at 186,200"},
        {0, 122, 200, -4, 0, true, "particles 32x16 kind 3 at 118,200"},
        {2, 577, 200, 4, 0, true, "particles 32x16 kind 3 at 581,200"},
        {2, 575, 200, 4, 0, false, "particles 1x15 kind 3 at 579,200"},
        {2, 384, -2696, 0, -4, false, "particles 1x15 kind 3 at 384,-2700"},
        {2, 384, -2698, 0, -4, true, "particles 32x16 kind 3 at 384,-2702"},
    };
    for (const Case& c : cases) {
        test::Playfield p;
        p.game.grid.netMargin = c.netMargin;
        PaintRocket r;
        r.x = c.x;
        r.y = c.y;
        r.vx = c.vx;
        r.vy = c.vy;
        r.colour = 3;
        r.alive = true;
        p.game.rockets.push_back(r);
        stepRockets(p.game);
        EXPECT_EQ(p.game.rockets[0].alive, !c.bursts) << c.event;
        EXPECT_EQ(p.events(true), std::vector<std::string>{c.event});
        p.game.events.clear();
        stepRockets(p.game);
        if (c.bursts) {
            EXPECT_EQ(p.events(true), std::vector<std::string>{});  // gone for good
        }
    }
}

TEST(LaunchRocket, TwoRocketsLeaveFromEitherSideOfTheBarrelOnOneHeading) {
    for (double aim : {0.0, 0.5, -0.7}) {
        test::Playfield p;
        setAimAngle(p.game.aim, aim);
        p.game.queue.rocketCount = 2;
        p.game.queue.current = QueuedBall{4, 0, 0};
        launchRocket(p.game);
        EXPECT_EQ(p.game.queue.rocketCount, 1);
        launchRocket(p.game);
        EXPECT_EQ(p.game.queue.rocketCount, 0);
        EXPECT_EQ(p.events(), (std::vector<std::string>{"sound sample_rocket_launch", "queue_changed",
                                                        "sound sample_rocket_launch", "queue_changed"}));
        ASSERT_EQ(p.game.rockets.size(), 2u);

        const double heading = -p.game.aim.aimAngle - kPi / 2;
        const double hx = std::cos(heading), hy = std::sin(heading);
        for (const PaintRocket& r : p.game.rockets) {
            EXPECT_TRUE(r.alive);
            EXPECT_EQ(r.colour, 4);
            EXPECT_NEAR(r.vx, 4 * hx, 1e-12) << aim;
            EXPECT_NEAR(r.vy, 4 * hy, 1e-12) << aim;
            EXPECT_NEAR(std::hypot(r.x - 386.5, r.y - 541.5), 81, 1e-9);
        }
        // Mirror images across the barrel's axis.
        const PaintRocket& first = p.game.rockets[0];
        const PaintRocket& second = p.game.rockets[1];
        EXPECT_NEAR((first.x + second.x) / 2, 386.5 + 81 * std::cos(kSide) * hx, 1e-9) << aim;
        EXPECT_NEAR((first.y + second.y) / 2, 541.5 + 81 * std::cos(kSide) * hy, 1e-9) << aim;
        const double firstSide = hx * (first.y - 541.5) - hy * (first.x - 386.5);
        const double secondSide = hx * (second.y - 541.5) - hy * (second.x - 386.5);
        EXPECT_NEAR(firstSide, 81 * std::sin(kSide), 1e-9) << aim;
        EXPECT_NEAR(secondSide, -81 * std::sin(kSide), 1e-9) << aim;
    }
}

TEST(LaunchRocket, ARocketTurnedLeftHeadsLeft) {
    test::Playfield p;
    setAimAngle(p.game.aim, 0.5);  // positive angles turn the cannon to the left
    p.game.queue.rocketCount = 1;
    p.game.queue.current = QueuedBall{2, 0, 0};
    launchRocket(p.game);
    ASSERT_EQ(p.game.rockets.size(), 1u);
    EXPECT_LT(p.game.rockets[0].vx, 0);
    EXPECT_LT(p.game.rockets[0].vy, 0);
    EXPECT_LT(p.game.rockets[0].x, 386.5);  // the last rocket leaves from the left of the barrel
}

TEST(LaunchRocket, PaintIsTheCannonsColourOrAnyColourForOtherBalls) {
    struct Case {
        int current;
        int colour;  // 0: any of the seven
    };
    for (const Case& c : {Case{1, 1}, Case{7, 7}, Case{kCellColourBomb, 0}, Case{kCellBigBomb, 0},
                          Case{kCellMultiball, 0}}) {
        test::Playfield p;
        p.game.queue.rocketCount = 1;
        p.game.queue.current = QueuedBall{c.current, c.current == kCellColourBomb ? 5 : 0, 0};
        launchRocket(p.game);
        ASSERT_EQ(p.game.rockets.size(), 1u);
        if (c.colour != 0)
            EXPECT_EQ(p.game.rockets[0].colour, c.colour);
        else
            EXPECT_TRUE(isColour(p.game.rockets[0].colour)) << c.current;
    }
}

TEST(LaunchRocket, NeedsARocketAndReusesASpentEntry) {
    test::Playfield p;
    launchRocket(p.game);
    EXPECT_TRUE(p.game.rockets.empty());
    EXPECT_EQ(p.events(), std::vector<std::string>{});

    p.game.rockets.resize(2);
    p.game.rockets[1].alive = true;
    p.game.queue.rocketCount = 1;
    p.game.queue.current = QueuedBall{2, 0, 0};
    launchRocket(p.game);
    EXPECT_EQ(p.game.rockets.size(), 2u);
    EXPECT_TRUE(p.game.rockets[0].alive);
}

}  // namespace
}  // namespace qs
