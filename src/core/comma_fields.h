#pragma once

#include <string>

namespace qs {

// The n-th (1-based) comma-separated field of a line, exactly as written: no trimming,
// no quoting. Every text format of the game takes its fields through this one splitter.
std::string GetCommaField(const std::string& line, int n);

}  // namespace qs
