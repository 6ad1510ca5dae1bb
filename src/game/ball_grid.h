#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "game/game_mode.h"

namespace qs {

class Random;
struct GameOptions;

// What a cell can hold.
enum CellKind : uint8_t {
    kCellEmpty = 0,
    // 1..9: a ball of that colour (only 1..7 are dealt or read from levels)
    kCellColourBomb = 10,
    kCellBigBomb = 11,
    kCellMultiball = 12,
    kCellLand = 100,
    kCellCrystal = 200,
};

inline constexpr int kColourCount = 7;
inline bool isColour(int kind) { return kind >= 1 && kind <= kColourCount; }
// What bombs destroy: balls, bombs, multiballs and land. Crystals are collected instead.
inline bool isBallLike(int kind) { return kind >= 1 && kind <= 199; }
inline bool isBomb(int kind) { return kind == kCellColourBomb || kind == kCellBigBomb; }

// The letter a kind has in level pictures and reports: digits for colours, "." empty,
// B colour bomb, G big bomb, M multiball, L land, C crystal, "?" anything else.
inline char cellLetter(int kind) {
    if (kind >= 1 && kind <= 9) return static_cast<char>('0' + kind);
    switch (kind) {
        case kCellEmpty: return '.';
        case kCellColourBomb: return 'B';
        case kCellBigBomb: return 'G';
        case kCellMultiball: return 'M';
        case kCellLand: return 'L';
        case kCellCrystal: return 'C';
        default: return '?';
    }
}

// Mark values. The group, attachment and bomb walks use kMarkFlag; the multiball walk keeps
// one bit per colour; a small bomb marks its neighbours with kMarkNextRun so that only the
// following removal run takes them, wherever they lie in the scan order.
inline constexpr uint8_t kMarkFlag = 1;
inline constexpr uint8_t kMarkNextRun = 0x80;
inline constexpr uint8_t colourBit(int colour) { return static_cast<uint8_t>(1u << (colour - 1)); }

struct GridCell {
    uint8_t kind = kCellEmpty;
    uint8_t tint = 0;   // the colour a colour bomb carries
    uint8_t bonus = 0;  // released when the cell leaves the grid
    uint8_t mark = 0;   // scratch of the walks; 0 between walks
    bool empty() const { return kind == kCellEmpty; }
};

struct CellPos {
    int column = 0;
    int row = 0;
    bool operator==(const CellPos& o) const { return column == o.column && row == o.row; }
};

// The picture side of the grid: the scene keeps one object per occupied cell and follows
// these calls. The grid calls them only where a cell's object is made, destroyed or moved.
class GridView {
public:
    virtual ~GridView() = default;
    // A cell received a ball: make its object for the cell's kind, tint and bonus at (x, y).
    virtual void cellFilled(int column, int row, const GridCell& cell, int x, int y) = 0;
    // A cell was emptied: destroy its object.
    virtual void cellEmptied(int column, int row) = 0;
    // The objects of rows firstRow..lastRow now belong to the row `by` (+1 or -1) away; they
    // keep their screen position (the row change and the pixel moves add up to nothing).
    virtual void rowsShifted(int firstRow, int lastRow, int by) = 0;
    // Every cell object moves dy pixels down (up when negative). The puzzle's limit plank
    // follows the same moves.
    virtual void fieldMoved(int dy) = 0;
};

class NullGridView final : public GridView {
public:
    void cellFilled(int, int, const GridCell&, int, int) override {}
    void cellEmptied(int, int) override {}
    void rowsShifted(int, int, int) override {}
    void fieldMoved(int) override {}
};

// The playfield: 16 columns by 91 rows (-1..89), row 0 nearest the cannon, rows of 11 or 12
// cells with a half-cell shift between neighbouring rows. Every access checks its bounds:
// anything outside columns 0..15 and rows -1..89 is absent.
class BallGrid {
public:
    static constexpr int kColumns = 16;
    static constexpr int kFirstRow = -1;
    static constexpr int kLastRow = 89;
    static constexpr int kRowCount = 91;
    static constexpr int kMaxRows = 90;
    static constexpr int kColumnPitch = 34;
    static constexpr int kRowPitch = 30;
    static constexpr int kNoLowestRow = 9999999;
    static constexpr int kNoHighestRow = -9999999;

    BallGrid();

    void setView(GridView* view);
    GridView* view() const { return view_; }
    // Mode and climb speeds for ballsDown and ballsClimb.
    void configure(GameMode mode, const GameOptions& options);
    GameMode mode() const { return mode_; }

