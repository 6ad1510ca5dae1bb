#pragma once

namespace qs {

struct Gameplay;

// One ball of the queue: kind 1..7 colour, 10 colour bomb, 11 big bomb, 12 multiball, with
// the tint a colour bomb carries and the bonus a colour ball carries.
struct QueuedBall {
    int kind = 0;
    int tint = 0;
    int bonus = 0;
};

// The ball in the cannon and the one shown as next.
struct BallQueue {
    QueuedBall current;
    QueuedBall next;
    int shotsSinceBonus = 0;
    int bonusInterval = 0;
    int rocketCount = 0;  // paint rockets held, 0..2
};

// Draws a new bonus interval from `bonus_probability` and its spread (at least 1).
void drawBonusInterval(Gameplay& game);
// After each shot and twice at level start: next becomes current, a new next is dealt and
// may carry a bonus, become a multiball or a colour bomb. Emits kQueueChanged (and
// kBurningStart when a big bomb reaches the cannon).
void advanceQueue(Gameplay& game);
// Exchanges current and next (a big bomb leaving the cannon stops its burning). The caller
// decides whether a swap is allowed and launches a rocket instead while one is held.
void swapBalls(Gameplay& game);
// Arcade and challenge, every frame: after `bigbomb_expl_count` matches in a row the next
// ball becomes a big bomb (a count of 0 or less never awards one).
void awardBigBomb(Gameplay& game);

}  // namespace qs
