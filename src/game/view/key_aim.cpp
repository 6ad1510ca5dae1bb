#include "game/view/key_aim.h"

#include <algorithm>

namespace qs {

void KeyAim::press(int direction, bool fine, uint32_t now) {
    bool& held = direction < 0 ? left_ : right_;
    if (!held) {
        // A new turn starts gently, from now.
        heldSince_ = now;
        last_ = now;
    }
    held = true;
    fine_ = fine;
}

void KeyAim::release(int direction) { (direction < 0 ? left_ : right_) = false; }

std::optional<double> KeyAim::turn(double angle, uint32_t now) {
    if (!turning()) return std::nullopt;
    const uint32_t elapsed = now - last_;
    last_ = now;
    if (elapsed == 0) return std::nullopt;
    double speed = kFineSpeed;
    if (!fine_) {
        const double ramp = std::min(1.0, static_cast<double>(now - heldSince_) / kRampMs);
        speed = kStartSpeed + (kTopSpeed - kStartSpeed) * ramp;
    }
    // The aim's angle grows to the left, as the cannon turns counter-clockwise.
    const double direction = left_ ? 1.0 : -1.0;
    return angle + direction * speed * elapsed / 1000.0;
}

}  // namespace qs
