// A content root in a temporary folder for the fuzz targets whose readers go through
// qs::FileSystem: made once per process, each input written over the same files.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/file_system.h"

namespace fuzzing {

class ContentRoot {
public:
    explicit ContentRoot(const std::string& name)
        : root_(std::filesystem::temp_directory_path() /
                ("qs-fuzz-" + name + "-" + std::to_string(::getpid()))),
          files_(root_, root_ / "user") {
        std::filesystem::create_directories(root_);
    }
    ContentRoot(const ContentRoot&) = delete;
    ContentRoot& operator=(const ContentRoot&) = delete;

    // Writes `size` bytes as the content file `relative` ("levels/arcade-01.ini").
    void write(const std::string& relative, const uint8_t* data, size_t size) const {
        const std::filesystem::path path = root_ / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    void remove(const std::string& relative) const {
        std::error_code ignored;
        std::filesystem::remove(root_ / relative, ignored);
    }

    const std::filesystem::path& path() const { return root_; }
    const qs::FileSystem& files() const { return files_; }

private:
    std::filesystem::path root_;
    qs::FileSystem files_;
};

}  // namespace fuzzing
