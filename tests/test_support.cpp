#include "test_support.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>

namespace qs::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::random_device random;
    for (;;) {
        path_ = fs::temp_directory_path() / ("qs-test-" + std::to_string(random()));
        if (fs::create_directory(path_)) break;
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

fs::path TempDir::write(const std::string& name, const std::string& contents) const {
    fs::path file = path_ / name;
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << contents;
    return file;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

bool FakeDevice::createPage(int index, int bytesPerPixel) {
    if (failPageCreation) return false;
    Page& page = pages[index];
    page.bytesPerPixel = bytesPerPixel;
    page.pixels.assign(256 * 256 * static_cast<size_t>(bytesPerPixel), 0);
    ++pagesCreated;
    return true;
}

bool FakeDevice::writePage(int index, int x, int y, int width, int height,
                           const uint8_t* pixels) {
    auto it = pages.find(index);
    if (it == pages.end() || x < 0 || y < 0 || width <= 0 || height <= 0 || x + width > 256 ||
        y + height > 256)
        return false;
    Page& page = it->second;
    const size_t row = static_cast<size_t>(width) * page.bytesPerPixel;
    for (int r = 0; r < height; ++r) {
        std::copy(pixels + r * row, pixels + (r + 1) * row,
                  page.pixels.begin() + ((static_cast<size_t>(y) + r) * 256 + x) * page.bytesPerPixel);
    }
    ++pageWrites;
    return true;
}

bool FakeDevice::createMeshTexture(int id, int width, int height, const uint32_t* argb) {
    if (id < 0 || width <= 0 || height <= 0) return false;
    MeshTexture& texture = meshTextures[id];
    texture.width = width;
    texture.height = height;
    texture.argb.assign(argb, argb + static_cast<size_t>(width) * height);
    ++meshTexturesCreated;
    return true;
}

bool FakeDevice::drawTriangles(int meshTexture, bool additive, const ScreenVertex* vertices,
                               int count) {
    if (meshTexture >= 0 && meshTextures.count(meshTexture) == 0) return false;
    triangleBatches.push_back({meshTexture, additive, {vertices, vertices + count}});
    return true;
}

TestWorld::TestWorld() {
    fs::create_directories(dir / "data");
    fs::create_directories(dir / "user");
    auto clockOwner = std::make_unique<VirtualClock>(0);
    clock = clockOwner.get();
    ctx = std::make_unique<Context>(std::move(clockOwner), FileSystem(dir / "data", dir / "user"),
                                    platform, 1234);
}

}  // namespace qs::test
