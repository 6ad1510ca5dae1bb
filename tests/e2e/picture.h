#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

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

namespace qs::test {

// Brightness (the sum of the three channels) of a picture scaled to width x height by
// bilinear filtering, pixel centres on pixel centres, as an image library scales it.
inline std::vector<int> scaledBrightness(const Picture& picture, int width, int height) {
    std::vector<int> out(static_cast<size_t>(width) * height);
    const double sx = static_cast<double>(picture.width()) / width, sy = static_cast<double>(picture.height()) / height;
    for (int y = 0; y < height; ++y) {
        const double fy = std::clamp((y + 0.5) * sy - 0.5, 0.0, picture.height() - 1.0);
        const int y0 = static_cast<int>(fy), y1 = std::min(y0 + 1, picture.height() - 1);
        for (int x = 0; x < width; ++x) {
            const double fx = std::clamp((x + 0.5) * sx - 0.5, 0.0, picture.width() - 1.0);
            const int x0 = static_cast<int>(fx), x1 = std::min(x0 + 1, picture.width() - 1);
            const double ax = fx - x0, ay = fy - y0;
            const double top = picture.brightness(x0, y0) * (1 - ax) + picture.brightness(x1, y0) * ax;
            const double bottom = picture.brightness(x0, y1) * (1 - ax) + picture.brightness(x1, y1) * ax;
            out[static_cast<size_t>(y) * width + x] = static_cast<int>(std::lround(top * (1 - ay) + bottom * ay));
        }
    }
    return out;
}

inline std::vector<int> brightnessOf(const Picture& picture) {
    std::vector<int> out;
    out.reserve(static_cast<size_t>(picture.width()) * picture.height());
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) out.push_back(picture.brightness(x, y));
    return out;
}

// The rows (and, as `columns`, the columns) of a width x height brightness map in which more
// than a part `share` of the pixels are clearly darker than both their neighbours across the
// line: the thin dark lines that run across a picture.
struct DarkLines {
    std::vector<int> rows, columns;
};

inline DarkLines darkLines(const std::vector<int>& b, int width, int height, double share = 1.0 / 3) {
    constexpr int kMargin = 18;  // the three channels together
    DarkLines lines;
    auto at = [&](int x, int y) { return b[static_cast<size_t>(y) * width + x]; };
    for (int y = 1; y + 1 < height; ++y) {
        int dark = 0;
        for (int x = 0; x < width; ++x)
            dark += at(x, y) + kMargin < at(x, y - 1) && at(x, y) + kMargin < at(x, y + 1);
        if (dark > share * width) lines.rows.push_back(y);
    }
    for (int x = 1; x + 1 < width; ++x) {
        int dark = 0;
        for (int y = 0; y < height; ++y)
            dark += at(x, y) + kMargin < at(x - 1, y) && at(x, y) + kMargin < at(x + 1, y);
        if (dark > share * height) lines.columns.push_back(x);
    }
    return lines;
}

}  // namespace qs::test
