#include "test_support.h"

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

TestWorld::TestWorld() {
    fs::create_directories(dir / "data");
    fs::create_directories(dir / "user");
    auto clockOwner = std::make_unique<VirtualClock>(0);
    clock = clockOwner.get();
    ctx = std::make_unique<Context>(std::move(clockOwner), FileSystem(dir / "data", dir / "user"),
                                    platform, 1234);
}

}  // namespace qs::test
