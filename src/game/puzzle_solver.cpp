#include "game/puzzle_solver.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unordered_set>

#include "core/json_writer.h"
#include "core/log.h"
#include "core/random.h"
#include "game/gameplay.h"
#include "game/shot_ball.h"
#include "game/shot_simulator.h"

namespace qs {

namespace {

// The fan of aims tried from every position: every cell a ball can reach, walls included,
// is met by at least one of them.
constexpr int kAims = 97;
constexpr double kWidestAim = 1.15;

struct Position {
    std::unique_ptr<ShotSimulator> simulator;
    std::vector<SolverMove> moves;
};

// A shot judged on a copy of the field, before it is played for real.
struct Try {
    size_t parent = 0;
    SolverMove move;
    double value = 0;  // lower is better
    uint64_t key = 0;  // the field and queue it leaves, to merge tries that meet
};

// Where the path of each aim docks; for every distinct cell, the aim in the middle of the
// first run of aims that reach it (the steadiest one to replay).
struct AimedCell {
    int column = 0;
    int row = 0;
    double angle = 0;
};

std::vector<AimedCell> aimedCells(const Gameplay& game, Random& scratch) {
    Gameplay copy(game.options, game.combos, scratch);
    copy.copyPlayFrom(game);
    copy.grid.setView(nullptr);
    std::vector<AimedCell> cells;
    std::vector<int> runStart, runEnd;
    int lastIndex = -1;
    for (int i = 0; i < kAims; ++i) {
        const double angle = kWidestAim - 2 * kWidestAim * i / (kAims - 1);
        setAimAngle(copy.aim, angle);
        copy.updatePath();
        if (!copy.path.hasTarget()) {
            lastIndex = -1;
            continue;
        }
        const int column = copy.path.targetColumn, row = copy.path.targetRow;
        int found = -1;
        for (size_t c = 0; c < cells.size(); ++c)
            if (cells[c].column == column && cells[c].row == row) found = static_cast<int>(c);
        if (found < 0) {
            cells.push_back(AimedCell{column, row, angle});
            runStart.push_back(i);
            runEnd.push_back(i);
            lastIndex = static_cast<int>(cells.size()) - 1;
        } else {
            if (found == lastIndex && runEnd[static_cast<size_t>(found)] == i - 1) runEnd[static_cast<size_t>(found)] = i;
            lastIndex = found;
        }
    }
    for (size_t c = 0; c < cells.size(); ++c) {
        const int middle = (runStart[c] + runEnd[c]) / 2;
        cells[c].angle = kWidestAim - 2 * kWidestAim * middle / (kAims - 1);
    }
    return cells;
}

uint64_t mix(uint64_t h, uint64_t v) {
    h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    return h;
}

// How far a field is from done: crystals left weigh most, then what still holds them up
// (the cells right below each one: a crystal with nothing below is collected), then the
// cells left, then how near the field has come to the losing line.
double fieldValue(const BallGrid& grid, int shotsToPush) {
    int crystals = 0, holding = 0, cells = 0;
    for (int r = BallGrid::kFirstRow; r < grid.rows && r <= BallGrid::kLastRow; ++r) {
        for (int k = 0; k < BallGrid::kColumns; ++k) {
            const GridCell* cell = grid.cellAt(k, r);
            if (cell->empty()) continue;
            if (cell->kind != kCellCrystal) {
                ++cells;
                continue;
            }
            ++crystals;
            const int d = grid.rowWidth(r) == 12 ? k - 1 : k;
            for (int c = d; c <= d + 1; ++c) {
                const GridCell* below = grid.cellAt(c, r - 1);
                if (below && !below->empty()) ++holding;
            }
        }
    }
    double value = 1000.0 * crystals + 40.0 * holding + 4.0 * cells;
    // The lowest row after the coming push; a field one row from the line is in danger.
    if (grid.lowestRow != BallGrid::kNoLowestRow) {
        const int margin = grid.lowestRow - (shotsToPush <= 1 ? 1 : 0);
        if (margin < 3) value += 60.0 * (3 - margin);
    }
    return value;
}

uint64_t fieldKey(const BallGrid& grid, const QueuedBall& waiting, int pushCounter) {
    uint64_t h = 1469598103934665603ULL;
    for (int r = BallGrid::kFirstRow; r < grid.rows && r <= BallGrid::kLastRow; ++r)
        for (int k = 0; k < BallGrid::kColumns; ++k) h = mix(h, grid.cellAt(k, r)->kind);
    h = mix(h, static_cast<uint64_t>(grid.rows) << 8 | static_cast<uint64_t>(grid.scroll));
    h = mix(h, static_cast<uint64_t>(waiting.kind) << 16 | static_cast<uint64_t>(waiting.bonus) << 8 |
                   static_cast<uint64_t>(waiting.tint));
    return mix(h, static_cast<uint64_t>(pushCounter));
}

bool hasSameColourNeighbour(const BallGrid& grid, int column, int row, int kind) {
    const int d = grid.rowWidth(row) == 12 ? column - 1 : column + 1;
    const CellPos around[6] = {{column - 1, row}, {column + 1, row}, {d, row - 1},
                               {column, row - 1}, {d, row + 1},      {column, row + 1}};
    for (const CellPos& p : around) {
        const GridCell* cell = grid.cellAt(p.column, p.row);
        if (cell && cell->kind == kind) return true;
    }
    return false;
}

// Every shot worth playing from one position, judged on copies of its field.
void judgeTries(const ShotSimulator& position, size_t parent, Random& scratch, std::vector<Try>& out) {
    const GameSession& session = position.session();
    const Gameplay& game = session.game();
    const std::vector<AimedCell> cells = aimedCells(game, scratch);
    const int interval = std::max(1, game.levelValues.pushInterval);
    const int pushAfter = (session.pushCounter() + 1) % interval;
    const int shotsToPush = interval - session.pushCounter();

    struct Ball {
        QueuedBall fired, waiting;
        bool swap;
    };
    std::vector<Ball> balls{{game.queue.current, game.queue.next, false}};
    const QueuedBall& n = game.queue.next;
    const QueuedBall& c = game.queue.current;
    if (n.kind != 0 && game.queue.rocketCount == 0 && (n.kind != c.kind || n.tint != c.tint || n.bonus != c.bonus))
        balls.push_back({n, c, true});

    Gameplay copy(game.options, game.combos, scratch);
    for (const Ball& ball : balls) {
        for (const AimedCell& cell : cells) {
            copy.copyPlayFrom(game);
            copy.grid.setView(nullptr);
            copy.bonusesLocked = true;
            copy.events.clear();
            const int before = copy.score.crystalsCollected;
            dock(copy, cell.column, cell.row, ball.fired.kind, ball.fired.tint, ball.fired.bonus);
            copy.grid.updateRowStats();
            Try t;
            t.parent = parent;
            t.move = SolverMove{cell.angle, ball.swap, ball.fired.kind, cell.column, cell.row};
            t.value = fieldValue(copy.grid, shotsToPush) - 2000.0 * (copy.score.crystalsCollected - before);
            const GridCell* docked = copy.grid.cellAt(cell.column, cell.row);
            // A ball that stays makes a pair or more with its colour: it builds a group.
            if (docked && docked->kind == ball.fired.kind &&
                hasSameColourNeighbour(copy.grid, cell.column, cell.row, ball.fired.kind))
                t.value -= 2;
            t.key = fieldKey(copy.grid, ball.waiting, pushAfter);
            out.push_back(t);
        }
    }
}

}  // namespace

SolverResult solvePuzzle(const SolverSetup& setup, Log& log) {
    const auto started = std::chrono::steady_clock::now();
    SolverResult result;
    result.level = setup.level;
    result.seed = setup.seed;
    auto finish = [&]() {
        result.ms = static_cast<long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count());
        return result;
    };

