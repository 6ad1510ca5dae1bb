#pragma once

#include <cstdint>

namespace qs {

// The 10 ms frame timer. It hands out one tick per interval; when it finds itself more
// than ten intervals late it starts again from now instead of firing the backlog.
class FrameTimer {
public:
    static constexpr uint32_t kInterval = 10;
    static constexpr uint32_t kMaxLateIntervals = 10;

    explicit FrameTimer(uint32_t now) : due_(now + kInterval) {}

    uint32_t due() const { return due_; }

    // True when a tick is due at `now`; the due tick then moves on by one interval.
    bool poll(uint32_t now) {
        if (static_cast<int32_t>(now - due_) < 0) return false;
        if (now - due_ > kInterval * kMaxLateIntervals) due_ = now;
        due_ += kInterval;
        return true;
    }

    // Milliseconds until the next tick (0 when one is due).
    uint32_t waitTime(uint32_t now) const {
        int32_t left = static_cast<int32_t>(due_ - now);
        return left > 0 ? static_cast<uint32_t>(left) : 0;
    }

private:
    uint32_t due_;
};

}  // namespace qs
