#pragma once

#include <cstddef>
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

    size_t size() const { return created_.size(); }
    const std::vector<TMyImageSprite*>& drawingOrder() const { return byZ_; }

private:
    void insertByZ(TMyImageSprite* sprite);
    void eraseByZ(TMyImageSprite* sprite);

    std::vector<TMyImageSprite*> byZ_;
    std::vector<TMyImageSprite*> created_;
};

}  // namespace qs
