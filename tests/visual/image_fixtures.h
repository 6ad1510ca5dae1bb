#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qs::test {

// Small image files made in memory, so each decoder test shows the bytes it reads.

// PNG through libpng. `colorType` is a PNG_COLOR_TYPE_*; `rows` holds the pixels as libpng
// takes them (RGB, RGBA, grey, grey+alpha or palette indices), top row first.
// `palette` is RGB triplets, `transparency` one alpha per palette entry (may be empty).
std::string makePng(int width, int height, int colorType, const std::vector<uint8_t>& pixels,
                    const std::vector<uint8_t>& palette = {},
                    const std::vector<uint8_t>& transparency = {}, int bitDepth = 8);

// JPEG through libjpeg from RGB pixels, at the best quality.
std::string makeJpeg(int width, int height, const std::vector<uint8_t>& rgb);

// BMP with a 40-byte header. `pixels` are the stored bytes of each pixel, top row first
// (index, B G R, or the four bytes of a 32-bit pixel); rows are padded and stored
// bottom-up unless `topDown`. `palette` is B G R x quadruples.
std::string makeBmp(int width, int height, int bits, const std::vector<uint8_t>& pixels,
                    const std::vector<uint8_t>& palette = {}, bool topDown = false);

// TGA of image type 1, 2, 3 (raw) or 9, 10, 11 (run-length: each pixel written as a raw
// packet of one, except runs of equal pixels which become run packets). `pixels` are the
// stored bytes, top row first; rows are written bottom-up unless `topFirst`.
// `colourMap` holds entries of `mapBits` bits.
std::string makeTga(int type, int width, int height, int depth, const std::vector<uint8_t>& pixels,
                    const std::vector<uint8_t>& colourMap = {}, int mapBits = 24,
                    bool topFirst = false, int mapFirst = 0);

// An RGBA PNG filled by f(x, y) -> 0xAARRGGBB.
template <typename F>
std::string makeRgbaPng(int width, int height, F f) {
    std::vector<uint8_t> pixels;
    pixels.reserve(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t argb = f(x, y);
            pixels.push_back(static_cast<uint8_t>(argb >> 16));
            pixels.push_back(static_cast<uint8_t>(argb >> 8));
            pixels.push_back(static_cast<uint8_t>(argb));
            pixels.push_back(static_cast<uint8_t>(argb >> 24));
        }
    }
    return makePng(width, height, 6, pixels);
}

}  // namespace qs::test
