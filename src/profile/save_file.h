#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace qs {

class Log;

// What the player's save files (players, records) share: how a raw line is read and how a
// file is written back.

// A control character other than a tab ends what can be read of a line.
bool isSaveControl(char c);

// The sound part of a raw line (its line end already removed): at most `limit` characters,
// up to the first control character. Each cut is said through `damage`.
std::string soundSaveLine(std::string line, std::size_t limit, const std::function<void(std::string)>& damage);

// Writes `text` through a temporary file. A damaged original read earlier is first kept beside
// the file as NAME.bad (once: the rewrite drops what the reader could not take in). False,
// logged, when either write fails; the old file then stays.
bool writeSave(const std::filesystem::path& path, const std::string& text,
               std::optional<std::string>& damagedOriginal, Log& log);

}  // namespace qs
