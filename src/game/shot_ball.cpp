#include "game/shot_ball.h"

#include "game/bombs.h"
#include "game/gameplay.h"
#include "game/matching.h"

namespace qs {

namespace {

// Above this line the ball flies inside the field's frame and is drawn beneath it.
constexpr double kFieldFrameY = 435;

}  // namespace

void fire(Gameplay& game, int kind, int tint, int bonus) {
    if (game.ball) return;
    ShotBall ball;
    ball.kind = kind;
    ball.tint = tint;
    ball.bonus = bonus;
    ball.x = game.aim.muzzleX;
    ball.y = game.aim.muzzleY;
    ball.priority = 250;
    if (game.path.count() == 0) {
        ball.freeFlight = true;
        ball.vx = game.aim.launchVX;
        ball.vy = game.aim.launchVY;
    }
    game.ball = ball;
    game.sound("sample_shot1");
}

void stepShotBall(Gameplay& game) {
    if (!game.ball) return;
    ShotBall& ball = *game.ball;
    const ShotPath& path = game.path;
    bool docks = false;
    if (ball.freeFlight) {
        ball.x += ball.vx;
        ball.y += ball.vy;
        ball.vy += 0.5;
        if (ball.y > 500) ball.y = kGoneY;
    } else if (ball.step >= 0 && ball.step < path.count()) {
        const PathPoint point = path.points[static_cast<size_t>(ball.step)];
        ball.x = point.x;
        ball.y = point.y;
        if (ball.y < kFieldFrameY) ball.priority = 95;
        if (ball.step > 0) {
            const PathPoint previous = path.points[static_cast<size_t>(ball.step - 1)];
            for (double fraction : {0.5, 0.75}) {
                const double tx = previous.x + (point.x - previous.x) * fraction;
                const double ty = previous.y + (point.y - previous.y) * fraction;
                game.particles(kParticleBallTrail, 1, ball.kind, tx, ty);
                if (ty > kFieldFrameY) ball.priority = 250;
            }
        }
        if (!path.hasTarget() && ball.y < -1) ball.y = kGoneY;
        if (ball.step + 1 == path.count()) {
            ball.y = kGoneY;
            docks = path.hasTarget();
        }
        ball.step += 1;
    } else {
        ball.y = kGoneY;  // a path that ended under it
    }

    const int kind = ball.kind;
    if (docks) dock(game, path.targetColumn, path.targetRow, kind, ball.tint, ball.bonus);
    if (game.ball && game.ball->y < kDestroyBelowY) {
        if (kind == kCellBigBomb) {
            GameEvent e;
            e.type = GameEvent::kStopBurning;
            game.events.push_back(e);
        }
        GameEvent e;
        e.type = GameEvent::kBallGone;
        game.events.push_back(e);
        game.ball.reset();
    }
}

void dock(Gameplay& game, int column, int row, int kind, int tint, int bonus) {
    BallGrid& grid = game.grid;
    if (!BallGrid::inside(column, row)) return;
    if (isBomb(kind))
        game.sound("sample_connection_bomb");
    else if (bonus != 0)
        game.sound("sample_connection_bonus");
    else
        game.sound("sample_connection");

    grid.setCell(column, row, kind, tint, bonus);
    GameEvent docked;
    docked.type = GameEvent::kDocked;
    docked.column = column;
    docked.row = row;
    docked.kind = kind;
    const size_t dockedEvent = game.events.size();
    game.events.push_back(docked);
    if (isBomb(kind)) {
        game.bombDeadline = game.now + kBombFuseMs;
        GameEvent armed;
        armed.type = GameEvent::kBombArmed;
        armed.column = column;
        armed.row = row;
        armed.kind = kind;
        game.events.push_back(armed);
    }

    grid.groupCounter = 0;
    if (kind == kCellMultiball)
        grid.markMultiballGroups(column, row);
    else
        grid.markGroup(column, row, kind);

    const int group = grid.groupCounter;
    game.events[dockedEvent].count = group;
    if (group < 3) {
        grid.clearMarks(BallGrid::kFirstRow, grid.rows - 1);
        // A bomb waits for its detonation: it does not break the combo.
        if (!isBomb(kind)) game.score.comboCount = 0;
        game.score.matchRun = 0;
        grid.updateRowStats();
        if (game.mode == kModeChallenge && grid.consecutiveRows + grid.limitRow > 89 && row < grid.limitRow)
            removeCell(game, column, row, false);
        dropUnsupported(game, false);
    } else {
        scoreDock(game, group);
    }
    grid.updateRowStats();
}

}  // namespace qs
