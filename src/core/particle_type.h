#pragma once

namespace qs {

// The kinds of short-lived effect. The numbers are the ones the game's content and rules
// speak of; a ball's colour c (1..7) gives kParticleFallingBall + c - 1 and
// kParticleFadingBall + c - 1.
enum ParticleType : int {
    kParticleSpark = 0,          // a small spark, 400 ms
    kParticleFallingBall = 1,    // 1..7: a ball of that colour falls off the field
    kParticleFadingBall = 8,     // 8..14: a ball of colour (type - 7) shrinks where it stands
    kParticleRocketTrail = 15,   // grey smoke behind a paint rocket
    kParticleBombSpark = 16,     // additive sparks of bombs and bursts
    kParticleBonusTrail = 17,    // behind a bonus icon flying to its slot
    kParticleBallTrail = 18,     // behind a ball in flight
    kParticleBurst = 19,         // sparks of a removed ball
    kParticleShard = 20,         // the four shards of a removed ball
    kParticleSmallShard = 21,
    kParticleScorePiece = 22,    // flies to the gauge
    kParticleRisingText = 23,    // a score or combo text floating up
};

inline constexpr int kParticleTypeCount = 24;

}  // namespace qs
