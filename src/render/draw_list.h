#pragma once

#include <cstdint>
#include <vector>

namespace qs {

// One corner of a drawn tile, pre-lit, in screen pixels with the classic -0.5 texel shift.
struct DrawVertex {
    float x = 0, y = 0, z = 0, rhw = 1;
    uint32_t color = 0xFFFFFFFF;  // 0xAARRGGBB
    uint32_t specular = 0;
    float u = 0, v = 0;
};

// One tile to draw: a texel rectangle of one page, its corners in triangle-strip order
// (top-left, top-right, bottom-left, bottom-right of the texture rectangle).
struct DrawQuad {
    int page = -1;
    DrawVertex v[4];
    uint8_t filter = 0;     // 0 point, 1 bilinear
    uint8_t alphaMode = 0;  // 0 alpha blending, otherwise additive
    // Every texel shown is opaque and the quad is drawn at full alpha with alpha blending:
    // a device may copy the texels instead of blending them (the picture is the same).
    bool opaque = false;
    double angle = 0;       // radians, about (centreX, centreY)
    double centreX = 0, centreY = 0;
};

// The quads of one frame, filled by the sprite engine's draw pass and emptied by the render pass.
using DrawList = std::vector<DrawQuad>;

}  // namespace qs
