#include "game/view/dragons.h"

#include <gtest/gtest.h>

namespace qs {
namespace {

// A dragon's place against the panel's captions: BONUS at rows 331..348 on the blue side,
// CRYSTALS at rows 210..226 on the green side; the art is 150 rows tall.
TEST(Dragons, ADragonNeverCoversItsCaptionNorLeavesTheWindow) {
    struct Case {
        double y;
        bool blue;
        double expected;
    };
    const Case cases[] = {
        {100, true, 100},    // wholly above BONUS
        {181, true, 181},    // its feet just above the caption
        {250, true, 181},    // straddling: up above it
        {338, true, 181},    // the head's empty rows still on the caption
        {339, true, 339},    // wholly below
        {489, true, 450},    // never below the window's edge
        {60, false, 60},     // wholly above CRYSTALS
        {200, false, 217},   // straddling: down below it
        {217, false, 217},
        {489, false, 450},
    };
    for (const Case& c : cases) EXPECT_EQ(clearOfCaption(c.y, c.blue), c.expected) << c.y << (c.blue ? " blue" : " green");
}

}  // namespace
}  // namespace qs
