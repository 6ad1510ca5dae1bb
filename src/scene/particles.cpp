#include "scene/particles.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/particle_type.h"
#include "core/random.h"
#include "scene/scene_object_list.h"

namespace qs {

namespace {

constexpr double kTwoPi = 6.283185307179586;

std::string ballPath(int colour) {
    std::string n = std::to_string(colour);
    return "graphics\\balls\\ball" + n + "\\ball" + n + ".spr";
}

// How a particle moves at each update, and how it fades over its life.
enum class Motion : uint8_t { kDrift, kFall, kShrink, kTumble };
enum class Fade : uint8_t {
    kLinear,       // from opaque to clear
    kNone,         // stays opaque (falling balls leave the picture)
    kHalf,         // half as opaque, to clear
    kPartial,      // loses three quarters of its opacity
    kGlow,         // an additive spark: drifts twice as fast, cools from orange to black
    kToGauge,      // no fade: steers for the gauge and ends there
    kRise,         // grows in, then floats up and fades
};

// One row per particle type. A random start: velocity within +-speed on each axis, then the
// object within +-spread of the point (no random draw where the value is 0).
struct ParticleRule {
    const char* prototype;  // null: a ball of the type's colour, or the object handed over
    double speed;
    double spread;
    int lifetime;  // ms
    Motion motion;
    Fade fade;
};

constexpr const char* kSpark = "graphics\\particles\\particle1.spr";
constexpr ParticleRule kBall{nullptr, 0, 0, 1000, Motion::kFall, Fade::kNone};
constexpr ParticleRule kFadingBall{nullptr, 0, 0, 700, Motion::kShrink, Fade::kLinear};
constexpr ParticleRule kRules[kParticleTypeCount] = {
    /* 0 spark */ {kSpark, 2, 3, 400, Motion::kDrift, Fade::kLinear},
    kBall, kBall, kBall, kBall, kBall, kBall, kBall,
    kFadingBall, kFadingBall, kFadingBall, kFadingBall, kFadingBall, kFadingBall, kFadingBall,
    /* 15 rocket trail */ {kSpark, 0.5, 0.5, 500, Motion::kDrift, Fade::kLinear},
    /* 16 bomb spark */ {kSpark, 0.5, 12, 1500, Motion::kDrift, Fade::kGlow},
    /* 17 bonus trail */ {kSpark, 0.5, 0.5, 500, Motion::kDrift, Fade::kLinear},
    /* 18 ball trail */ {kSpark, 1, 1, 100, Motion::kDrift, Fade::kHalf},
    /* 19 burst */ {"graphics\\particles\\particle2.spr", 4, 0, 400, Motion::kTumble, Fade::kPartial},
    /* 20 shard */ {"graphics\\particles\\particle3.spr", 3, 0, 500, Motion::kTumble, Fade::kPartial},
    /* 21 small shard */ {"graphics\\particles\\particle3.spr", 2, 0, 500, Motion::kTumble, Fade::kLinear},
    /* 22 score piece */ {"graphics\\particles\\line_piece.spr", 0, 0, 1000, Motion::kDrift, Fade::kToGauge},
    /* 23 rising text */ {nullptr, 0, 0, 1000, Motion::kDrift, Fade::kRise},
};

bool isBall(int type) { return type >= kParticleFallingBall && type < kParticleRocketTrail; }

}  // namespace

ParticleList::~ParticleList() = default;

TExploseParticle* ParticleList::Create(int type, double x, double y, TMultiSprite* existing) {
    if (type < 0 || type >= kParticleTypeCount || (type == kParticleRisingText && !existing)) return nullptr;
    Random& random = random_;
    auto r = [&] { return random.below(1000) / 500.0 - 1.0; };

    auto particle = std::make_unique<TExploseParticle>();
    TExploseParticle& p = *particle;
    p.type = type;
    p.startTime = gameClock_;
    p.originX = x;
    p.originY = y;

    const ParticleRule& rule = kRules[type];
    p.lifetime = rule.lifetime;
    double objectX = x, objectY = y;
    if (rule.speed > 0) {
        p.vx = rule.speed * r();
        p.vy = rule.speed * r();
    }
    if (rule.spread > 0) {
        objectX = x + rule.spread * r();
        objectY = y + rule.spread * r();
    }
    if (rule.motion == Motion::kFall) {
        // Most falling balls drop straight; some jump a little first.
        p.vx = r();
        p.vy = random.below(1000) <= 700 ? 0 : -(1 + random.below(300) / 1000.0);
    }

    TMultiSprite* object = existing;
    if (!object) {
        const std::string path = rule.prototype ? rule.prototype : ballPath(type <= 7 ? type : type - 7);
        object = &objects_.create(path);
        object->x = objectX;
        object->y = objectY;
        if (isBall(type)) {
            // The plain ball: no shine, symbol or outline layers, no animation.
            for (int layer : {0, 2, 3}) {
                if (layer < static_cast<int>(object->sprites.size())) object->sprites[layer]->visible = false;
            }
            if (object->sprites.size() > 1) object->sprites[1]->animSpeed = 0;
        }
        if (type == kParticleRocketTrail) object->color = 0x808080;
        if (rule.fade == Fade::kGlow && !object->sprites.empty()) object->sprites[0]->alphaMode = 1;
        if (rule.motion == Motion::kTumble) {
            double scale = 1 - random.below(1000) / 3000.0;
            if (type == kParticleBurst) scale = 0.7 - random.below(1000) / 3000.0;
            if (type == kParticleSmallShard) scale *= 0.75;
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

    const ParticleRule& rule = kRules[p.type];
    o.x += p.vx;
    o.y += p.vy;
    if (rule.motion == Motion::kTumble) {
        p.vy += 0.5;
        o.angle += 0.05;
        o.scale_x *= 0.975;
        o.scale_y = o.scale_x;
    } else if (rule.motion == Motion::kFall) {
        p.vy = p.vy > 0 ? p.vy * 1.3 : p.vy + 0.25;
        o.scale_x *= 0.997;
        o.scale_y = o.scale_x;
    } else if (rule.motion == Motion::kShrink) {
        o.scale_x *= 0.85;
        o.scale_y = o.scale_x;
        p.size = o.scale_x * 34;
        o.x = (34 - p.size) / 2 + p.originX;
        o.y = (34 - p.size) / 2 + p.originY;
    }

    bool arrived = false;
    auto fade = [&](double range) { return static_cast<int>(std::trunc(elapsed / life * range)); };
    auto byte = [](int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); };
    switch (rule.fade) {
        case Fade::kNone:
            break;
        case Fade::kGlow: {
            o.x += p.vx;
            o.y += p.vy;
            int t = static_cast<int>(std::nearbyint(elapsed / life * 255));
            o.color = (std::max(0, 160 - t) << 16) | (std::max(0, 100 - t) << 8);
            o.alpha = byte(255 - t);
            break;
        }
        case Fade::kHalf:
            o.alpha = byte((255 - fade(255)) / 2);
            break;
        case Fade::kPartial:
            o.alpha = byte(255 - fade(192));
            break;
        case Fade::kToGauge: {
            const double targetX = gaugeTarget.x, targetY = gaugeTarget.y;
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
        case Fade::kRise:
            if (elapsed >= 250) {
                o.y -= 1;
                o.alpha = byte(255 - static_cast<int>(std::trunc((elapsed - 250) / 1000 * 255)));
            } else {
                double scale = (elapsed / 500 + 0.5) * 0.8;
                o.scale_x = o.scale_y = scale;
                o.x = (o.width - o.width * scale) / 2 + p.originX;
            }
            break;
        case Fade::kLinear:
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
