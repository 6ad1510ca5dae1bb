#include <algorithm>
#include <cstring>

#include "visual/byte_reader.h"
#include "visual/image_decoder.h"

namespace qs {

namespace {

constexpr int kHeaderSize = 18;

enum TgaType : uint8_t {
    kColourMapped = 1,
    kTrueColour = 2,
    kGrey = 3,
    kColourMappedRle = 9,
    kTrueColourRle = 10,
    kGreyRle = 11,
};

// A 15/16-bit entry holds 5 bits per channel: x rrrrr ggggg bbbbb.
void expand555(uint16_t value, uint8_t* bgr) {
    auto widen = [](unsigned five) { return static_cast<uint8_t>((five << 3) | (five >> 2)); };
    bgr[0] = widen(value & 31);
    bgr[1] = widen((value >> 5) & 31);
    bgr[2] = widen((value >> 10) & 31);
}

// Turns one stored pixel into the decoded layout: an index byte, or blue, green, red.
void storePixel(const uint8_t* source, int sourceBytes, bool indexed, uint8_t* target) {
    if (indexed) {
        target[0] = source[0];
    } else if (sourceBytes == 2) {
        expand555(static_cast<uint16_t>(source[0] | source[1] << 8), target);
    } else {
        // 24 and 32 bits are stored blue, green, red (and a fourth byte the game never uses).
        target[0] = source[0];
        target[1] = source[1];
        target[2] = source[2];
    }
}

}  // namespace

// Truevision images: true-colour (15, 16, 24, 32 bits), colour-mapped and grey (8-bit
// indices), raw or run-length encoded. The game reads no alpha from them; a grey image is a
// palette of greys, which also makes it a ready alpha mask.
bool decodeTga(const uint8_t* data, size_t size, DecodedImage& image, std::string& error) {
    ByteReader file(data, size);
    if (size < kHeaderSize) {
        error = "TGA header is cut short";
        return false;
    }
    const uint8_t idLength = file.u8(0);
    const uint8_t mapType = file.u8(1);
    const uint8_t type = file.u8(2);
    const uint16_t mapFirst = file.u16(3);
    const uint16_t mapLength = file.u16(5);
    const uint8_t mapEntryBits = file.u8(7);
    const int width = file.u16(12);
    const int height = file.u16(14);
    const uint8_t depth = file.u8(16);
    const uint8_t descriptor = file.u8(17);

    const bool rle = type == kColourMappedRle || type == kTrueColourRle || type == kGreyRle;
    const uint8_t baseType = rle ? static_cast<uint8_t>(type - 8) : type;
    if (baseType != kColourMapped && baseType != kTrueColour && baseType != kGrey) {
        error = "TGA image type " + std::to_string(type) + " is not supported";
        return false;
    }
    if (!checkImageSize(width, height, error)) return false;
    if (mapType > 1) {
        error = "TGA colour map type " + std::to_string(mapType) + " is not supported";
        return false;
    }
    const int mapEntryBytes = (mapEntryBits + 7) / 8;
    if (mapType == 1 && mapEntryBits != 15 && mapEntryBits != 16 && mapEntryBits != 24 &&
        mapEntryBits != 32) {
        error = "TGA colour map entries of " + std::to_string(mapEntryBits) + " bits";
        return false;
    }

    const bool indexed = baseType != kTrueColour;
    if (indexed && depth != 8) {
        error = "TGA " + std::string(baseType == kGrey ? "grey" : "colour-mapped") +
                " image with " + std::to_string(depth) + " bits per pixel is not supported";
        return false;
    }
    if (!indexed && depth != 15 && depth != 16 && depth != 24 && depth != 32) {
        error = "TGA true-colour image with " + std::to_string(depth) + " bits per pixel";
        return false;
    }
    if (baseType == kColourMapped && mapType != 1) {
        error = "TGA colour-mapped image without a colour map";
        return false;
    }

    uint64_t offset = kHeaderSize + uint64_t{idLength};
    const uint64_t mapBytes = mapType == 1 ? uint64_t{mapLength} * mapEntryBytes : 0;
    if (!file.has(offset, mapBytes)) {
        error = "TGA colour map is cut short";
        return false;
    }

    image.width = width;
    image.height = height;
    if (baseType == kColourMapped) {
        // Indices are absolute: the stored entries start at mapFirst. An 8-bit index reaches
        // 256 entries at most; entries below mapFirst are black.
        const int entries = std::min(256, mapFirst + mapLength);
        image.palette.assign(static_cast<size_t>(entries) * 3, 0);
        for (int i = mapFirst; i < entries; ++i) {
            const uint8_t* entry =
                data + offset + static_cast<size_t>(i - mapFirst) * mapEntryBytes;
            uint8_t bgr[3];
            storePixel(entry, mapEntryBytes == 2 ? 2 : 3, false, bgr);
            image.palette[i * 3] = bgr[2];
            image.palette[i * 3 + 1] = bgr[1];
            image.palette[i * 3 + 2] = bgr[0];
        }
        image.paletted = true;
        image.layout = PixelLayout::Index8;
    } else if (baseType == kGrey) {
        image.palette.resize(256 * 3);
        for (int i = 0; i < 256 * 3; ++i) image.palette[i] = static_cast<uint8_t>(i / 3);
        image.paletted = true;
        image.layout = PixelLayout::Index8;
    } else {
        image.layout = PixelLayout::Bgr24;
    }
    offset += mapBytes;

    const int sourceBytes = (depth + 7) / 8;
    const int targetBytes = bytesPerPixel(image.layout);
    const uint64_t pixelCount = uint64_t(width) * height;
    // Refuse a file too short for its claimed size before allocating for it: raw data needs
    // every byte, and a run-length packet of at least two bytes covers at most 128 pixels.
    const uint64_t leastBytes =
        rle ? (pixelCount + 127) / 128 * (1 + sourceBytes) : pixelCount * sourceBytes;
    if (!file.has(offset, leastBytes)) {
        error = "TGA pixels are cut short";
        image = DecodedImage{};
        return false;
    }

    // Pixels in storage order, then put the right way round.
    std::vector<uint8_t> stored(pixelCount * targetBytes);
    if (!rle) {
        for (uint64_t i = 0; i < pixelCount; ++i)
            storePixel(data + offset + i * sourceBytes, sourceBytes, indexed,
                       &stored[i * targetBytes]);
    } else {
        uint64_t done = 0;
        while (done < pixelCount) {
            if (!file.has(offset, 1)) {
                error = "TGA run-length data is cut short";
                image = DecodedImage{};
                return false;
            }
            const uint8_t packet = data[offset++];
            const uint64_t count = std::min<uint64_t>((packet & 0x7F) + 1, pixelCount - done);
            const uint64_t needed =
                (packet & 0x80) ? sourceBytes : uint64_t((packet & 0x7F) + 1) * sourceBytes;
            if (!file.has(offset, needed)) {
                error = "TGA run-length data is cut short";
                image = DecodedImage{};
                return false;
            }
            if (packet & 0x80) {
                uint8_t pixel[4] = {};
                storePixel(data + offset, sourceBytes, indexed, pixel);
                for (uint64_t i = 0; i < count; ++i)
                    std::memcpy(&stored[(done + i) * targetBytes], pixel, targetBytes);
            } else {
                for (uint64_t i = 0; i < count; ++i)
                    storePixel(data + offset + i * sourceBytes, sourceBytes, indexed,
                               &stored[(done + i) * targetBytes]);
            }
            offset += needed;
            done += count;
        }
    }

    const bool topFirst = (descriptor & 0x20) != 0;
    const bool rightFirst = (descriptor & 0x10) != 0;
    const size_t rowBytes = image.rowBytes();
    image.pixels.resize(rowBytes * height);
    for (int y = 0; y < height; ++y) {
        const uint8_t* source = stored.data() + rowBytes * (topFirst ? y : height - 1 - y);
        uint8_t* target = image.pixels.data() + rowBytes * y;
        if (!rightFirst) {
            std::memcpy(target, source, rowBytes);
        } else {
            for (int x = 0; x < width; ++x)
                std::memcpy(target + x * targetBytes, source + (width - 1 - x) * targetBytes,
                            targetBytes);
        }
    }
    return true;
}

}  // namespace qs
