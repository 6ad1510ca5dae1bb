#pragma once

#include <string>

namespace qs {

// No screen comes near these (the game's own maps hold at most a few dozen objects); a map
// beyond them is damaged. The object cap is what the software renderer still draws at full
// speed when every object is a large soft-edged panel (bench/bench_crowded_map.cpp).
inline constexpr int kMaxMapPrototypes = 1024;
inline constexpr int kMaxMapObjects = 1024;

class SceneObjectList;

// Builds every object of a ".map" screen layout, tags them with the map's name ("main.map"
// gives "main") and resets the map scroll. Returns the number of object lines, or -1 when
// the map has no prototypes or no objects (or cannot be read). Bad lines are logged with
// their line number; an object line that cannot be used is skipped.
int load_location_map(SceneObjectList& objects, const std::string& path);

}  // namespace qs
