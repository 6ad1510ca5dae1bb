#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace qs {

class Log;
class RenderDevice;

// One square piece of a frame, packed into a slot of a 256 x 256 texture page.
struct TextureTile {
    bool hasVisiblePixels = false;
    int xOffset = 0;  // position of the tile's drawn area inside the frame
    int yOffset = 0;
    int page = -1;    // index of the device texture holding it
    // Kept for rebuilding pages after a device loss, by the sheet that decoded the image
    // only: sheets sharing its tiles hold none, so every slot is written back once.
    std::vector<uint8_t> pixels;
    int pageX = 0;
    int pageY = 0;
    double u = 0;
    double v = 0;
    int slot = -1;

    // False for an empty tile and for one whose page could not be created.
    bool drawable() const { return hasVisiblePixels && page >= 0; }
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

    // A tile shows the texels [border, textureSize - border) of its slot on both axes,
    // drawn over this many pixels at the tile's offset in the frame (a tile at the frame's
    // right or bottom edge only as far as the frame goes): the border texels are only there
    // so bilinear filtering finds the neighbouring pixels.
    int drawnTileSize() const { return textureSize - 2 * border; }
    // The same in texture coordinates: from tile u + texelInset() over texelSpan().
    double texelInset() const { return border / static_cast<double>(256); }
    double texelSpan() const { return drawnTileSize() / static_cast<double>(256); }
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

// Every sheet and page of the run, shared by all prototypes; never emptied. Hands out the
// page indices of the device's page table and keeps each tile's pixels, so every page can
// be built again after the device lost its textures.
class TextureLibrary {
public:
    TextureLibrary() = default;
    explicit TextureLibrary(Log& log) : log_(&log) {}

    // The sheet at an index, or nothing for an index outside the library.
    const TextureSheet* sheetAt(int index) const {
        if (index < 0 || index >= static_cast<int>(sheets.size())) return nullptr;
        return &sheets[index];
    }

    // The tile format is settled once, by the first call (start-up, or the first load);
    // later changes of the option do not reach pages made with the old format.
    void choosePixelFormat(bool textures16bit);
    bool pixelFormatChosen() const { return formatChosen_; }
    int bytesPerPixel() const { return bytesPerPixel_; }

    // A sheet slot named `name` and marked in use: the first free one, else a new one.
    int allocateSheet(const std::string& name);
    // Gives back a sheet whose image could not be used (nothing refers to it yet).
    void releaseSheet(int index);
    // The first frame, over all sheets in use, that came from the image `name`.
    bool findFrame(const std::string& name, int& sheet, int& frame) const;
    // A new sheet with the frame list of `source` (or only its frame `onlyFrame`); its
    // tiles share the source's slots.
    int shareSheet(int source, int onlyFrame = -1);
    // A frame that shows the same slots as `frame` without owning their pixels.
    static SheetFrame sharedFrame(const SheetFrame& frame);

    // Puts every visible tile of the frame into a page slot of its size and writes it
    // to the device; empty tiles lose their pixels and take no slot.
    void uploadFrame(RenderDevice& device, SheetFrame& frame, int textureSize);

    // Creates every page again and writes back every kept tile (after a device loss or
    // a display mode change). False when a page or a tile could not be restored.
    bool restorePages(RenderDevice& device);

    // One list of pages per tile size, in the order of kTileSizes.
    std::array<std::vector<TexturePage>, kTileSizes.size()> pages;
    std::vector<TextureSheet> sheets;

private:
    void placeTile(RenderDevice& device, TextureTile& tile, int textureSize);
    int takePageIndex();
    void error(const std::string& message);

    Log* log_ = nullptr;
    int bytesPerPixel_ = 4;
    bool formatChosen_ = false;
    std::vector<bool> pageIndexTaken_;
};

}  // namespace qs
