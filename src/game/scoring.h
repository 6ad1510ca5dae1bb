#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qs {

struct ComboText;
struct Gameplay;

// Scores and counters of the running game. Reset at level start except where noted.
struct ScoreState {
    int64_t levelScore = 0;
    int64_t plainScore = 0;      // without the combo factor (statistics, arcade gauge)
    int64_t totalScore = 0;      // the whole game's
    int scoreMultiplier = 1;     // x2 / x4 bonuses
    int comboCount = 0;          // scoring shots in a row
    int matchRun = 0;            // matches in a row
    int64_t bestShot = 0;        // the game's best single score
    int bestCombo = 0;           // the game's best combo that showed its text
    double textX = 400;
    double textY = 300;
    int crystalsCollected = 0;
    double scoreGauge = 0;       // challenge
};

enum class PraiseFor { kGroup, kDrop };

inline constexpr const char* kScoreFont = "graphics\\fonts\\font_taurus1.spr";
inline constexpr const char* kComboFont = "graphics\\fonts\\font_taurus2.spr";
inline constexpr uint32_t kComboColour = 0x00CCFF;

// The combo factor for `comboCount` scoring shots in a row: 1 below the table's first
// number, else the count capped at its last number.
int comboFactor(const std::vector<ComboText>& combos, int comboCount);
// The text shown for a capped combo count: the entry with that number, else the nearest
// entry below it.
const ComboText* comboTextFor(const std::vector<ComboText>& combos, int count);

// Scoring after a matching dock, with g the group counter.
void scoreDock(Gameplay& game, int groupSize);
// Scoring after a detonation, with the group counter of the bomb walks.
void scoreBombs(Gameplay& game, int groupSize);
// The score text (and the combo text after a shot in a combo) at the text position.
void showScore(Gameplay& game, int64_t points, bool fromShot);
// Plays a praise sample when count reaches the option threshold; never the same one twice
// in a row.
bool praise(Gameplay& game, int count, PraiseFor which);

}  // namespace qs
