#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <vector>

#include "render/platform.h"

namespace qs {

// The drawing half of a device that shows nothing: every draw call succeeds and leaves no
// trace. Tools, benchmarks and fuzz targets derive from it and keep pages as they need.
class SilentRenderDevice : public RenderDevice {
public:
    void clear() override {}
    void present() override {}
    bool saveScreenshot(const std::string&, std::string* error) override {
        if (error) *error = "no picture";
        return false;
    }
    void setAdditive(bool) override {}
    bool setPage(int index) override { return hasPage(index); }
    void setFilter(int) override {}
    void setRotation(double, double, double) override {}
    bool drawQuad(const DrawQuad&) override { return true; }
    void drawStatistics(const std::string&) override {}
    bool drawTriangles(int, bool, const ScreenVertex*, int) override { return true; }
};

// A picture device that draws nothing: pages are only counted. For tools that load content
// without showing it.
class NullRenderDevice final : public SilentRenderDevice {
public:
    bool createPage(int index, int) override {
        if (index < 0) return false;
        if (static_cast<size_t>(index) >= pages_.size()) pages_.resize(static_cast<size_t>(index) + 1);
        pages_[index] = true;
        return true;
    }
    bool writePage(int index, int x, int y, int width, int height, const uint8_t*) override {
        return hasPage(index) && x >= 0 && y >= 0 && width > 0 && height > 0 &&
               x + width <= 256 && y + height <= 256;
    }
    bool hasPage(int index) const override {
        return index >= 0 && static_cast<size_t>(index) < pages_.size() && pages_[index];
    }
    void releasePages() override { pages_.assign(pages_.size(), false); }
    void releasePage(int index) override {
        if (hasPage(index)) pages_[index] = false;
    }
    bool createMeshTexture(int id, int width, int height, const uint32_t*) override {
        return id >= 0 && width > 0 && height > 0;
    }

private:
    std::vector<bool> pages_;
};

// A device that keeps every page's pixels in memory, as a device whose textures live in
// system memory would: writing a tile costs what a copy costs. For benchmarks and fuzz
// targets; a write outside a page, or to a page that was never made, is refused and counted.
class MemoryPageDevice final : public SilentRenderDevice {
public:
    bool createPage(int index, int bytesPerPixel) override {
        if (index < 0 || (bytesPerPixel != 2 && bytesPerPixel != 4)) return false;
        Page& page = pages_[index];
        page.bytesPerPixel = bytesPerPixel;
        page.pixels.assign(256 * 256 * static_cast<size_t>(bytesPerPixel), 0);
        return true;
    }
    bool writePage(int index, int x, int y, int width, int height, const uint8_t* pixels) override {
        auto it = pages_.find(index);
        if (it == pages_.end() || !pixels || x < 0 || y < 0 || width <= 0 || height <= 0 ||
            x + width > 256 || y + height > 256) {
            ++refusedWrites_;
            return false;
        }
        Page& page = it->second;
        const size_t row = static_cast<size_t>(width) * page.bytesPerPixel;
        for (int r = 0; r < height; ++r)
            std::memcpy(page.pixels.data() +
                            ((static_cast<size_t>(y) + r) * 256 + x) * page.bytesPerPixel,
                        pixels + r * row, row);
        return true;
    }
    bool hasPage(int index) const override { return pages_.count(index) != 0; }
    void releasePages() override { pages_.clear(); }
    void releasePage(int index) override { pages_.erase(index); }
    bool createMeshTexture(int id, int width, int height, const uint32_t*) override {
        return id >= 0 && width > 0 && height > 0;
    }
    // Writes refused since the device was made: a loader that asks for one has a fault.
    int refusedWrites() const { return refusedWrites_; }

private:
    struct Page {
        int bytesPerPixel = 4;
        std::vector<uint8_t> pixels;
    };
    std::map<int, Page> pages_;
    int refusedWrites_ = 0;
};

// A platform without a window, for tools, benchmarks and fuzz targets: message boxes go to
// a callback; the picture device is a null one unless the caller hands in its own.
class NullPlatform final : public Platform {
public:
    using MessageFn = std::function<void(const std::string&, const std::string&)>;
    explicit NullPlatform(MessageFn onMessage = {}) : onMessage_(std::move(onMessage)) {}
    explicit NullPlatform(RenderDevice& device, MessageFn onMessage = {})
        : onMessage_(std::move(onMessage)), external_(&device) {}
    RenderDevice& device() override { return external_ ? *external_ : device_; }
    void showMessageBox(const std::string& caption, const std::string& text) override {
        if (onMessage_) onMessage_(caption, text);
    }
    bool isFullscreen() const override { return false; }
    bool setFullscreen(bool) override { return false; }
    void centreWindow() override {}
    void showSystemCursor(bool) override {}
    MousePoint mousePosition() const override { return {-1000, -1000}; }
    bool pointerInWindow() const override { return false; }
    void pumpEvents(PlatformEvents&, uint32_t) override {}

private:
    MessageFn onMessage_;
    NullRenderDevice device_;
    RenderDevice* external_ = nullptr;
};

}  // namespace qs
