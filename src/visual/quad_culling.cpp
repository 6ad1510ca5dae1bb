#include "visual/quad_culling.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace qs {

namespace {

constexpr int kCell = 16;

struct Box {
    float x0, y0, x1, y1;
};

Box boundsOf(const DrawQuad& q) {
    Box b{q.v[0].x, q.v[0].y, q.v[0].x, q.v[0].y};
    for (const DrawVertex& v : q.v) {
        b.x0 = std::min(b.x0, v.x);
        b.y0 = std::min(b.y0, v.y);
        b.x1 = std::max(b.x1, v.x);
        b.y1 = std::max(b.y1, v.y);
    }
    if (q.angle != 0) {
        // Turned about its centre, the quad stays inside the circle through its farthest corner.
        double r = 0;
        for (const DrawVertex& v : q.v) r = std::max(r, std::hypot(v.x - q.centreX, v.y - q.centreY));
        const float cx = static_cast<float>(q.centreX), cy = static_cast<float>(q.centreY), rf = static_cast<float>(r);
        b = {cx - rf, cy - rf, cx + rf, cy + rf};
    }
    return b;
}

// An opaque quad that fills its whole box: unrotated, its corners on the box's corners.
bool coversItsBox(const DrawQuad& q, const Box& b) {
    if (!q.opaque || q.angle != 0 || q.alphaMode != 0) return false;
    for (const DrawVertex& v : q.v) {
        if ((v.x != b.x0 && v.x != b.x1) || (v.y != b.y0 && v.y != b.y1)) return false;
        if ((v.color >> 24) != 0xFF) return false;
    }
    return true;
}

}  // namespace

void cullHiddenQuads(DrawList& list, std::size_t from, int screenWidth, int screenHeight) {
    // One 64-bit mask holds a cell row of a screen up to 1024 pixels wide; a wider one is drawn whole.
    if (from >= list.size() || screenWidth <= 0 || screenHeight <= 0 || screenWidth > 64 * kCell) return;
    const int columns = (screenWidth + kCell - 1) / kCell;
    const int rows = (screenHeight + kCell - 1) / kCell;
    std::vector<uint64_t> covered(static_cast<std::size_t>(rows), 0);
    std::vector<bool> keep(list.size() - from, true);

    for (std::size_t i = list.size(); i-- > from;) {
        const DrawQuad& q = list[i];
        const Box b = boundsOf(q);
        // A pixel shows a quad when its centre lies inside; one pixel of margin on each side.
        if (b.x1 < -1 || b.y1 < -1 || b.x0 > screenWidth + 1 || b.y0 > screenHeight + 1) {
            keep[i - from] = false;
            continue;
        }
        const int c0 = std::clamp(static_cast<int>(std::floor((b.x0 - 1) / kCell)), 0, columns - 1);
        const int c1 = std::clamp(static_cast<int>(std::floor((b.x1 + 1) / kCell)), 0, columns - 1);
        const int r0 = std::clamp(static_cast<int>(std::floor((b.y0 - 1) / kCell)), 0, rows - 1);
        const int r1 = std::clamp(static_cast<int>(std::floor((b.y1 + 1) / kCell)), 0, rows - 1);
        const uint64_t touched = (c1 - c0 == 63 ? ~uint64_t{0} : ((uint64_t{1} << (c1 - c0 + 1)) - 1)) << c0;
        bool hidden = true;
        for (int r = r0; r <= r1 && hidden; ++r) hidden = (covered[r] & touched) == touched;
        if (hidden) {
            keep[i - from] = false;
            continue;
        }
        if (!coversItsBox(q, b)) continue;
        // The cells wholly inside the quad: the centre of pixel p lies at p here, and every
        // pixel of the cell must be half a pixel inside the quad's edges.
        const int f0 = static_cast<int>(std::ceil((b.x0 + 0.5f) / kCell));
        const int f1 = static_cast<int>(std::floor((b.x1 - (kCell - 0.5f)) / kCell));
        const int g0 = static_cast<int>(std::ceil((b.y0 + 0.5f) / kCell));
        const int g1 = static_cast<int>(std::floor((b.y1 - (kCell - 0.5f)) / kCell));
        const int fc0 = std::max(f0, 0), fc1 = std::min(f1, columns - 1);
        const int gr0 = std::max(g0, 0), gr1 = std::min(g1, rows - 1);
        if (fc0 > fc1 || gr0 > gr1) continue;
        const uint64_t filled = (fc1 - fc0 == 63 ? ~uint64_t{0} : ((uint64_t{1} << (fc1 - fc0 + 1)) - 1)) << fc0;
        for (int r = gr0; r <= gr1; ++r) covered[r] |= filled;
    }

    std::size_t out = from;
    for (std::size_t i = from; i < list.size(); ++i)
        if (keep[i - from]) list[out++] = list[i];
    list.resize(out);
}

}  // namespace qs
