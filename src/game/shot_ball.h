#pragma once

namespace qs {

struct Gameplay;

// The ball in flight, as plain data; the scene draws it where it says.
struct ShotBall {
    double x = 0;
    double y = 0;
    double vx = 0;  // free flight only
    double vy = 0;
    int kind = 1;   // what the cell becomes: 1..7, 10 colour bomb, 11 big bomb, 12 multiball
    int tint = 0;
    int bonus = 0;
    int step = 0;   // index of the next path point
    bool freeFlight = false;
    int priority = 250;  // 95 while it flies inside the field, so the field's frame covers it
};

inline constexpr double kGoneY = -5400;
inline constexpr double kDestroyBelowY = -2700;

// Starts a shot from the muzzle with the current path; a path without points means free
// flight. Ignored while a ball is in flight.
void fire(Gameplay& game, int kind, int tint, int bonus);

// One frame of the ball in flight: the next path point (and its trail), or a free-flight
// move; at the last point it docks. Destroys the ball once it is off the screen.
void stepShotBall(Gameplay& game);

// Writes the ball into cell (column, row) and runs the group test, then the scoring or the
// no-match rules.
void dock(Gameplay& game, int column, int row, int kind, int tint, int bonus);

}  // namespace qs
