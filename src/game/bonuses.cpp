#include "game/bonuses.h"

#include "game/gameplay.h"

namespace qs {

void initBonusTable(Gameplay&) {}
void resetBonuses(Gameplay&) {}
void releaseBonus(Gameplay&, int, int, double, double) {}
void updateBonuses(Gameplay&) {}
void endBonus(Gameplay&, int) {}
void endAllBonuses(Gameplay&) {}
void resetNet(Gameplay& game) {
    game.net = NetState{11, 11, 0, 0};
    game.grid.netMargin = 2;
}
bool stepNet(Gameplay&) { return false; }

}  // namespace qs
