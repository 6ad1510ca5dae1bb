#include "game/ball_grid.h"

#include <algorithm>

#include "core/options.h"
#include "core/random.h"

namespace qs {

namespace {
NullGridView nullView;
}

BallGrid::BallGrid() : view_(&nullView) { setArcadeWidths(); }

void BallGrid::setView(GridView* view) { view_ = view ? view : &nullView; }

void BallGrid::configure(GameMode mode, const GameOptions& options) {
    mode_ = mode;
    climbArcade_ = options.balls_climb_inc_arcade;
    climbChallenge_ = options.balls_climb_inc_challenge;
    climbPuzzle_ = options.balls_climb_inc_puzzle;
}

void BallGrid::setRowWidth(int row, int width) {
    if (row < kFirstRow || row > kLastRow) return;
    widths_[row + 1] = static_cast<uint8_t>(width == 11 ? 11 : 12);
}

void BallGrid::setArcadeWidths() {
    for (int r = kFirstRow; r <= kLastRow; ++r) setRowWidth(r, (r & 1) ? 12 : 11);
}

void BallGrid::setAlternatingWidths(int row, int width) {
    const int other = width == 11 ? 12 : 11;
    for (int r = kFirstRow; r <= kLastRow; ++r) setRowWidth(r, ((r - row) & 1) ? other : width);
}

CellPos BallGrid::neighbour(int column, int row, int i, int widthOfRow) {
    const int d = widthOfRow == 12 ? column - 1 : column + 1;
    switch (i) {
        case 0: return {column - 1, row};
        case 1: return {column + 1, row};
        case 2: return {d, row - 1};
        case 3: return {column, row - 1};
        case 4: return {d, row + 1};
        default: return {column, row + 1};
    }
}

bool BallGrid::rowOccupied(int row) const {
    if (row < kFirstRow || row > kLastRow) return false;
    const GridCell* first = &cells_[index(0, row)];
    for (int k = 0; k < kColumns; ++k)
        if (first[k].kind != kCellEmpty) return true;
    return false;
}

void BallGrid::clearRow(int row, bool freeSprites) {
    if (row < kFirstRow || row > kLastRow) return;
    for (int k = 0; k < kColumns; ++k) {
        GridCell& cell = cells_[index(k, row)];
        if (freeSprites && !cell.empty()) view_->cellEmptied(k, row);
        cell = GridCell{};
    }
}

bool BallGrid::setCell(int column, int row, int kind, int tint, int bonus) {
    GridCell* cell = cellAt(column, row);
    if (!cell) return false;
    if (!cell->empty()) view_->cellEmptied(column, row);
    cell->kind = static_cast<uint8_t>(kind);
    cell->tint = static_cast<uint8_t>(tint);
    cell->bonus = static_cast<uint8_t>(bonus);
    cell->mark = 0;
    if (!cell->empty()) view_->cellFilled(column, row, *cell, cellX(column, row), cellY(row));
    return true;
}

void BallGrid::emptyCell(int column, int row) {
    GridCell* cell = cellAt(column, row);
    if (!cell) return;
    if (!cell->empty()) view_->cellEmptied(column, row);
    *cell = GridCell{};
}

void BallGrid::resetForLevel(GameMode mode) {
    mode_ = mode;
    for (int r = kFirstRow; r <= kLastRow; ++r) clearRow(r, true);
    setArcadeWidths();
    rows = 14;
    scroll = 0;
    newRowToggle = 0;
    limitRow = mode == kModeChallenge ? 5 : 0;
    groupCounter = 0;
    lowestRow = kNoLowestRow;
    highestRow = kNoHighestRow;
    consecutiveRows = 0;
}

void BallGrid::fillInitialRows(Random& random) {
    const int colours = std::clamp(colourCount, 1, kColourCount);
    for (int r = rows - initialRows; r <= rows - 1; ++r) {
        if (r < kFirstRow || r > kLastRow) continue;
        const int width = rowWidthAt(r);
        for (int k = firstColumn; k < firstColumn + width && k < kColumns; ++k)
            setCell(k, r, 1 + random.below(colours));
    }
}

void BallGrid::markGroup(int column, int row, int colour) {
    GridCell* cell = cellAt(column, row);
    if (!cell || colour == kCellEmpty) return;
    if ((cell->kind != colour && cell->kind != kCellMultiball) || cell->mark != 0) return;
    cell->mark = kMarkFlag;
    ++groupCounter;
    const int width = rowWidthAt(row);
    for (int i = 0; i < 6; ++i) {
        CellPos n = neighbour(column, row, i, width);
        markGroup(n.column, n.row, colour);
    }
}

void BallGrid::bitWalk(int column, int row, int colour, uint8_t bit, int& count) {
    GridCell* cell = cellAt(column, row);
    if (!cell) return;
    if ((cell->kind != colour && cell->kind != kCellMultiball) || (cell->mark & bit)) return;
    cell->mark |= bit;
    ++count;
    ++groupCounter;
    const int width = rowWidthAt(row);
    for (int i = 0; i < 6; ++i) {
        CellPos n = neighbour(column, row, i, width);
        bitWalk(n.column, n.row, colour, bit, count);
    }
}

void BallGrid::markMultiballGroups(int column, int row) {
    const GridCell* cell = cellAt(column, row);
    if (!cell || cell->mark != 0) return;
    const int width = rowWidthAt(row);
    for (int colour = 1; colour <= kColourCount; ++colour) {
        const uint8_t bit = colourBit(colour);
        int count = 0;
        for (int i = 0; i < 6; ++i) {
            CellPos n = neighbour(column, row, i, width);
            bitWalk(n.column, n.row, colour, bit, count);
        }
        // A colour that reaches fewer than three cells (the multiball counted) is no group.
        if (count >= 1 && count <= 2) {
            clearMarkBit(bit);
            groupCounter -= count;
        }
    }
}

void BallGrid::markAttached(int column, int row) {
    GridCell* cell = cellAt(column, row);
    if (!cell || cell->empty() || cell->mark != 0) return;
    cell->mark = kMarkFlag;
    const int width = rowWidthAt(row);
    for (int i = 0; i < 6; ++i) {
        CellPos n = neighbour(column, row, i, width);
        markAttached(n.column, n.row);
    }
}

int BallGrid::markBallLike(int column, int row, uint8_t value) {
    GridCell* cell = cellAt(column, row);
    if (!cell || !isBallLike(cell->kind) || cell->mark != 0) return 0;
    cell->mark = value;
    return 1;
}

void BallGrid::clearMarkBit(uint8_t bits) {
    const uint8_t keep = static_cast<uint8_t>(~bits);
    for (GridCell& cell : cells_) cell.mark &= keep;
}

void BallGrid::clearMarks(int firstRow, int lastRow) {
    firstRow = std::max(firstRow, static_cast<int>(kFirstRow));
    lastRow = std::min(lastRow, static_cast<int>(kLastRow));
    for (int r = firstRow; r <= lastRow; ++r)
        for (int k = 0; k < kColumns; ++k) cells_[index(k, r)].mark = 0;
}

void BallGrid::updateRowStats() {
    lowestRow = kNoLowestRow;
    highestRow = kNoHighestRow;
    consecutiveRows = 0;
    const int top = std::min(rows - 1, static_cast<int>(kLastRow));
    for (int r = 0; r <= top; ++r) {
        if (rowOccupied(r)) {
            ++consecutiveRows;
            lowestRow = std::min(lowestRow, r);
            highestRow = std::max(highestRow, r);
        } else if (consecutiveRows > 0) {
            break;
        }
    }
}

void BallGrid::copyRow(int from, int to) {
    std::copy_n(&cells_[index(0, from)], kColumns, &cells_[index(0, to)]);
    widths_[to + 1] = widths_[from + 1];
}

void BallGrid::flushMove(int& pixels) {
    if (pixels != 0) view_->fieldMoved(pixels);
    pixels = 0;
}

void BallGrid::shiftDown(Random& random) {
    const int ceiling = std::clamp(rows - 1, static_cast<int>(kFirstRow), static_cast<int>(kLastRow));
    for (int r = kFirstRow; r <= ceiling - 1; ++r) copyRow(r + 1, r);
    if (ceiling > kFirstRow) view_->rowsShifted(kFirstRow + 1, ceiling, -1);
    // The ceiling's objects went down with their cells.
    clearRow(ceiling, false);

    if (mode_ == kModePuzzle) {
        rows = std::max(rows - 1, 0);
        return;
    }
    if (rows < maxGeneratedRows) {
        // The new row must alternate with the one below it, whatever the toggle says.
        const int width = ceiling - 1 >= kFirstRow ? 23 - rowWidthAt(ceiling - 1) : 11 + newRowToggle;
        setRowWidth(ceiling, width);
        const int colours = std::clamp(colourCount, 1, kColourCount);
        for (int k = firstColumn; k < firstColumn + width && k < kColumns; ++k)
            if (k >= 0) setCell(k, ceiling, 1 + random.below(colours));
        newRowToggle ^= 1;
    } else {
        rows = std::max(rows - 1, 0);
    }
}

int BallGrid::ballsDown(int steps, Random& random, int maxPixels) {
    if (steps <= 0 || maxPixels <= 0) return 0;
    int multiplier = 1;
    if (mode_ == kModeChallenge) multiplier = climbChallenge_;
    else if (mode_ == kModePuzzle && steps <= 1) multiplier = climbPuzzle_;
    const long long times = static_cast<long long>(steps) * std::max(multiplier, 0);
    int moved = 0;
    int unsent = 0;
    for (long long t = 0; t < times && moved < maxPixels; ++t) {
        // A ball in row -1 holds the whole field.
        if (rowOccupied(kFirstRow)) break;
        ++scroll;
        ++moved;
        ++unsent;
        if (scroll >= kRowPitch) {
            flushMove(unsent);
            scroll = 0;
            shiftDown(random);
        }
    }
    flushMove(unsent);
    return moved;
}

void BallGrid::shiftUp() {
    const int top = std::min(rows - 1, static_cast<int>(kLastRow) - 1);
    for (int r = top; r >= kFirstRow; --r) copyRow(r, r + 1);
    view_->rowsShifted(kFirstRow, top, +1);
    clearRow(kFirstRow, false);
    setRowWidth(kFirstRow, 23 - rowWidthAt(0));
}

int BallGrid::ballsClimb(int maxPixels) {
    int pixels = mode_ == kModeChallenge ? climbChallenge_
                 : mode_ == kModePuzzle  ? climbPuzzle_
                                         : climbArcade_;
    pixels = std::min(pixels, maxPixels);
    int done = 0;
    int unsent = 0;
    for (int p = 0; p < pixels; ++p) {
        if (scroll <= 0) {
            if (consecutiveRows + limitRow >= kMaxRows) break;
            if (rowOccupied(rows - 1)) {
                if (rows >= kMaxRows) break;
                ++rows;
            }
            flushMove(unsent);
            shiftUp();
            scroll = kRowPitch;
        }
        --scroll;
        ++done;
        --unsent;
    }
    flushMove(unsent);
    return done;
}

std::vector<std::string> fieldPicture(const BallGrid& grid) {
    std::vector<std::string> lines;
    for (int r = std::min(grid.rows - 1, static_cast<int>(BallGrid::kLastRow)); r >= BallGrid::kFirstRow; --r) {
        std::string line = std::to_string(r) + " ";
        for (int k = 0; k < BallGrid::kColumns; ++k) line += cellLetter(grid.kindAt(k, r));
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace qs
