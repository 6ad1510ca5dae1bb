#include "core/file_system.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/text_util.h"

namespace qs {

namespace fs = std::filesystem;

FileSystem::FileSystem(fs::path contentRoot, fs::path userDir)
    : contentRoot_(std::move(contentRoot)), userDir_(std::move(userDir)) {}

std::string FileSystem::normaliseName(const std::string& name) {
    std::string out;
    out.reserve(name.size());
    for (char c : name) out += (c == '\\') ? '/' : c;
    // Collapse doubled separators and a leading "./".
    std::string collapsed;
    for (char c : out) {
        if (c == '/' && !collapsed.empty() && collapsed.back() == '/') continue;
        collapsed += c;
    }
    while (startsWith(collapsed, "./")) collapsed.erase(0, 2);
    return collapsed;
}

std::optional<fs::path> FileSystem::resolveContent(const std::string& name) const {
    std::string normal = normaliseName(trim(name));
    if (normal.empty()) return std::nullopt;
    fs::path relative(normal);
    fs::path base = relative.is_absolute() ? fs::path("/") : contentRoot_;
    if (relative.is_absolute()) relative = relative.relative_path();

    std::error_code ec;
    fs::path exact = base / relative;
    if (fs::is_regular_file(exact, ec)) return exact;

    // Walk component by component, matching each one without regard to case.
    fs::path current = base;
    for (const fs::path& part : relative) {
        std::string wanted = part.string();
        if (wanted.empty()) continue;
        if (wanted == "." || wanted == "..") {
            current /= part;
            continue;
        }
        fs::path direct = current / part;
        if (fs::exists(direct, ec)) {
            current = direct;
            continue;
        }
        std::string wantedLower = toLower(wanted);
        bool found = false;
        for (fs::directory_iterator it(current, ec), end; !ec && it != end; it.increment(ec)) {
            if (toLower(it->path().filename().string()) == wantedLower) {
                current = it->path();
                found = true;
                break;
            }
        }
        if (!found) return std::nullopt;
    }
    if (fs::is_regular_file(current, ec)) return current;
    return std::nullopt;
}

std::optional<std::string> FileSystem::readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return buffer.str();
}

std::optional<std::string> FileSystem::readFile(const fs::path& path, std::string* error, std::uintmax_t limit) {
    auto fail = [&](const std::string& why) -> std::optional<std::string> {
        if (error) *error = why;
        return std::nullopt;
    };
    // Only a regular file is opened: opening a pipe in the place of a save would wait for a
    // writer for ever.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return fail(std::strerror(errno));
    if (S_ISDIR(info.st_mode)) return fail("it is a folder");
    if (!S_ISREG(info.st_mode)) return fail("it is not a regular file");
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return fail(std::strerror(errno));
    if (::fstat(fd, &info) != 0) {
        const int saved = errno;
        ::close(fd);
        return fail(std::strerror(saved));
    }
    if (S_ISDIR(info.st_mode)) {
        ::close(fd);
        return fail("it is a folder");
    }
    // The size is known before anything is read, so a huge file costs no time or memory.
    if (S_ISREG(info.st_mode) && static_cast<std::uintmax_t>(info.st_size) > limit) {
        ::close(fd);
        return fail("it is " + std::to_string(info.st_size) + " bytes, more than the " + std::to_string(limit) +
                    " such a file may have");
    }
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int saved = errno;
            ::close(fd);
            return fail(std::strerror(saved));
        }
        if (n == 0) break;
        text.append(buffer, static_cast<size_t>(n));
        // A pipe or device has no size to check beforehand.
        if (text.size() > limit) {
            ::close(fd);
            return fail("it is more than the " + std::to_string(limit) + " bytes such a file may have");
        }
    }
    ::close(fd);
    return text;
}

std::optional<std::string> FileSystem::readContent(const std::string& name) const {
    auto path = resolveContent(name);
    if (!path) return std::nullopt;
    return readFile(*path);
}

fs::path FileSystem::userPath(const std::string& name) const {
    return userDir_ / normaliseName(name);
}

std::optional<std::string> FileSystem::readUser(const std::string& name) const {
    return readFile(userPath(name));
}

bool FileSystem::prepareUserDir(const std::string& seedFile, std::string* error) const {
    std::error_code ec;
    fs::create_directories(userDir_, ec);
    if (ec) {
        if (error) *error = "cannot create the user folder " + userDir_.string() + ": " + ec.message();
        return false;
    }
    // A save cut short (the program killed between writing and renaming) leaves its
    // temporary file behind; the real file is intact, so the leftover goes.
    for (const char* name : {"options.txt", "players.txt", "records.txt"}) {
        fs::path leftover = userPath(name);
        leftover += ".tmp";
        if (fs::is_regular_file(leftover, ec)) fs::remove(leftover, ec);
    }
    fs::path target = userPath(seedFile);
    if (!seedFile.empty() && !fs::exists(target, ec)) {
        if (auto source = resolveContent(seedFile)) {
            if (auto contents = readFile(*source)) {
                // The game runs on without the copy (the shipped settings stand in for it);
                // the caller is told why.
                std::string writeError;
                if (!writeFileAtomic(target, *contents, &writeError) && error)
                    *error = "cannot seed " + target.string() + ": " + writeError;
            }
        }
    }
    return true;
}

bool FileSystem::writeFileAtomic(const fs::path& given, const std::string& contents,
                                 std::string* error) {
    std::error_code ec;
    // A linked file keeps its link: the new contents replace the file it points to.
    fs::path path = given;
    for (int hops = 0; hops < 16 && fs::is_symlink(path, ec); ++hops) {
        fs::path target = fs::read_symlink(path, ec);
        if (ec) break;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    if (fs::is_directory(path, ec)) {
        if (error) *error = path.string() + " is a folder, not a file";
        return false;
    }
    fs::path temp = path;
    temp += ".tmp";
    auto fail = [&](const std::string& what) {
        if (error) *error = what + " " + temp.string() + ": " + std::strerror(errno);
        std::error_code ec;
        if (!fs::is_directory(temp, ec)) fs::remove(temp, ec);
        return false;
    };
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return fail("cannot create");
    // The new file takes the old one's permissions: a save the player made read-only stays so.
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode) && ::fchmod(fd, old.st_mode & 07777) != 0) {
        ::close(fd);
        return fail("cannot give the permissions of " + path.string() + " to");
    }
    size_t written = 0;
    while (written < contents.size()) {
        ssize_t n = ::write(fd, contents.data() + written, contents.size() - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return fail("cannot write");
        }
        written += static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0 && errno != EINVAL) {
        ::close(fd);
        return fail("cannot flush");
    }
    if (::close(fd) != 0) return fail("cannot close");
    if (::rename(temp.c_str(), path.c_str()) != 0) return fail("cannot rename");
    return true;
}

}  // namespace qs
