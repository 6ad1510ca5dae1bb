#pragma once

#include <cstdint>

namespace qs {

// One corner of a transformed, lit mesh triangle: screen pixels with the classic texel
// convention (pixel centres on whole numbers), colour 0xAARRGGBB that modulates the
// texture, texture coordinates with v = 0 at the top of the image.
struct ScreenVertex {
    float x = 0, y = 0;
    uint32_t color = 0xFFFFFFFF;
    float u = 0, v = 0;
};

}  // namespace qs
