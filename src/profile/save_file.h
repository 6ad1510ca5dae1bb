#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/log.h"

namespace qs {

// What the player's save files (players, records) share: how a raw line is read and how a
// file is written back.

// A control character other than a tab ends what can be read of a line.
bool isSaveControl(char c);

// The sound part of a raw line (its line end already removed): at most `limit` characters,
// up to the first control character. Each cut is said through `damage`.
std::string soundSaveLine(std::string line, std::size_t limit, const std::function<void(std::string)>& damage);

// True when anything but blanks and commas follows field `field` of a comma-separated line
// (a trailing comma loses nothing).
bool hasTextAfterField(const std::string& line, int field);

// Logs the damaged lines of a save with its name and their line numbers: the first twenty,
// then how many more (a file of garbage must not flood the log).
template <typename Damage>
void logSaveDamage(Log& log, const std::filesystem::path& path, const std::vector<Damage>& damage) {
    constexpr std::size_t kLinesLogged = 20;
    const std::size_t logged = damage.size() < kLinesLogged ? damage.size() : kLinesLogged;
    for (std::size_t i = 0; i < logged; ++i)
        log.error(path.string() + " line " + std::to_string(damage[i].line) + ": " + damage[i].what);
    if (damage.size() > logged)
        log.error(path.string() + ": " + std::to_string(damage.size() - logged) + " more damaged lines");
}

// Every damaged original is kept, up to this many copies a file: NAME.bad, NAME.bad.2, ...
// A file damaged again and again (a broken disk, a tool that keeps writing junk) must not
// fill the folder; at the bound the oldest copy gives way, and the log says which.
inline constexpr int kDamagedCopiesKept = 5;

// The name of the n-th kept copy (1: NAME.bad, n: NAME.bad.n).
std::filesystem::path damagedCopyPath(const std::filesystem::path& path, int n);

// Keeps a damaged original beside its file: in the first free copy, never over an older one
// while a name is free, and not again when a copy already holds the same text. False, with
// the reason in *error, when it could not be written.
bool keepDamagedOriginal(const std::filesystem::path& path, const std::string& text, Log& log, std::string* error);

// Writes `text` through a temporary file. A damaged original read earlier is first kept beside
// the file (see keepDamagedOriginal; the rewrite drops what the reader could not take in).
// False, logged, when either write fails; the old file then stays.
// With `failure` given, the failure is put there (path and reason) instead of being logged.
bool writeSave(const std::filesystem::path& path, const std::string& text,
               std::optional<std::string>& damagedOriginal, Log& log, std::string* failure = nullptr);

// The reading side of a save the run writes again. Once the file cannot be read (an error, not
// a regular file, too large), what it holds is unknown: the save is closed for the rest of the
// run, so it is neither read half nor written over; the log and the player are told once.
class SaveReader {
public:
    using Notice = std::function<void(const std::string& text)>;
    // `kind` names the file for the player ("player file"), `loss` says what goes unsaved
    // ("progress will not be saved").
    SaveReader(Log& log, Notice tellPlayer, std::string kind, std::string loss)
        : log_(log), tellPlayer_(std::move(tellPlayer)), kind_(std::move(kind)), loss_(std::move(loss)) {}

    enum class Result { kRead, kMissing, kClosed };
    // Reads the file at `path`, at most `limit` bytes, into `text` (kRead). A closed save is
    // not read again.
    Result read(const std::filesystem::path& path, std::size_t limit, std::string& text);
    bool closed() const { return closed_; }

private:
    void close(const std::filesystem::path& path, const std::string& reason);

    Log& log_;
    Notice tellPlayer_;
    std::string kind_;
    std::string loss_;
    bool closed_ = false;
};

}  // namespace qs
