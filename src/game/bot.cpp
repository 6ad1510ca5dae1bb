#include "game/bot.h"

#include "core/random.h"
#include "game/game_session.h"
#include "game/gameplay.h"
#include "game/shot_ball.h"

namespace qs {

namespace {

constexpr int kAims = 97;
constexpr double kWidestAim = 1.15;

// Balls one shot of `ball` at `angle` takes off the field, on a copy that shares nothing
// with the game (its own generator, no picture).
int tryShot(const Gameplay& game, double angle, const QueuedBall& ball) {
    Random scratch(1);
    Gameplay copy(game.options, game.combos, scratch);
    copy.mode = game.mode;
    copy.level = game.level;
    copy.grid = game.grid;
    copy.grid.setView(nullptr);
    copy.levelValues = game.levelValues;
    copy.score = game.score;
    copy.bonusesLocked = true;
    setAimAngle(copy.aim, angle);
    copy.updatePath();
    if (!copy.path.hasTarget()) return -1;
    dock(copy, copy.path.targetColumn, copy.path.targetRow, ball.kind, ball.tint, ball.bonus);
    int taken = 0;
    for (const GameEvent& e : copy.events)
        if (e.type == GameEvent::kRemoved || e.type == GameEvent::kDropped) taken += e.count;
    return taken;
}

BotChoice best(const Gameplay& game, const QueuedBall& ball) {
    BotChoice choice;
    for (int i = 0; i < kAims; ++i) {
        const double angle = kWidestAim - 2 * kWidestAim * i / (kAims - 1);
        const int score = tryShot(game, angle, ball);
        if (score > choice.score) {
            choice.score = score;
            choice.angle = angle;
        }
    }
    return choice;
}

}  // namespace

BotChoice chooseShot(const Gameplay& game) {
    BotChoice now = best(game, game.queue.current);
    if (game.queue.next.kind != 0 && game.queue.rocketCount == 0) {
        BotChoice next = best(game, game.queue.next);
        if (next.score > now.score) {
            next.swap = true;
            return next;
        }
    }
    return now;
}

int Bot::overlayButton(const GameSession& session) {
    switch (session.state()) {
        case kGameRecords: return 3;
        case kGameStatistics:
        case kGameOverDialog:
        case kGameTryAgain: return 1;
        default: return 0;
    }
}

std::vector<GameCommand> Bot::play(const GameSession& session) {
    const Gameplay& game = session.game();
    if (session.state() != kGamePlaying || !session.cannonReady() || session.levelStartPending() || game.ball)
        return {};
    if (session.fastDropping()) return {command::Fire{}};
    if (!session.mayFire()) return {};
    if (!swapped_) {
        const BotChoice choice = chooseShot(game);
        angle_ = choice.angle;
        if (choice.swap) {
            swapped_ = true;
            return {session.secondButton()};
        }
    }
    swapped_ = false;
    return {command::AimAngle{angle_}, command::Fire{}};
}

}  // namespace qs
