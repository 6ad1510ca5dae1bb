#pragma once

namespace qs {

struct Gameplay;

// A paint rocket in flight: it crosses the field along the cannon's direction and repaints
// the colour balls near its path.
struct PaintRocket {
    double x = 0, y = 0;
    double vx = 0, vy = 0;
    double angle = 0;   // the cannon's direction, radians, for the sprite
    int colour = 1;     // 1..7
    bool alive = false;
};

// Launches a rocket from the side of the barrel that matches the rockets left (the caller
// checks that one is held and that firing would be allowed).
void launchRocket(Gameplay& game);
// One frame of every live rocket: repaint, move, trail, burst at the walls or far above.
void stepRockets(Gameplay& game);

}  // namespace qs
