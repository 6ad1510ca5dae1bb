#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace qs {

class Random;
class SceneObjectList;
class TMultiSprite;

inline constexpr const char* kParticleTag = "explose_particle";

// A short-lived effect: moves, scales and fades one object by its type's rule and frees it
// when its lifetime is over.
class TExploseParticle {
public:
    int slot = -1;
    uint32_t startTime = 0;
    int lifetime = 0;
    double vx = 0, vy = 0;
    int type = 0;
    double size = 34.0;
    double originX = 0, originY = 0;
    int objectSlot = -1;  // the object's slot in the scene object list
    TMultiSprite* object = nullptr;
};

// Every live particle; the scenes update them once per scene step.
class ParticleList {
public:
    // Particles are objects of the list, move by the random source and age by the game clock.
    ParticleList(SceneObjectList& objects, Random& random, const uint32_t& gameClock)
        : objects_(objects), random_(random), gameClock_(gameClock) {}
    ~ParticleList();

    // A new particle of `type` at (x, y); `existing` hands an object over instead of creating
    // one (always given for type 23). Nothing for a type outside 0..23 (or 23 without object).
    TExploseParticle* Create(int type, double x, double y, TMultiSprite* existing = nullptr);
    void Update(TExploseParticle& particle);
    void UpdateAll();
    void Free(TExploseParticle& particle);
    void FreeAll();

    int liveCount() const;
    TExploseParticle* at(int slot) const;

    // Where score pieces fly to (the end of the gauge as it is shown), and the flag they set
    // when one arrives.
    struct Point {
        double x = 0, y = 0;
    };
    Point gaugeTarget;
    bool pieceArrived = false;

private:
    bool objectAlive(const TExploseParticle& particle) const;

    SceneObjectList& objects_;
    Random& random_;
    const uint32_t& gameClock_;
    std::vector<std::unique_ptr<TExploseParticle>> list_;
};

}  // namespace qs
