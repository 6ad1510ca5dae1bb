#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qs {

// The image kinds a sprite part may name, numbered as the loader has always numbered them.
enum class ImageKind { Unknown = 0, Png = 1, Bmp = 2, Jpeg = 3, Tga = 4 };

// The kind a path stands for, from its last four characters (".png", ".bmp", ".jpg", ".tga",
// any case). Anything else is Unknown and is not decoded.
ImageKind imageKindOf(const std::string& path);
const char* imageKindName(ImageKind kind);

// How the bytes of one pixel lie in DecodedImage::pixels. The tile cutter reads colour and
// alpha from these positions and nowhere else, so each decoder hands over its pixels in the
// order the game's art was made for.
enum class PixelLayout {
    Index8,  // one palette index
    Bgr24,   // blue, green, red
    Bgra32,  // blue, green, red, alpha (PNG with an alpha channel)
    Abgr32,  // alpha, blue, green, red (32-bit BMP: the game's art stores its alpha first)
};

int bytesPerPixel(PixelLayout layout);

struct DecodedImage {
    ImageKind kind = ImageKind::Unknown;
    int width = 0;
    int height = 0;
    bool hasAlpha = false;
    bool paletted = false;
    PixelLayout layout = PixelLayout::Bgr24;
    std::vector<uint8_t> palette;       // red, green, blue per entry (at most 256 entries)
    std::vector<uint8_t> paletteAlpha;  // alpha per entry when a paletted image has one
    std::vector<uint8_t> pixels;        // top row first, rows of width * bytesPerPixel bytes

    int paletteSize() const { return static_cast<int>(palette.size() / 3); }
    size_t rowBytes() const { return static_cast<size_t>(width) * bytesPerPixel(layout); }
    const uint8_t* row(int y) const { return pixels.data() + rowBytes() * static_cast<size_t>(y); }
};

// Sizes beyond these are refused before anything is allocated for the pixels.
inline constexpr int kMaxImageSide = 16384;
inline constexpr int64_t kMaxImagePixels = int64_t{8192} * 8192;

// Checks a claimed size against the limits; false with a reason when it is unusable.
bool checkImageSize(int64_t width, int64_t height, std::string& error);

// Each decoder reads an in-memory file and never reads outside [data, data + size).
// On failure the image is left empty and `error` says why.
bool decodePng(const uint8_t* data, size_t size, DecodedImage& image, std::string& error);
bool decodeJpeg(const uint8_t* data, size_t size, DecodedImage& image, std::string& error);
bool decodeBmp(const uint8_t* data, size_t size, DecodedImage& image, std::string& error);
bool decodeTga(const uint8_t* data, size_t size, DecodedImage& image, std::string& error);

bool decodeImage(ImageKind kind, const uint8_t* data, size_t size, DecodedImage& image,
                 std::string& error);
inline bool decodeImage(ImageKind kind, const std::string& file, DecodedImage& image,
                        std::string& error) {
    return decodeImage(kind, reinterpret_cast<const uint8_t*>(file.data()), file.size(), image,
                       error);
}

// One byte per pixel of an image used as a separate alpha mask: the index of a paletted or
// grey image, the first colour byte of any other.
std::vector<uint8_t> alphaMaskOf(const DecodedImage& image);

}  // namespace qs
