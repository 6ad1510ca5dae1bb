#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace qs {

struct Gameplay;

enum BonusType : int {
    kBonusNone = 0,
    kBonusMultiball = 1,
    kBonusTarget = 2,
    kBonusX2 = 3,
    kBonusX4 = 4,
    kBonusFreeze = 5,
    kBonusSmallBomb = 6,
    kBonusNetExpand = 7,
    kBonusUp = 8,
    kBonusPaintRocket = 9,
    kBonusColourBomb = 10,
};
inline constexpr int kBonusTypeCount = 11;  // index 0 unused
inline constexpr int kBonusSlots = 6;       // entries with an icon and a bar

enum BonusEntryState : int {
    kBonusFree = 0,
    kBonusRunningTimed = 1,
    kBonusRunningInstant = 2,
    kBonusWaiting = 3,
    kBonusFlying = 4,
};

// One entry of the active bonus list. Entry i < 6 owns slot i of the bonus column (icon
// centre x 20, y 545 - 39 i, and bar i); later entries have no icon and no bar.
struct ActiveBonus {
    int type = -1;  // -1 free
    int state = kBonusFree;
    int iconKind = 0;       // the ball kind the icon shows (1..7, else the neutral ball)
    bool hasIcon = false;
    bool iconVisible = false;
    double x = 0, y = 0;    // icon centre
    double vx = 0, vy = 0;
    int flightSteps = 0;    // updates flown so far (the flight takes 50)
    bool fresh = false;     // an instant entry started in this update: it ends from the next
    uint32_t startTime = 0;
    uint32_t deadline = 0;
};

inline constexpr double kBonusColumnX = 20;
inline constexpr int kBonusFlightSteps = 50;
inline double bonusSlotY(int slot) { return 545 - 39 * slot; }

// What the bonus column's bar of a slot shows: x 31 is empty, 60 full.
inline constexpr double kBarEmptyX = 31;
inline constexpr double kBarFullX = 60;
inline constexpr uint32_t kBarWaitingColour = 0x808080;
inline constexpr uint32_t kBarRunningColour = 0x00FF00;
struct BonusBar {
    double x = kBarEmptyX;
    uint32_t colour = 0xFFFFFF;
};

struct BonusState {
    std::vector<ActiveBonus> entries;                // six free entries after a reset
    std::array<bool, kBonusTypeCount> active{};      // the type's effect is on
    std::array<int, kBonusTypeCount> duration{};     // ms; 0 for the instant types
    std::array<int, kBonusTypeCount> timing{};       // 1 timed, 2 instant
    std::array<BonusBar, kBonusSlots> bars{};
};

// The net at both sides of the field: frame 0..11 (11 closed, 2 open), stepping every 50 ms
// towards its target while its direction is not 0.
struct NetState {
    int frame = 0;
    int target = 11;
    int direction = 1;
    uint32_t nextStep = 0;
};

// Durations and timing kinds from the options.
void initBonusTable(Gameplay& game);
// Level start: six free entries, every flag off, bars idle, the multiplier 1, no rocket
// held or flying, the bonus lock open.
void resetBonuses(Gameplay& game);
// A cell of `kind` carrying bonus `type` left the grid at (x, y). Nothing while
// `game.bonusesLocked` is set.
void releaseBonus(Gameplay& game, int type, int kind, double x, double y);
// The per-frame update of every entry, in list order: flight, start, timed end, instant end.
void updateBonuses(Gameplay& game);
// Ends every running entry of a type and undoes its effect.
void endBonus(Gameplay& game, int type);
// Game or level end: every type ended, every entry freed (flying and waiting ones too).
void endAllBonuses(Gameplay& game);

inline constexpr int kNetClosed = 11;
inline constexpr int kNetOpen = 2;
inline constexpr int kNetStepMs = 50;

// Level start: frame 0, target 11, direction +1, first step 50 ms from now.
void resetNet(Gameplay& game);
// Every 50 ms while the net moves (and no ball flies): one frame towards the target, the net
// margin follows, cells outside the playable columns are removed and what hangs free drops.
// True when the net stepped this frame.
bool stepNet(Gameplay& game);

}  // namespace qs
