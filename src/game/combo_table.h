#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qs {

class FileSystem;
class Log;

// One line of "text\combo.txt": the text shown for a combo of `threshold` matches.
struct ComboText {
    int32_t threshold = 0;
    std::string text;
};

inline constexpr const char* kComboFile = "text\\combo.txt";

// Reads "text\combo.txt": one "count,text" a line, in file order. A missing file gives an
// empty table (no combo factor, no combo texts); bad lines are logged with their number and
// skipped.
std::vector<ComboText> readComboTable(const FileSystem& files, Log& log);

}  // namespace qs
