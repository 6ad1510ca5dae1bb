#pragma once

#include <cstddef>

#include <string>
#include <vector>

namespace qs {

inline constexpr size_t kMaxTextFileBytes = 16384;

class Context;

// Shows a screen text from a "text\" file: layout settings, then "#begin"/"#end" sections
// whose lines are created with create_txt under `tag`. `values` fills the "%N;" placeholders
// (comma-separated, 1-based). False when the file is missing (logged).
bool ShowTextFile(Context& ctx, const std::string& path, const std::string& tag,
                  const std::string& values = {});

// A text line with its "%N;" placeholders filled from `values`.
std::string fillPlaceholders(const std::string& line, const std::vector<std::string>& values,
                             std::string* problem = nullptr);

}  // namespace qs
