#include <gtest/gtest.h>

#include "game/view/key_aim.h"

namespace qs {
namespace {

TEST(KeyAim, TheCannonTurnsGentlyThenFasterAndFineWithShift) {
    struct Case {
        const char* name;
        int direction;
        bool fine;
        uint32_t heldMs;  // turned in 10 ms steps from 1000
        double turned;    // radians: the aim's angle grows to the left
    };
    // Starting at 0.6 rad/s and reaching 1.8 after 600 ms: 0.6 s of the ramp turn 0.72 rad,
    // each further second 1.8 rad. Fine aim: 0.2 rad/s throughout.
    const Case cases[] = {
        {"a tap", -1, false, 10, 0.006},
        {"the ramp", 1, false, 600, -0.72},
        {"past the ramp", 1, false, 1100, -(0.72 + 0.9)},
        {"fine", -1, true, 1000, 0.2},
    };
    for (const Case& c : cases) {
        KeyAim aim;
        aim.press(c.direction, c.fine, 1000);
        double angle = 0;
        for (uint32_t t = 1010; t <= 1000 + c.heldMs; t += 10)
            if (auto next = aim.turn(angle, t)) angle = *next;
        EXPECT_NEAR(angle, c.turned, 0.012) << c.name;
    }
}

TEST(KeyAim, OnlyAHeldKeyTurnsAndBothTogetherCancel) {
    KeyAim aim;
    EXPECT_FALSE(aim.turn(0, 100));
    aim.press(-1, false, 100);
    aim.press(1, false, 100);
    EXPECT_FALSE(aim.turn(0, 200)) << "both arrows held: no turn";
    aim.release(-1);
    ASSERT_TRUE(aim.turn(0, 300));
    EXPECT_LT(*aim.turn(0, 400), 0) << "Right turns to smaller angles";
    aim.release(1);
    EXPECT_FALSE(aim.turn(0, 500));
    // A key's repeats do not restart the gentle start.
    aim.press(1, false, 1000);
    aim.press(1, false, 1500);
    double angle = 0;
    for (uint32_t t = 1010; t <= 1600; t += 10)
        if (auto next = aim.turn(angle, t)) angle = *next;
    EXPECT_NEAR(angle, -0.72, 0.012);
}

}  // namespace
}  // namespace qs
