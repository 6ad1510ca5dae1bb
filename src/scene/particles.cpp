#include "scene/particles.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/random.h"
#include "scene/scene_object_list.h"

namespace qs {

namespace {

constexpr double kTwoPi = 6.283185307179586;

std::string ballPath(int colour) {
    std::string n = std::to_string(colour);
    return "graphics\\balls\\ball" + n + "\\ball" + n + ".spr";
}

}  // namespace

ParticleList::~ParticleList() = default;

TExploseParticle* ParticleList::Create(int type, double x, double y, TMultiSprite* existing) {
    if (type < 0 || type > 23 || (type == 23 && !existing)) return nullptr;
    Random& random = random_;
    auto r = [&] { return random.below(1000) / 500.0 - 1.0; };

    auto particle = std::make_unique<TExploseParticle>();
    TExploseParticle& p = *particle;
    p.type = type;
    p.startTime = gameClock_;
    p.originX = x;
    p.originY = y;

    const char* prototype = nullptr;
    double objectX = x, objectY = y;
    switch (type) {
        case 0:
            prototype = "graphics\\particles\\particle1.spr";
            p.vx = 2 * r();
            p.vy = 2 * r();
            objectX = x + 3 * r();
            objectY = y + 3 * r();
            p.lifetime = 400;
            break;
        case 15: case 17:
            prototype = "graphics\\particles\\particle1.spr";
            p.vx = r() / 2;
            p.vy = r() / 2;
            objectX = x + r() / 2;
            objectY = y + r() / 2;
            p.lifetime = 500;
            break;
        case 16:
            prototype = "graphics\\particles\\particle1.spr";
            p.vx = 0.5 * r();
            p.vy = 0.5 * r();
            objectX = x + 12 * r();
            objectY = y + 12 * r();
            p.lifetime = 1500;
            break;
        case 18:
            prototype = "graphics\\particles\\particle1.spr";
            p.vx = r();
            p.vy = r();
            objectX = x + r();
            objectY = y + r();
            p.lifetime = 100;
            break;
        case 19:
            prototype = "graphics\\particles\\particle2.spr";
            p.vx = 4 * r();
            p.vy = 4 * r();
            p.lifetime = 400;
            break;
        case 20: case 21:
            prototype = "graphics\\particles\\particle3.spr";
            p.vx = (type == 20 ? 3 : 2) * r();
            p.vy = (type == 20 ? 3 : 2) * r();
            p.lifetime = 500;
            break;
        case 22:
            prototype = "graphics\\particles\\line_piece.spr";
            p.lifetime = 1000;
            break;
        case 23:
            p.lifetime = 1000;
            break;
        default:  // 1..14: balls
            if (type <= 7) {
                p.vx = r();
                p.vy = random.below(1000) <= 700 ? 0 : -(1 + random.below(300) / 1000.0);
                p.lifetime = 1000;
            } else {
                p.lifetime = 700;
            }
            break;
    }

    TMultiSprite* object = existing;
    if (!object) {
        const std::string path = prototype ? prototype : ballPath(type <= 7 ? type : type - 7);
        object = &objects_.create(path);
        object->x = objectX;
        object->y = objectY;
        if (type >= 1 && type <= 14) {
            // The plain ball: no shine, symbol or outline layers, no animation.
            for (int layer : {0, 2, 3}) {
                if (layer < static_cast<int>(object->sprites.size())) object->sprites[layer]->visible = false;
            }
            if (object->sprites.size() > 1) object->sprites[1]->animSpeed = 0;
        }
        if (type == 15) object->color = 0x808080;
        if (type == 16 && !object->sprites.empty()) object->sprites[0]->alphaMode = 1;
        if (type == 19 || type == 20 || type == 21) {
            double scale = 1 - random.below(1000) / 3000.0;
            if (type == 19) scale = 0.7 - random.below(1000) / 3000.0;
            if (type == 21) scale *= 0.75;
            object->scale_x = object->scale_y = scale;
            object->angle = random.below(1000) / 1000.0 * kTwoPi;
        }
    }
    object->tag = kParticleTag;
    p.object = object;
    p.objectSlot = object->slot;

    auto empty = std::find(list_.begin(), list_.end(), nullptr);
    if (empty != list_.end()) {
        p.slot = static_cast<int>(empty - list_.begin());
        *empty = std::move(particle);
    } else {
        p.slot = static_cast<int>(list_.size());
        list_.push_back(std::move(particle));
    }
    return list_[p.slot].get();
}

bool ParticleList::objectAlive(const TExploseParticle& p) const {
    return p.object && objects_.at(p.objectSlot) == p.object;
}

void ParticleList::Update(TExploseParticle& p) {
    // An object taken away under the particle (a screen unloaded by tag) ends it quietly.
    if (!objectAlive(p)) {
        p.object = nullptr;
        Free(p);
        return;
    }
    TMultiSprite& o = *p.object;
    const uint32_t now = gameClock_;
    const double elapsed = static_cast<double>(static_cast<int32_t>(now - p.startTime));
    const double life = p.lifetime;

    o.x += p.vx;
    o.y += p.vy;
    if (p.type >= 19 && p.type <= 21) {
        p.vy += 0.5;
        o.angle += 0.05;
        o.scale_x *= 0.975;
        o.scale_y = o.scale_x;
    } else if (p.type >= 1 && p.type <= 7) {
        p.vy = p.vy > 0 ? p.vy * 1.3 : p.vy + 0.25;
        o.scale_x *= 0.997;
        o.scale_y = o.scale_x;
    } else if (p.type >= 8 && p.type <= 14) {
        o.scale_x *= 0.85;
        o.scale_y = o.scale_x;
        p.size = o.scale_x * 34;
        o.x = (34 - p.size) / 2 + p.originX;
        o.y = (34 - p.size) / 2 + p.originY;
    }

    bool arrived = false;
    auto fade = [&](double range) { return static_cast<int>(std::trunc(elapsed / life * range)); };
    auto byte = [](int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); };
    switch (p.type) {
        case 1: case 2: case 3: case 4: case 5: case 6: case 7:
            break;
        case 16: {
            o.x += p.vx;
            o.y += p.vy;
            int t = static_cast<int>(std::nearbyint(elapsed / life * 255));
            o.color = (std::max(0, 160 - t) << 16) | (std::max(0, 100 - t) << 8);
            o.alpha = byte(255 - t);
            break;
        }
        case 18:
            o.alpha = byte((255 - fade(255)) / 2);
            break;
        case 19: case 20:
            o.alpha = byte(255 - fade(192));
            break;
        case 22: {
            const double targetX = 217 + indicatorX, targetY = 58;
            const double d = std::hypot(targetX - o.x, targetY - o.y);
            // A piece already on the point arrives at once (and nothing divides by 0).
            if (d < 1) {
                p.startTime = 0;
                arrived = true;
                pieceArrived = true;
                break;
            }
            p.vx = (random_.below(4) + (targetX - o.x) / d * 7 - 2) * 0.75;
            p.vy = ((targetY - o.y) / d * 7 - random_.below(10) * 0.1) * 0.75;
            if (o.y < targetY) {
                p.startTime = 0;
                arrived = true;
                pieceArrived = true;
            }
            break;
        }
        case 23:
            if (elapsed >= 250) {
                o.y -= 1;
                o.alpha = byte(255 - static_cast<int>(std::trunc((elapsed - 250) / 1000 * 255)));
            } else {
                double scale = (elapsed / 500 + 0.5) * 0.8;
                o.scale_x = o.scale_y = scale;
                o.x = (o.width - o.width * scale) / 2 + p.originX;
            }
            break;
        default:
            o.alpha = byte(255 - fade(255));
            break;
    }

    if (arrived || static_cast<int64_t>(p.startTime) + p.lifetime < static_cast<int64_t>(now)) {
        Free(p);
        return;
    }
    o.ApplyTransform();
}

void ParticleList::UpdateAll() {
    // Index loop: an update frees its own entry, and nothing else changes the list meanwhile.
    for (size_t i = 0; i < list_.size(); ++i) {
        if (list_[i]) Update(*list_[i]);
    }
}

void ParticleList::Free(TExploseParticle& p) {
    if (objectAlive(p)) objects_.free(p.objectSlot);
    int slot = p.slot;
    if (slot >= 0 && slot < static_cast<int>(list_.size())) list_[slot].reset();
}

void ParticleList::FreeAll() {
    for (auto& particle : list_) {
        if (particle) Free(*particle);
    }
}

int ParticleList::liveCount() const {
    int n = 0;
    for (const auto& particle : list_) n += particle ? 1 : 0;
    return n;
}

TExploseParticle* ParticleList::at(int slot) const {
    if (slot < 0 || slot >= static_cast<int>(list_.size())) return nullptr;
    return list_[slot].get();
}

}  // namespace qs
