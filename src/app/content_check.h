#pragma once

#include <ostream>
#include <string>

namespace qs {

// Reads every resource list, sprite prototype (with its images), font width file, map,
// text file and level file under a content root, as the game would, and reports every
// problem with its file and line. Returns the number of problems.
int checkContent(const std::string& contentRoot, std::ostream& report);

}  // namespace qs
