#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/context.h"
#include "render/platform.h"

namespace qs::test {

// A fresh folder under the system's temporary folder, removed when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    // Writes a file (folders made as needed) and returns its path.
    std::filesystem::path write(const std::string& name, const std::string& contents) const;

private:
    std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& path);

// A device that draws nothing, keeps page pixels in memory and counts what it is asked to do.
class FakeDevice final : public RenderDevice {
public:
    void clear() override { ++clears; }
    void present() override { ++presents; }
    bool saveScreenshot(const std::string&, std::string*) override { return false; }
    bool createPage(int index, int bytesPerPixel) override;
    bool writePage(int index, int x, int y, int width, int height, const uint8_t* pixels) override;
    bool hasPage(int index) const override { return pages.count(index) != 0; }
    void releasePages() override { pages.clear(); }
    void releasePage(int index) override { pages.erase(index); }
    void setAdditive(bool additive) override { calls.push_back(additive ? "additive" : "blend"); }
    bool setPage(int index) override {
        calls.push_back("page " + std::to_string(index));
        return hasPage(index);
    }
    void setFilter(int filter) override { calls.push_back("filter " + std::to_string(filter)); }
    void setRotation(double angle, double, double) override {
        calls.push_back(angle == 0 ? "transform" : "rotate");
    }
    bool drawQuad(const DrawQuad&) override {
        calls.push_back("draw");
        return true;
    }
    void drawStatistics(const std::string& text) override { statistics = text; }
    bool createMeshTexture(int id, int width, int height, const uint32_t* argb) override;
    bool drawTriangles(int meshTexture, bool additive, const ScreenVertex* vertices,
                       int count) override;
    std::vector<std::string> calls;  // the 2D pass's requests in order
    std::string statistics;

    struct MeshTexture {
        int width = 0, height = 0;
        std::vector<uint32_t> argb;
    };
    std::map<int, MeshTexture> meshTextures;
    int meshTexturesCreated = 0;
    // Each drawTriangles call: its texture, blend and vertices.
    struct TriangleBatch {
        int texture = -1;
        bool additive = false;
        std::vector<ScreenVertex> vertices;
    };
    std::vector<TriangleBatch> triangleBatches;

    struct Page {
        int bytesPerPixel = 4;
        std::vector<uint8_t> pixels;  // 256 x 256
    };
    std::map<int, Page> pages;
    int pagesCreated = 0;
    int pageWrites = 0;
    bool failPageCreation = false;
    int clears = 0;
    int presents = 0;
};

// A platform with no window: records message boxes and the display mode.
class FakePlatform final : public Platform {
public:
    RenderDevice& device() override { return device_; }
    void showMessageBox(const std::string& caption, const std::string& text) override {
        messages.push_back(caption + ": " + text);
    }
    bool isFullscreen() const override { return fullscreen; }
    bool setFullscreen(bool on) override {
        if (failModeSwitch) return false;
        fullscreen = on;
        ++modeSwitches;
        return true;
    }
    void centreWindow() override { ++centred; }
    void showSystemCursor(bool show) override { cursorShown = show; }
    MousePoint mousePosition() const override { return mouse; }
    bool pointerInWindow() const override { return inside; }
    void pumpEvents(PlatformEvents&, uint32_t) override {}

    FakeDevice& fakeDevice() { return device_; }

    std::vector<std::string> messages;
    bool fullscreen = false;
    bool failModeSwitch = false;
    int modeSwitches = 0;
    int centred = 0;
    bool cursorShown = true;
    MousePoint mouse{0, 0};
    bool inside = true;

private:
    FakeDevice device_;
};

// A context over a temporary content root and user folder, with a virtual clock.
struct TestWorld {
    TestWorld();
    TempDir dir;
    FakePlatform platform;
    VirtualClock* clock = nullptr;
    std::unique_ptr<Context> ctx;

    std::filesystem::path content(const std::string& name, const std::string& contents) {
        return dir.write("data/" + name, contents);
    }
    std::filesystem::path userFile(const std::string& name, const std::string& contents) {
        return dir.write("user/" + name, contents);
    }
};

}  // namespace qs::test
