#include "game/bonuses.h"

#include <gtest/gtest.h>

#include "game/matching.h"
#include "game_test_support.h"

namespace qs {
namespace {

constexpr int kFrameMs = 10;

// A playfield with the bonus table of target 10 s, freeze 3 s and net expand 5 s, the net
// closed and the clock at one second.
struct BonusField : test::Playfield {
    explicit BonusField(GameMode mode = kModeArcade, int freezeSeconds = 3) : test::Playfield(mode) {
        options.bonus_target_time = 10;
        options.bonus_freeze_time = freezeSeconds;
        options.bonus_inc_width_time = 5;
        initBonusTable(game);
        resetBonuses(game);
        game.net = NetState{kNetClosed, kNetClosed, 0, 0};
        game.now = 1000;
    }
    // Releases from the cell at column 3, row 11 (x 230, y 98), as a removed ball would.
    void release(int type, int kind = 3) { releaseBonus(game, type, kind, 230, 98); }
    void update(int frames = 1) {
        for (int i = 0; i < frames; ++i) {
            game.now += kFrameMs;
            updateBonuses(game);
        }
    }
    const ActiveBonus& entry(size_t i) const { return game.bonuses.entries.at(i); }
    int countEvents(int particleType) const {
        int n = 0;
        for (const GameEvent& e : game.events)
            n += e.type == GameEvent::kParticles && e.particle == particleType ? 1 : 0;
        return n;
    }
};

TEST(BonusTable, TimedTypesLastTheirOptionInSeconds) {
    BonusField b;
    for (int type = 1; type < kBonusTypeCount; ++type) {
        const bool timed = type == kBonusTarget || type == kBonusFreeze || type == kBonusNetExpand;
        EXPECT_EQ(b.game.bonuses.timing[type], timed ? 1 : 2) << type;
    }
    EXPECT_EQ(b.game.bonuses.duration[kBonusTarget], 10000);
    EXPECT_EQ(b.game.bonuses.duration[kBonusFreeze], 3000);
    EXPECT_EQ(b.game.bonuses.duration[kBonusNetExpand], 5000);
    EXPECT_EQ(b.game.bonuses.duration[kBonusX2], 0);
}

TEST(ReleaseBonus, TimedTypesFlyTheOthersGoStraightToTheirSlot) {
    struct Case {
        int type;
        std::vector<std::string> events;
        int state;
    };
    const Case cases[] = {
        {kBonusTarget, {"sound sample_flying_bonus"}, kBonusFlying},
        {kBonusFreeze, {"sound sample_flying_bonus"}, kBonusFlying},
        {kBonusNetExpand, {"sound sample_flying_bonus"}, kBonusFlying},
        {kBonusX2, {"sound sample_bonus_x2"}, kBonusWaiting},
        {kBonusX4, {"sound sample_bonus_x4"}, kBonusWaiting},
        {kBonusSmallBomb, {"sound sample_bonus_small_bomb"}, kBonusWaiting},
        {kBonusUp, {}, kBonusWaiting},
        {kBonusPaintRocket, {"sound sample_bonus_paint_rocket"}, kBonusWaiting},
    };
    for (const Case& c : cases) {
        BonusField b;
        b.release(c.type);
        EXPECT_EQ(b.events(), c.events) << c.type;
        const ActiveBonus& e = b.entry(0);
        EXPECT_EQ(e.type, c.type);
        EXPECT_EQ(e.state, c.state) << c.type;
        EXPECT_TRUE(e.hasIcon);
        EXPECT_EQ(e.iconKind, 3);
        const bool flies = c.state == kBonusFlying;
        EXPECT_DOUBLE_EQ(e.x, flies ? 230 : 20) << c.type;
        EXPECT_DOUBLE_EQ(e.y, flies ? 98 : 545) << c.type;
        EXPECT_DOUBLE_EQ(b.game.bonuses.bars[0].x, flies ? 31 : 60) << c.type;
    }
}

TEST(ReleaseBonus, TheIconShowsTheBallColourOrTheNeutralBall) {
    BonusField b;
    const std::pair<int, int> kinds[] = {{1, 1}, {7, 7}, {kCellMultiball, 0}, {kCellLand, 0}, {kCellCrystal, 0}};
    for (size_t i = 0; i < std::size(kinds); ++i) {
        b.release(kBonusX2, kinds[i].first);
        EXPECT_EQ(b.entry(i).iconKind, kinds[i].second) << kinds[i].first;
    }
}

TEST(ReleaseBonus, TakesTheFirstFreeEntry) {
    BonusField b;
    b.release(kBonusFreeze);
    b.release(kBonusTarget);
    b.game.bonuses.entries[0] = ActiveBonus{};
    b.release(kBonusNetExpand);
    EXPECT_EQ(b.entry(0).type, kBonusNetExpand);
    EXPECT_EQ(b.entry(1).type, kBonusTarget);
    EXPECT_EQ(b.game.bonuses.entries.size(), 6u);
}

TEST(ReleaseBonus, NothingOnceTheLevelIsComplete) {
    BonusField b;
    b.game.bonusesLocked = true;
    b.release(kBonusX4);
    b.release(kBonusFreeze);
    b.update(60);
    EXPECT_EQ(b.events(), std::vector<std::string>{});
    EXPECT_EQ(b.entry(0).type, -1);
    EXPECT_EQ(b.game.score.scoreMultiplier, 1);
    resetBonuses(b.game);  // the next level counts them again
    b.release(kBonusX4);
    b.update();
    EXPECT_EQ(b.game.score.scoreMultiplier, 4);
}

TEST(UpdateBonuses, AnIconLandsOnItsFiftiethUpdateAndStartsThere) {
    BonusField b;
    b.release(kBonusTarget);
    b.release(kBonusFreeze);  // entry 1: slot y 506
    b.game.events.clear();
    b.update(49);
    EXPECT_EQ(b.entry(0).state, kBonusFlying);
    EXPECT_GT(b.entry(0).x, 20);
    EXPECT_FALSE(b.game.bonuses.active[kBonusTarget]);
    EXPECT_EQ(b.countEvents(kParticleBonusTrail), 2 * 49);
    b.game.events.clear();

    b.update();
    for (size_t i : {0u, 1u}) {
        EXPECT_EQ(b.entry(i).state, kBonusRunningTimed) << i;
        EXPECT_DOUBLE_EQ(b.entry(i).x, 20);
        EXPECT_DOUBLE_EQ(b.entry(i).y, 545 - 39.0 * i);
        EXPECT_DOUBLE_EQ(b.game.bonuses.bars[i].x, 60);  // full at the start
        EXPECT_EQ(b.game.bonuses.bars[i].colour, kBarRunningColour);
    }
    EXPECT_EQ(b.entry(0).deadline, b.game.now + 10000);
    EXPECT_TRUE(b.game.bonuses.active[kBonusTarget]);
    EXPECT_TRUE(b.game.bonuses.active[kBonusFreeze]);
    EXPECT_EQ(b.events(), (std::vector<std::string>{"sound sample_bonus_target", "sound sample_bonus_freeze"}));
    EXPECT_EQ(b.countEvents(kParticleBonusTrail), 2);
}

TEST(UpdateBonuses, TheBarEmptiesWithTheTimeLeft) {
    BonusField b;
    b.release(kBonusTarget);
    b.update(50);
    const uint32_t started = b.game.now;
    struct Case {
        uint32_t elapsed;
        double barX;
    };
    for (const Case& c : {Case{1000, 57.1}, Case{5000, 45.5}, Case{9990, 31.029}}) {
        b.game.now = started + c.elapsed - kFrameMs;
        b.update();
        EXPECT_NEAR(b.game.bonuses.bars[0].x, c.barX, 1e-9) << c.elapsed;
    }
    b.game.now = started + 10000 - kFrameMs;
    b.update();  // the deadline has passed when the clock reaches it
    EXPECT_EQ(b.entry(0).type, -1);
    EXPECT_FALSE(b.game.bonuses.active[kBonusTarget]);
    EXPECT_DOUBLE_EQ(b.game.bonuses.bars[0].x, 31);
}

TEST(UpdateBonuses, TwoFreezesRunOneAfterTheOther) {
    BonusField b;
    b.release(kBonusFreeze);
    b.release(kBonusFreeze);
    b.update(50);
    const uint32_t firstStart = b.game.now;
    EXPECT_EQ(b.entry(0).state, kBonusRunningTimed);
    EXPECT_EQ(b.entry(1).state, kBonusWaiting);
    EXPECT_DOUBLE_EQ(b.game.bonuses.bars[1].x, 60);
    EXPECT_EQ(b.game.bonuses.bars[1].colour, kBarWaitingColour);

    // The field stays frozen without a gap: the second starts in the update that ends the first.
    while (b.game.now < firstStart + 3000) {
        b.update();
        ASSERT_TRUE(b.game.bonuses.active[kBonusFreeze]) << b.game.now - firstStart;
    }
    EXPECT_EQ(b.entry(0).type, -1);
    EXPECT_EQ(b.entry(1).state, kBonusRunningTimed);
    EXPECT_EQ(b.entry(1).deadline, b.game.now + 3000);
    EXPECT_EQ(b.game.events.back().name, std::string("sample_bonus_freeze"));

    b.update(299);
    EXPECT_TRUE(b.game.bonuses.active[kBonusFreeze]);
    b.update();
    EXPECT_FALSE(b.game.bonuses.active[kBonusFreeze]);
    EXPECT_EQ(b.entry(1).type, -1);
}

TEST(UpdateBonuses, ASeventhBonusHasNoIconNorBarButTakesEffect) {
    BonusField b;
    for (int i = 0; i < 3; ++i) {
        b.release(kBonusTarget);
        b.release(kBonusNetExpand);
    }
    b.release(kBonusX4);
    b.release(kBonusFreeze);
    ASSERT_EQ(b.game.bonuses.entries.size(), 8u);
    for (size_t i : {6u, 7u}) {
        EXPECT_FALSE(b.entry(i).hasIcon) << i;
        EXPECT_EQ(b.entry(i).state, kBonusWaiting) << i;  // a freeze too: nowhere to fly to
    }
    for (const BonusBar& bar : b.game.bonuses.bars) EXPECT_DOUBLE_EQ(bar.x, 31);

    b.update();  // the six icons still fly
    EXPECT_EQ(b.game.score.scoreMultiplier, 4);
    EXPECT_EQ(b.entry(7).state, kBonusRunningTimed);
    EXPECT_TRUE(b.game.bonuses.active[kBonusFreeze]);
    for (const BonusBar& bar : b.game.bonuses.bars) EXPECT_DOUBLE_EQ(bar.x, 31);
    b.update(300);
    EXPECT_FALSE(b.game.bonuses.active[kBonusFreeze]);
}

TEST(UpdateBonuses, ATimedBonusOfNoDurationEndsAtOnce) {
    struct Case {
        int type;
        const char* sound;
    };
    for (const Case& c : {Case{kBonusTarget, "sound sample_bonus_target"},
                          Case{kBonusFreeze, "sound sample_bonus_freeze"},
                          Case{kBonusNetExpand, "sound sample_bonus_net_expand"}}) {
        BonusField b(kModeArcade, 0);
        b.options.bonus_target_time = 0;
        b.options.bonus_inc_width_time = 0;
        initBonusTable(b.game);
        b.release(c.type);
        b.update(49);
        b.game.events.clear();
        b.update();
        EXPECT_EQ(b.events(), std::vector<std::string>{c.sound});
        EXPECT_EQ(b.entry(0).type, -1) << c.type;
        EXPECT_FALSE(b.game.bonuses.active[c.type]) << c.type;
        EXPECT_EQ(b.game.net.target, kNetClosed);  // opened and closed again
    }
}

TEST(UpdateBonuses, InstantBonusesEndFromTheNextUpdate) {
    struct Case {
        int type;
        int multiplier;
        int rockets;
    };
    const Case cases[] = {{kBonusX2, 2, 0}, {kBonusX4, 4, 0}, {kBonusSmallBomb, 1, 0}, {kBonusPaintRocket, 1, 1}};
    for (const Case& c : cases) {
        BonusField b;
        b.release(c.type);
        b.game.events.clear();
        b.update();
        EXPECT_EQ(b.entry(0).state, kBonusRunningInstant) << c.type;
        EXPECT_FALSE(b.entry(0).iconVisible);
        EXPECT_TRUE(b.game.bonuses.active[c.type]);
        EXPECT_EQ(b.game.score.scoreMultiplier, c.multiplier) << c.type;
        EXPECT_EQ(b.game.queue.rocketCount, c.rockets) << c.type;
        EXPECT_EQ(b.events(), c.rockets ? std::vector<std::string>{"queue_changed"} : std::vector<std::string>{});
        b.update();
        EXPECT_EQ(b.entry(0).type, -1) << c.type;
        EXPECT_FALSE(b.game.bonuses.active[c.type]);
        EXPECT_EQ(b.game.score.scoreMultiplier, c.multiplier) << c.type;  // kept for the next detonation
    }
}

TEST(UpdateBonuses, MultipliersStack) {
    BonusField b;
    b.release(kBonusX2);
    b.release(kBonusX4);
    b.release(kBonusX2);
    b.update();
    EXPECT_EQ(b.game.score.scoreMultiplier, 16);
}

TEST(UpdateBonuses, AtMostTwoRocketsAreHeld) {
    BonusField b;
    for (int i = 0; i < 3; ++i) b.release(kBonusPaintRocket);
    b.update();
    EXPECT_EQ(b.game.queue.rocketCount, 2);
}

TEST(UpdateBonuses, UpClimbsUnlessAPuzzlePlankIsTooHigh) {
    struct Case {
        GameMode mode;
        int plankY;
        int climb;
    };
    const Case cases[] = {
        {kModeArcade, -279, 30}, {kModeChallenge, 50, 30}, {kModePuzzle, 82, 30}, {kModePuzzle, 81, 0},
    };
    for (const Case& c : cases) {
        BonusField b(c.mode);
        b.game.plankY = c.plankY;
        b.release(kBonusUp);
        b.update();
        EXPECT_EQ(b.game.pendingClimb, c.climb) << c.mode << " " << c.plankY;
        EXPECT_EQ(b.events(), std::vector<std::string>{"sound sample_bonus_up"});
        EXPECT_EQ(b.game.bonuses.active[kBonusUp], c.climb > 0);
        EXPECT_EQ(b.entry(0).type, c.climb > 0 ? kBonusUp : -1);
    }
}

TEST(UpdateBonuses, UpLastsUntilItsClimbIsDoneAndASecondOneWaitsForIt) {
    BonusField b;
    b.release(kBonusUp);
    b.release(kBonusUp);
    b.update(5);
    EXPECT_EQ(b.game.pendingClimb, 30);
    EXPECT_EQ(b.entry(0).state, kBonusRunningInstant);
    EXPECT_EQ(b.entry(1).state, kBonusWaiting);

    b.game.pendingClimb = 0;  // the session has lifted the field
    b.update();
    EXPECT_EQ(b.entry(0).type, -1);
    EXPECT_EQ(b.entry(1).state, kBonusRunningInstant);
    EXPECT_EQ(b.game.pendingClimb, 30);
    EXPECT_TRUE(b.game.bonuses.active[kBonusUp]);
}

TEST(UpdateBonuses, NetExpandOpensTheNetAndClosesItWhenItEnds) {
    BonusField b;
    b.release(kBonusNetExpand);
    b.update(50);
    EXPECT_EQ(b.game.net.target, kNetOpen);
    EXPECT_EQ(b.game.net.direction, -1);
    EXPECT_EQ(b.game.net.nextStep, b.game.now + 50);
    b.update(500);
    EXPECT_FALSE(b.game.bonuses.active[kBonusNetExpand]);
    EXPECT_EQ(b.game.net.target, kNetClosed);
    EXPECT_EQ(b.game.net.direction, 1);
}

TEST(EndAllBonuses, DropsEveryEntryWithoutEffect) {
    BonusField b;
    b.release(kBonusFreeze);
    b.update(50);
    b.release(kBonusTarget);  // still flying
    b.release(kBonusX2);      // waiting in its slot
    endAllBonuses(b.game);
    b.update(60);
    for (const ActiveBonus& e : b.game.bonuses.entries) EXPECT_EQ(e.type, -1);
    for (bool on : b.game.bonuses.active) EXPECT_FALSE(on);
    for (const BonusBar& bar : b.game.bonuses.bars) EXPECT_DOUBLE_EQ(bar.x, 31);
    EXPECT_EQ(b.game.score.scoreMultiplier, 1);
}

TEST(RemoveCell, ABallsBonusReachesTheColumn) {
    BonusField b;
    b.game.grid.setCell(3, 11, 5, 0, kBonusX2);
    removeCell(b.game, 3, 11, true);
    ASSERT_EQ(b.entry(0).type, kBonusX2);
    EXPECT_EQ(b.entry(0).iconKind, 5);
    b.update();
    EXPECT_EQ(b.game.score.scoreMultiplier, 2);
}

}  // namespace
}  // namespace qs
