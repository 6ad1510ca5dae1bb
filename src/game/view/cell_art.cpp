#include "game/view/cell_art.h"

#include "game/ball_grid.h"

namespace qs {

CellArt cellArt(int kind) {
    if (kind >= 1 && kind <= 9) {
        const std::string n = std::to_string(kind);
        return {"graphics\\balls\\ball" + n + "\\ball" + n + ".spr", "balls"};
    }
    switch (kind) {
        case kCellColourBomb: return {"graphics\\balls\\bomb\\bomb1.spr", "balls"};
        case kCellBigBomb: return {"graphics\\balls\\big_bomb\\bomb2.spr", "balls"};
        case kCellMultiball: return {"graphics\\balls\\multiball\\multiball.spr", "balls"};
        case kCellLand: return {"graphics\\balls\\lands\\land1.spr", "land"};
        case kCellCrystal: return {"graphics\\balls\\crystals\\crystal1.spr", "crystal"};
        default: return {"", "balls"};
    }
}

uint32_t ballColourValue(int colour) {
    static const uint32_t values[kColourCount] = {0x0000FF, 0xFFFF00, 0x00FF00, 0xFF0000,
                                                  0xFF00FF, 0x808080, 0x80FFFF};
    return colour >= 1 && colour <= kColourCount ? values[colour - 1] : 0xFFFFFF;
}

}  // namespace qs
