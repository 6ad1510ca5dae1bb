#include "game/ball_queue.h"

#include <algorithm>

#include "core/random.h"
#include "game/gameplay.h"

namespace qs {

void drawBonusInterval(Gameplay&) {}
void advanceQueue(Gameplay& game) {
    BallQueue& q = game.queue;
    if (q.next.kind != 0) q.current = q.next;
    const auto& colours = game.levelValues.levelColourList;
    if (game.mode == kModePuzzle && !colours.empty())
        q.next = QueuedBall{colours[static_cast<size_t>(game.random.below(static_cast<int>(colours.size())))], 0, 0};
    else
        q.next = QueuedBall{1 + game.random.below(std::max(1, std::min(game.grid.colourCount, kColourCount))), 0, 0};
}
void swapBalls(Gameplay&) {}
void awardBigBomb(Gameplay&) {}

}  // namespace qs
