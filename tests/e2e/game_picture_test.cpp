#include <gtest/gtest.h>

#include <cmath>

#include "e2e_support.h"
#include "picture.h"
#include "test_support.h"

namespace qs {
namespace {

using namespace qs::test;

// The cannon turns about this point of the screen; its barrel reaches about 100 pixels.
constexpr int kPivotX = 400;
constexpr int kPivotY = 560;

// A point along the barrel when the cannon aims at (x, y), `reach` pixels out from the pivot.
std::pair<int, int> alongBarrel(int x, int y, double reach) {
    const double angle = std::atan2(static_cast<double>(x - kPivotX), static_cast<double>(kPivotY - y));
    return {kPivotX + static_cast<int>(std::lround(reach * std::sin(angle))),
            kPivotY - static_cast<int>(std::lround(reach * std::cos(angle)))};
}

// Pictures of the cannon aimed straight up, to the right and to the left: the barrel shows
// on the side the pointer is on, and its mirror image stays background.
TEST(CannonPicture, TheBarrelTurnsTowardsThePointer) {
    TempDir dir;
    auto script = dir.write("aim.script",
                            "100 mouse_move 400 300\n"
                            "9000 screenshot " + (dir / "up.png").string() + "\n"
                            "9100 mouse_move 600 300\n"
                            "9600 screenshot " + (dir / "right.png").string() + "\n"
                            "9700 mouse_move 200 300\n"
                            "10200 screenshot " + (dir / "left.png").string() + "\n"
                            "10300 quit\n");
    RunResult run = runCommand(game() + " --headless --seed 1 --data " + dataDir() + " --user-dir " +
                               (dir / "user").string() + " --start-game arcade --script " + script.string());
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const Picture up = loadPicture(dir / "up.png");
    ASSERT_FALSE(up.empty());

    struct Case {
        const char* picture;
        int pointerX;
    };
    for (const Case& c : {Case{"right.png", 600}, Case{"left.png", 200}}) {
        SCOPED_TRACE(c.picture);
        const Picture aimed = loadPicture(dir / c.picture);
        ASSERT_FALSE(aimed.empty());
        const auto [x, y] = alongBarrel(c.pointerX, 300, 90);
        const int mirrorX = 2 * kPivotX - x;
        EXPECT_GT(patchDifference(aimed, up, x, y), 25) << "no barrel at " << x << "," << y;
        EXPECT_LT(patchDifference(aimed, up, mirrorX, y), 8) << "a barrel at " << mirrorX << "," << y;
    }
}

}  // namespace
}  // namespace qs
