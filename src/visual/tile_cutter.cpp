#include "visual/tile_cutter.h"

#include <array>
#include <cstring>

namespace qs {

namespace {

inline uint32_t rgb(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | blue;
}

// Every layout gets its own loop: this runs once per pixel of every image the game loads.
template <bool kMasked>
uint32_t convertIndexed(const DecodedImage& image, const uint8_t* mask, const uint8_t* source,
                        int count, uint32_t* out) {
    const int entries = image.paletteSize();
    const uint8_t* palette = image.palette.data();
    const bool ownAlpha = image.hasAlpha && !image.paletteAlpha.empty();
    uint32_t seen = 0;
    for (int i = 0; i < count; ++i) {
        const int index = source[i];
        if (index >= entries) {  // no such colour: the pixel stays transparent
            out[i] = 0;
            continue;
        }
        uint32_t alpha = kMasked ? mask[i] : ownAlpha ? image.paletteAlpha[index] : 255;
        const uint8_t* entry = palette + index * 3;
        out[i] = alpha << 24 | rgb(entry[0], entry[1], entry[2]);
        seen |= alpha;
    }
    return seen;
}

template <bool kMasked>
uint32_t convertBgr(const uint8_t* mask, const uint8_t* source, int count, uint32_t* out) {
    uint32_t seen = 0;
    for (int i = 0; i < count; ++i, source += 3) {
        const uint32_t alpha = kMasked ? mask[i] : 255;
        out[i] = alpha << 24 | rgb(source[2], source[1], source[0]);
        seen |= alpha;
    }
    return seen;
}

// Four-byte pixels with their alpha at byte `A` and blue, green, red from byte `B` on.
// A pixel whose alpha is 0 stays 0 altogether.
template <bool kMasked, int A, int B>
uint32_t convertWithAlpha(const uint8_t* mask, const uint8_t* source, int count, uint32_t* out) {
    uint32_t seen = 0;
    for (int i = 0; i < count; ++i, source += 4) {
        const uint32_t alpha = kMasked ? mask[i] : source[A];
        out[i] = alpha == 0 ? 0 : alpha << 24 | rgb(source[B + 2], source[B + 1], source[B]);
        seen |= alpha;
    }
    return seen;
}

template <bool kMasked>
uint32_t convert(const DecodedImage& image, const uint8_t* mask, const uint8_t* source, int count,
                 uint32_t* out) {
    switch (image.layout) {
        case PixelLayout::Index8: return convertIndexed<kMasked>(image, mask, source, count, out);
        case PixelLayout::Bgr24: return convertBgr<kMasked>(mask, source, count, out);
        case PixelLayout::Bgra32: return convertWithAlpha<kMasked, 3, 0>(mask, source, count, out);
        case PixelLayout::Abgr32: return convertWithAlpha<kMasked, 0, 1>(mask, source, count, out);
    }
    return 0;
}

constexpr bool kLittleEndian = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;

// Blue, green, red, alpha in memory is already A8R8G8B8 when read as one little-endian word.
uint32_t copyBgra(const uint8_t* source, int count, uint32_t* out) {
    uint32_t seen = 0;
    for (int i = 0; i < count; ++i) {
        uint32_t pixel;
        std::memcpy(&pixel, source + static_cast<size_t>(i) * 4, 4);
        pixel = (pixel >> 24) == 0 ? 0 : pixel;
        out[i] = pixel;
        seen |= pixel;
    }
    return seen >> 24;
}

uint32_t lookUpIndexed(const uint32_t* table, const uint8_t* source, int count, uint32_t* out) {
    uint32_t seen = 0;
    for (int i = 0; i < count; ++i) {
        out[i] = table[source[i]];
        seen |= out[i];
    }
    return seen >> 24;
}

}  // namespace

PixelConverter::PixelConverter(const DecodedImage& image, const AlphaMask* mask)
    : image_(image), mask_(mask) {
    if (image.layout != PixelLayout::Index8 || mask) return;
    std::array<uint8_t, 256> every{};
    for (int i = 0; i < 256; ++i) every[i] = static_cast<uint8_t>(i);
    convertIndexed<false>(image, nullptr, every.data(), 256, colours_.data());
}

uint32_t PixelConverter::convert(int x, int y, int count, uint32_t* out) const {
    const uint8_t* source =
        image_.row(y) + static_cast<size_t>(x) * bytesPerPixel(image_.layout);
    if (mask_) {
        const uint8_t* maskRow = mask_->bytes + static_cast<size_t>(y) * mask_->width + x;
        return qs::convert<true>(image_, maskRow, source, count, out);
    }
    if (image_.layout == PixelLayout::Index8)
        return lookUpIndexed(colours_.data(), source, count, out);
    if (kLittleEndian && image_.layout == PixelLayout::Bgra32) return copyBgra(source, count, out);
    return qs::convert<false>(image_, nullptr, source, count, out);
}

uint32_t convertPixels(const DecodedImage& image, const AlphaMask* mask, int x, int y, int count,
                       uint32_t* out) {
    return PixelConverter(image, mask).convert(x, y, count, out);
}

bool allOpaque(const uint32_t* argb, int count) {
    uint32_t alphas = 0xFF000000u;
    for (int i = 0; i < count; ++i) alphas &= argb[i];
    return alphas == 0xFF000000u;
}

SheetFrame cutFrame(const DecodedImage& image, const AlphaMask* mask, const FrameCut& cut) {
    const PixelConverter pixels(image, mask);
    const int ts = cut.textureSize;
    const int b = cut.border;
    const int inner = ts - 2 * b;
    const int columns = tilesAcross(cut.width, inner);
    const int rows = tilesAcross(cut.height, inner);
    const size_t rowBytes = static_cast<size_t>(ts) * cut.bytesPerPixel;

    SheetFrame frame;
    frame.tiles.resize(static_cast<size_t>(columns) * rows);
    std::vector<uint32_t> wide(ts);
    std::vector<uint16_t> narrow(ts);
    for (int tr = 0; tr < rows; ++tr) {
        for (int tc = 0; tc < columns; ++tc) {
            TextureTile& tile = frame.tiles[static_cast<size_t>(tr) * columns + tc];
            tile.xOffset = inner * tc;
            tile.yOffset = inner * tr;
            tile.pixels.assign(rowBytes * ts, 0);
            // The covered square, clipped to the frame; the rest stays transparent black.
            const int left = tile.xOffset - b, top = tile.yOffset - b;
            const int x0 = left < 0 ? 0 : left;
            const int x1 = left + ts > cut.width ? cut.width : left + ts;
            const int y0 = top < 0 ? 0 : top;
            const int y1 = top + ts > cut.height ? cut.height : top + ts;
            if (x1 <= x0 || y1 <= y0) continue;
            tile.width = x1 - left;
            tile.height = y1 - top;
            const int count = x1 - x0;
            uint32_t seen = 0;
            bool opaque = true;
            for (int fy = y0; fy < y1; ++fy) {
                uint8_t* target = tile.pixels.data() + static_cast<size_t>(fy - top) * rowBytes +
                                  static_cast<size_t>(x0 - left) * cut.bytesPerPixel;
                const uint32_t alphas =
                    pixels.convert(cut.x + x0, cut.y + fy, count, wide.data());
                opaque = opaque && allOpaque(wide.data(), count);
                if (cut.bytesPerPixel == 4) {
                    std::memcpy(target, wide.data(), static_cast<size_t>(count) * 4);
                    seen |= alphas;
                } else {
                    for (int i = 0; i < count; ++i) {
                        narrow[i] = toA4R4G4B4(wide[i]);
                        seen |= narrow[i] & 0xF000u;
                    }
                    std::memcpy(target, narrow.data(), static_cast<size_t>(count) * 2);
                }
            }
            tile.hasVisiblePixels = seen != 0;
            tile.opaque = opaque;
        }
    }
    return frame;
}

}  // namespace qs
