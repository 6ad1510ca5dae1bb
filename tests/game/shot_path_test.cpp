#include "game/shot_path.h"

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "game_test_support.h"

namespace qs {
namespace {

using test::putRow;

TEST(UpdateAim, FollowsOnlyAPointerAboveTheAimLine) {
    struct Case {
        const char* name;
        int mouseX, mouseY;
        double expected;
    };
    const double start = 0.3;
    const Case cases[] = {
        {"straight up", 400, 300, 0},
        {"up and to the left", 135, 300, std::atan(1.0)},
        {"up and to the right", 665, 300, -std::atan(1.0)},
        {"below the line keeps the angle", 100, 570, start},
        {"on the line keeps the angle", 100, 565, start},
        {"outside the window keeps the angle", -1000, 300, start},
        {"below the screen keeps the angle", 400, 600, start},
        {"flat to the left is clamped", 0, 564, kMaxAimAngle},
        {"flat to the right is clamped", 799, 564, -kMaxAimAngle},
    };
    for (const Case& c : cases) {
        AimState aim;
        setAimAngle(aim, start);
        updateAim(aim, c.mouseX, c.mouseY, 800, 600);
        EXPECT_NEAR(aim.aimAngle, c.expected, 1e-12) << c.name;
        EXPECT_EQ(aim.previousAimAngle, aim.aimAngle) << c.name;
    }
}

TEST(UpdateAim, MuzzleAndLaunchVelocityFollowTheBarrel) {
    AimState aim;
    updateAim(aim, 400, 300, 800, 600);
    EXPECT_EQ(aim.muzzleX, 384);
    EXPECT_EQ(aim.muzzleY, 449);
    EXPECT_NEAR(aim.launchVX, 0, 1e-12);
    EXPECT_NEAR(aim.launchVY, -5, 1e-12);
    updateAim(aim, 135, 300, 800, 600);  // 45 degrees to the left
    EXPECT_EQ(aim.muzzleX, 384 - 71);
    EXPECT_EQ(aim.muzzleY, 549 - 71);
    EXPECT_NEAR(aim.launchVX, -5 / std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(aim.launchVY, -5 / std::sqrt(2.0), 1e-12);
}

TEST(UpdateAim, SmoothTurnMovesATenthOfARadianAFrame) {
    AimState aim;
    aim.smoothTurn = true;
    std::vector<double> angles;
    for (int frame = 0; frame < 10 && (angles.empty() || aim.smoothTurn); ++frame) {
        updateAim(aim, 135, 300, 800, 600);
        angles.push_back(aim.aimAngle);
    }
    ASSERT_EQ(angles.size(), 8u);
    for (int i = 0; i < 7; ++i) EXPECT_NEAR(angles[i], 0.1 * (i + 1), 1e-12) << i;
    EXPECT_NEAR(angles[7], std::atan(1.0), 1e-12);
    EXPECT_FALSE(aim.smoothTurn);
}

TEST(ShotPath, TouchingNeedsASquaredDistanceBelow612) {
    BallGrid grid;
    grid.setCell(5, 5, 1);  // centre (298, 278)
    struct Case {
        double dx, dy;
        bool hit;
    };
    for (const Case& c : {Case{24, 5, true}, Case{24, 6, false}, Case{-6, -24, false}, Case{17, -18, false},
                          Case{0, 0, true}, Case{-24.7, 0, true}, Case{0, 24.8, false}}) {
        EXPECT_EQ(touchesField(grid, 298 + c.dx, 278 + c.dy), c.hit) << c.dx << "," << c.dy;
    }
    // Cells above the ceiling row are not in the field yet.
    grid.rows = 5;
    EXPECT_FALSE(touchesField(grid, 298, 278));
}

// A straight shot up through x 384 under a ceiling row, with the given ball step.
ShotPath straightShot(GameMode mode, int ballStep, const std::function<void(BallGrid&)>& setUp) {
    test::Playfield p(mode);
    setUp(p.game.grid);
    ShotPath path;
    computePath(path, p.game.grid, mode, ballStep, 384, 449, 0, -5);
    return path;
}

TEST(ShotPath, StraightShotIntoAnEmptyColumnDocksUnderTheCeiling) {
    const ShotPath path = straightShot(kModeArcade, 10, [](BallGrid& g) { putRow(g, 13, "..111111111111.."); });
    // The ball touches (7,13) and (8,13) at about y 55; the free cell (7,12) lies between them.
    EXPECT_EQ(path.targetColumn, 7);
    EXPECT_EQ(path.targetRow, 12);
    ASSERT_EQ(path.count(), 40);
    EXPECT_EQ(path.points.back(), (PathPoint{383, 68}));
    EXPECT_EQ(path.points[38], (PathPoint{384, 69}));  // the point at y 59 lay beyond the cell and went
}

TEST(ShotPath, RowEstimatesFollowTheScrolledField) {
    // The field lowered by up to 29 pixels: the same shot takes the same cell, now lower.
    for (int scroll : {0, 10, 20, 29}) {
        const ShotPath path = straightShot(kModeArcade, 10, [scroll](BallGrid& g) {
            g.scroll = scroll;
            putRow(g, 13, "..111111111111..");
        });
        EXPECT_EQ(path.targetColumn, 7) << scroll;
        EXPECT_EQ(path.targetRow, 12) << scroll;
        EXPECT_EQ(path.points.back(), (PathPoint{383, 68 + scroll})) << scroll;
    }
}

TEST(ShotPath, PointsLieOneBallStepApart) {
    for (int step : {10, 25}) {
        const ShotPath path = straightShot(kModeArcade, step, [](BallGrid& g) { putRow(g, 13, "..111111111111.."); });
        ASSERT_GT(path.count(), 3) << step;
        EXPECT_EQ(path.points.front(), (PathPoint{384, 449}));
        for (int i = 0; i + 2 < path.count(); ++i) {
            EXPECT_EQ(path.points[i].y - path.points[i + 1].y, step) << "step " << step << " point " << i;
            EXPECT_EQ(path.points[i].x, 384);
        }
    }
}

TEST(ShotPath, ShotOverTheTopKeepsItsPointsButHasNoCell) {
    const ShotPath path = straightShot(kModeArcade, 10, [](BallGrid&) {});
    EXPECT_FALSE(path.hasTarget());
    EXPECT_GT(path.count(), 300);
    EXPECT_LT(path.points.back().y, -2680);
}

TEST(ShotPath, PuzzleShotIntoAnEmptyColumnDocksInTheCeilingRow) {
    const ShotPath path = straightShot(kModePuzzle, 10, [](BallGrid& g) {
        g.rows = 12;
        g.setAlternatingWidths(11, 12);
    });
    EXPECT_EQ(path.targetColumn, 8);
    EXPECT_EQ(path.targetRow, 11);
    EXPECT_EQ(path.points.back(), (PathPoint{400, 98}));
    EXPECT_EQ(path.points[path.count() - 2], (PathPoint{384, 99}));
}

TEST(ShotPath, PathWithNoCandidateIsEmpty) {
    // Row -1 is full and nothing else is there: the ball grazes row -1 at once, and the free
    // cells of rows 0 and 1 hang on nothing (a row -1 ball below does not hold a row 0 ball).
    test::Playfield p;
    putRow(p.game.grid, -1, "..111111111111..");
    setAimAngle(p.game.aim, kMaxAimAngle);
    p.game.updatePath();
    EXPECT_EQ(p.game.path.count(), 0);
    EXPECT_FALSE(p.game.path.hasTarget());
}

TEST(ShotPath, BouncesOffTheNetWalls) {
    struct Case {
        int margin, left, right;
    };
    for (const Case& c : {Case{2, 188, 579}, Case{0, 120, 647}}) {
        test::Playfield p;
        p.game.grid.netMargin = c.margin;
        p.options.ball_step = 1;  // a point every pixel shows how close it comes
        setAimAngle(p.game.aim, kMaxAimAngle);
        p.game.updatePath();
        const auto [lo, hi] = std::minmax_element(
            p.game.path.points.begin(), p.game.path.points.end(),
            [](const PathPoint& a, const PathPoint& b) { return a.x < b.x; });
        EXPECT_GE(lo->x, c.left) << c.margin;
        EXPECT_LE(lo->x, c.left + 1) << c.margin;
        EXPECT_LE(hi->x, c.right) << c.margin;
        EXPECT_GE(hi->x, c.right - 1) << c.margin;
    }
}

TEST(ShotPath, NoPathWithoutUpwardSpeed) {
    test::Playfield p;
    ShotPath path;
    path.points.push_back({1, 1});
    EXPECT_FALSE(computePath(path, p.game.grid, kModeArcade, 10, 384, 449, 3, 0));
    EXPECT_EQ(path.count(), 0);
    EXPECT_FALSE(computePath(path, p.game.grid, kModeArcade, 10, 384, 449, 0, NAN));
    // A broken net that leaves no room between the walls ends the trace instead of looping.
    p.game.grid.netMargin = 8;
    EXPECT_FALSE(computePath(path, p.game.grid, kModeArcade, 10, 384, 449, 1, -5));
}

}  // namespace
}  // namespace qs
