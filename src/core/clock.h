#pragma once

#include <chrono>
#include <cstdint>

namespace qs {

// Millisecond tick source. The game reads time only through this, so tests and headless
// runs can step it by hand.
class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t now() const = 0;
};

// A deadline on the millisecond tick has come when `now` has reached it; the comparison
// survives the tick's wrap after 49 days.
inline bool deadlinePassed(uint32_t now, uint32_t deadline) {
    return static_cast<int32_t>(now - deadline) >= 0;
}

class SteadyClock final : public Clock {
public:
    SteadyClock() : start_(std::chrono::steady_clock::now()) {}
    uint32_t now() const override {
        auto elapsed = std::chrono::steady_clock::now() - start_;
        return static_cast<uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
    }

private:
    std::chrono::steady_clock::time_point start_;
};

class VirtualClock final : public Clock {
public:
    explicit VirtualClock(uint32_t start = 0) : now_(start) {}
    uint32_t now() const override { return now_; }
    void advance(uint32_t ms) { now_ += ms; }
    void set(uint32_t ms) { now_ = ms; }

private:
    uint32_t now_;
};

}  // namespace qs
