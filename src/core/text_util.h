#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qs {

// Small helpers shared by the readers of the game's 8-bit text formats.

// Splits text into lines at CR LF, LF or a lone CR; a final line end adds no empty line.
std::vector<std::string> splitLines(const std::string& text);

// Blanks, tabs and control characters at both ends are removed, like the classic Trim.
std::string trim(const std::string& s);
std::string toLower(std::string s);
bool startsWith(const std::string& s, const std::string& prefix);
bool endsWithNoCase(const std::string& s, const std::string& suffix);

// Cuts a line to the 255 characters every reader keeps.
std::string cutLine(const std::string& s, size_t limit = 255);

// A signed 32-bit decimal integer with an optional sign and nothing else around it.
std::optional<int> parseInt(const std::string& s);
// Like parseInt, but also "$" hexadecimal.
std::optional<int> parseIntOrHex(const std::string& s);
// A real with "." as decimal separator.
std::optional<double> parseReal(const std::string& s);

}  // namespace qs
