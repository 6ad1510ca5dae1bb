#include "visual/quad_culling.h"

#include <gtest/gtest.h>

namespace qs {
namespace {

// A quad over [x0, x1) x [y0, y1) as the sprite engine makes them (corners shifted by -0.5).
DrawQuad quad(int page, float x0, float y0, float x1, float y1, bool opaque = true) {
    DrawQuad q;
    q.page = page;
    const float xs[4] = {x0, x1, x0, x1}, ys[4] = {y0, y0, y1, y1};
    for (int i = 0; i < 4; ++i) {
        q.v[i].x = xs[i] - 0.5f;
        q.v[i].y = ys[i] - 0.5f;
    }
    q.opaque = opaque;
    return q;
}

std::vector<int> pagesOf(const DrawList& list) {
    std::vector<int> pages;
    for (const DrawQuad& q : list) pages.push_back(q.page);
    return pages;
}

TEST(CullHiddenQuads, DropsOnlyWhatNoPixelCouldShow) {
    DrawQuad turned = quad(9, 0, 0, 800, 600);
    turned.angle = 0.1;
    turned.centreX = 400;
    turned.centreY = 300;
    DrawQuad additive = quad(9, 0, 0, 800, 600);
    additive.alphaMode = 1;
    DrawQuad faded = quad(9, 0, 0, 800, 600);
    for (DrawVertex& v : faded.v) v.color = 0x80FFFFFF;
    struct Case {
        const char* name;
        DrawList list;
        std::vector<int> kept;
    };
    const Case cases[] = {
        {"under a full-screen opaque quad", {quad(1, 100, 100, 200, 200), quad(2, 0, 0, 800, 600)}, {2}},
        {"over it: drawn later, it shows", {quad(2, 0, 0, 800, 600), quad(1, 100, 100, 200, 200)}, {2, 1}},
        {"partly outside the cover", {quad(1, 100, 100, 300, 300), quad(2, 0, 0, 250, 600)}, {1, 2}},
        {"one pixel outside the cover", {quad(1, 0, 0, 161, 160), quad(2, 0, 0, 160, 160)}, {1, 2}},
        {"under a quad with transparent texels", {quad(1, 100, 100, 200, 200), quad(2, 0, 0, 800, 600, false)}, {1, 2}},
        {"under a turned quad", {quad(1, 100, 100, 200, 200), turned}, {1, 9}},
        {"under an additive quad", {quad(1, 100, 100, 200, 200), additive}, {1, 9}},
        {"under a faded quad", {quad(1, 100, 100, 200, 200), faded}, {1, 9}},
        {"wholly off the screen", {quad(1, -300, 10, -100, 50), quad(2, 900, 0, 1000, 50), quad(3, 10, 700, 50, 800)},
         {}},
        {"partly on the screen", {quad(1, -300, 10, 1, 50), quad(2, 799, 599, 1000, 700)}, {1, 2}},
        {"hidden by two covers side by side", {quad(1, 300, 100, 500, 200), quad(2, 0, 0, 400, 600), quad(3, 400, 0, 800, 600)},
         {2, 3}},
    };
    for (const Case& c : cases) {
        DrawList list = c.list;
        cullHiddenQuads(list, 0, kViewWidth, kViewHeight);
        EXPECT_EQ(pagesOf(list), c.kept) << c.name;
    }
}

TEST(CullHiddenQuads, LeavesTheQuadsBeforeItsStartAlone) {
    DrawList list = {quad(1, -500, -500, -400, -400), quad(2, 100, 100, 200, 200), quad(3, 0, 0, 800, 600)};
    cullHiddenQuads(list, 1, kViewWidth, kViewHeight);
    EXPECT_EQ(pagesOf(list), (std::vector<int>{1, 3}));
}

}  // namespace
}  // namespace qs
