#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/particle_type.h"

namespace qs {

class JsonWriter;

// The dialogs and screens a game puts over its field.
enum class Overlay : uint8_t { kGameOver, kStatistics, kExitToMenu, kTryAgain };
// Its name in event lines: "game_over", "game_stat", "exit_to_menu", "try_again".
const char* overlayName(Overlay overlay);

// What a step of the playfield did that someone must show or play. The playfield itself
// owns no sprite, sound or clock: it appends these and the scene turns them into pictures
// and samples after the step (the shot simulator prints them instead).
struct GameEvent {
    enum Type : uint8_t {
        kSound,             // play sample `name`
        kStopBurning,       // a big bomb left: its burning sound stops
        kParticles,         // `count` particles of type `particle` at (x, y), coloured by `kind`
                            // (1..7 a ball colour, 0 neutral, other kinds their own colour);
                            // `shards`: four type-20 shards at (x -8/+8, y -8/+8), frames 0..3
        kDocked,            // the ball became cell (column, row) of `kind`
        kBombArmed,         // a bomb docked: its detonation is due 400 ms from now
        kRemoved,           // one removal run took `count` cells
        kDropped,           // one drop pass took `count` cells (fallen or collected)
        kCrystalToCounter,  // a crystal leaves (x, y) for the counter; it is already counted
        kBonusReleased,     // bonus `value` leaves a cell of `kind` at (x, y)
        kDragonsJoy,        // a match: both dragons cheer (and the match time is now)
        kPraise,            // a praise sample `name` plays
        kScoreText,         // `value` in font `name`, colour `colour`, centred at (x, y)
        kComboText,         // `text` in font `name`, colour `colour`, centred at (x, y)
        kBallGone,          // the ball in flight is destroyed
        kQueueChanged,      // the cannon's ball or the next ball changed: redraw both
        kBurningStart,      // a big bomb came into the cannon: its fuse starts burning
        // The game session's moments (the scene shows them):
        kLevelStarted,      // level `value` begins: the field is filled, the cannon intro restarts
        kLevelFailed,       // the level file cannot be played: back to the menu
        kChannelPlay,       // loop sample `name` on channel `value` (0 level, 1 climb)
        kChannelStop,       // stop channel `value`
        kCannonFired,       // the cannon's fire animation
        kLevelCleared,      // the level is complete: the field climbs out
        kGameLost,          // the field bursts; a dialog follows
        kShowOverlay,       // show the overlay `value` (an Overlay; `name` says which)
        kHideOverlay,       // hide the overlay `value`
        kShowRecords,       // the records screen after a game
        kLeaveForMenu,      // back to the menu
    };

    Type type = kSound;
    const char* name = "";  // sample or font; always a literal
    std::string text;
    int count = 0;
    int particle = 0;
    int kind = 0;
    int column = 0;
    int row = 0;
    int value = 0;
    uint32_t colour = 0xFFFFFF;
    bool shards = false;
    double x = 0;
    double y = 0;
};

using EventList = std::vector<GameEvent>;

const char* eventTypeName(GameEvent::Type type);
// One line for tests and logs, e.g. "sound sample_connection" or "removed 3".
std::string describe(const GameEvent& event);
// The events of one step as short lines; particle and trail events left out unless asked.
std::vector<std::string> describeAll(const EventList& events, bool withParticles = false);
void writeEventJson(JsonWriter& json, const GameEvent& event);

}  // namespace qs
