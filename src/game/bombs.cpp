#include "game/bombs.h"

#include "game/gameplay.h"

namespace qs {

void detonateBombs(Gameplay&) {}

}  // namespace qs
