#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace qs {

// Reads every resource list, sprite prototype (with its images), font width file, map,
// text file and level file under a content root, as the game would, and reports every
// problem with its file and line. Returns the number of problems.
// The maps and texts a screen of the game opens by name (game names, backslashes).
std::vector<std::string> filesOpenedByName();

// `decodeSound` (when given) decodes each sound, music and module file a list names; one
// that does not decode is a problem.
using SoundDecoder = std::function<bool(const std::string& path, std::string* error)>;
int checkContent(const std::string& contentRoot, std::ostream& report, const SoundDecoder& decodeSound = {});

}  // namespace qs
