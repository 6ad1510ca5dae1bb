#include "game/bonuses.h"

#include "game/gameplay.h"

namespace qs {

void initBonusTable(Gameplay&) {}
void resetBonuses(Gameplay&) {}
void releaseBonus(Gameplay&, int, int, double, double) {}
void updateBonuses(Gameplay&) {}
void endBonus(Gameplay&, int) {}
void endAllBonuses(Gameplay&) {}
void resetNet(Gameplay&) {}
bool stepNet(Gameplay&) { return false; }

}  // namespace qs
