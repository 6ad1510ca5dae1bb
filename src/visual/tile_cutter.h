#pragma once

#include <array>
#include <cstdint>

#include "visual/image_decoder.h"
#include "visual/texture_library.h"

namespace qs {

// One byte of alpha per image pixel, taken from a separate alpha image; it replaces the
// image's own alpha. Rows are `width` bytes long.
struct AlphaMask {
    const uint8_t* bytes = nullptr;
    int width = 0;
    int height = 0;
};

// Where one frame lies in its image and how it is cut.
struct FrameCut {
    int x = 0;  // top left corner of the frame in the image
    int y = 0;
    int width = 0;
    int height = 0;
    int textureSize = 0;  // one of kTileSizes
    int border = 0;       // below textureSize / 2
    int bytesPerPixel = 4;  // 4: A8R8G8B8, 2: A4R4G4B4
};

// Converts rows of one image to A8R8G8B8, with the alpha of `mask` when given. A paletted
// image's colours are converted once, when it is made. Keeps references to both.
class PixelConverter {
public:
    PixelConverter(const DecodedImage& image, const AlphaMask* mask);
    // Converts `count` pixels of row y from column x; returns the OR of their alpha bytes.
    uint32_t convert(int x, int y, int count, uint32_t* out) const;

private:
    const DecodedImage& image_;
    const AlphaMask* mask_;
    std::array<uint32_t, 256> colours_{};  // paletted images without a mask
};

// Converts `count` image pixels of row y from column x into A8R8G8B8 values. Returns the
// OR of their alpha bytes (0 when every pixel is transparent).
uint32_t convertPixels(const DecodedImage& image, const AlphaMask* mask, int x, int y, int count,
                       uint32_t* out);

// True when every one of `count` converted pixels has full alpha.
bool allOpaque(const uint32_t* argb, int count);

// The 16-bit form of a pixel: the high four bits of each channel.
inline uint16_t toA4R4G4B4(uint32_t argb) {
    return static_cast<uint16_t>(((argb >> 16) & 0xF000) | ((argb >> 12) & 0x0F00) |
                                 ((argb >> 8) & 0x00F0) | ((argb >> 4) & 0x000F));
}

// Tile columns or rows needed to cover `frameSize` pixels with tiles showing `inner` each.
inline int tilesAcross(int frameSize, int inner) { return (frameSize + inner - 1) / inner; }

// Cuts one frame into square tiles, row by row. A tile covers the frame pixels from its
// offset less the border to that plus textureSize - 1; what lies outside the frame stays
// transparent, so no tile shows a neighbouring frame. The caller has checked that the frame
// lies inside the image and the mask (when given) covers the image.
SheetFrame cutFrame(const DecodedImage& image, const AlphaMask* mask, const FrameCut& cut);

}  // namespace qs
