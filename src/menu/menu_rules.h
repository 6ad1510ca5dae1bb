#pragma once

#include <string>

#include "ui/buttons.h"

namespace qs {

struct ModeProgress;

// The menu's rules as plain values, kept apart from the objects that show them.

// ---- Loading bar: 39 elements of 12 pixels; the last one is the sliding tip.
inline constexpr int kLoadingBarLength = 460;
inline constexpr int kLoadingTip = 38;
struct LoadingBar {
    int fullElements = 0;  // elements 0..fullElements-1 stand at 170 + 12 j
    int tipX = -1;         // x of the tip element, -1 when it is hidden
    static constexpr int kY = 334;
};
// The bar while entry `loadIndex` of `count` loads. A list of one entry shows a full bar.
LoadingBar loadingBar(int loadIndex, int count);

// ---- Logo intro: the two bubbles meet, 2 pixels a tick.
inline constexpr int kIntroMeet = 75;
inline int topBubbleY(int n) { return n + 57; }
inline int bottomBubbleY(int n) { return 259 - n; }
int introOpacity(int n);

// ---- Player list: seven rows; `selection` = `top` + `row` always.
inline constexpr int kListRows = 7;
struct PlayerListCursor {
    int selection = 0;
    int top = 0;
    int row = 0;

    // Highlights `index`, three rows from the top where the list allows.
    void place(int index);
    // Up: the highlight climbs, or the list scrolls once it is on the first row.
    void previous();
    // Down: the highlight sinks, or the list scrolls once it is on the last row.
    void next(int count);
    // The player shown on row `r`, or -1 when the row is empty.
    int playerOnRow(int r, int count) const;
    // After the list shrank: a selection past the end moves to the last player.
    void clampTo(int count);
};

// ---- Name entry: the three ways in, and typing.
enum NameEditMode : int { kEditRename = 0, kEditFirstPlayer = 1, kEditNewPlayer = 2 };
inline constexpr size_t kNameTypingLimit = 14;
// The character a key types into a name: letters, digits, blanks, "-" and "." (what the
// players file and the fonts hold, and what the name field's hint promises); 0 for any
// other key, Shift with a digit, "-" or "." included.
char nameCharacter(int virtualKey, bool shift);
// Applies one key to the name being typed; true when the text changed.
bool typeNameKey(std::string& text, int virtualKey, bool shift);
// Two names that only letter case tells apart are one player's name.
bool sameName(const std::string& a, const std::string& b);

// ---- Continue question: what choosing a mode offers the player.
struct ContinueOffer {
    bool ask = false;
    bool afterLoss = false;    // offer the last checkpoint of a lost game
    int checkpointLevel = -1;  // level offered after a loss
    int level = 0;             // the level the game goes on at
    int score = 0;             // and the score it carries
};
ContinueOffer continueOffer(const ModeProgress& progress, int mode);
// What the player's progress becomes on an answer to the question (yes: go on).
void answerContinue(ModeProgress& progress, const ContinueOffer& offer, bool yes);
// A game started afresh: level 1, nothing carried.
void startAfresh(ModeProgress& progress);

// ---- Options: volume levels 0..13.
inline constexpr int kVolumeLevels = 14;
inline constexpr HitZone kMusicBar{360, 192, 438, 200};
inline constexpr HitZone kSoundBar{360, 252, 438, 260};
// The level a drag on a bar sets: 6 pixels a level, halves to the even neighbour.
int barLevel(int x);
// One arrow step, held inside 0..13.
int stepLevel(int level, int direction);

// ---- Hit zones of the fixed-rectangle buttons.
inline constexpr HitZone kBigButtons[5] = {
    {286, 154, 512, 198}, {286, 214, 512, 258}, {286, 274, 512, 318},
    {286, 334, 512, 378}, {286, 454, 512, 498},
};
inline constexpr HitZone kPlayerLine{259, 120, 541, 135};
inline constexpr HitZone kSmallOkButton{314, 478, 484, 507};
inline constexpr HitZone kCreatePlayerLine{312, 402, 485, 422};
inline constexpr int kArrowLeftEnd = 356;   // options: x 286..356 is the left arrow
inline constexpr int kArrowRightStart = 442;  // x 442..512 the right one
// Row r of the player list.
inline HitZone playerRowZone(int r) { return {220, 208 + 24 * r, 553, 229 + 24 * r}; }

}  // namespace qs
