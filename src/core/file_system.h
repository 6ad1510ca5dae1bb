#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace qs {

// The one place that opens files. Content names keep the game's own form
// ("graphics\balls\ball1\ball1.spr", any letter case) and resolve to files under the
// read-only content root; the files the game writes live in the user folder.
class FileSystem {
public:
    FileSystem() = default;
    FileSystem(std::filesystem::path contentRoot, std::filesystem::path userDir);

    const std::filesystem::path& contentRoot() const { return contentRoot_; }
    const std::filesystem::path& userDir() const { return userDir_; }

    // The file a content name stands for: the exact path first, then a case-insensitive
    // match of each path component. Nothing when no such file exists.
    std::optional<std::filesystem::path> resolveContent(const std::string& name) const;
    bool contentExists(const std::string& name) const { return resolveContent(name).has_value(); }
    // The whole file, or nothing when it is missing or unreadable.
    std::optional<std::string> readContent(const std::string& name) const;

    // A file of the user folder (options.txt, log.txt, players.txt, records.txt).
    std::filesystem::path userPath(const std::string& name) const;
    std::optional<std::string> readUser(const std::string& name) const;

    // Creates the user folder and seeds it with the content root's copy of a file
    // that the user folder lacks. Returns false when the folder cannot be made; a seed that
    // cannot be written leaves the reason in *error and still returns true.
    bool prepareUserDir(const std::string& seedFile, std::string* error = nullptr) const;

    // Reads a whole file by its real path.
    static std::optional<std::string> readFile(const std::filesystem::path& path);
    // The same, refusing a file larger than `limit` bytes before reading any of it; on
    // failure *error says why ("Permission denied", "larger than ...").
    static std::optional<std::string> readFile(const std::filesystem::path& path, std::string* error,
                                               std::uintmax_t limit);
    // Writes a file through a temporary file in the same folder and a rename, so the old
    // file stays whole when anything fails. On failure the reason goes to *error.
    static bool writeFileAtomic(const std::filesystem::path& path, const std::string& contents,
                                std::string* error = nullptr);

    // "a\b/C" -> "a/b/C": content names use backslashes.
    static std::string normaliseName(const std::string& name);

private:
    std::filesystem::path contentRoot_;
    std::filesystem::path userDir_;
};

}  // namespace qs
