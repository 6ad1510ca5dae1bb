#pragma once

// A picture device for the loading benchmarks: it keeps every page's pixels in memory, like a
// device whose textures live in system memory, so writing a tile costs what a copy costs.
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "render/null_device.h"

namespace qs::bench {

class MemoryDevice final : public qs::SilentRenderDevice {
public:
    bool createPage(int index, int bytesPerPixel) override {
        Page& page = pages_[index];
        page.bytesPerPixel = bytesPerPixel;
        page.pixels.assign(256 * 256 * static_cast<size_t>(bytesPerPixel), 0);
        return true;
    }
    bool writePage(int index, int x, int y, int width, int height, const uint8_t* pixels) override {
        auto it = pages_.find(index);
        if (it == pages_.end() || x < 0 || y < 0 || x + width > 256 || y + height > 256) return false;
        Page& page = it->second;
        const size_t row = static_cast<size_t>(width) * page.bytesPerPixel;
        for (int r = 0; r < height; ++r)
            std::memcpy(page.pixels.data() + ((static_cast<size_t>(y) + r) * 256 + x) *
                                                 page.bytesPerPixel,
                        pixels + r * row, row);
        return true;
    }
    bool hasPage(int index) const override { return pages_.count(index) != 0; }
    void releasePages() override { pages_.clear(); }
    void releasePage(int index) override { pages_.erase(index); }
    bool createMeshTexture(int, int, int, const uint32_t*) override { return true; }

private:
    struct Page {
        int bytesPerPixel = 4;
        std::vector<uint8_t> pixels;
    };
    std::map<int, Page> pages_;
};


}  // namespace qs::bench
