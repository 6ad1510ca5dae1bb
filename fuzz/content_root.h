// A content root in a temporary folder for the fuzz targets whose readers go through
// qs::FileSystem: made once per process, each input written over the same files. The folder
// sits in memory (/dev/shm) where there is one: on disk the writes, not the readers, would
// set the pace of a run. One folder per target, so runs cut short leave nothing to pile up
// (libFuzzer ends a run without destructors); parallel jobs of one target would share it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "core/file_system.h"

namespace fuzzing {

class ContentRoot {
public:
    explicit ContentRoot(const std::string& name)
        : root_(tempBase() / ("qs-fuzz-" + name)),
          files_(root_, root_ / "user") {
        std::filesystem::create_directories(root_);
    }
    ~ContentRoot() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
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
    static std::filesystem::path tempBase() {
        std::error_code ignored;
        if (std::filesystem::is_directory("/dev/shm", ignored)) return "/dev/shm";
        return std::filesystem::temp_directory_path();
    }

    std::filesystem::path root_;
    qs::FileSystem files_;
};

}  // namespace fuzzing
