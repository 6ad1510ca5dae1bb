#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace qs {

class RenderDevice;

// One square piece of a frame, packed into a slot of a 256 x 256 texture page.
struct TextureTile {
    bool hasVisiblePixels = false;
    int xOffset = 0;  // position of the tile's drawn area inside the frame
    int yOffset = 0;
    int page = -1;    // index of the device texture holding it
    std::vector<uint8_t> pixels;  // kept for rebuilding pages after a device loss
    int pageX = 0;
    int pageY = 0;
    double u = 0;
    double v = 0;
    int slot = -1;
};

struct SheetFrame {
    std::string name;  // image the frame came from
    std::vector<TextureTile> tiles;  // row by row
};

// One decoded image cut into frames and tiles. Sheets found by name for another
// prototype are copies that share the tiles' pages.
struct TextureSheet {
    std::string name;  // bare, lower-case image file name; empty = free slot
    int imageWidth = 0;
    int imageHeight = 0;
    int frameWidth = 0;
    int frameHeight = 0;
    int textureSize = 0;
    int border = 0;
    int filter = 0;
    int tileColumns = 0;
    int tileRows = 0;
    std::vector<SheetFrame> frames;
    bool inUse = false;
};

// A 256 x 256 texture holding tiles of one size.
struct TexturePage {
    int tileSize = 0;
    int slotCount = 0;
    int freeSlots = 0;
    std::vector<bool> slotUsed;
    int textureIndex = -1;  // index in the device's page table
    int bytesPerPixel = 4;
};

inline constexpr int kPageSize = 256;
inline constexpr std::array<int, 6> kTileSizes = {8, 16, 32, 64, 128, 256};

// The size class (0..5) of a tile size, or -1 for a size that cannot be tiled.
int tileSizeClass(int textureSize);

}  // namespace qs