    SimulatorSetup simSetup;
    simSetup.contentRoot = setup.contentRoot;
    simSetup.mode = kModePuzzle;
    simSetup.level = setup.level;
    simSetup.seed = setup.seed;
    auto root = std::make_unique<ShotSimulator>(log);
    if (!root->load(simSetup)) return finish();
    result.loaded = true;
    if (root->complete()) {
        result.solved = true;
        return finish();
    }
    const int interval = std::max(1, root->game().levelValues.pushInterval);

    std::vector<Position> frontier;
    frontier.push_back(Position{std::move(root), {}});
    Random scratch(1);
    const int beam = std::max(1, setup.beamWidth);
    const size_t perParent = static_cast<size_t>(std::max(2, beam / 3));

    for (int depth = 1; depth <= setup.maxShots && !frontier.empty(); ++depth) {
        std::vector<Try> tries;
        for (size_t i = 0; i < frontier.size(); ++i) judgeTries(*frontier[i].simulator, i, scratch, tries);
        std::stable_sort(tries.begin(), tries.end(), [](const Try& a, const Try& b) { return a.value < b.value; });

        std::vector<Position> next;
        std::unordered_set<uint64_t> seen;
        std::vector<size_t> takenFrom(frontier.size(), 0);
        for (const Try& t : tries) {
            if (static_cast<int>(next.size()) >= beam) break;
            if (result.nodes >= setup.nodeBudget) {
                result.budgetSpent = true;
                return finish();
            }
            if (takenFrom[t.parent] >= perParent || !seen.insert(t.key).second) continue;
            ++takenFrom[t.parent];
            std::unique_ptr<ShotSimulator> child = frontier[t.parent].simulator->clone();
            ++result.nodes;
            if (!child->play(t.move.angle, t.move.swap) || child->lost()) continue;
            std::vector<SolverMove> moves = frontier[t.parent].moves;
            moves.push_back(t.move);
            if (child->complete()) {
                result.solved = true;
                result.shots = depth;
                result.pushes = depth / interval;
                result.moves = std::move(moves);
                return finish();
            }
            next.push_back(Position{std::move(child), std::move(moves)});
        }
        if (std::getenv("QS_SOLVER_TRACE")) {
            std::fprintf(stderr, "depth %d: %zu tries, %zu kept, best %.0f\n", depth, tries.size(), next.size(),
                         tries.empty() ? 0.0 : tries.front().value);
            for (size_t i = 0; i < next.size() && i < 3; ++i) {
                const Gameplay& g = next[i].simulator->game();
                std::fprintf(stderr, "  cur %d next %d collected %d\n", g.queue.current.kind, g.queue.next.kind,
                             g.score.crystalsCollected);
                for (const std::string& line : fieldPicture(g.grid))
                    if (line.find_first_not_of(". 0123456789", 3) != std::string::npos) std::fprintf(stderr, "    %s\n", line.c_str());
            }
        }
        frontier = std::move(next);
    }
    if (!frontier.empty()) result.budgetSpent = true;  // out of shots rather than out of moves
    return finish();
}

std::string solverResultJson(const SolverResult& r) {
    JsonWriter json;
    json.beginObject();
    json.field("level", r.level).field("seed", static_cast<int64_t>(r.seed)).field("loaded", r.loaded);
    json.field("solved", r.solved).field("shots", r.shots).field("pushes", r.pushes);
    json.field("nodes", static_cast<int64_t>(r.nodes)).field("ms", static_cast<int64_t>(r.ms));
    json.field("budget_spent", r.budgetSpent);
    json.key("moves").beginArray();
    for (const SolverMove& m : r.moves) {
        json.beginObject().field("angle", m.angle).field("swap", m.swap).field("kind", m.kind);
        json.field("column", m.column).field("row", m.row).endObject();
    }
    json.endArray();
    json.endObject();
    return json.str();
}

}  // namespace qs
