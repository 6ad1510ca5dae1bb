#pragma once

#include <cstdint>
#include <random>

namespace qs {

// The program's one random generator. Seeded once; the same seed gives the same game on
// every machine (the draws are worked out here, not by the library's distributions).
class Random {
public:
    explicit Random(uint32_t seed = 1) : engine_(seed), seed_(seed) {}

    void reseed(uint32_t seed) {
        engine_.seed(seed);
        seed_ = seed;
    }
    uint32_t seed() const { return seed_; }

    // A whole number in [0, n); 0 when n <= 0.
    int below(int n) {
        if (n <= 0) return 0;
        return static_cast<int>((static_cast<uint64_t>(engine_()) * static_cast<uint64_t>(n)) >> 32);
    }
    // A real in [0, 1).
    double unit() { return static_cast<double>(engine_()) / 4294967296.0; }

private:
    std::mt19937 engine_;
    uint32_t seed_;
};

}  // namespace qs
