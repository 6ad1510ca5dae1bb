#include "game/shot_ball.h"

#include <gtest/gtest.h>

#include "game/matching.h"
#include "game_test_support.h"

namespace qs {
namespace {

using test::picture;
using test::putRow;
using test::putRows;

int countEvents(const Gameplay& game, GameEvent::Type type) {
    int n = 0;
    for (const GameEvent& e : game.events) n += e.type == type ? 1 : 0;
    return n;
}

// Steps the ball until it is gone; returns the frames it took.
int flyOut(Gameplay& game) {
    int frames = 0;
    while (game.ball && frames < 10000) {
        stepShotBall(game);
        ++frames;
    }
    return frames;
}

TEST(ShotBall, FreeFlightRisesFallsAndLeavesBelow500) {
    test::Playfield p;
    setAimAngle(p.game.aim, 0);
    fire(p.game, 3, 0, 0);  // no path computed: free flight
    ASSERT_TRUE(p.game.ball);
    EXPECT_TRUE(p.game.ball->freeFlight);
    stepShotBall(p.game);
    EXPECT_DOUBLE_EQ(p.game.ball->y, 444);
    stepShotBall(p.game);
    EXPECT_DOUBLE_EQ(p.game.ball->y, 439.5);
    EXPECT_DOUBLE_EQ(p.game.ball->vy, -4);
    // y after n frames is 449 - 5n + n(n-1)/4: first above 500 at frame 29.
    EXPECT_EQ(flyOut(p.game) + 2, 29);
    EXPECT_EQ(p.events(), (std::vector<std::string>{"sound sample_shot1", "ball_gone"}));
    EXPECT_EQ(test::countOccupied(p.game.grid), 0);
}

TEST(ShotBall, FollowsThePathOnePointAFrameAndDocksAtItsEnd) {
    test::Playfield p;
    putRow(p.game.grid, 13, "..111111111111..");
    setAimAngle(p.game.aim, 0);
    p.game.updatePath();
    ASSERT_EQ(p.game.path.count(), 40);
    fire(p.game, 2, 0, 0);
    stepShotBall(p.game);
    EXPECT_EQ(p.game.ball->x, 384);
    EXPECT_EQ(p.game.ball->y, 449);
    EXPECT_EQ(p.game.ball->priority, 250);
    EXPECT_EQ(countEvents(p.game, GameEvent::kParticles), 0);
    stepShotBall(p.game);
    stepShotBall(p.game);
    EXPECT_EQ(p.game.ball->y, 429);
    EXPECT_EQ(p.game.ball->priority, 95);  // inside the field's frame
    EXPECT_TRUE(p.hasEvent("particles 1x18 kind 2 at 384,444"));
    EXPECT_TRUE(p.hasEvent("particles 1x18 kind 2 at 384,441.5"));
    EXPECT_EQ(flyOut(p.game) + 3, 40);
    EXPECT_EQ(countEvents(p.game, GameEvent::kParticles), 2 * 39);
    EXPECT_EQ(p.game.grid.kindAt(7, 12), 2);
    EXPECT_EQ(p.events(), (std::vector<std::string>{"sound sample_shot1", "sound sample_connection",
                                                    "docked 7,12 kind 2", "ball_gone"}));
    p.view.expectMatches(p.game.grid);
}

TEST(ShotBall, ShotOverTheTopLeavesWithoutDocking) {
    test::Playfield p;
    setAimAngle(p.game.aim, 0);
    p.game.updatePath();
    ASSERT_FALSE(p.game.path.hasTarget());
    fire(p.game, 2, 0, 0);
    // The points run 449, 439, ...: the 47th (y -11) is the first above the screen.
    EXPECT_EQ(flyOut(p.game), 47);
    EXPECT_EQ(countEvents(p.game, GameEvent::kDocked), 0);
    EXPECT_EQ(test::countOccupied(p.game.grid), 0);
}

TEST(ShotBall, PathWithNoCellFliesFreely) {
    test::Playfield p;
    putRow(p.game.grid, -1, "..111111111111..");
    setAimAngle(p.game.aim, kMaxAimAngle);
    p.game.stepShot();  // computes the path
    fire(p.game, 2, 0, 0);
    EXPECT_TRUE(p.game.ball->freeFlight);
    flyOut(p.game);
    EXPECT_EQ(countEvents(p.game, GameEvent::kDocked), 0);
    EXPECT_EQ(test::countOccupied(p.game.grid), 12);
}

TEST(Dock, SoundAndBombArmingByKind) {
    struct Case {
        int kind, tint, bonus;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {1, 0, 0, {"sound sample_connection", "docked 4,12 kind 1"}},
        {12, 0, 0, {"sound sample_connection", "docked 4,12 kind 12"}},
        {3, 0, 4, {"sound sample_connection_bonus", "docked 4,12 kind 3"}},
        {10, 2, 0, {"sound sample_connection_bomb", "docked 4,12 kind 10", "bomb_armed"}},
        {11, 0, 5, {"sound sample_connection_bomb", "docked 4,12 kind 11", "bomb_armed"}},
    };
    for (const Case& c : cases) {
        test::Playfield p;
        putRow(p.game.grid, 13, "..565656565656..");
        dock(p.game, 4, 12, c.kind, c.tint, c.bonus);
        EXPECT_EQ(p.events(), c.events) << c.kind;
        const GridCell* cell = p.game.grid.cellAt(4, 12);
        EXPECT_EQ(cell->kind, c.kind);
        EXPECT_EQ(cell->tint, c.tint);
        EXPECT_EQ(cell->bonus, c.bonus);
        EXPECT_EQ(cell->mark, 0);
    }
}

TEST(Dock, NoMatchBreaksTheComboUnlessABombDocked) {
    struct Case {
        int kind;
        int comboAfter;
    };
    for (const Case& c : {Case{1, 0}, Case{12, 0}, Case{10, 4}, Case{11, 4}}) {
        test::Playfield p;
        putRow(p.game.grid, 13, "..565656565656..");
        p.game.grid.setCell(9, 5, 3);  // hangs on nothing: falls with the drop that follows
        p.game.score.comboCount = 4;
        p.game.score.matchRun = 2;
        dock(p.game, 4, 12, c.kind, 1, 0);
        EXPECT_EQ(p.game.score.comboCount, c.comboAfter) << c.kind;
        EXPECT_EQ(p.game.score.matchRun, 0) << c.kind;
        EXPECT_FALSE(p.game.grid.occupied(9, 5)) << c.kind;
        EXPECT_TRUE(p.hasEvent("dropped 1")) << c.kind;
        // The drop after a miss sends no pieces to the gauge.
        EXPECT_FALSE(p.hasEvent("particles 1x22 kind 3 at 451,278")) << c.kind;
        for (int r = -1; r <= 13; ++r)
            for (int k = 0; k < 16; ++k) EXPECT_EQ(p.game.grid.cellAt(k, r)->mark, 0);
    }
}

TEST(Dock, ChallengeFieldAtTheTopLosesABallDockedUnderTheLimit) {
    for (int row : {1, 6}) {
        test::Playfield p(kModeChallenge);
        BallGrid& grid = p.game.grid;
        grid.rows = 90;
        for (int r = 0; r <= 89; ++r) grid.setCell(2, r, 1 + r % 2);  // 90 rows, no match anywhere
        dock(p.game, 3, row, 3, 0, 0);
        EXPECT_EQ(grid.limitRow, 5);
        EXPECT_EQ(grid.occupied(3, row), row >= 5) << row;
        EXPECT_EQ(p.hasEvent("particles 4x20 shards kind 3 at " + std::to_string(grid.cellX(3, row)) + "," +
                             std::to_string(grid.cellY(row))),
                  row < 5)
            << row;
        EXPECT_EQ(grid.consecutiveRows, 90);
    }
}

}  // namespace
}  // namespace qs
