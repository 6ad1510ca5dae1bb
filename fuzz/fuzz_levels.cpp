// libFuzzer target for the level readers. The first byte picks the reader (arcade, challenge,
// puzzle), the rest is the level file. A level the reader accepts must be one the game can
// play: a colour count of 1 to 7, a positive score divisor, and every puzzle cell inside the
// rows and columns of the closed net.
//   scripts/fuzz 30 fuzz_levels     (builds it and runs on fuzz/corpus/levels)
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "content_root.h"
#include "core/log.h"
#include "game/ball_grid.h"
#include "game/level_files.h"

namespace {

void checkPuzzle(const qs::LevelValues& values, const qs::BallGrid& grid, int shift) {
    if (shift != 0 && shift != 1) abort();
    if (values.pushInterval <= 0 || values.levelColourList.empty()) abort();
    for (size_t i = 0; i < values.levelColourList.size(); ++i) {
        if (!qs::isColour(values.levelColourList[i])) abort();
        if (std::count(values.levelColourList.begin(), values.levelColourList.end(),
                       values.levelColourList[i]) != 1)
            abort();
    }
    if (grid.rows != qs::kFirstPuzzleRow + 1) abort();
    if (grid.limitRow < qs::kFirstPuzzleRow + 1 - qs::kMaxPuzzleRows || grid.limitRow > grid.rows) abort();
    int crystals = 0;
    for (int row = qs::BallGrid::kFirstRow; row <= qs::BallGrid::kLastRow; ++row) {
        for (int column = 0; column < qs::BallGrid::kColumns; ++column) {
            const qs::GridCell* cell = grid.cellAt(column, row);
            if (!cell || cell->empty()) continue;
            // Rows the file filled, and the net's playable columns 2 .. width + 1.
            if (row < grid.limitRow || row > qs::kFirstPuzzleRow) abort();
            if (column < 2 || column > grid.rowWidth(row) + 1) abort();
            if (!qs::isColour(cell->kind) && cell->kind != qs::kCellLand && cell->kind != qs::kCellCrystal) abort();
            if (cell->kind == qs::kCellCrystal) ++crystals;
        }
    }
    if (crystals != values.crystalsInLevel) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fuzzing::ContentRoot root("levels");
    if (size < 1) return 0;
    const qs::GameMode modes[] = {qs::kModeArcade, qs::kModeChallenge, qs::kModePuzzle};
    const qs::GameMode mode = modes[data[0] % 3];
    qs::Log log;
    qs::LevelValues values;
    qs::BallGrid grid;
    if (mode == qs::kModePuzzle) {
        root.write("levels/puzzle-01.ini", data + 1, size - 1);
        const std::optional<int> shift =
            qs::ReadPuzzleLevel(root.files(), log, qs::levelFileName(mode, 1), 1, values, grid);
        if (shift) checkPuzzle(values, grid, *shift);
        root.remove("levels/puzzle-01.ini");
    } else {
        const char* file = mode == qs::kModeArcade ? "levels/arcade-01.ini" : "levels/challenge-01.ini";
        root.write(file, data + 1, size - 1);
        const int colours = grid.colourCount;
        if (qs::ReadArcadeLevel(root.files(), log, mode, 1, values, grid)) {
            if (grid.colourCount < 1 || grid.colourCount > qs::kColourCount) abort();
            if (mode == qs::kModeArcade && !(values.scoreDivisor > 0)) abort();
            if (values.lastLevel != 1) abort();  // no second level exists here
        } else if (grid.colourCount != colours) {
            abort();  // a refused file leaves the grid as it was
        }
        root.remove(file);
    }
    return 0;
}
