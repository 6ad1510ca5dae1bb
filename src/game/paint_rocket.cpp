#include "game/paint_rocket.h"

#include <cmath>

#include "core/random.h"
#include "game/gameplay.h"
#include "game/nearest.h"

namespace qs {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kSideAngle = 0.433;  // how far round the barrel a rocket leaves from its axis
constexpr double kBarrelReach = 81;
constexpr double kBarrelX = 386.5;
constexpr double kBarrelY = 541.5;
constexpr double kSpeed = 4;
constexpr double kCeilingY = -2700;  // far above the field: nothing left to paint
constexpr int kRepaintSparks = 12;
constexpr int kBurstSparks = 32;

void repaintAround(Gameplay& game, const PaintRocket& rocket) {
    BallGrid& grid = game.grid;
    const int rowGuess = nearest((grid.baseY + grid.scroll - rocket.y - 10) / BallGrid::kRowPitch);
    for (int row = rowGuess - 1; row <= rowGuess + 1; ++row) {
        if (row < BallGrid::kFirstRow || row > BallGrid::kLastRow) continue;
        const int shift = grid.rowWidth(row) == 11 ? 17 : 0;
        const int columnGuess = nearest((rocket.x - 130 - shift) / BallGrid::kColumnPitch);
        for (int column = columnGuess - 1; column <= columnGuess + 1; ++column) {
            const GridCell* cell = grid.cellAt(column, row);
            // Only plain colour balls take paint: bombs, multiballs, land and crystals keep
            // what they are.
            if (!cell || !isColour(cell->kind) || cell->kind == rocket.colour) continue;
            // Writing the cell anew makes the view rebuild its ball in the new colour, with
            // the bonus it carries.
            grid.setCell(column, row, rocket.colour, 0, cell->bonus);
            game.particles(kParticleSpark, kRepaintSparks, rocket.colour, grid.cellX(column, row),
                           grid.cellY(row));
        }
    }
}

}  // namespace

void launchRocket(Gameplay& game) {
    BallQueue& q = game.queue;
    if (q.rocketCount <= 0) return;
    game.sound("sample_rocket_launch");
    --q.rocketCount;
    GameEvent marks;
    marks.type = GameEvent::kQueueChanged;
    game.events.push_back(marks);

    PaintRocket rocket;
    const double heading = -game.aim.aimAngle - kPi / 2;
    // The first of two rockets leaves from one side of the barrel, the last from the other.
    const double side = q.rocketCount == 1 ? heading + kSideAngle : heading - kSideAngle;
    rocket.x = kBarrelX + kBarrelReach * std::cos(side);
    rocket.y = kBarrelY + kBarrelReach * std::sin(side);
    rocket.vx = kSpeed * std::cos(heading);
    rocket.vy = kSpeed * std::sin(heading);
    rocket.angle = game.aim.aimAngle;
    rocket.colour = isColour(q.current.kind) ? q.current.kind : 1 + game.random.below(kColourCount);
    rocket.alive = true;

    for (PaintRocket& slot : game.rockets) {
        if (!slot.alive) {
            slot = rocket;
            return;
        }
    }
    game.rockets.push_back(rocket);
}

void stepRockets(Gameplay& game) {
    const BallGrid& grid = game.grid;
    for (PaintRocket& rocket : game.rockets) {
        if (!rocket.alive) continue;
        repaintAround(game, rocket);
        rocket.x += rocket.vx;
        rocket.y += rocket.vy;
        const double left = 120 + 34 * grid.netMargin;
        const double right = 647 - 34 * grid.netMargin;
        if (rocket.y >= kCeilingY && rocket.x >= left && rocket.x <= right) {
            game.particles(kParticleRocketTrail, 1, rocket.colour, rocket.x, rocket.y);
        } else {
            game.particles(kParticleBombSpark, kBurstSparks, rocket.colour, rocket.x, rocket.y);
            rocket.alive = false;
        }
    }
}

}  // namespace qs