    static bool inside(int column, int row) {
        return column >= 0 && column < kColumns && row >= kFirstRow && row <= kLastRow;
    }
    GridCell* cellAt(int column, int row) {
        return inside(column, row) ? &cells_[index(column, row)] : nullptr;
    }
    const GridCell* cellAt(int column, int row) const {
        return inside(column, row) ? &cells_[index(column, row)] : nullptr;
    }
    int kindAt(int column, int row) const {
        const GridCell* c = cellAt(column, row);
        return c ? static_cast<int>(c->kind) : 0;
    }
    bool occupied(int column, int row) const { return kindAt(column, row) != kCellEmpty; }

    // 11 or 12; rows outside the grid read as 12.
    int rowWidth(int row) const { return row >= kFirstRow && row <= kLastRow ? widths_[row + 1] : 12; }
    void setRowWidth(int row, int width);
    // Odd rows 12, even rows 11 (arcade and challenge).
    void setArcadeWidths();
    // `row` gets `width` and the others alternate from it (puzzle).
    void setAlternatingWidths(int row, int width);

    // The i-th (0..5) neighbour of a cell in the walk order: left, right, the two below
    // (diagonal first), the two above (diagonal first). May lie outside the grid.
    static CellPos neighbour(int column, int row, int i, int widthOfRow);
    CellPos neighbour(int column, int row, int i) const {
        return neighbour(column, row, i, rowWidth(row));
    }

    int cellX(int column, int row) const {
        return (rowWidth(row) == 12 ? 128 : 145) + kColumnPitch * column;
    }
    int cellY(int row) const { return baseY + scroll - kRowPitch * row; }
    bool playable(int column, int row) const {
        return column >= netMargin && column < rowWidth(row) + 4 - netMargin;
    }

    bool rowOccupied(int row) const;
    void clearRow(int row, bool freeSprites);
    // Writes a cell (mark 0) and tells the view; false outside the grid.
    bool setCell(int column, int row, int kind, int tint = 0, int bonus = 0);
    // Empties a cell (its object is destroyed).
    void emptyCell(int column, int row);
    // Empties every cell and resets the per-level values (rows 14, scroll, toggle, widths,
    // limit row for the mode). Keeps the view and the net margin.
    void resetForLevel(GameMode mode);
    // The `initialRows` rows below the ceiling from `firstColumn`, random colours.
    void fillInitialRows(Random& random);

    // The walks. markGroup and markMultiballGroups add to groupCounter.
    void markGroup(int column, int row, int colour);
    void markMultiballGroups(int column, int row);
    void markAttached(int column, int row);
    int markBallLike(int column, int row, uint8_t value = kMarkFlag);
    void clearMarkBit(uint8_t bits);
    void clearMarks(int firstRow, int lastRow);

    void updateRowStats();

    // Lowers the field by `steps` pixels (times the mode's multiplier), at most maxPixels;
    // returns the pixels moved. Rows that reach the bottom shift down a row every 30 pixels.
    int ballsDown(int steps, Random& random, int maxPixels = 1 << 30);
    // Raises the field by the mode's climb increment, at most maxPixels; returns the pixels done.
    int ballsClimb(int maxPixels = 1 << 30);

    // Field-wide values.
    int rows = 14;  // row rows-1 is the ceiling
    int netMargin = 2;
    int firstColumn = 2;
    int initialRows = 2;
    int colourCount = 7;
    int baseY = 428;
    int maxGeneratedRows = 20;
    int scroll = 0;
    int newRowToggle = 0;
    int limitRow = 0;
    int lowestRow = kNoLowestRow;
    int highestRow = kNoHighestRow;
    int consecutiveRows = 0;
    int groupCounter = 0;

private:
    static int index(int column, int row) { return (row + 1) * kColumns + column; }
    int rowWidthAt(int row) const { return widths_[row + 1]; }
    void bitWalk(int column, int row, int colour, uint8_t bit, int& count);
    void shiftDown(Random& random);
    void shiftUp();
    void copyRow(int from, int to);
    void flushMove(int& pixels);

    std::array<GridCell, kColumns * kRowCount> cells_{};
    std::array<uint8_t, kRowCount> widths_{};
    GameMode mode_ = kModeArcade;
    int climbArcade_ = 1;
    int climbChallenge_ = 1;
    int climbPuzzle_ = 1;
    GridView* view_;
};

// The field as text, ceiling row first: "11 ..LLLL", one letter a cell (see cellLetter).
std::vector<std::string> fieldPicture(const BallGrid& grid);

}  // namespace qs
