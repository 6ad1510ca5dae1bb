#include "game/bombs.h"

#include <cmath>

#include "core/options.h"
#include "core/random.h"
#include "game/gameplay.h"
#include "game/scoring.h"

namespace qs {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kColourBombSparks = 20;
constexpr int kBigBombSparks = 150;

// The six neighbours go; where a neighbour has the bomb's tint, its own neighbours go too.
// None of it counts towards the group: a colour bomb scores only what it makes fall.
void explodeColourBomb(Gameplay& game, int column, int row) {
    BallGrid& grid = game.grid;
    const int tint = grid.cellAt(column, row)->tint;
    game.sound("sample_explosion_middle_bomb");
    for (int i = 0; i < 6; ++i) {
        const CellPos n = grid.neighbour(column, row, i);
        grid.markBallLike(n.column, n.row);
        if (grid.kindAt(n.column, n.row) != tint) continue;
        for (int j = 0; j < 6; ++j) {
            const CellPos m = grid.neighbour(n.column, n.row, j);
            grid.markBallLike(m.column, m.row);
        }
    }
    const double x = grid.cellX(column, row);
    const double y = grid.cellY(row);
    grid.emptyCell(column, row);
    game.particles(kParticleBombSpark, kColourBombSparks, kCellColourBomb, x, y);
}

void markGroupAt(BallGrid& grid, int column, int row) {
    const int kind = grid.kindAt(column, row);
    if (isBallLike(kind)) grid.markGroup(column, row, kind);
}

// Every group that reaches into the blast is taken whole: the cells beside the bomb in its
// row, and above and below a band that widens by one cell on each side per row.
void explodeBigBomb(Gameplay& game, int column, int row) {
    BallGrid& grid = game.grid;
    GameEvent stop;
    stop.type = GameEvent::kStopBurning;
    game.events.push_back(stop);
    game.sound("sample_explosion_big_bomb");
    const int radius = game.options.bigbomb_radius;
    for (int i = 1; i <= radius; ++i) {
        markGroupAt(grid, column - i, row);
        markGroupAt(grid, column + i, row);
    }
    for (int j = 1; j <= radius; ++j) {
        for (int c = column - j; c <= column + j; ++c) {
            markGroupAt(grid, c, row - j);
            markGroupAt(grid, c, row + j);
        }
    }
    const double x = grid.cellX(column, row);
    const double y = grid.cellY(row);
    grid.emptyCell(column, row);
    for (int k = 0; k < kBigBombSparks; ++k) {
        const double angle = static_cast<double>(k) / kBigBombSparks * 2 * kPi;
        const int distance = 20 + game.random.below(100);
        game.particles(kParticleBombSpark, 1, kCellBigBomb, x + distance * std::cos(angle),
                       y + distance * std::sin(angle));
    }
}

}  // namespace

void detonateBombs(Gameplay& game) {
    if (game.bombDeadline == 0 || game.now < game.bombDeadline || game.ball) return;
    game.bombDeadline = 0;
    BallGrid& grid = game.grid;
    grid.groupCounter = 0;
    int bombs = 0;
    for (int r = BallGrid::kFirstRow; r <= BallGrid::kLastRow; ++r) {
        for (int k = 0; k < BallGrid::kColumns; ++k) {
            const int kind = grid.kindAt(k, r);
            if (kind == kCellColourBomb) {
                explodeColourBomb(game, k, r);
                ++bombs;
            } else if (kind == kCellBigBomb) {
                explodeBigBomb(game, k, r);
                ++bombs;
            }
        }
    }
    // The bomb that armed the fuse may have gone before it (matched or fallen): then there
    // is nothing to score, and no "0" should rise from the field.
    if (bombs == 0) return;
    scoreBombs(game, grid.groupCounter);
    grid.updateRowStats();
}

}  // namespace qs
