#include "game/ball_queue.h"

#include "game/gameplay.h"

namespace qs {

void drawBonusInterval(Gameplay&) {}
void advanceQueue(Gameplay&) {}
void swapBalls(Gameplay&) {}
void awardBigBomb(Gameplay&) {}

}  // namespace qs
