#pragma once

namespace qs {

// Virtual-key codes the game logic speaks. The platform turns the desktop's keys into these,
// so nothing above it knows which library delivered a key.
enum VirtualKey : int {
    kVkBack = 8,
    kVkTab = 9,
    kVkReturn = 13,
    kVkShift = 16,
    kVkControl = 17,
    kVkMenu = 18,
    kVkPause = 19,
    kVkEscape = 27,
    kVkSpace = 32,
    kVkPrior = 33,
    kVkNext = 34,
    kVkEnd = 35,
    kVkHome = 36,
    kVkLeft = 37,
    kVkUp = 38,
    kVkRight = 39,
    kVkDown = 40,
    kVkInsert = 45,
    kVkDelete = 46,
    kVk0 = 48,
    kVkA = 65,
    kVkR = 82,  // letters run from kVkA to 'Z' as their capitals
    kVkNumpad0 = 96,
    kVkF1 = 112,
    kVkMinus = 189,
    kVkPeriod = 190,
};

// A key named in a script ("escape", "a", "f1", "13") -> virtual-key code; 0 when unknown.
int virtualKeyFromName(const char* name);

}  // namespace qs
