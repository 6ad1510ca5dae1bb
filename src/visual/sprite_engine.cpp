#include "visual/sprite_engine.h"

#include <algorithm>

#include "visual/multisprite.h"

namespace qs {

void SpriteEngine::add(TMyImageSprite* sprite) {
    created_.push_back(sprite);
    insertByZ(sprite);
}

void SpriteEngine::remove(TMyImageSprite* sprite) {
    eraseByZ(sprite);
    auto it = std::find(created_.begin(), created_.end(), sprite);
    if (it != created_.end()) created_.erase(it);
}

void SpriteEngine::insertByZ(TMyImageSprite* sprite) {
    // Before the first sprite whose Z is greater or equal.
    auto at = std::lower_bound(byZ_.begin(), byZ_.end(), sprite->Z(),
                               [](const TMyImageSprite* s, int z) { return s->Z() < z; });
    byZ_.insert(at, sprite);
}

void SpriteEngine::eraseByZ(TMyImageSprite* sprite) {
    auto from = std::lower_bound(byZ_.begin(), byZ_.end(), sprite->Z(),
                                 [](const TMyImageSprite* s, int z) { return s->Z() < z; });
    auto it = std::find(from, byZ_.end(), sprite);
    if (it != byZ_.end()) byZ_.erase(it);
}

void SpriteEngine::setZ(TMyImageSprite* sprite, int z) {
    if (sprite->z_ == z) return;
    eraseByZ(sprite);
    sprite->z_ = z;
    insertByZ(sprite);
}

void SpriteEngine::Move(int moveCount) {
    for (TMyImageSprite* sprite : created_) sprite->Move(moveCount, scrollX, scrollY);
}

void SpriteEngine::Draw(DrawList& list, const TextureLibrary& textures, int layerMin,
                        int layerMax) const {
    for (const TMyImageSprite* sprite : byZ_) {
        if (sprite->Z() < layerMin || sprite->Z() >= layerMax) continue;
        sprite->Draw(list, textures, scrollX, scrollY);
    }
}

}  // namespace qs
