#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "test_support.h"
#include "visual/image_decoder.h"

namespace qs::test {

// A screenshot read back for looking at its pixels.
struct Picture {
    DecodedImage image;

    int width() const { return image.width; }
    int height() const { return image.height; }
    bool empty() const { return image.width == 0; }

    // Red, green or blue (channel 0, 1, 2) of a pixel.
    int channel(int x, int y, int c) const {
        const uint8_t* p = image.row(y) + static_cast<size_t>(x) * bytesPerPixel(image.layout);
        return p[2 - c];  // decoded pixels lie blue, green, red
    }
    int brightness(int x, int y) const { return channel(x, y, 0) + channel(x, y, 1) + channel(x, y, 2); }
};

inline Picture loadPicture(const std::filesystem::path& path) {
    Picture picture;
    const std::string file = readFile(path);
    std::string error;
    decodePng(reinterpret_cast<const uint8_t*>(file.data()), file.size(), picture.image, error);
    return picture;
}

// Mean difference of the three channels over the square of side 2r + 1 around (x, y).
inline double patchDifference(const Picture& a, const Picture& b, int x, int y, int r = 3) {
    double sum = 0;
    int n = 0;
    for (int py = y - r; py <= y + r; ++py)
        for (int px = x - r; px <= x + r; ++px)
            for (int c = 0; c < 3; ++c, ++n) sum += std::abs(a.channel(px, py, c) - b.channel(px, py, c));
    return n ? sum / n : 0;
}

}  // namespace qs::test
