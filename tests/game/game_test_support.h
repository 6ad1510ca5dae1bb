#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/options.h"
#include "core/random.h"
#include "game/combo_table.h"
#include "game/gameplay.h"
#include "game/shot_simulator.h"

namespace qs::test {

// Cell letters used by the pictures of the tests: '.' or ' ' empty, 1..9 colours,
// B colour bomb, G big bomb, M multiball, L land, C crystal.
inline int kindFromLetter(char c) {
    if (c >= '1' && c <= '9') return c - '0';
    switch (c) {
        case 'B': return kCellColourBomb;
        case 'G': return kCellBigBomb;
        case 'M': return kCellMultiball;
        case 'L': return kCellLand;
        case 'C': return kCellCrystal;
        default: return kCellEmpty;
    }
}

inline char letterFromKind(int kind) { return cellLetter(kind); }

// Character i of `cells` fills column i of the row.
inline void putRow(BallGrid& grid, int row, const std::string& cells) {
    for (size_t i = 0; i < cells.size() && i < 16; ++i) {
        const int kind = kindFromLetter(cells[i]);
        if (kind != kCellEmpty) grid.setCell(static_cast<int>(i), row, kind);
    }
}

// Rows given from top to bottom, starting at `topRow`.
inline void putRows(BallGrid& grid, int topRow, const std::vector<std::string>& rows) {
    for (size_t i = 0; i < rows.size(); ++i) putRow(grid, topRow - static_cast<int>(i), rows[i]);
}

// The 16 cells of each row from topRow down to bottomRow, one string a row.
inline std::vector<std::string> picture(const BallGrid& grid, int topRow, int bottomRow) {
    std::vector<std::string> out;
    for (int r = topRow; r >= bottomRow; --r) {
        std::string line;
        for (int k = 0; k < 16; ++k) line += letterFromKind(grid.kindAt(k, r));
        out.push_back(line);
    }
    return out;
}

inline int countOccupied(const BallGrid& grid) {
    int n = 0;
    for (int r = BallGrid::kFirstRow; r <= BallGrid::kLastRow; ++r)
        for (int k = 0; k < 16; ++k) n += grid.occupied(k, r) ? 1 : 0;
    return n;
}

// A view that keeps what a sprite layer would: one object per cell with its position.
class MirrorView final : public GridView {
public:
    struct Object {
        int kind;
        int x;
        int y;
    };
    void cellFilled(int column, int row, const GridCell& cell, int x, int y) override {
        if (objects.count({column, row})) ++faults;
        objects[{column, row}] = {cell.kind, x, y};
    }
    void cellEmptied(int column, int row) override {
        if (!objects.erase({column, row})) ++faults;
    }
    void rowsShifted(int firstRow, int lastRow, int by) override {
        std::map<std::pair<int, int>, Object> moved;
        for (auto& [key, object] : objects) {
            const bool inRange = key.second >= firstRow && key.second <= lastRow;
            moved[{key.first, inRange ? key.second + by : key.second}] = object;
        }
        if (moved.size() != objects.size()) ++faults;  // two objects landed on one cell
        objects = std::move(moved);
    }
    void fieldMoved(int dy) override {
        for (auto& entry : objects) entry.second.y += dy;
    }

    // Every occupied cell has one object of its kind at the cell's centre, and no more.
    void expectMatches(const BallGrid& grid) const {
        EXPECT_EQ(faults, 0);
        EXPECT_EQ(static_cast<int>(objects.size()), countOccupied(grid));
        for (const auto& [key, object] : objects) {
            const auto [column, row] = key;
            EXPECT_EQ(grid.kindAt(column, row), object.kind) << column << "," << row;
            EXPECT_EQ(grid.cellX(column, row), object.x) << column << "," << row;
            EXPECT_EQ(grid.cellY(row), object.y) << column << "," << row;
        }
    }

    std::map<std::pair<int, int>, Object> objects;
    int faults = 0;
};

inline std::vector<ComboText> standardCombos() {
    return {{3, "Combo!"}, {4, "Super combo!"}, {5, "Great combo!"},
            {6, "Mega combo!"}, {8, "Ultra combo!"}, {10, "Unstoppable!"}};
}

// A playfield with the shipped gameplay options, the shipped combo table and a fixed seed.
struct Playfield {
    explicit Playfield(GameMode mode = kModeArcade, uint32_t seed = 7)
        : options(defaultGameplayOptions()), combos(standardCombos()), random(seed),
          game(options, combos, random) {
        game.mode = mode;
        game.level = 2;  // past the first level's lower praise thresholds
        game.grid.resetForLevel(mode);
        game.grid.configure(mode, options);
        game.grid.setView(&view);
    }
    std::vector<std::string> events(bool withParticles = false) const {
        return describeAll(game.events, withParticles);
    }
    bool hasEvent(const std::string& line) const {
        for (const std::string& e : describeAll(game.events, true))
            if (e == line) return true;
        return false;
    }

    GameOptions options;
    std::vector<ComboText> combos;
    Random random;
    MirrorView view;
    Gameplay game;
};

inline std::string fixtureRoot() { return std::string(QUIBBLESTAR_SOURCE_DIR) + "/tests/game/fixtures"; }

}  // namespace qs::test
