#include "visual/image_decoder.h"

#include <cstdlib>

#include <gtest/gtest.h>
#include <png.h>

#include "image_fixtures.h"
#include "visual/tile_cutter.h"

namespace qs {
namespace {

using test::makeBmp;
using test::makeJpeg;
using test::makePng;
using test::makeTga;

// A 3 x 2 picture with a distinct colour per pixel, so a flipped row, a swapped channel or a
// lost row padding shows as a wrong value.
//   red    green  blue
//   102030 white  black
const uint32_t kColours[6] = {0xFF0000, 0x00FF00, 0x0000FF, 0x102030, 0xFFFFFF, 0x000000};

std::vector<uint8_t> rgbBytes() {
    std::vector<uint8_t> out;
    for (uint32_t c : kColours) {
        out.push_back(static_cast<uint8_t>(c >> 16));
        out.push_back(static_cast<uint8_t>(c >> 8));
        out.push_back(static_cast<uint8_t>(c));
    }
    return out;
}

std::vector<uint8_t> bgrBytes() {
    std::vector<uint8_t> out;
    for (uint32_t c : kColours) {
        out.push_back(static_cast<uint8_t>(c));
        out.push_back(static_cast<uint8_t>(c >> 8));
        out.push_back(static_cast<uint8_t>(c >> 16));
    }
    return out;
}

std::vector<uint32_t> opaque() {
    std::vector<uint32_t> out;
    for (uint32_t c : kColours) out.push_back(0xFF000000u | c);
    return out;
}

// The A8R8G8B8 values the tile cutter makes of every pixel, top row first.
std::vector<uint32_t> converted(const DecodedImage& image) {
    std::vector<uint32_t> out(static_cast<size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y)
        convertPixels(image, nullptr, 0, y, image.width, out.data() + y * image.width);
    return out;
}

struct DecodeCase {
    const char* name;
    ImageKind kind;
    std::string file;
    bool hasAlpha;
    bool paletted;
    std::vector<uint32_t> expected;
};

std::vector<DecodeCase> decodeCases() {
    std::vector<DecodeCase> cases;
    const std::vector<uint8_t> rgb = rgbBytes(), bgr = bgrBytes();
    // Palette of the six colours in order; indices 0..5.
    std::vector<uint8_t> indices = {0, 1, 2, 3, 4, 5};
    std::vector<uint8_t> bmpPalette;
    for (uint32_t c : kColours) {
        bmpPalette.push_back(static_cast<uint8_t>(c));
        bmpPalette.push_back(static_cast<uint8_t>(c >> 8));
        bmpPalette.push_back(static_cast<uint8_t>(c >> 16));
        bmpPalette.push_back(0);
    }

    cases.push_back({"png rgb", ImageKind::Png, makePng(3, 2, PNG_COLOR_TYPE_RGB, rgb), false,
                     false, opaque()});
    {
        std::vector<uint8_t> rgba;
        const uint8_t alphas[6] = {255, 128, 0, 1, 255, 0};
        for (int i = 0; i < 6; ++i) {
            rgba.insert(rgba.end(), rgb.begin() + i * 3, rgb.begin() + i * 3 + 3);
            rgba.push_back(alphas[i]);
        }
        // A pixel with alpha 0 keeps no colour.
        cases.push_back({"png rgba", ImageKind::Png, makePng(3, 2, PNG_COLOR_TYPE_RGBA, rgba),
                         true, false,
                         {0xFFFF0000, 0x8000FF00, 0, 0x01102030, 0xFFFFFFFF, 0}});
    }
    cases.push_back({"png palette", ImageKind::Png,
                     makePng(3, 2, PNG_COLOR_TYPE_PALETTE, indices, rgb), false, true, opaque()});
    cases.push_back({"png palette with transparency", ImageKind::Png,
                     makePng(3, 2, PNG_COLOR_TYPE_PALETTE, indices, rgb, {0, 64}), true, true,
                     {0x00FF0000, 0x4000FF00, 0xFF0000FF, 0xFF102030, 0xFFFFFFFF, 0xFF000000}});
    // Four-bit indices, two per byte, rows padded to a byte.
    cases.push_back({"png 4-bit palette", ImageKind::Png,
                     makePng(3, 2, PNG_COLOR_TYPE_PALETTE, {0x01, 0x20, 0x34, 0x50}, rgb, {}, 4),
                     false, true, opaque()});
    cases.push_back({"png grey", ImageKind::Png,
                     makePng(3, 2, PNG_COLOR_TYPE_GRAY, {0, 0x40, 0x80, 0xC0, 0xFF, 0x10}), false,
                     false,
                     {0xFF000000, 0xFF404040, 0xFF808080, 0xFFC0C0C0, 0xFFFFFFFF, 0xFF101010}});
    cases.push_back({"png grey alpha", ImageKind::Png,
                     makePng(3, 2, PNG_COLOR_TYPE_GRAY_ALPHA,
                             {0x40, 255, 0x80, 0, 0xFF, 10, 0, 0, 0, 0, 0x20, 0x20}),
                     true, false, {0xFF404040, 0, 0x0AFFFFFF, 0, 0, 0x20202020}});

    cases.push_back({"bmp 24-bit bottom-up", ImageKind::Bmp, makeBmp(3, 2, 24, bgr), false, false,
                     opaque()});
    cases.push_back({"bmp 24-bit top-down", ImageKind::Bmp, makeBmp(3, 2, 24, bgr, {}, true),
                     false, false, opaque()});
    cases.push_back({"bmp 8-bit", ImageKind::Bmp, makeBmp(3, 2, 8, indices, bmpPalette), false,
                     true, opaque()});
    {
        // 32-bit pixels are read as alpha, blue, green, red.
        std::vector<uint8_t> abgr;
        const uint8_t alphas[6] = {255, 0x80, 0, 255, 1, 255};
        for (int i = 0; i < 6; ++i) {
            abgr.push_back(alphas[i]);
            abgr.insert(abgr.end(), bgr.begin() + i * 3, bgr.begin() + i * 3 + 3);
        }
        cases.push_back({"bmp 32-bit", ImageKind::Bmp, makeBmp(3, 2, 32, abgr), true, false,
                         {0xFFFF0000, 0x8000FF00, 0, 0xFF102030, 0x01FFFFFF, 0xFF000000}});
    }

    cases.push_back({"tga 24-bit bottom-up", ImageKind::Tga, makeTga(2, 3, 2, 24, bgr), false,
                     false, opaque()});
    cases.push_back({"tga 24-bit top-first", ImageKind::Tga,
                     makeTga(2, 3, 2, 24, bgr, {}, 24, true), false, false, opaque()});
    {
        // A TGA never gives alpha: the fourth byte is dropped.
        std::vector<uint8_t> bgra;
        for (int i = 0; i < 6; ++i) {
            bgra.insert(bgra.end(), bgr.begin() + i * 3, bgr.begin() + i * 3 + 3);
            bgra.push_back(0);
        }
        cases.push_back({"tga 32-bit", ImageKind::Tga, makeTga(2, 3, 2, 32, bgra), false, false,
                         opaque()});
        cases.push_back({"tga 32-bit rle", ImageKind::Tga, makeTga(10, 3, 2, 32, bgra), false,
                         false, opaque()});
    }
    {
        // 5 bits per channel: x rrrrr ggggg bbbbb.
        std::vector<uint8_t> p16 = {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00,
                                    0x00, 0x00, 0xFF, 0x7F, 0x00, 0x00};
        cases.push_back({"tga 16-bit", ImageKind::Tga, makeTga(2, 3, 2, 16, p16), false, false,
                         {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF000000, 0xFFFFFFFF,
                          0xFF000000}});
    }
    cases.push_back({"tga 24-bit rle", ImageKind::Tga, makeTga(10, 3, 2, 24, bgr), false, false,
                     opaque()});
    {
        // Runs and raw packets in one file, crossing the row boundary.
        std::vector<uint8_t> same = {1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3, 9, 9, 9, 8, 8, 8};
        cases.push_back({"tga rle runs", ImageKind::Tga, makeTga(10, 3, 2, 24, same), false,
                         false,
                         {0xFF030201, 0xFF030201, 0xFF030201, 0xFF030201, 0xFF090909,
                          0xFF080808}});
    }
    {
        std::vector<uint8_t> map = bgr;  // colour map entries are stored blue, green, red
        cases.push_back({"tga colour-mapped", ImageKind::Tga, makeTga(1, 3, 2, 8, indices, map),
                         false, true, opaque()});
        cases.push_back({"tga colour-mapped rle", ImageKind::Tga,
                         makeTga(9, 3, 2, 8, indices, map), false, true, opaque()});
        // Indices count from the map's first entry index; what lies beyond the map is
        // transparent, what lies below its first entry black.
        cases.push_back({"tga colour map from entry 2", ImageKind::Tga,
                         makeTga(1, 3, 2, 8, {2, 3, 7, 8, 0, 1}, map, 24, false, 2), false, true,
                         {0xFFFF0000, 0xFF00FF00, 0xFF000000, 0, 0xFF000000, 0xFF000000}});
    }
    cases.push_back({"tga grey", ImageKind::Tga, makeTga(3, 3, 2, 8, {0, 0x40, 0x80, 1, 2, 255}),
                     false, true,
                     {0xFF000000, 0xFF404040, 0xFF808080, 0xFF010101, 0xFF020202, 0xFFFFFFFF}});
    cases.push_back({"tga grey rle", ImageKind::Tga, makeTga(11, 3, 2, 8, {5, 5, 5, 5, 6, 7}),
                     false, true,
                     {0xFF050505, 0xFF050505, 0xFF050505, 0xFF050505, 0xFF060606, 0xFF070707}});
    return cases;
}

TEST(ImageDecoder, EachFormatAndModeGivesThePixelsInTheLoadersChannelOrder) {
    for (const DecodeCase& c : decodeCases()) {
        SCOPED_TRACE(c.name);
        DecodedImage image;
        std::string error;
        ASSERT_TRUE(decodeImage(c.kind, c.file, image, error)) << error;
        EXPECT_EQ(image.kind, c.kind);
        EXPECT_EQ(image.width, 3);
        EXPECT_EQ(image.height, 2);
        EXPECT_EQ(image.hasAlpha, c.hasAlpha);
        EXPECT_EQ(image.paletted, c.paletted);
        std::vector<uint32_t> pixels = converted(image);
        for (size_t i = 0; i < c.expected.size(); ++i)
            EXPECT_EQ(pixels[i], c.expected[i]) << "pixel " << i << std::hex << " got 0x"
                                                << pixels[i] << " want 0x" << c.expected[i];
    }
}

TEST(ImageDecoder, JpegBecomesOpaque24BitPixels) {
    // Flat 16 x 16 blocks (a whole colour block each after chroma subsampling) survive
    // compression at full quality within a few steps, away from their edges.
    auto colourAt = [](int x, int y) { return (x < 16) == (y < 16) ? 0xC04020u : 0x2080E0u; };
    std::vector<uint8_t> rgb;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const uint32_t c = colourAt(x, y);
            rgb.push_back(static_cast<uint8_t>(c >> 16));
            rgb.push_back(static_cast<uint8_t>(c >> 8));
            rgb.push_back(static_cast<uint8_t>(c));
        }
    DecodedImage image;
    std::string error;
    ASSERT_TRUE(decodeImage(ImageKind::Jpeg, makeJpeg(32, 32, rgb), image, error)) << error;
    EXPECT_EQ(image.layout, PixelLayout::Bgr24);
    EXPECT_FALSE(image.hasAlpha);
    EXPECT_FALSE(image.paletted);
    std::vector<uint32_t> pixels = converted(image);
    for (auto [x, y] : {std::pair{4, 4}, {27, 4}, {4, 27}, {27, 27}, {10, 20}}) {
        const uint32_t got = pixels[y * 32 + x], want = colourAt(x, y);
        EXPECT_EQ(got >> 24, 0xFFu);
        for (int shift : {0, 8, 16})
            EXPECT_NEAR(static_cast<int>((got >> shift) & 0xFF),
                        static_cast<int>((want >> shift) & 0xFF), 6)
                << "pixel " << x << ", " << y;
    }
}

TEST(ImageDecoder, EveryCutShortFileFailsWithAReason) {
    // Widths of four leave no row padding, so every byte of these files is needed.
    std::vector<uint8_t> bgr(4 * 3 * 3), index(4 * 3);
    for (size_t i = 0; i < bgr.size(); ++i) bgr[i] = static_cast<uint8_t>(i * 7);
    for (size_t i = 0; i < index.size(); ++i) index[i] = static_cast<uint8_t>(i % 2);
    std::vector<uint8_t> rgba(4 * 3 * 4, 0x7F), jpegRgb(16 * 16 * 3);
    for (size_t i = 0; i < jpegRgb.size(); ++i) jpegRgb[i] = static_cast<uint8_t>(i * 31);
    const std::vector<uint8_t> palette = {1, 2, 3, 0, 4, 5, 6, 0};
    struct Whole {
        const char* name;
        ImageKind kind;
        std::string file;
    };
    const Whole files[] = {
        {"png", ImageKind::Png, makePng(4, 3, PNG_COLOR_TYPE_RGBA, rgba)},
        {"jpeg", ImageKind::Jpeg, makeJpeg(16, 16, jpegRgb)},
        {"bmp 24", ImageKind::Bmp, makeBmp(4, 3, 24, bgr)},
        {"bmp 8", ImageKind::Bmp, makeBmp(4, 3, 8, index, palette)},
        {"tga", ImageKind::Tga, makeTga(2, 4, 3, 24, bgr)},
        {"tga rle", ImageKind::Tga, makeTga(10, 4, 3, 24, bgr)},
        {"tga mapped", ImageKind::Tga, makeTga(1, 4, 3, 8, index, {1, 2, 3, 4, 5, 6})},
    };
    for (const Whole& whole : files) {
        SCOPED_TRACE(whole.name);
        DecodedImage image;
        std::string error;
        ASSERT_TRUE(decodeImage(whole.kind, whole.file, image, error)) << error;
        for (size_t length = 0; length < whole.file.size(); ++length) {
            // A copy of exactly `length` bytes, so a read beyond it is a read beyond the heap
            // block (and caught by the address sanitizer when it runs).
            std::vector<uint8_t> cut(whole.file.begin(), whole.file.begin() + length);
            error.clear();
            EXPECT_FALSE(decodeImage(whole.kind, cut.data(), cut.size(), image, error))
                << "cut to " << length << " bytes";
            EXPECT_FALSE(error.empty()) << "cut to " << length << " bytes";
            EXPECT_EQ(image.width, 0);
            EXPECT_TRUE(image.pixels.empty());
        }
    }
}

void putU16(std::string& file, size_t at, unsigned value) {
    file[at] = static_cast<char>(value & 0xFF);
    file[at + 1] = static_cast<char>(value >> 8);
}

void putU32(std::string& file, size_t at, uint32_t value) {
    putU16(file, at, value & 0xFFFF);
    putU16(file, at + 2, value >> 16);
}

TEST(ImageDecoder, HostileHeadersAreRefusedBeforeAnythingIsAllocated) {
    std::vector<uint8_t> bgr(4 * 3 * 3, 1), index(4 * 3, 0);
    struct Hostile {
        const char* name;
        ImageKind kind;
        std::string file;
        const char* reason;  // part of the error text
    };
    std::vector<Hostile> cases;
    {
        std::string f = makeBmp(4, 3, 24, bgr);
        putU32(f, 18, 100000);
        cases.push_back({"bmp too wide", ImageKind::Bmp, f, "limit"});
    }
    {
        std::string f = makeBmp(4, 3, 24, bgr);
        putU32(f, 18, 0);
        cases.push_back({"bmp of width 0", ImageKind::Bmp, f, "empty"});
    }
    {
        std::string f = makeBmp(4, 3, 24, bgr);
        putU32(f, 18, 8000);  // within the limit, but far more than the file holds
        putU32(f, 22, 8000);
        cases.push_back({"bmp larger than its file", ImageKind::Bmp, f, "cut short"});
    }
    {
        std::string f = makeBmp(4, 3, 24, bgr);
        putU32(f, 10, 0xFFFFFFF0u);  // pixel offset far beyond the file
        cases.push_back({"bmp pixel offset", ImageKind::Bmp, f, "cut short"});
    }
    {
        std::string f = makeBmp(4, 3, 8, index, {0, 0, 0, 0});
        putU32(f, 46, 5000);
        cases.push_back({"bmp palette of 5000", ImageKind::Bmp, f, "palette"});
    }
    {
        std::string f = makeBmp(4, 3, 24, bgr);
        putU16(f, 28, 16);
        cases.push_back({"bmp 16-bit", ImageKind::Bmp, f, "16 bits"});
    }
    {
        std::string f = makeBmp(4, 3, 8, index, {0, 0, 0, 0});
        putU32(f, 30, 1);
        cases.push_back({"bmp rle8", ImageKind::Bmp, f, "compressed"});
    }
    {
        std::string f = makeTga(10, 4, 3, 24, bgr);
        putU16(f, 12, 8000);
        putU16(f, 14, 8000);
        cases.push_back({"tga rle larger than its file", ImageKind::Tga, f, "cut short"});
    }
    {
        std::string f = makeTga(2, 4, 3, 24, bgr);
        f[2] = 7;
        cases.push_back({"tga type 7", ImageKind::Tga, f, "type 7"});
    }
    {
        std::string f = makeTga(1, 4, 3, 8, index, {1, 2, 3});
        putU16(f, 5, 60000);  // a colour map longer than the file
        cases.push_back({"tga colour map", ImageKind::Tga, f, "colour map"});
    }
    {
        std::string f = makePng(4, 3, PNG_COLOR_TYPE_RGB, bgr);
        cases.push_back({"not a png", ImageKind::Png, "GIF89a" + f, "not a PNG"});
        cases.push_back({"png named jpeg", ImageKind::Jpeg, f, "not a JPEG"});
    }
    for (const Hostile& c : cases) {
        SCOPED_TRACE(c.name);
        DecodedImage image;
        std::string error;
        EXPECT_FALSE(decodeImage(c.kind, c.file, image, error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
}

TEST(ImageDecoder, KindComesFromTheLastFourCharacters) {
    EXPECT_EQ(imageKindOf("graphics\\a.PNG"), ImageKind::Png);
    EXPECT_EQ(imageKindOf("a.bmp"), ImageKind::Bmp);
    EXPECT_EQ(imageKindOf("a.jpg"), ImageKind::Jpeg);
    EXPECT_EQ(imageKindOf("a.tga"), ImageKind::Tga);
    EXPECT_EQ(imageKindOf("a.jpeg"), ImageKind::Unknown);
    EXPECT_EQ(imageKindOf("a.gif"), ImageKind::Unknown);
    EXPECT_EQ(imageKindOf("png"), ImageKind::Unknown);
}

TEST(ImageDecoder, SixteenBitPixelsKeepTheHighFourBitsOfEachChannel) {
    EXPECT_EQ(toA4R4G4B4(0x80FF8040), 0x8F84);
    EXPECT_EQ(toA4R4G4B4(0x0FFFFFFF), 0x0FFF);
    EXPECT_EQ(toA4R4G4B4(0xFF000000), 0xF000);
}

}  // namespace
}  // namespace qs
