#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qs {

class Log;
class RenderDevice;

// One square piece of a frame. Its texels lie at (pageX, pageY) of a 256 x 256 texture
// page; only the part that holds frame pixels (width x height from the corner, plus one
// transparent texel where that stops short of the tile's size) takes room there.
struct TextureTile {
    bool hasVisiblePixels = false;
    bool opaque = false;  // every texel that holds frame pixels has full alpha
    int xOffset = 0;  // position of the tile's drawn area inside the frame
    int yOffset = 0;
    int width = 0;    // texels from the tile's corner that hold frame pixels
    int height = 0;
    int page = -1;    // index of the device texture holding it
    // The cut pixels (textureSize rows of textureSize texels), only until the tile is
    // written to its page: the device keeps the page, and a lost page is cut again from the
    // image file.
    std::vector<uint8_t> pixels;
    int pageX = 0;
    int pageY = 0;
    double u = 0;
    double v = 0;

    // False for an empty tile and for one whose page could not be created.
    bool drawable() const { return hasVisiblePixels && page >= 0; }
};

// Where a frame was cut from, so that its tiles can be cut again when their page is lost.
struct FrameSource {
    std::string imagePath;  // content path of the image
    std::string alphaPath;  // its TGA alpha image, or empty
    int x = 0;              // the frame's top left corner in the image
    int y = 0;
};

struct SheetFrame {
    std::string name;  // image the frame came from
    std::vector<TextureTile> tiles;  // row by row
    // Set on the frame that wrote the tiles onto their pages; empty on the frames that only
    // show another frame's tiles, so every tile is written by one frame.
    FrameSource source;
    bool ownsTiles() const { return !source.imagePath.empty(); }
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
    // The tiles were given back to free their pages; they are cut and placed again before
    // an object shows the sheet.
    bool released = false;

    // A tile shows the texels [border, textureSize - border) from its corner on both axes,
    // drawn over this many pixels at the tile's offset in the frame (a tile at the frame's
    // right or bottom edge only as far as the frame goes): the border texels are only there
    // so bilinear filtering finds the neighbouring pixels.
    int drawnTileSize() const { return textureSize - 2 * border; }
    // The same in texture coordinates: from tile u + texelInset() over texelSpan().
    double texelInset() const { return border / static_cast<double>(256); }
    double texelSpan() const { return drawnTileSize() / static_cast<double>(256); }
};

// A 256 x 256 texture holding tiles of one filter (a device texture samples one way at a
// time), packed in shelves: rows of tiles no taller than the shelf, left to right.
struct TexturePage {
    struct Shelf {
        int y = 0;
        int height = 0;
        int used = 0;  // texels taken from the left
    };
    int filter = 0;
    int textureIndex = -1;  // index in the device's page table
    int bytesPerPixel = 4;
    std::vector<Shelf> shelves;
    int top = 0;    // rows below the last shelf are free
    int tiles = 0;  // tiles on the page still in use; the page is released at 0
};

inline constexpr int kPageSize = 256;
inline constexpr std::array<int, 6> kTileSizes = {8, 16, 32, 64, 128, 256};

// The size class (0..5) of a tile size, or -1 for a size that cannot be tiled.
int tileSizeClass(int textureSize);

// Cuts one frame of a sheet again from its image files (into `cut`, tiles with pixels);
// false when the files can no longer be read or no longer fit the sheet.
using FrameCutter = std::function<bool(const TextureSheet& sheet, const SheetFrame& frame,
                                       SheetFrame& cut)>;

// Every sheet and page of the run, shared by all prototypes. Hands out the page indices of
// the device's page table; tiles live in the device's pages only, and what a lost page held
// is cut again from the image files.
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
    // tiles share the source's places on the pages.
    int shareSheet(int source, int onlyFrame = -1);
    // A frame that shows the same tiles as `frame` without owning them.
    static SheetFrame sharedFrame(const SheetFrame& frame);

    // Puts every visible tile of the frame onto a page of its filter and writes it to the
    // device; then the tiles let go of their pixels. Empty tiles take no room.
    void uploadFrame(RenderDevice& device, SheetFrame& frame, int textureSize, int filter = 0);

    // Creates every page the device lacks (after a device loss) and fills its tiles again,
    // cut anew by `cutter`. Pages the device still has are left as they are. False when a
    // page or a tile could not be restored.
    bool restorePages(RenderDevice& device, const FrameCutter& cutter);

    // True when no other sheet in use shows the tiles of sheet `index` (a copy found by
    // name, or a frame taken by a "+" line).
    bool tilesUnshared(int index) const;
    // Takes the sheet's own tiles off their pages, and releases every page left empty;
    // the sheet keeps its frames and sizes and is marked released. Only for a sheet whose
    // tiles no other sheet shows.
    void releaseTiles(RenderDevice& device, int index);
    // Cuts and places a released sheet's tiles again. False when a frame could not be cut.
    bool reloadTiles(RenderDevice& device, int index, const FrameCutter& cutter);

    std::vector<TexturePage> pages;
    std::vector<TextureSheet> sheets;

private:
    void placeTile(RenderDevice& device, TextureTile& tile, int textureSize, int filter);
    TexturePage* findRoom(int width, int height, int filter, int& x, int& y);
    // Writes the part of a tile's cut pixels that takes room on its page.
    bool writeTile(RenderDevice& device, const TextureTile& tile, int textureSize,
                   const std::vector<uint8_t>& pixels);
    int takePageIndex();
    void error(const std::string& message);

    Log* log_ = nullptr;
    int bytesPerPixel_ = 4;
    bool formatChosen_ = false;
    std::vector<bool> pageIndexTaken_;
};

}  // namespace qs
