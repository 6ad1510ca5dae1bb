#include "visual/sprite_engine.h"

#include "visual/multisprite.h"
#include "visual/quad_culling.h"

namespace qs {

void SpriteEngine::add(TMyImageSprite* sprite) {
    sprite->createdSlot_ = created_.size();
    created_.push_back(sprite);
    ++live_;
    insertByZ(sprite);
}

void SpriteEngine::remove(TMyImageSprite* sprite) {
    const size_t slot = sprite->createdSlot_;
    if (slot >= created_.size() || created_[slot] != sprite) return;
    eraseByZ(sprite);
    created_[slot] = nullptr;
    --live_;
    if (created_.size() > 64 && created_.size() - live_ > live_) compact();
}

void SpriteEngine::compact() {
    size_t to = 0;
    for (TMyImageSprite* sprite : created_) {
        if (!sprite) continue;
        sprite->createdSlot_ = to;
        created_[to++] = sprite;
    }
    created_.resize(to);
}

void SpriteEngine::insertByZ(TMyImageSprite* sprite) {
    // Before every sprite whose Z is greater or equal: among equals the newest is first.
    sprite->drawOrder_ = nextOrder_++;
    byZ_.emplace(DrawKey{sprite->z_, sprite->drawOrder_}, sprite);
}

void SpriteEngine::eraseByZ(TMyImageSprite* sprite) { byZ_.erase(DrawKey{sprite->z_, sprite->drawOrder_}); }

void SpriteEngine::setZ(TMyImageSprite* sprite, int z) {
    if (sprite->z_ == z) return;
    eraseByZ(sprite);
    sprite->z_ = z;
    insertByZ(sprite);
}

std::vector<TMyImageSprite*> SpriteEngine::drawingOrder() const {
    std::vector<TMyImageSprite*> order;
    order.reserve(byZ_.size());
    for (const auto& [key, sprite] : byZ_) order.push_back(sprite);
    return order;
}

void SpriteEngine::Move(int moveCount) {
    for (size_t i = 0; i < created_.size(); ++i)
        if (TMyImageSprite* sprite = created_[i]) sprite->Move(moveCount, scrollX, scrollY);
}

void SpriteEngine::Draw(DrawList& list, const TextureLibrary& textures, int layerMin,
                        int layerMax) const {
    const std::size_t first = list.size();
    for (const auto& [key, sprite] : byZ_) {
        if (sprite->Z() < layerMin || sprite->Z() >= layerMax) continue;
        sprite->Draw(list, textures, scrollX, scrollY);
    }
    cullHiddenQuads(list, first, kViewWidth, kViewHeight);
}

}  // namespace qs
