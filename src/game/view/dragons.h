#pragma once

#include <array>
#include <cstdint>

namespace qs {

class SceneServices;
class GameSession;

// Where a dragon of 150 pixels stands so that it covers no caption of the panel beside it
// (BONUS for the blue one, CRYSTALS for the green one) and never leaves the window: a dragon
// that would straddle its caption stands above it (blue) or below it (green).
double clearOfCaption(double y, bool blue);

// The two dragons beside the field: they drift about, keep clear of the bonus column, cheer
// at a match and look sad while the field hangs low. The green one mirrors the blue one.
class Dragons {
public:
    enum Mood : int { kIdle = 0, kJoy = 1, kSad = 2 };

    Dragons(SceneServices& ctx, int blueSlot, int greenSlot);

    // A level starts: the dragons set off 500 and 700 ms from now.
    void start(uint32_t now);
    void setMood(Mood mood);
    void update(uint32_t now, const GameSession& session);

private:
    struct Dragon {
        int slot = -1;
        bool moving = false;
        double x = 10, y = 250;
        double targetX = 10, targetY = 250;
        uint32_t nextMove = 0;
        int wanted = kIdle;
        int shown = kIdle;
        uint32_t moodUntil = 0;
        double descentSpeed = 0.4;
        double riseSpeed = 0.8;
    };
    void move(Dragon& dragon, bool blue, uint32_t now, const GameSession& session);
    void show(Dragon& dragon, bool sad, uint32_t now);

    SceneServices& ctx_;
    std::array<Dragon, 2> dragons_;
};

}  // namespace qs
