#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace qs {

// Everything that changes a game from outside, as the session takes it: the devices'
// presses and the pointer, and the overlays' buttons. A step applies the commands queued for
// it in order; the pointer's last position aims the cannon at every step after it.
namespace command {

struct Pointer {  // the pointer moved to (x, y) of the 800 x 600 picture
    int x = 0;
    int y = 0;
};
struct AimAngle {  // turn the cannon to an angle (radians, 0 straight up, positive to the left)
    double radians = 0;
};
struct Fire {};               // fire the ball in the cannon (a press while the level comes in hurries it on)
struct Swap {};               // exchange the ball in the cannon with the next one
struct FireRocket {};         // fire the paint rocket held
struct Hurry {};              // Space or Enter: a level start that is under way is over at once
struct Escape {};             // open the exit question, or close it again
struct OpenExitDialog {};     // the menu button, or "menu" on the statistics
struct CloseExitDialog {};    // "no" on the exit question
struct LeaveForMenu {};       // the game is over for the player: back to the main menu
struct ShowRecords {};        // the game ended: the records of its mode
struct ShowTryAgain {};       // lost past a checkpoint: offer to go back to it
struct TryAgain {};           // play the level (puzzle) or the checkpoint again
struct NextLevel {};          // the statistics were read: on to the next level
struct ScorePieceArrived {};  // a score piece reached the gauge: the bar may rise

}  // namespace command

using GameCommand = std::variant<command::Pointer, command::AimAngle, command::Fire, command::Swap, command::FireRocket,
                                 command::Hurry, command::Escape, command::OpenExitDialog, command::CloseExitDialog,
                                 command::LeaveForMenu, command::ShowRecords, command::ShowTryAgain, command::TryAgain,
                                 command::NextLevel, command::ScorePieceArrived>;

// The name of a command as logs, dumps and shot lists write it ("fire", "pointer 400 300").
std::string describe(const GameCommand& command);

}  // namespace qs
