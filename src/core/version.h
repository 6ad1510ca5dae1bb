#pragma once

namespace qs {

// The game's release ("1.2.0"), from the newest heading of NEWS; "unknown" in a build made
// without it.
const char* gameVersion();

}  // namespace qs
