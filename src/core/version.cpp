#include "core/version.h"

#ifndef QUIBBLESTAR_GAME_VERSION
#define QUIBBLESTAR_GAME_VERSION "unknown"
#endif

namespace qs {

const char* gameVersion() { return QUIBBLESTAR_GAME_VERSION; }

}  // namespace qs
