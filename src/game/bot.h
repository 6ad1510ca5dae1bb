#pragma once

namespace qs {

struct Gameplay;

// What the automatic player wants to do at this moment.
struct BotChoice {
    double angle = 0;   // where to aim (radians, 0 straight up, positive to the left)
    bool swap = false;  // swap first: the next ball scores better
    int score = -1;     // balls the shot removes or drops; -1 when no shot reaches the field
};

// A deterministic player: it tries a fan of aims for the ball in the cannon and for the next
// one through the game's own path and matching code on a copy of the field, and picks the
// shot that removes or drops the most balls (the first of equals, scanning from the left).
BotChoice chooseShot(const Gameplay& game);

}  // namespace qs
