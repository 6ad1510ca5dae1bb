#include "game/ball_queue.h"

#include <algorithm>
#include <set>
#include <tuple>

#include <gtest/gtest.h>

#include "game/bonuses.h"
#include "game_test_support.h"

namespace qs {
namespace {

// A playfield whose queue may deal `bonuses`, with the bonus timing given.
struct QueueField : test::Playfield {
    QueueField(std::vector<int> bonuses, int probability, int spread, GameMode mode = kModeArcade)
        : test::Playfield(mode) {
        options.bonus_probability = probability;
        options.bonus_probability_random_proc = spread;
        game.levelValues.levelBonusList = std::move(bonuses);
        drawBonusInterval(game);
    }
};

TEST(BonusInterval, DrawnAroundTheProbabilityWithinItsSpread) {
    struct Case {
        int probability;
        int spread;  // percent
        int lowest;
        int highest;
    };
    const Case cases[] = {
        {10, 0, 10, 10},   // no spread: the option itself
        {12, 30, 8, 15},   // (70..129) % of 12 = 8.4 .. 15.48
        {10, 100, 1, 20},  // 0 % would give 0: never below one shot
        {0, 0, 1, 1},
        {0, 50, 1, 1},
    };
    for (const Case& c : cases) {
        QueueField q({3}, c.probability, c.spread);
        std::set<int> seen;
        for (int i = 0; i < 2000; ++i) {
            drawBonusInterval(q.game);
            seen.insert(q.game.queue.bonusInterval);
        }
        EXPECT_EQ(*seen.begin(), c.lowest) << c.probability << " " << c.spread;
        EXPECT_EQ(*seen.rbegin(), c.highest) << c.probability << " " << c.spread;
    }
}

TEST(AdvanceQueue, WithoutSpreadABonusComesEveryEleventhAdvanceForProbabilityTen) {
    QueueField q({3}, 10, 0);
    std::vector<int> withBonus;
    for (int advance = 1; advance <= 45; ++advance) {
        advanceQueue(q.game);
        if (q.game.queue.next.bonus != 0) withBonus.push_back(advance);
    }
    EXPECT_EQ(withBonus, (std::vector<int>{11, 22, 33, 44}));
}

TEST(AdvanceQueue, WhatADrawnBonusMakesOfTheNextBall) {
    struct Case {
        int bonus;
        int kind;   // 0: a colour ball
        int carried;
    };
    const Case cases[] = {
        {kBonusMultiball, kCellMultiball, 0},   {kBonusColourBomb, kCellColourBomb, 0},
        {kBonusTarget, 0, kBonusTarget},        {kBonusX2, 0, kBonusX2},
        {kBonusSmallBomb, 0, kBonusSmallBomb},  {kBonusPaintRocket, 0, kBonusPaintRocket},
    };
    for (const Case& c : cases) {
        QueueField q({c.bonus}, 4, 0);
        q.game.queue.shotsSinceBonus = q.game.queue.bonusInterval;  // the next advance draws
        advanceQueue(q.game);
        const QueuedBall& next = q.game.queue.next;
        if (c.kind != 0)
            EXPECT_EQ(next.kind, c.kind) << c.bonus;
        else
            EXPECT_TRUE(isColour(next.kind)) << c.bonus;
        EXPECT_EQ(next.bonus, c.carried) << c.bonus;
        if (c.kind == kCellColourBomb)
            EXPECT_TRUE(isColour(next.tint));
        else
            EXPECT_EQ(next.tint, 0) << c.bonus;
        EXPECT_EQ(q.game.queue.shotsSinceBonus, 0);
    }
}

TEST(AdvanceQueue, AnEmptyBonusListNeverDeals) {
    QueueField q({}, 1, 0);
    for (int i = 0; i < 50; ++i) {
        advanceQueue(q.game);
        EXPECT_EQ(q.game.queue.next.bonus, 0);
        EXPECT_TRUE(isColour(q.game.queue.next.kind));
    }
}

TEST(AdvanceQueue, NextMovesIntoTheCannon) {
    QueueField q({}, 10, 0);
    advanceQueue(q.game);  // level start: the first ball goes straight to "next"
    EXPECT_EQ(q.game.queue.current.kind, 0);
    const QueuedBall first = q.game.queue.next;
    advanceQueue(q.game);
    EXPECT_EQ(q.game.queue.current.kind, first.kind);
    EXPECT_EQ(q.events(), (std::vector<std::string>{"queue_changed", "queue_changed"}));

    q.game.queue.next = QueuedBall{kCellColourBomb, 5, 0};
    advanceQueue(q.game);
    EXPECT_EQ(q.game.queue.current.kind, kCellColourBomb);
    EXPECT_EQ(q.game.queue.current.tint, 5);
}

TEST(AdvanceQueue, ABigBombReachingTheCannonStartsBurning) {
    QueueField q({}, 10, 0);
    q.game.queue.current = QueuedBall{kCellBigBomb, 0, 0};  // fired just now
    q.game.queue.next = QueuedBall{kCellBigBomb, 0, 0};
    advanceQueue(q.game);
    advanceQueue(q.game);
    EXPECT_EQ(q.events(), (std::vector<std::string>{"queue_changed", "burning_start", "queue_changed"}));
}

TEST(AdvanceQueue, APuzzleDealsOnlyItsOwnColours) {
    QueueField q({}, 10, 0, kModePuzzle);
    q.game.levelValues.levelColourList = {2, 6};
    std::set<int> dealt;
    for (int i = 0; i < 200; ++i) {
        advanceQueue(q.game);
        dealt.insert(q.game.queue.next.kind);
    }
    EXPECT_EQ(dealt, (std::set<int>{2, 6}));
}

TEST(SwapBalls, ExchangesEverythingAndMovesTheFuse) {
    struct Case {
        QueuedBall current;
        QueuedBall next;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {{3, 0, kBonusX4}, {10, 6, 0}, {"queue_changed"}},
        {{11, 0, 0}, {2, 0, 0}, {"stop_burning", "queue_changed"}},
        {{2, 0, 0}, {11, 0, 0}, {"queue_changed", "burning_start"}},
    };
    for (const Case& c : cases) {
        QueueField q({}, 10, 0);
        q.game.queue.current = c.current;
        q.game.queue.next = c.next;
        swapBalls(q.game);
        const QueuedBall& now = q.game.queue.current;
        const QueuedBall& then = q.game.queue.next;
        EXPECT_EQ(std::make_tuple(now.kind, now.tint, now.bonus), std::make_tuple(c.next.kind, c.next.tint, c.next.bonus));
        EXPECT_EQ(std::make_tuple(then.kind, then.tint, then.bonus),
                  std::make_tuple(c.current.kind, c.current.tint, c.current.bonus));
        EXPECT_EQ(q.events(), c.events) << c.current.kind;
    }
}

TEST(AwardBigBomb, AfterTheSetNumberOfMatchesInARow) {
    struct Case {
        GameMode mode;
        int needed;  // bigbomb_expl_count
        int matchRun;
        bool awarded;
    };
    const Case cases[] = {
        {kModeArcade, 5, 4, false},    {kModeArcade, 5, 5, true},     {kModeChallenge, 5, 5, true},
        {kModePuzzle, 5, 5, false},    {kModeArcade, 0, 0, false},    {kModeArcade, 0, 9, false},
        {kModeArcade, -1, 3, false},
    };
    for (const Case& c : cases) {
        QueueField q({}, 10, 0, c.mode);
        q.options.bigbomb_expl_count = c.needed;
        q.game.queue.next = QueuedBall{4, 0, kBonusX2};
        q.game.score.matchRun = c.matchRun;
        awardBigBomb(q.game);
        const QueuedBall& next = q.game.queue.next;
        EXPECT_EQ(next.kind, c.awarded ? kCellBigBomb : 4) << c.mode << " " << c.needed << " " << c.matchRun;
        EXPECT_EQ(next.bonus, c.awarded ? 0 : kBonusX2);
        EXPECT_EQ(q.game.score.matchRun, c.awarded ? 0 : c.matchRun);
        EXPECT_EQ(q.events(), c.awarded ? std::vector<std::string>{"queue_changed"} : std::vector<std::string>{});
    }
}

}  // namespace
}  // namespace qs
