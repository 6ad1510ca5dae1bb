#include "game/bombs.h"

#include <cmath>

#include <gtest/gtest.h>

#include "game_test_support.h"

namespace qs {
namespace {

using test::picture;
using test::putRows;

constexpr double kPi = 3.14159265358979323846;

// The fuse has burnt down: the next call goes off.
void armed(Gameplay& game) {
    game.now = 2000;
    game.bombDeadline = 2000;
    game.events.clear();
}

// '#' for an occupied cell, '.' for an empty one.
std::vector<std::string> occupancy(const BallGrid& grid, int topRow, int bottomRow) {
    std::vector<std::string> rows = picture(grid, topRow, bottomRow);
    for (std::string& row : rows)
        for (char& c : row) c = c == '.' ? '.' : '#';
    return rows;
}

TEST(DetonateBombs, WaitsForTheDeadlineAndForTheBallInFlight) {
    struct Case {
        uint32_t deadline;
        uint32_t now;
        bool ballInFlight;
        bool goesOff;
    };
    const Case cases[] = {
        {0, 5000, false, false},     // no fuse burning
        {1400, 1399, false, false},
        {1400, 1400, false, true},
        {1400, 3000, false, true},
        {1400, 3000, true, false},
    };
    for (const Case& c : cases) {
        test::Playfield p;
        putRows(p.game.grid, 13, {"..LLLLLLLLLLLL..", "..1B1..........."});
        p.game.grid.cellAt(3, 12)->tint = 2;
        p.game.bombDeadline = c.deadline;
        p.game.now = c.now;
        if (c.ballInFlight) p.game.ball = ShotBall{};
        detonateBombs(p.game);
        EXPECT_EQ(p.game.grid.kindAt(3, 12), c.goesOff ? kCellEmpty : kCellColourBomb) << c.deadline << " " << c.now;
        EXPECT_EQ(p.game.bombDeadline, c.goesOff ? 0u : c.deadline);
    }
}

TEST(DetonateBombs, AColourBombTakesItsNeighboursAndTheNeighboursOfItsTint) {
    struct Case {
        int tint;
        int removed;
        std::vector<std::string> after;
    };
    const std::vector<std::string> before = {
        "..LLLLLLLLLLLL..",
        "..44444444444...",
        "..4444B3444444..",
        "..44444444444...",
    };
    const Case cases[] = {
        {2, 6, {
            "..LLLLLLLLLLLL..",
            "..444..444444...",
            "..444...444444..",
            "..444..444444...",
        }},
        {3, 9, {
            "..LLLLLLLLLLLL..",
            "..444...44444...",
            "..444....44444..",
            "..444...44444...",
        }},
    };
    for (const Case& c : cases) {
        test::Playfield p;
        putRows(p.game.grid, 13, before);
        p.game.grid.cellAt(6, 11)->tint = static_cast<uint8_t>(c.tint);
        armed(p.game);
        detonateBombs(p.game);
        EXPECT_EQ(picture(p.game.grid, 13, 10), c.after) << "tint " << c.tint;
        EXPECT_TRUE(p.hasEvent("removed " + std::to_string(c.removed))) << "tint " << c.tint;
        EXPECT_TRUE(p.hasEvent("sound sample_explosion_middle_bomb"));
        EXPECT_TRUE(p.hasEvent("particles 20x16 kind 10 at 332,98"));
        EXPECT_EQ(p.game.score.levelScore, 0);  // the neighbours count for nothing
        p.view.expectMatches(p.game.grid);
    }
}

TEST(DetonateBombs, ABigBombTakesEveryGroupItsBlastTouches) {
    test::Playfield p;
    p.options.bigbomb_radius = 1;
    putRows(p.game.grid, 13, {
        "..LLLLLLLLLLLL..",
        "..5555566666....",
        "..1...G.3.......",
        "......7.........",
    });
    armed(p.game);
    detonateBombs(p.game);
    // The blast reaches (5..7, 12): both groups of row 12 go whole; the 1 and the 3 fall.
    EXPECT_EQ(picture(p.game.grid, 13, 10), (std::vector<std::string>{
                                                "..LLLLLLLLLLLL..",
                                                "................",
                                                "................",
                                                "................",
                                            }));
    EXPECT_TRUE(p.hasEvent("removed 11"));
    EXPECT_TRUE(p.hasEvent("dropped 2"));
    EXPECT_EQ(p.game.score.levelScore, 11);
    const std::vector<std::string> lines = p.events();
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 2),
              (std::vector<std::string>{"stop_burning", "sound sample_explosion_big_bomb"}));
    p.view.expectMatches(p.game.grid);
}

