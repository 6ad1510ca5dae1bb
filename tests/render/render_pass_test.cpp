#include "render/render_pass.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace qs {
namespace {

DrawQuad quad(int page, double angle = 0, uint8_t alphaMode = 0, uint8_t filter = 0) {
    DrawQuad q;
    q.page = page;
    q.angle = angle;
    q.alphaMode = alphaMode;
    q.filter = filter;
    return q;
}

TEST(RenderPass, ChangesStatesOnlyWhenTheyDiffer) {
    struct Case {
        const char* name;
        DrawList quads;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"two unrotated quads of one page set each state once",
         {quad(0), quad(0)},
         {"transform", "blend", "page 0", "filter 0", "draw", "draw"}},
        {"a rotated quad followed by an unrotated one resets the transform",
         {quad(0, 0.5), quad(0)},
         {"rotate", "blend", "page 0", "filter 0", "draw", "transform", "draw"}},
        {"every rotated quad sets its own rotation",
         {quad(0, 0.5), quad(0, 0.5)},
         {"rotate", "blend", "page 0", "filter 0", "draw", "rotate", "draw"}},
        {"blend, page and filter follow the quads",
         {quad(0, 0, 0, 0), quad(1, 0, 1, 1), quad(1, 0, 1, 1)},
         {"transform", "blend", "page 0", "filter 0", "draw", "additive", "page 1", "filter 1",
          "draw", "draw"}},
    };
    for (const Case& c : cases) {
        test::FakeDevice device;
        device.createPage(0, 4);
        device.createPage(1, 4);
        bool failure = false;
        EXPECT_TRUE(drawQuadPass(device, c.quads, failure)) << c.name;
        EXPECT_EQ(device.calls, c.calls) << c.name;
        EXPECT_FALSE(failure);
    }
}

TEST(RenderPass, MissingPageStopsDrawingForGood) {
    test::FakeDevice device;
    device.createPage(0, 4);
    bool failure = false;
    RenderPassStats stats;
    EXPECT_FALSE(drawQuadPass(device, {quad(0), quad(3), quad(0)}, failure, &stats));
    EXPECT_TRUE(failure);
    EXPECT_EQ(stats.quadsDrawn, 1);
    // Later frames draw nothing once the failure is recorded.
    device.calls.clear();
    EXPECT_FALSE(drawQuadPass(device, {quad(0)}, failure));
    EXPECT_TRUE(device.calls.empty());
}

}  // namespace
}  // namespace qs
