// The path of the next shot is traced every frame while the cannon waits, and the frame that
// docks a ball also walks, removes and drops; both must stay far below a frame's budget.
#include <vector>

#include <benchmark/benchmark.h>

#include "core/random.h"
#include "game/gameplay.h"
#include "game/shot_simulator.h"
#include "ui/frame_state.h"

namespace qs {
namespace {

struct BusyField {
    // Every playable cell of the 12 rows under the ceiling, random colours, or one colour
    // for the worst case (the docked ball takes the whole field with it).
    explicit BusyField(int colours)
        : options(defaultGameplayOptions()), random(2024), game(options, combos, random) {
        game.mode = kModeArcade;
        game.level = 2;
        game.grid.resetForLevel(kModeArcade);
        game.grid.configure(kModeArcade, options);
        for (int r = 2; r <= 13; ++r)
            for (int k = 2; k < 2 + game.grid.rowWidth(r); ++k) game.grid.setCell(k, r, 1 + random.below(colours));
        game.grid.updateRowStats();
        saved = game.grid;
        for (int i = 0; i < 16; ++i) angles.push_back(-1.1 + i * (2.2 / 15));
    }
    GameOptions options;
    std::vector<ComboText> combos{{3, "Combo!"}, {10, "Unstoppable!"}};
    Random random;
    Gameplay game;
    BallGrid saved;
    std::vector<double> angles;
};

void BM_ComputePath(benchmark::State& state) {
    BusyField field(static_cast<int>(state.range(0)));
    size_t i = 0;
    for (auto _ : state) {
        setAimAngle(field.game.aim, field.angles[i++ % field.angles.size()]);
        field.game.updatePath();
        benchmark::DoNotOptimize(field.game.path.points.data());
    }
}

// One path and the frame that docks the ball at its end: the group walk, both removal runs,
// the drop pass and the scoring. The grid is put back after each round (a 6 KB copy).
void BM_PathAndDockingStep(benchmark::State& state) {
    BusyField field(static_cast<int>(state.range(0)));
    Gameplay& game = field.game;
    size_t i = 0;
    for (auto _ : state) {
        game.grid = field.saved;
        game.events.clear();
        setAimAngle(game.aim, field.angles[i++ % field.angles.size()]);
        game.updatePath();
        int kind = 1;
        if (game.path.hasTarget()) {
            // The colour of a neighbour, so that most shots match.
            for (int n = 0; n < 6 && kind == 1; ++n) {
                const CellPos p = game.grid.neighbour(game.path.targetColumn, game.path.targetRow, n);
                if (isColour(game.grid.kindAt(p.column, p.row))) kind = game.grid.kindAt(p.column, p.row);
            }
        }
        fire(game, kind, 0, 0);
        game.ball->step = std::max(game.path.count() - 1, 0);
        game.stepShot();
        benchmark::DoNotOptimize(game.score.levelScore);
    }
}

BENCHMARK(BM_ComputePath)->Arg(5)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PathAndDockingStep)->Arg(5)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qs

BENCHMARK_MAIN();
