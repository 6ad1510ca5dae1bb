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

// Writes `text` through a temporary file. A damaged original read earlier is first kept beside
// the file as NAME.bad (once: the rewrite drops what the reader could not take in). False,
// logged, when either write fails; the old file then stays.
bool writeSave(const std::filesystem::path& path, const std::string& text,
               std::optional<std::string>& damagedOriginal, Log& log);

}  // namespace qs
