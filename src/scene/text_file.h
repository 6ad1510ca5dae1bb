#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace qs {

// The longest shipped screen text is some 2,200 characters. Every glyph is an object drawn
// each frame, and thousands of them stacked on the software renderer cost a frame more than
// a display's refresh (16,384 took some 40 ms a frame, 4,096 some 15 ms): a larger file is
// read only this far.
inline constexpr size_t kMaxTextFileBytes = 4096;

class SceneObjectList;

// Shows a screen text from a "text\" file: layout settings, then "#begin"/"#end" sections
// whose lines are created with create_txt under `tag`. `values` fills the "%N;" placeholders
// (comma-separated, 1-based). False when the file is missing (logged).
bool ShowTextFile(SceneObjectList& objects, const std::string& path, const std::string& tag,
                  const std::string& values = {});

// A text line with its "%N;" placeholders filled from `values`.
std::string fillPlaceholders(const std::string& line, const std::vector<std::string>& values,
                             std::string* problem = nullptr);

}  // namespace qs
