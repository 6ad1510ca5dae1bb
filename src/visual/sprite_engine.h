#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "render/draw_list.h"

namespace qs {

class TMyImageSprite;
class TextureLibrary;

// Holds every image sprite: moves them in creation order and draws them in z order.
class SpriteEngine {
public:
    static constexpr int kLayerMin = -1000000;
    static constexpr int kLayerMax = 1000000;

    // A new sprite enters the drawing order with Z 0.
    void add(TMyImageSprite* sprite);
    void remove(TMyImageSprite* sprite);
    // Re-sorts the sprite when its Z changes. Among equal Z, the sprite that got its Z last
    // is drawn first, beneath the others.
    void setZ(TMyImageSprite* sprite, int z);

    void Move(int moveCount);
    // Appends the quads of every visible sprite whose Z lies in [layerMin, layerMax).
    void Draw(DrawList& list, const TextureLibrary& textures, int layerMin = kLayerMin,
              int layerMax = kLayerMax) const;

    // The map scroll that sprites follow by their object's map factor.
    double scrollX = 0;
    double scrollY = 0;

    size_t size() const { return live_; }
    std::vector<TMyImageSprite*> drawingOrder() const;

private:
    // Drawing order: by Z, and among equal Z the sprite that took its place last comes first.
    // A sorted map keeps adding, removing and re-sorting one sprite logarithmic, so freeing a
    // screen of N objects costs N log N, not N squared.
    struct DrawKey {
        int z;
        uint64_t order;
        bool operator<(const DrawKey& o) const { return z != o.z ? z < o.z : order > o.order; }
    };
    void insertByZ(TMyImageSprite* sprite);
    void eraseByZ(TMyImageSprite* sprite);
    void compact();

    std::map<DrawKey, TMyImageSprite*> byZ_;
    // Creation order, for moving; a removed sprite leaves a hole until the holes outnumber
    // the sprites.
    std::vector<TMyImageSprite*> created_;
    size_t live_ = 0;
    uint64_t nextOrder_ = 0;
};

}  // namespace qs
