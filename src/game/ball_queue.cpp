#include "game/ball_queue.h"

#include <algorithm>

#include "core/options.h"
#include "core/random.h"
#include "game/bonuses.h"
#include "game/gameplay.h"
#include "game/nearest.h"

namespace qs {

namespace {

void emit(Gameplay& game, GameEvent::Type type) {
    GameEvent e;
    e.type = type;
    game.events.push_back(e);
}

// A colour for the next ball: a puzzle deals only the colours its picture uses.
int dealColour(Gameplay& game) {
    const std::vector<int>& list = game.levelValues.levelColourList;
    if (game.mode == kModePuzzle && !list.empty())
        return list[static_cast<size_t>(game.random.below(static_cast<int>(list.size())))];
    return 1 + game.random.below(std::clamp(game.grid.colourCount, 1, kColourCount));
}

}  // namespace

void drawBonusInterval(Gameplay& game) {
    const int spread = std::max(game.options.bonus_probability_random_proc, 0);
    // With no spread the draw has nothing to choose from: the interval is the option itself.
    const int offset = spread > 0 ? game.random.below(2 * spread) - spread : 0;
    const double interval = (offset + 100) / 100.0 * game.options.bonus_probability;
    // An interval of 0 would put a bonus on every ball and never let the counter rest.
    game.queue.bonusInterval = std::max(nearest(interval), 1);
}

void advanceQueue(Gameplay& game) {
    BallQueue& q = game.queue;
    const bool moved = q.next.kind != 0;
    if (moved) q.current = q.next;

    q.next = QueuedBall{dealColour(game), 0, 0};

    int bonus = kBonusNone;
    if (++q.shotsSinceBonus > q.bonusInterval) {
        q.shotsSinceBonus = 0;
        const std::vector<int>& list = game.levelValues.levelBonusList;
        if (!list.empty()) {
            bonus = list[static_cast<size_t>(game.random.below(static_cast<int>(list.size())))];
            drawBonusInterval(game);
        }
    }
    if (bonus == kBonusMultiball)
        q.next = QueuedBall{kCellMultiball, 0, 0};
    else if (bonus == kBonusColourBomb)
        q.next = QueuedBall{kCellColourBomb, 1 + game.random.below(kColourCount), 0};
    else if (bonus >= kBonusTarget && bonus <= kBonusPaintRocket)
        q.next.bonus = bonus;

    emit(game, GameEvent::kQueueChanged);
    if (moved && q.current.kind == kCellBigBomb) emit(game, GameEvent::kBurningStart);
}

void swapBalls(Gameplay& game) {
    BallQueue& q = game.queue;
    std::swap(q.current, q.next);
    if (q.next.kind == kCellBigBomb) emit(game, GameEvent::kStopBurning);
    emit(game, GameEvent::kQueueChanged);
    if (q.current.kind == kCellBigBomb) emit(game, GameEvent::kBurningStart);
}

void awardBigBomb(Gameplay& game) {
    if (game.mode == kModePuzzle) return;
    const int needed = game.options.bigbomb_expl_count;
    // The shipped default is 0: read as "after no matches", every ball would be a big bomb.
    if (needed <= 0 || game.score.matchRun < needed) return;
    game.score.matchRun = 0;
    game.queue.next = QueuedBall{kCellBigBomb, 0, 0};
    emit(game, GameEvent::kQueueChanged);
}

}  // namespace qs
