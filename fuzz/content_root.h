// A content root in a temporary folder for the fuzz targets whose readers go through
// qs::FileSystem: made once per process, each input written over the same files. The folder
// sits in memory (/dev/shm) where there is one: on disk the writes, not the readers, would
// set the pace of a run. Each process has its own folder, so parallel jobs and one-off
// reproductions never pull files from under a running fuzzer; libFuzzer ends a timed run
// without destructors, so the folders of processes that are gone are swept at start.
#pragma once

#include <unistd.h>

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
        : root_(tempBase() / ("qs-fuzz-" + name + "-" + std::to_string(::getpid()))),
          files_(root_, root_ / "user") {
        sweep(name);
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
    // Removes "qs-fuzz-NAME-PID" folders whose process no longer runs.
    static void sweep(const std::string& name) {
        const std::string prefix = "qs-fuzz-" + name + "-";
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(tempBase(), error)) {
            const std::string folder = entry.path().filename().string();
            if (folder.compare(0, prefix.size(), prefix) != 0) continue;
            const std::string pid = folder.substr(prefix.size());
            if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
            std::error_code ignored;
            if (!std::filesystem::exists("/proc/" + pid, ignored)) std::filesystem::remove_all(entry.path(), ignored);
        }
    }

    static std::filesystem::path tempBase() {
        std::error_code ignored;
        if (std::filesystem::is_directory("/dev/shm", ignored)) return "/dev/shm";
        return std::filesystem::temp_directory_path();
    }

    std::filesystem::path root_;
    qs::FileSystem files_;
};

}  // namespace fuzzing
