#pragma once

#include <vector>

#include "game/game_command.h"

namespace qs {

class GameSession;
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

// The automatic player of a whole game: in play it sends the commands a player's presses
// would (a click to bring a slow field down, a swap, an aim and a shot); on an overlay it
// names the button it presses once it has read it.
class Bot {
public:
    // The overlay button to press in the session's state: OK on the game over, the
    // statistics and the try-again screen, "back" on the records; 0 in play.
    static int overlayButton(const GameSession& session);
    // The commands for the next step in play (none while nothing is to be done).
    std::vector<GameCommand> play(const GameSession& session);

private:
    bool swapped_ = false;  // the last move was a swap: the shot chosen with it comes next
    double angle_ = 0;
};

}  // namespace qs
