#include "visual/multisprite.h"

#include <algorithm>
#include <cmath>

#include "core/file_system.h"
#include "core/text_util.h"
#include "visual/prototype_library.h"
#include "visual/sprite_engine.h"
#include "visual/sprite_prototype.h"
#include "visual/texture_library.h"

namespace qs {

namespace {

// The tint of a part inside a tinted object: white means "no tint" on either side.
int combineColour(int part, int object) {
    if (part == 0xFFFFFF) return object;
    if (object == 0xFFFFFF) return part;
    int result = 0;
    for (int shift : {16, 8, 0}) {
        int channel = ((part >> shift) & 0xFF) * ((object >> shift) & 0xFF) / 255;
        result |= channel << shift;
    }
    return result;
}

}  // namespace

TMyImageSprite::TMyImageSprite(TMultiSprite& owner, SpriteEngine& engine)
    : owner_(owner), engine_(engine) {
    engine_.add(this);
}

TMyImageSprite::~TMyImageSprite() { engine_.remove(this); }

void TMyImageSprite::setZ(int z) { engine_.setZ(this, z); }

void TMyImageSprite::copyFrom(const PrototypePart& part, const TextureLibrary& textures) {
    partX = part.x;
    partY = part.y;
    partZ = part.z;
    partFlipX = part.flip_x;
    partFlipY = part.flip_y;
    textureName = part.textureName;
    scaleX = part.scale_x;
    scaleY = part.scale_y;
    sheet = part.sheet;
    group = part.group;
    alpha = part.alpha;
    alphaMode = part.alpha_mode;
    partAngle = part.angle;
    spriteType = part.sprite_type;
    animCount = part.frame_count;
    animSpeed = part.anim_speed;
    baseAnimSpeed = part.anim_speed;
    animStart = 0;
    animLooped = part.anim_loop;
    color = part.color;
    if (const TextureSheet* s = textures.sheetAt(sheet)) {
        Width = s->imageWidth;
        Height = s->imageHeight;
    }
}

void TMyImageSprite::Move(int moveCount, double scrollX, double scrollY) {
    animPos += moveCount * animSpeed;
    if (animLooped) {
        if (animCount > 0) {
            animPos = std::fmod(animPos, static_cast<double>(animCount));
            if (animPos < 0) animPos += animCount;
        } else {
            animPos = 0;
        }
    } else if (animPos >= animCount) {
        animPos = animCount > 0 ? animCount - 1 : 0;
        animSpeed = 0;
    }
    if (animPos < 0) {
        animPos = 0;
        animSpeed = 0;
    }
    X = worldX - scrollX * owner_.map_koeff;
    Y = worldY - scrollY * owner_.map_koeff;
}

void TMyImageSprite::Draw(DrawList& list, const TextureLibrary& textures, double scrollX,
                          double scrollY) const {
    const TMultiSprite& object = owner_;
    if (!visible || object.visible == 0) return;
    const TextureSheet* s = textures.sheetAt(sheet);
    if (!s) return;
    const int frameIndex = static_cast<int>(animPos) + animStart;
    if (frameIndex < 0 || frameIndex >= static_cast<int>(s->frames.size())) return;

    const double left = std::trunc(X);
    const double top = std::trunc(Y);
    const double sx = scaleX * object.scale_x;
    const double sy = scaleY * object.scale_y;
    const int fw = s->frameWidth, fh = s->frameHeight;
    if (left < -fw * sx || top < -fh * sy || left - kScreenW > fw * sx || top - kScreenH > fh * sy)
        return;

    const int alphaInEffect = alpha * object.alpha / 255;
    const int colourInEffect = combineColour(color, object.color);
    if (spriteType != 0) return;
    if (alphaInEffect == 0) return;

    const double centreX = object.rot_center_x * scaleX + object.x - scrollX;
    const double centreY = object.rot_center_y * scaleY + object.y - scrollY;

    const int ts = s->textureSize;
    const int b = s->border;
    const int inner = ts - 2 * b;
    // Each tile shows texels [b, ts - b) of its slot: its own pixels, not the overlap.
    const double inset = b >= 1 ? b / 256.0 : 0.0;
    const uint32_t vertexColour = (static_cast<uint32_t>(alphaInEffect) << 24) |
                                  static_cast<uint32_t>(colourInEffect & 0xFFFFFF);

    for (const TextureTile& tile : s->frames[frameIndex].tiles) {
        if (!tile.hasVisiblePixels || tile.page < 0) continue;
        // Past the frame's right and bottom edges a tile holds only transparent padding, and
        // a software renderer pays for every texel of it: the quad covers the frame's part
        // alone (a 34-pixel ball in a 64-pixel slot is under a third of the slot).
        const int across = std::min(inner, fw - tile.xOffset);
        const int down = std::min(inner, fh - tile.yOffset);
        if (across <= 0 || down <= 0) continue;
        // A flipped frame shows its tiles mirrored within the frame.
        const double x0 = left + sx * (flipX ? fw - tile.xOffset - across : tile.xOffset) - 0.5;
        const double y0 = top + sy * (flipY ? fh - tile.yOffset - down : tile.yOffset) - 0.5;
        const double x1 = x0 + sx * across, y1 = y0 + sy * down;
        double u0 = tile.u + inset, u1 = u0 + across / 256.0;
        double v0 = tile.v + inset, v1 = v0 + down / 256.0;
        if (flipX) std::swap(u0, u1);
        if (flipY) std::swap(v0, v1);

        DrawQuad quad;
        quad.page = tile.page;
        const double xs[4] = {x0, x1, x0, x1}, ys[4] = {y0, y0, y1, y1};
        const double us[4] = {u0, u1, u0, u1}, vs[4] = {v0, v0, v1, v1};
        for (int i = 0; i < 4; ++i) {
            DrawVertex& v = quad.v[i];
            v.x = static_cast<float>(xs[i]);
            v.y = static_cast<float>(ys[i]);
            v.u = static_cast<float>(us[i]);
            v.v = static_cast<float>(vs[i]);
            v.color = vertexColour;
        }
        quad.filter = static_cast<uint8_t>(s->filter);
        quad.alphaMode = alphaMode;
        quad.opaque = tile.opaque && alphaInEffect == 255 && alphaMode == 0;
        quad.angle = angle;
        quad.centreX = centreX;
        quad.centreY = centreY;
        list.push_back(quad);
    }
}

namespace {

// Prototypes are found by their bare name, so "graphics\wrong\ball1" finds the "ball1" read
// from another folder. That is how the game works, but a name whose own file is not there is
// most likely a mistake in a map or list: it is logged.
void noteOtherFolder(const LoadServices& load, const std::string& path, const TMultiSpritePrototype& proto) {
    if (proto.file.empty() || path.find_first_of("\\/") == std::string::npos) return;
    auto key = [](const std::string& name) {
        std::string k = toLower(FileSystem::normaliseName(trim(name)));
        return endsWithNoCase(k, ".spr") ? k : k + ".spr";
    };
    if (key(path) == key(proto.file) || load.files.contentExists(key(path))) return;
    load.WriteLog(path + " is not there; the prototype of that name read from " + proto.file + " is used");
}

}  // namespace

TMultiSprite::TMultiSprite(const SpriteWorld& world, const std::string& path) {
    creationTime = world.gameClock;
    PrototypeLibrary& library = world.prototypes;
    prototype = library.FindPrototype(path, 0);
    if (prototype < 0) prototype = library.LoadSpritePrototype(path);
    const TMultiSpritePrototype* proto = library.prototypeAt(prototype);
    if (!proto) return;
    noteOtherFolder(library.services(), path, *proto);
    library.ensureImages(prototype);

    rot_center_x = proto->rot_center_x;
    rot_center_y = proto->rot_center_y;
    for (const PartGroup& g : proto->groups) groups.push_back({g.firstPart, g.count, g.selection, {}});
    x = proto->x;
    y = proto->y;
    z = proto->z;
    width = proto->width;
    height = proto->height;
    color = proto->color;
    isometric = proto->isometric;
    iso_x = proto->iso_x;
    iso_y = proto->iso_y;
    iso_z = proto->iso_z;
    name = proto->name;
    map_koeff = proto->map_koeff;
    flip_x = proto->flip_x;
    flip_y = proto->flip_y;
    scale_x = proto->scale_x;
    scale_y = proto->scale_y;
    angle = proto->angle;
    alpha = proto->alpha;
    trigger = proto->trigger;
    visible = 1;

    const TextureLibrary& textures = library.textures();
    for (const PrototypePart& part : proto->parts) {
        auto sprite = std::make_unique<TMyImageSprite>(*this, world.engine);
        sprite->copyFrom(part, textures);
        sprites.push_back(std::move(sprite));
    }
    for (size_t g = 0; g < groups.size(); ++g) SelectGroupPart(static_cast<int>(g), 0);
}

TMultiSprite::~TMultiSprite() = default;

void TMultiSprite::SelectGroupPart(int g, int k) {
    if (g < 0 || g >= static_cast<int>(groups.size())) return;
    ObjectGroupState& group = groups[g];
    if (group.selection == k) return;
    group.selection = k;
    const int shown = group.firstPart + k;
    for (int i = group.firstPart; i < group.firstPart + group.count; ++i) {
        if (i < 0 || i >= static_cast<int>(sprites.size())) continue;
        sprites[i]->visible = (i == shown);
        if (i == shown) group.textureName = sprites[i]->textureName;
    }
}

void TMultiSprite::ApplyTransform() {
    for (auto& sprite : sprites) {
        sprite->flipX = sprite->partFlipX != flip_x;
        sprite->flipY = sprite->partFlipY != flip_y;
        sprite->angle = angle + sprite->partAngle;
    }
    PlaceSprites();
}

void TMultiSprite::PlaceSprites() {
    for (auto& sprite : sprites) {
        sprite->worldX = x + scale_x * (sprite->partX * sprite->scaleX);
        sprite->worldY = y + scale_y * (sprite->partY * sprite->scaleY);
        sprite->setZ(sprite->partZ + z);
    }
}

}  // namespace qs
