#include "game/matching.h"

#include "core/options.h"
#include "game/bonuses.h"
#include "game/gameplay.h"

namespace qs {

namespace {

constexpr int kSmallBombBonus = 6;

void stopBurning(Gameplay& game) {
    GameEvent e;
    e.type = GameEvent::kStopBurning;
    game.events.push_back(e);
}

void emitBonusReleased(Gameplay& game, int bonus, int kind, double x, double y) {
    GameEvent e;
    e.type = GameEvent::kBonusReleased;
    e.value = bonus;
    e.kind = kind;
    e.x = x;
    e.y = y;
    game.events.push_back(e);
    releaseBonus(game, bonus, kind, x, y);
}

// Marks a small bomb made during a run become ordinary marks for the next run.
void promoteNextRunMarks(BallGrid& grid) {
    for (int r = BallGrid::kFirstRow; r <= BallGrid::kLastRow; ++r) {
        for (int k = 0; k < BallGrid::kColumns; ++k) {
            GridCell* cell = grid.cellAt(k, r);
            if (cell->mark & kMarkNextRun) cell->mark = kMarkFlag;
        }
    }
}

}  // namespace

void computeTextPosition(Gameplay& game) {
    const BallGrid& grid = game.grid;
    double sumX = 0, sumY = 0;
    int count = 0;
    for (int r = BallGrid::kFirstRow; r <= BallGrid::kLastRow; ++r) {
        for (int k = 0; k < BallGrid::kColumns; ++k) {
            const GridCell* cell = grid.cellAt(k, r);
            if (cell->empty() || cell->mark == 0) continue;
            sumX += grid.cellX(k, r);
            sumY += grid.cellY(r);
            ++count;
        }
    }
    game.score.textX = count > 0 ? sumX / count : 400;
    game.score.textY = count > 0 ? sumY / count : 300;
}

void collectCrystal(Gameplay& game, double x, double y) {
    ++game.score.crystalsCollected;
    if (game.overlayUp) return;
    game.sound("sample_crystal");
    GameEvent e;
    e.type = GameEvent::kCrystalToCounter;
    e.x = x;
    e.y = y;
    game.events.push_back(e);
}

void removeCell(Gameplay& game, int column, int row, bool scoreParticle) {
    BallGrid& grid = game.grid;
    const GridCell* cell = grid.cellAt(column, row);
    if (!cell || cell->empty()) return;
    const int kind = cell->kind;
    const int bonus = cell->bonus;
    const double x = grid.cellX(column, row);
    const double y = grid.cellY(row);
    const bool smallBomb = bonus == kSmallBombBonus;
    if (smallBomb) {
        for (int i = 0; i < 6; ++i) {
            CellPos n = grid.neighbour(column, row, i);
            grid.markBallLike(n.column, n.row, kMarkNextRun);
        }
    }
    if (kind == kCellBigBomb) stopBurning(game);
    if (bonus != 0) emitBonusReleased(game, bonus, kind, x, y);
    grid.emptyCell(column, row);

    if (!isBallLike(kind)) {
        collectCrystal(game, x, y);
        return;
    }
    if (smallBomb) {
        game.particles(kParticleBombSpark, 20, kind, x, y);
    } else {
        game.particles(kParticleShard, 4, kind, x, y, true);
        game.particles(kParticleBurst, 16, kind, x, y);
    }
    if (scoreParticle && game.mode != kModePuzzle) game.particles(kParticleScorePiece, 1, kind, x, y);
}

int removeMarked(Gameplay& game) {
    BallGrid& grid = game.grid;
    int count = 0;
    for (int r = BallGrid::kFirstRow; r <= BallGrid::kLastRow; ++r) {
        for (int k = 0; k < BallGrid::kColumns; ++k) {
            GridCell* cell = grid.cellAt(k, r);
            if (cell->empty() || (cell->mark & ~kMarkNextRun) == 0) continue;
            cell->mark = 0;
            removeCell(game, k, r, true);
            ++count;
        }
    }
    promoteNextRunMarks(grid);
    if (count > 0) {
        const GameOptions& o = game.options;
        game.sound(count < o.explosion_sound_limit1   ? "sample_explosion_small"
                   : count < o.explosion_sound_limit2 ? "sample_explosion_middle"
                                                      : "sample_explosion_big");
        GameEvent e;
        e.type = GameEvent::kRemoved;
        e.count = count;
        game.events.push_back(e);
    }
    return count;
}

int removeMarkedTwice(Gameplay& game) {
    removeMarked(game);
    const int second = removeMarked(game);
    // Cells a small bomb of the second run marked stay in the field; their marks must not
    // reach the attachment walk, where a marked cell would cut off what hangs from it.
    game.grid.clearMarks(BallGrid::kFirstRow, BallGrid::kLastRow);
    return second;
}

int dropUnsupported(Gameplay& game, bool scoreParticle) {
    BallGrid& grid = game.grid;
    int total = 0;
    for (;;) {
        int count = 0;
        const int ceiling = grid.rows - 1;
        for (int k = 0; k < BallGrid::kColumns; ++k)
            if (grid.occupied(k, ceiling)) grid.markAttached(k, ceiling);

        for (int r = BallGrid::kFirstRow; r <= BallGrid::kLastRow; ++r) {
            for (int k = 0; k < BallGrid::kColumns; ++k) {
                GridCell* cell = grid.cellAt(k, r);
                // Row -1 lies below the field: whatever reaches it falls.
                if (!cell->empty() && (cell->mark == 0 || r == BallGrid::kFirstRow)) {
                    const int kind = cell->kind;
                    const double x = grid.cellX(k, r);
                    const double y = grid.cellY(r);
                    if (kind == kCellBigBomb) stopBurning(game);
                    grid.emptyCell(k, r);  // a falling ball's bonus is lost
                    if (isBallLike(kind)) {
                        // Only the seven colours have falling-ball art; the rest fall as shards.
                        if (isColour(kind))
                            game.particles(kind, 1, kind, x, y);
                        else
                            game.particles(kParticleShard, 1, 0, x, y);
                        if (scoreParticle && !game.gameOver && game.mode != kModePuzzle)
                            game.particles(kParticleScorePiece, 1, kind, x, y);
                    } else {
                        collectCrystal(game, x, y);
                    }
                    ++count;
                }
                cell->mark = 0;
            }
        }

        if (game.mode == kModePuzzle) {
            for (int r = BallGrid::kFirstRow; r <= BallGrid::kLastRow; ++r) {
                for (int k = 0; k < BallGrid::kColumns; ++k) {
                    const GridCell* cell = grid.cellAt(k, r);
                    if (cell->kind < kCellCrystal) continue;
                    const CellPos below1 = grid.neighbour(k, r, 2);
                    const CellPos below2 = grid.neighbour(k, r, 3);
                    if (r != BallGrid::kFirstRow &&
                        (grid.occupied(below1.column, below1.row) || grid.occupied(below2.column, below2.row)))
                        continue;
                    const double x = grid.cellX(k, r);
                    const double y = grid.cellY(r);
                    if (cell->bonus != 0) emitBonusReleased(game, cell->bonus, cell->kind, x, y);
                    grid.emptyCell(k, r);
                    collectCrystal(game, x, y);
                    ++count;
                }
            }
        }
        total += count;
        if (count == 0) break;
    }
    if (total > 0) {
        GameEvent e;
        e.type = GameEvent::kDropped;
        e.count = total;
        game.events.push_back(e);
    }
    return total;
}

}  // namespace qs
