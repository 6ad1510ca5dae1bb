#include "visual/texture_library.h"

#include "core/log.h"
#include "render/platform.h"

namespace qs {

int tileSizeClass(int textureSize) {
    for (size_t i = 0; i < kTileSizes.size(); ++i) {
        if (kTileSizes[i] == textureSize) return static_cast<int>(i);
    }
    return -1;
}

void TextureLibrary::choosePixelFormat(bool textures16bit) {
    if (formatChosen_) return;
    bytesPerPixel_ = textures16bit ? 2 : 4;
    formatChosen_ = true;
}

int TextureLibrary::allocateSheet(const std::string& name) {
    int index = -1;
    for (size_t i = 0; i < sheets.size(); ++i) {
        if (sheets[i].name.empty() && !sheets[i].inUse) {
            index = static_cast<int>(i);
            break;
        }
    }
    if (index < 0) {
        index = static_cast<int>(sheets.size());
        sheets.emplace_back();
    }
    TextureSheet& sheet = sheets[index];
    sheet = TextureSheet{};
    sheet.name = name;
    sheet.inUse = true;
    return index;
}

void TextureLibrary::releaseSheet(int index) {
    if (index >= 0 && index < static_cast<int>(sheets.size())) sheets[index] = TextureSheet{};
}

bool TextureLibrary::findFrame(const std::string& name, int& sheet, int& frame) const {
    if (name.empty()) return false;
    for (size_t s = 0; s < sheets.size(); ++s) {
        if (!sheets[s].inUse) continue;
        const std::vector<SheetFrame>& frames = sheets[s].frames;
        for (size_t f = 0; f < frames.size(); ++f) {
            if (frames[f].name == name) {
                sheet = static_cast<int>(s);
                frame = static_cast<int>(f);
                return true;
            }
        }
    }
    return false;
}

SheetFrame TextureLibrary::sharedFrame(const SheetFrame& frame) {
    SheetFrame copy;
    copy.name = frame.name;
    copy.tiles.reserve(frame.tiles.size());
    for (const TextureTile& tile : frame.tiles) {
        TextureTile shared;
        shared.hasVisiblePixels = tile.hasVisiblePixels;
        shared.opaque = tile.opaque;
        shared.xOffset = tile.xOffset;
        shared.yOffset = tile.yOffset;
        shared.width = tile.width;
        shared.height = tile.height;
        shared.page = tile.page;
        shared.pageX = tile.pageX;
        shared.pageY = tile.pageY;
        shared.u = tile.u;
        shared.v = tile.v;
        copy.tiles.push_back(std::move(shared));
    }
    return copy;
}

int TextureLibrary::shareSheet(int source, int onlyFrame) {
    const std::string name = sheets.at(source).name;  // the list may move as it grows
    const int index = allocateSheet(name);
    const TextureSheet& from = sheets[source];
    TextureSheet& to = sheets[index];
    to.imageWidth = from.imageWidth;
    to.imageHeight = from.imageHeight;
    to.frameWidth = from.frameWidth;
    to.frameHeight = from.frameHeight;
    to.textureSize = from.textureSize;
    to.border = from.border;
    to.filter = from.filter;
    to.tileColumns = from.tileColumns;
    to.tileRows = from.tileRows;
    if (onlyFrame >= 0 && onlyFrame < static_cast<int>(from.frames.size())) {
        to.frames.push_back(sharedFrame(from.frames[onlyFrame]));
        return index;
    }
    to.frames.reserve(from.frames.size());
    for (const SheetFrame& frame : from.frames) to.frames.push_back(sharedFrame(frame));
    return index;
}

int TextureLibrary::takePageIndex() {
    for (size_t i = 0; i < pageIndexTaken_.size(); ++i) {
        if (!pageIndexTaken_[i]) {
            pageIndexTaken_[i] = true;
            return static_cast<int>(i);
        }
    }
    pageIndexTaken_.push_back(true);
    return static_cast<int>(pageIndexTaken_.size() - 1);
}

void TextureLibrary::error(const std::string& message) {
    if (log_) log_->error(message);
}

void TextureLibrary::uploadFrame(RenderDevice& device, SheetFrame& frame, int textureSize,
                                 int filter) {
    for (TextureTile& tile : frame.tiles) {
        if (tile.hasVisiblePixels) placeTile(device, tile, textureSize, filter);
        tile.pixels.clear();
        tile.pixels.shrink_to_fit();
    }
}

namespace {

// The room a tile takes on a page: its frame pixels and, where they stop short of the
// tile's size, one transparent texel more, so sampling just past them finds what it found
// when every tile had a whole square.
int roomFor(int texels, int textureSize) {
    return texels >= textureSize ? textureSize : texels + 1;
}

}  // namespace

TexturePage* TextureLibrary::findRoom(int width, int height, int filter, int& x, int& y) {
    // The shelf that wastes the fewest rows, unless a new shelf would waste fewer.
    TexturePage* best = nullptr;
    TexturePage::Shelf* bestShelf = nullptr;
    for (TexturePage& page : pages) {
        if (page.filter != filter || page.bytesPerPixel != bytesPerPixel_) continue;
        for (TexturePage::Shelf& shelf : page.shelves) {
            if (shelf.height < height || shelf.used + width > kPageSize) continue;
            if (!bestShelf || shelf.height < bestShelf->height) {
                best = &page;
                bestShelf = &shelf;
            }
        }
    }
    if (bestShelf && bestShelf->height - height > height / 4) {
        for (TexturePage& page : pages) {
            if (page.filter != filter || page.bytesPerPixel != bytesPerPixel_) continue;
            if (page.top + height <= kPageSize) {
                best = &page;
                bestShelf = nullptr;
                break;
            }
        }
    }
    if (!best) {
        for (TexturePage& page : pages) {
            if (page.filter != filter || page.bytesPerPixel != bytesPerPixel_) continue;
            if (page.top + height <= kPageSize) {
                best = &page;
                break;
            }
        }
    }
    if (!best) return nullptr;
    if (!bestShelf) {
        best->shelves.push_back({best->top, height, 0});
        best->top += height;
        bestShelf = &best->shelves.back();
    }
    x = bestShelf->used;
    y = bestShelf->y;
    bestShelf->used += width;
    return best;
}

void TextureLibrary::placeTile(RenderDevice& device, TextureTile& tile, int textureSize,
                               int filter) {
    if (tileSizeClass(textureSize) < 0) return;
    const int width = roomFor(tile.width, textureSize);
    const int height = roomFor(tile.height, textureSize);
    int x = 0, y = 0;
    TexturePage* page = findRoom(width, height, filter, x, y);
    if (!page) {
        const int index = takePageIndex();
        if (!device.createPage(index, bytesPerPixel_)) {
            // The index stays free for the next page; this tile is never drawn rather than
            // pointing every later frame at a page that does not exist.
            pageIndexTaken_[index] = false;
            error("cannot create texture page " + std::to_string(index) + " for tiles of " +
                  std::to_string(textureSize) + " pixels: the tile will not be shown");
            tile.page = -1;
            return;
        }
        TexturePage fresh;
        fresh.filter = filter;
        fresh.textureIndex = index;
        fresh.bytesPerPixel = bytesPerPixel_;
        pages.push_back(std::move(fresh));
        page = findRoom(width, height, filter, x, y);
    }
    ++page->tiles;
    tile.page = page->textureIndex;
    tile.pageX = x;
    tile.pageY = y;
    tile.u = tile.pageX / static_cast<double>(kPageSize);
    tile.v = tile.pageY / static_cast<double>(kPageSize);
    if (!writeTile(device, tile, textureSize, tile.pixels))
        error("cannot write a tile into texture page " + std::to_string(tile.page));
}

bool TextureLibrary::writeTile(RenderDevice& device, const TextureTile& tile, int textureSize,
                               const std::vector<uint8_t>& pixels) {
    const int width = roomFor(tile.width, textureSize);
    const int height = roomFor(tile.height, textureSize);
    const size_t tileRow = static_cast<size_t>(textureSize) * bytesPerPixel_;
    if (pixels.size() != tileRow * textureSize) return false;
    if (width == textureSize && height == textureSize)
        return device.writePage(tile.page, tile.pageX, tile.pageY, width, height, pixels.data());
    const size_t row = static_cast<size_t>(width) * bytesPerPixel_;
    std::vector<uint8_t> part(row * height);
    for (int r = 0; r < height; ++r)
        std::copy(pixels.begin() + static_cast<std::ptrdiff_t>(tileRow * r),
                  pixels.begin() + static_cast<std::ptrdiff_t>(tileRow * r + row),
                  part.begin() + static_cast<std::ptrdiff_t>(row * r));
    return device.writePage(tile.page, tile.pageX, tile.pageY, width, height, part.data());
}

bool TextureLibrary::restorePages(RenderDevice& device, const FrameCutter& cutter) {
    bool ok = true;
    std::vector<bool> refill;
    for (const TexturePage& page : pages) {
        if (device.hasPage(page.textureIndex)) continue;
        if (!device.createPage(page.textureIndex, page.bytesPerPixel)) {
            error("cannot create texture page " + std::to_string(page.textureIndex) + " again");
            ok = false;
            continue;
        }
        if (refill.size() <= static_cast<size_t>(page.textureIndex))
            refill.resize(static_cast<size_t>(page.textureIndex) + 1, false);
        refill[page.textureIndex] = true;
    }
    auto needsRefill = [&](const TextureTile& tile) {
        return tile.hasVisiblePixels && tile.page >= 0 &&
               static_cast<size_t>(tile.page) < refill.size() && refill[tile.page];
    };
    for (const TextureSheet& sheet : sheets) {
        if (!sheet.inUse || sheet.released) continue;
        for (const SheetFrame& frame : sheet.frames) {
            if (!frame.ownsTiles()) continue;
            bool any = false;
            for (const TextureTile& tile : frame.tiles) any = any || needsRefill(tile);
            if (!any) continue;
            SheetFrame cut;
            if (!cutter || !cutter(sheet, frame, cut) || cut.tiles.size() != frame.tiles.size()) {
                error("cannot cut the image " + frame.source.imagePath + " again for " +
                      sheet.name + ": its tiles stay empty");
                ok = false;
                continue;
            }
            for (size_t i = 0; i < frame.tiles.size(); ++i) {
                const TextureTile& tile = frame.tiles[i];
                if (!needsRefill(tile)) continue;
                if (!cut.tiles[i].hasVisiblePixels || cut.tiles[i].width != tile.width ||
                    cut.tiles[i].height != tile.height ||
                    !writeTile(device, tile, sheet.textureSize, cut.tiles[i].pixels)) {
                    error("cannot write a tile of " + sheet.name + " into texture page " +
                          std::to_string(tile.page) + " again");
                    ok = false;
                }
            }
        }
    }
    return ok;
}

bool TextureLibrary::tilesUnshared(int index) const {
    const TextureSheet* sheet = sheetAt(index);
    if (!sheet || !sheet->inUse) return false;
    for (size_t s = 0; s < sheets.size(); ++s) {
        if (static_cast<int>(s) == index || !sheets[s].inUse) continue;
        for (const SheetFrame& other : sheets[s].frames) {
            // A frame showing tiles it does not own took them from some sheet by its name.
            if (other.ownsTiles()) continue;
            for (const SheetFrame& own : sheet->frames) {
                if (!own.ownsTiles()) continue;
                for (size_t t = 0; t < own.tiles.size() && t < other.tiles.size(); ++t) {
                    const TextureTile& a = own.tiles[t];
                    const TextureTile& b = other.tiles[t];
                    if (a.page >= 0 && a.page == b.page && a.pageX == b.pageX &&
                        a.pageY == b.pageY)
                        return false;
                }
            }
        }
    }
    return true;
}

void TextureLibrary::releaseTiles(RenderDevice& device, int index) {
    if (!sheetAt(index) || sheets[index].released) return;
    TextureSheet& sheet = sheets[index];
    for (SheetFrame& frame : sheet.frames) {
        if (!frame.ownsTiles()) continue;
        for (TextureTile& tile : frame.tiles) {
            if (tile.page < 0) continue;
            for (TexturePage& page : pages) {
                if (page.textureIndex == tile.page) {
                    --page.tiles;
                    break;
                }
            }
            tile.page = -1;
        }
    }
    sheet.released = true;
    // A page keeps the room of tiles taken off it until all its tiles are gone.
    for (size_t i = pages.size(); i-- > 0;) {
        if (pages[i].tiles > 0) continue;
        device.releasePage(pages[i].textureIndex);
        pageIndexTaken_[pages[i].textureIndex] = false;
        pages.erase(pages.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

bool TextureLibrary::reloadTiles(RenderDevice& device, int index, const FrameCutter& cutter) {
    if (!sheetAt(index) || !sheets[index].released) return true;
    TextureSheet& sheet = sheets[index];
    sheet.released = false;
    bool ok = true;
    for (SheetFrame& frame : sheet.frames) {
        if (!frame.ownsTiles()) continue;
        SheetFrame cut;
        if (!cutter || !cutter(sheet, frame, cut) || cut.tiles.size() != frame.tiles.size()) {
            error("cannot cut the image " + frame.source.imagePath + " again for " + sheet.name +
                  ": the frame stays empty");
            for (TextureTile& tile : frame.tiles) tile.hasVisiblePixels = false;
            ok = false;
            continue;
        }
        for (size_t i = 0; i < frame.tiles.size(); ++i) {
            cut.tiles[i].xOffset = frame.tiles[i].xOffset;
            cut.tiles[i].yOffset = frame.tiles[i].yOffset;
        }
        uploadFrame(device, cut, sheet.textureSize, sheet.filter);
        frame.tiles = std::move(cut.tiles);
    }
    return ok;
}

}  // namespace qs