// Colours that no two neighbours share: every group is one ball, so the hole left shows the
// blast's own shape.
void fillWithLoneBalls(BallGrid& grid, int topRow) {
    for (int r = 0; r <= topRow; ++r) {
        const int width = grid.rowWidth(r);
        for (int k = 2; k < 2 + width; ++k) grid.setCell(k, r, 1 + (k + 2 * r + 2 * ((r + 1) / 2)) % 3);
    }
}

TEST(DetonateBombs, TheBigBombsBlastWidensRowByRow) {
    test::Playfield p;
    p.options.bigbomb_radius = 2;
    fillWithLoneBalls(p.game.grid, 13);
    p.game.grid.setCell(7, 3, kCellBigBomb);
    armed(p.game);
    detonateBombs(p.game);
    EXPECT_EQ(occupancy(p.game.grid, 7, 0), (std::vector<std::string>{
                                                "..############..",
                                                "..###########...",
                                                "..###.....####..",  // row 5: 7 +- 2
                                                "..####...####...",  // row 4: 7 +- 1
                                                "..###.....####..",  // row 3: the bomb and two each side
                                                "..####...####...",
                                                "..###.....####..",
                                                "..###########...",
                                            }));
    EXPECT_EQ(p.game.score.levelScore, 20);

    // The sparks ring the bomb at 20 to 119 pixels, a full turn in 150 steps.
    int sparks = 0;
    for (const GameEvent& e : p.game.events) {
        if (e.type != GameEvent::kParticles || e.particle != kParticleBombSpark) continue;
        const double dx = e.x - p.game.grid.cellX(7, 3), dy = e.y - p.game.grid.cellY(3);
        const double distance = std::hypot(dx, dy);
        EXPECT_GE(distance, 20 - 1e-9);
        EXPECT_LT(distance, 120);
        const double angle = sparks * 2 * kPi / 150;
        EXPECT_NEAR(dx / distance, std::cos(angle), 1e-9) << sparks;
        EXPECT_NEAR(dy / distance, std::sin(angle), 1e-9) << sparks;
        ++sparks;
    }
    EXPECT_EQ(sparks, 150);
}

TEST(DetonateBombs, EveryBombOfTheFieldGoesOffAtOnce) {
    test::Playfield p;
    p.options.bigbomb_radius = 1;
    putRows(p.game.grid, 13, {
        "..LLLLLLLLLLLL..",
        "..B1111111G2....",
    });
    armed(p.game);
    detonateBombs(p.game);
    EXPECT_EQ(picture(p.game.grid, 12, 12), std::vector<std::string>{"................"});
    int bombSounds = 0;
    for (const std::string& line : p.events())
        bombSounds += line == "sound sample_explosion_middle_bomb" || line == "sound sample_explosion_big_bomb";
    EXPECT_EQ(bombSounds, 2);
}

TEST(DetonateBombs, ABombGoneBeforeItsFuseLeavesNothingToScore) {
    test::Playfield p;
    putRows(p.game.grid, 13, {"..LLLLLLLLLLLL..", "..1111.........."});
    armed(p.game);
    detonateBombs(p.game);
    EXPECT_EQ(p.game.bombDeadline, 0u);
    EXPECT_EQ(p.events(true), std::vector<std::string>{});
    EXPECT_EQ(test::countOccupied(p.game.grid), 16);
}

}  // namespace
}  // namespace qs
