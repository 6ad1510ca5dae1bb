#pragma once

#include <cstdint>
#include <optional>

namespace qs {

// The cannon turned by held keys (the arrows): it starts gently and speeds up the longer a
// key is held; held with Shift it turns slowly and evenly for a fine aim. The scene asks at
// each step for the new angle and hands it to the game as an aim command.
class KeyAim {
public:
    static constexpr double kStartSpeed = 0.6;  // radians a second when a key goes down
    static constexpr double kTopSpeed = 1.8;    // reached after kRampMs held
    static constexpr double kFineSpeed = 0.2;
    static constexpr uint32_t kRampMs = 600;

    // An arrow went down (again, for a key's repeats) or was let go; -1 turns the cannon left
    // (to larger angles), 1 right.
    void press(int direction, bool fine, uint32_t now);
    void release(int direction);
    bool turning() const { return left_ != right_; }

    // The angle after turning from `angle` until `now`; nothing when no key turns the cannon
    // (or no time passed).
    std::optional<double> turn(double angle, uint32_t now);

private:
    bool left_ = false;
    bool right_ = false;
    bool fine_ = false;
    uint32_t heldSince_ = 0;
    uint32_t last_ = 0;
};

}  // namespace qs
