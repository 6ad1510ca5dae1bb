#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "game/ball_grid.h"
#include "game/gameplay.h"

namespace qs {

class SceneServices;
class TMultiSprite;

// Dresses a cell or ball object per kind: a colour ball shows only its ball layer (animated,
// with its bonus symbol, when it carries a bonus); a colour bomb's ball layer takes its tint.
void dressBall(TMultiSprite& object, int kind, int tint, int bonus);

// The picture of the playfield: one object per occupied cell, kept in step with the grid,
// the ball in flight, and the effects the gameplay asks for (particles and sounds).
class FieldView final : public GridView {
public:
    explicit FieldView(SceneServices& ctx) : ctx_(ctx) {}
    ~FieldView() override;
    FieldView(const FieldView&) = delete;
    FieldView& operator=(const FieldView&) = delete;

    void cellFilled(int column, int row, const GridCell& cell, int x, int y) override;
    void cellEmptied(int column, int row) override;
    void rowsShifted(int firstRow, int lastRow, int by) override;
    void fieldMoved(int dy) override;

    // Follows the ball in flight (made, moved, removed) and plays out the gameplay's
    // events, which are then cleared.
    void update(Gameplay& game);

    int cellObjects() const { return static_cast<int>(cells_.size()); }
    TMultiSprite* ballObject() const;

private:
    void freeSlot(int slot);
    void playEvents(Gameplay& game);
    void risingText(const std::string& text, const char* font, uint32_t colour, double x, double y);

    SceneServices& ctx_;
    std::map<std::pair<int, int>, int> cells_;  // (column, row) -> object slot
    std::map<int, int> crystalLayers_;           // a crystal's slot -> the layer its art gives it
    void placeCrystal(int slot);
    int ballSlot_ = -1;
    TMultiSprite* ballObject_ = nullptr;
};

}  // namespace qs
