#include <cstring>

#include "visual/byte_reader.h"
#include "visual/image_decoder.h"

namespace qs {

namespace {

constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionBitfields = 3;

}  // namespace

// Windows bitmaps as the game's art uses them: 8-bit paletted, 24-bit and 32-bit, stored
// bottom-up (or top-down with a negative height), rows padded to four bytes.
bool decodeBmp(const uint8_t* data, size_t size, DecodedImage& image, std::string& error) {
    ByteReader file(data, size);
    if (size < 18 || data[0] != 'B' || data[1] != 'M') {
        error = "not a BMP file";
        return false;
    }
    const uint32_t pixelOffset = file.u32(10);
    const uint32_t headerSize = file.u32(14);
    int64_t width = 0, height = 0;
    uint32_t bitCount = 0, compression = kCompressionNone, coloursUsed = 0;
    size_t paletteEntryBytes = 4;
    if (headerSize == 12) {
        if (!file.has(14, 12)) {
            error = "BMP header is cut short";
            return false;
        }
        width = file.u16(18);
        height = file.u16(20);
        bitCount = file.u16(24);
        paletteEntryBytes = 3;
    } else if (headerSize >= 40) {
        if (!file.has(14, headerSize)) {
            error = "BMP header is cut short";
            return false;
        }
        width = file.i32(18);
        height = file.i32(22);
        bitCount = file.u16(28);
        compression = file.u32(30);
        coloursUsed = file.u32(46);
    } else {
        error = "unknown BMP header size " + std::to_string(headerSize);
        return false;
    }

    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (!checkImageSize(width, height, error)) return false;
    if (bitCount != 8 && bitCount != 24 && bitCount != 32) {
        error = "BMP with " + std::to_string(bitCount) + " bits per pixel is not supported";
        return false;
    }
    if (compression != kCompressionNone &&
        !(compression == kCompressionBitfields && bitCount == 32)) {
        error = "compressed BMP (method " + std::to_string(compression) + ") is not supported";
        return false;
    }

    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    if (bitCount == 8) {
        const uint64_t entries = coloursUsed == 0 ? 256 : coloursUsed;
        if (entries > 256) {
            error = "BMP palette of " + std::to_string(entries) + " colours";
            return false;
        }
        const uint64_t paletteStart = 14 + uint64_t{headerSize};
        if (!file.has(paletteStart, entries * paletteEntryBytes)) {
            error = "BMP palette is cut short";
            return false;
        }
        image.palette.resize(entries * 3);
        for (uint64_t i = 0; i < entries; ++i) {
            const uint8_t* entry = data + paletteStart + i * paletteEntryBytes;
            image.palette[i * 3] = entry[2];  // stored blue, green, red
            image.palette[i * 3 + 1] = entry[1];
            image.palette[i * 3 + 2] = entry[0];
        }
        image.paletted = true;
        image.layout = PixelLayout::Index8;
    } else if (bitCount == 24) {
        image.layout = PixelLayout::Bgr24;
    } else {
        image.layout = PixelLayout::Abgr32;
        image.hasAlpha = true;
    }

    const size_t rowBytes = image.rowBytes();
    const uint64_t stride = (rowBytes + 3) / 4 * 4;
    // The last row need not carry its padding.
    if (!file.has(pixelOffset, stride * (height - 1) + rowBytes)) {
        error = "BMP pixels are cut short";
        image = DecodedImage{};
        return false;
    }
    image.pixels.resize(rowBytes * image.height);
    for (int y = 0; y < image.height; ++y) {
        const int sourceRow = topDown ? y : image.height - 1 - y;
        std::memcpy(image.pixels.data() + rowBytes * y, data + pixelOffset + stride * sourceRow,
                    rowBytes);
    }
    return true;
}

}  // namespace qs
