#include "render/stats_text.h"

#include <vector>

namespace qs {

namespace {

// Each glyph: five rows of three bits, the top row first, the left column the high bit.
struct Glyph {
    char c;
    unsigned char rows[5];
};

const Glyph kGlyphs[] = {
    {'0', {7, 5, 5, 5, 7}}, {'1', {2, 6, 2, 2, 7}}, {'2', {7, 1, 7, 4, 7}}, {'3', {7, 1, 7, 1, 7}},
    {'4', {5, 5, 7, 1, 1}}, {'5', {7, 4, 7, 1, 7}}, {'6', {7, 4, 7, 5, 7}}, {'7', {7, 1, 1, 1, 1}},
    {'8', {7, 5, 7, 5, 7}}, {'9', {7, 5, 7, 1, 7}}, {'.', {0, 0, 0, 0, 2}}, {'f', {3, 4, 6, 4, 4}},
    {'p', {6, 5, 6, 4, 4}}, {'s', {3, 4, 2, 1, 6}}, {'(', {1, 2, 2, 2, 1}}, {')', {4, 2, 2, 2, 4}},
    {'x', {0, 5, 2, 5, 0}}, {' ', {0, 0, 0, 0, 0}},
};

const Glyph* find(char c) {
    for (const Glyph& g : kGlyphs) {
        if (g.c == c) return &g;
    }
    return nullptr;
}

}  // namespace

void drawStatsText(SDL_Renderer* renderer, const std::string& text, int x, int y, int scale) {
    std::vector<SDL_Rect> pixels;
    int penX = x;
    for (char c : text) {
        if (const Glyph* g = find(c)) {
            for (int row = 0; row < 5; ++row) {
                for (int col = 0; col < 3; ++col) {
                    if (g->rows[row] & (4 >> col))
                        pixels.push_back({penX + col * scale, y + row * scale, scale, scale});
                }
            }
        }
        penX += 4 * scale;
    }
    SDL_Rect backing{x - scale, y - scale, static_cast<int>(text.size()) * 4 * scale + scale, 7 * scale};
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 160);
    SDL_RenderFillRect(renderer, &backing);
    SDL_SetRenderDrawColor(renderer, 255, 255, 96, 255);
    if (!pixels.empty()) SDL_RenderFillRects(renderer, pixels.data(), static_cast<int>(pixels.size()));
}

}  // namespace qs
