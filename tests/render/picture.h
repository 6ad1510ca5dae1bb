#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "test_support.h"
#include "visual/image_decoder.h"

namespace qs::test {

// A PNG read back as red, green, blue bytes, for comparing pictures with a reference.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    const uint8_t* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

inline Picture readPicture(const std::filesystem::path& path) {
    Picture picture;
    std::string bytes = readFile(path);
    DecodedImage image;
    std::string error;
    if (!decodePng(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), image, error))
        return picture;
    picture.width = image.width;
    picture.height = image.height;
    const int bpp = bytesPerPixel(image.layout);
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* row = image.row(y);
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p = row + x * bpp;  // blue, green, red first
            picture.rgb.insert(picture.rgb.end(), {p[2], p[1], p[0]});
        }
    }
    return picture;
}

// Pixels of which some channel differs by more than `tolerance` (renderers round edge pixels
// differently). Pictures of different sizes differ everywhere.
inline size_t differentPixels(const Picture& a, const Picture& b, int tolerance = 24) {
    if (a.width != b.width || a.height != b.height) return static_cast<size_t>(-1);
    size_t different = 0;
    for (size_t i = 0; i < a.rgb.size(); i += 3) {
        for (int c = 0; c < 3; ++c) {
            if (std::abs(a.rgb[i + c] - b.rgb[i + c]) > tolerance) {
                ++different;
                break;
            }
        }
    }
    return different;
}

}  // namespace qs::test
