#pragma once

#include <string>

namespace qs {

class Context;

// Builds every object of a ".map" screen layout, tags them with the map's name ("main.map"
// gives "main") and resets the map scroll. Returns the number of object lines, or -1 when
// the map has no prototypes or no objects (or cannot be read). Bad lines are logged with
// their line number; an object line that cannot be used is skipped.
int load_location_map(Context& ctx, const std::string& path);

}  // namespace qs
