#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "render/draw_list.h"

namespace qs {

class PrototypeLibrary;
class SpriteEngine;
class TextureLibrary;
class TMultiSprite;
struct PrototypePart;

inline constexpr int kScreenW = 800;
inline constexpr int kScreenH = 600;

// One image layer of a live object, placed, animated and drawn by the sprite engine.
class TMyImageSprite {
public:
    TMyImageSprite(TMultiSprite& owner, SpriteEngine& engine);
    ~TMyImageSprite();
    TMyImageSprite(const TMyImageSprite&) = delete;
    TMyImageSprite& operator=(const TMyImageSprite&) = delete;

    void copyFrom(const PrototypePart& part, const TextureLibrary& textures);

    // One animation step of `moveCount` units, then the screen position from the map scroll.
    void Move(int moveCount, double scrollX, double scrollY);
    // Appends this sprite's quads for the current frame.
    void Draw(DrawList& list, const TextureLibrary& textures, double scrollX, double scrollY) const;

    int Z() const { return z_; }
    void setZ(int z);

    // From the sprite engine's base sprite.
    bool visible = false;
    double X = -2000, Y = -2000;
    int Width = 0, Height = 0;
    int animCount = 0;
    bool animLooped = false;
    double animPos = 0;
    double animSpeed = 0;
    int animStart = 0;

    double worldX = 0, worldY = 0;
    double partX = 0, partY = 0;
    int partZ = 0;
    bool partFlipX = false, partFlipY = false;
    int sheet = -1;
    int group = -1;
    uint8_t alpha = 255;
    uint8_t alphaMode = 0;
    int color = 0xFFFFFF;
    double partAngle = 0;
    double baseAnimSpeed = 0;
    int spriteType = 0;
    double scaleX = 1, scaleY = 1;
    std::string textureName;
    bool flipX = false, flipY = false;  // in effect: part XOR object
    double angle = 0;                   // in effect: object + part

    TMultiSprite& owner() const { return owner_; }

private:
    friend class SpriteEngine;
    TMultiSprite& owner_;
    SpriteEngine& engine_;
    int z_ = 0;
    uint64_t drawOrder_ = 0;   // when it last took its place among the sprites of its Z
    size_t createdSlot_ = 0;   // its place in the engine's creation order
};

struct ObjectGroupState {
    int firstPart = 0;
    int count = 0;
    int selection = -1;
    std::string textureName;
};

// What a new object is built from: the prototypes, the engine that draws its image sprites,
// and the game clock it notes as its creation time.
struct SpriteWorld {
    PrototypeLibrary& prototypes;
    SpriteEngine& engine;
    const uint32_t& gameClock;
};

// A live visual object built from a prototype: one image sprite per prototype part.
// Objects are created and freed through the scene object list.
class TMultiSprite {
public:
    TMultiSprite(const SpriteWorld& world, const std::string& path);
    virtual ~TMultiSprite();
    TMultiSprite(const TMultiSprite&) = delete;
    TMultiSprite& operator=(const TMultiSprite&) = delete;

    void SelectGroupPart(int group, int part);
    void ApplyTransform();
    void PlaceSprites();

    std::string name;
    std::vector<std::unique_ptr<TMyImageSprite>> sprites;
    std::vector<ObjectGroupState> groups;
    double x = 0, y = 0;
    int z = 0;
    uint8_t visible = 1;
    bool flip_x = false, flip_y = false;
    int width = 0, height = 0;
    double angle = 0;
    uint8_t alpha = 255;
    double rot_center_x = 0, rot_center_y = 0;
    std::string tag;
    double map_koeff = 1;
    int slot = -1;
    int prototype = -1;
    bool trigger = false;
    int color = 0xFFFFFF;
    double scale_x = 1, scale_y = 1;
    uint32_t creationTime = 0;
    bool isometric = false;
    double iso_x = 0, iso_y = 0;
    int iso_z = 0;
};

}  // namespace qs
