#include "game/view/field_view.h"

#include <algorithm>
#include <cmath>

#include "audio/audio.h"
#include "game/view/cell_art.h"
#include "scene/particles.h"
#include "scene/scene_object_list.h"
#include "scene/text_objects.h"
#include "ui/scene_services.h"

namespace qs {

namespace {

// Score and combo texts are made under this tag and handed to particles at once.
constexpr const char* kRisingTextTag = "particle_digits";
// A rising text floats up a pixel a step for 750 ms: 45 pixels on average, but as many as 47
// when the steps fall that way (headless frames give 46, a window's frames bunch them); it
// starts low enough to stay inside the field, clear of the frame and the gauge above it.
constexpr double kFieldTop = 92;
// A crystal is the level's goal: once its middle is inside the field it is drawn over the
// ceiling's lip (the zone's panel is layer 100) rather than half hidden under it.
constexpr double kCellHalf = 17;
constexpr int kOverTheLip = 101;
constexpr double kTextRise = 47;

}  // namespace

void dressBall(TMultiSprite& object, int kind, int tint, int bonus) {
    auto& layers = object.sprites;
    if (kind >= 1 && kind <= 7 && layers.size() >= 4) {
        for (int layer : {0, 3}) layers[layer]->visible = false;
        layers[1]->visible = true;
        if (bonus > 0) {
            layers[1]->animSpeed = layers[1]->baseAnimSpeed;
            layers[2]->visible = true;
            layers[2]->animPos = bonus - 1;
            layers[2]->animSpeed = 0;
        } else {
            layers[1]->animSpeed = 0;
            layers[1]->animPos = 0;
            layers[2]->visible = false;
        }
    }
    if (kind == kCellColourBomb && layers.size() >= 2) layers[1]->color = static_cast<int>(ballColourValue(tint));
}

FieldView::~FieldView() {
    for (const auto& [cell, slot] : cells_) freeSlot(slot);
    if (ballObject()) freeSlot(ballSlot_);
}

void FieldView::freeSlot(int slot) { ctx_.sceneObjects->free(slot); }

TMultiSprite* FieldView::ballObject() const {
    TMultiSprite* object = ctx_.sceneObjects->at(ballSlot_);
    return object == ballObject_ ? object : nullptr;
}

void FieldView::cellFilled(int column, int row, const GridCell& cell, int x, int y) {
    cellEmptied(column, row);
    CellArt art = cellArt(cell.kind);
    if (art.prototype.empty()) return;
    TMultiSprite& object = ctx_.sceneObjects->create(art.prototype);
    object.tag = art.tag;
    object.x = x;
    object.y = y;
    dressBall(object, cell.kind, cell.tint, cell.bonus);
    if (cell.kind == kCellCrystal) crystalLayers_[object.slot] = object.z;
    cells_[{column, row}] = object.slot;
    placeCrystal(object.slot);
    object.ApplyTransform();
}

void FieldView::placeCrystal(int slot) {
    auto layer = crystalLayers_.find(slot);
    TMultiSprite* object = ctx_.sceneObjects->at(slot);
    if (layer == crystalLayers_.end() || !object || object->tag != "crystal") return;
    object->z = object->y + kCellHalf >= kFieldTop ? std::max(layer->second, kOverTheLip) : layer->second;
}

void FieldView::cellEmptied(int column, int row) {
    auto it = cells_.find({column, row});
    if (it == cells_.end()) return;
    crystalLayers_.erase(it->second);
    freeSlot(it->second);
    cells_.erase(it);
}

void FieldView::rowsShifted(int firstRow, int lastRow, int by) {
    std::map<std::pair<int, int>, int> moved;
    for (auto it = cells_.begin(); it != cells_.end();) {
        int row = it->first.second;
        if (row >= firstRow && row <= lastRow) {
            moved[{it->first.first, row + by}] = it->second;
            it = cells_.erase(it);
        } else {
            ++it;
        }
    }
    for (const auto& [cell, slot] : moved) {
        auto old = cells_.find(cell);
        if (old != cells_.end()) {
            crystalLayers_.erase(old->second);
            freeSlot(old->second);
        }
        cells_[cell] = slot;
    }
}

void FieldView::fieldMoved(int dy) {
    for (const auto& [cell, slot] : cells_) {
        if (TMultiSprite* object = ctx_.sceneObjects->at(slot)) object->y += dy;
    }
    for (const auto& [slot, layer] : crystalLayers_) placeCrystal(slot);
}

void FieldView::update(Gameplay& game) {
    if (game.ball) {
        if (!ballObject()) {
            CellArt art = cellArt(game.ball->kind);
            TMultiSprite& object = ctx_.sceneObjects->create(art.prototype);
            object.tag = "shot_ball";
            dressBall(object, game.ball->kind, game.ball->tint, game.ball->bonus);
            ballSlot_ = object.slot;
            ballObject_ = &object;
        }
        TMultiSprite& object = *ballObject();
        object.x = game.ball->x;
        object.y = game.ball->y;
        object.z = game.ball->priority;
        object.ApplyTransform();
    } else if (ballObject()) {
        freeSlot(ballSlot_);
        ballObject_ = nullptr;
        ballSlot_ = -1;
    }
    playEvents(game);
}

void FieldView::risingText(const std::string& text, const char* font, uint32_t colour, double x, double y) {
    SceneObjectList& objects = *ctx_.sceneObjects;
    y = std::max(y, kFieldTop + kTextRise);
    create_txt(*ctx_.sceneObjects, text, 300, font, x, y, 1.0, static_cast<int>(colour), kRisingTextTag, 2);
    // Every glyph of the text becomes a particle that floats up and fades.
    for (int slot = 0; slot < objects.count(); ++slot) {
        TMultiSprite* glyph = objects.at(slot);
        if (!glyph || glyph->tag != kRisingTextTag) continue;
        ctx_.particles->Create(kParticleRisingText, glyph->x, glyph->y, glyph);
    }
}

void FieldView::playEvents(Gameplay& game) {
    Audio& audio = *ctx_.audio;
    for (const GameEvent& event : game.events) {
        switch (event.type) {
            case GameEvent::kSound:
            case GameEvent::kPraise:
                audio.PlaySound(audio.FindSound(event.name));
                break;
            case GameEvent::kParticles:
                if (event.shards) {
                    for (int i = 0; i < 4; ++i) {
                        TExploseParticle* shard = ctx_.particles->Create(
                            20, event.x + (i % 2 ? 8 : -8), event.y + (i / 2 ? 8 : -8));
                        if (shard && shard->object && !shard->object->sprites.empty())
                            shard->object->sprites[0]->animPos = i;
                    }
                    break;
                }
                for (int i = 0; i < event.count; ++i) {
                    TExploseParticle* p = ctx_.particles->Create(event.particle, event.x, event.y);
                    if (p && p->object && event.kind >= 1 && event.kind <= 7 && event.particle >= 15)
                        p->object->color = static_cast<int>(ballColourValue(event.kind));
                }
                break;
            case GameEvent::kScoreText:
                risingText(std::to_string(event.value), event.name, event.colour, event.x, event.y);
                break;
            case GameEvent::kComboText:
                risingText(event.text, event.name, event.colour, event.x, event.y);
                break;
            case GameEvent::kCrystalToCounter:
                // Pieces burst around the crystal and fly to the gauge.
                for (int i = 0; i < 10; ++i) {
                    const double angle = i * 2 * M_PI / 10;
                    const double distance = 10 + ctx_.random.below(10);
                    ctx_.particles->Create(kParticleScorePiece, event.x + distance * std::cos(angle),
                                           event.y + distance * std::sin(angle));
                }
                break;
            default:
                break;
        }
    }
    game.events.clear();
}

}  // namespace qs
