#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qs {

// Writes 0xAARRGGBB pixels, row by row, as an 8-bit RGBA PNG (alpha dropped when opaque).
bool writePng(const std::string& path, int width, int height, const std::vector<uint32_t>& argb,
              std::string* error);

}  // namespace qs
