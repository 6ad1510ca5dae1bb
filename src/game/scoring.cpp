#include "game/scoring.h"

#include <algorithm>

#include "core/options.h"
#include "core/random.h"
#include "game/combo_table.h"
#include "game/gameplay.h"
#include "game/matching.h"

namespace qs {

int comboFactor(const std::vector<ComboText>& combos, int comboCount) {
    if (combos.empty() || comboCount < combos.front().threshold) return 1;
    return std::max(1, std::min(comboCount, combos.back().threshold));
}

const ComboText* comboTextFor(const std::vector<ComboText>& combos, int count) {
    const ComboText* below = nullptr;
    for (const ComboText& entry : combos) {
        if (entry.threshold == count) return &entry;
        if (entry.threshold < count && (!below || entry.threshold > below->threshold)) below = &entry;
    }
    return below;
}

namespace {

// Adds a scoring event's points (base times the combo factor) and returns them.
int64_t addScore(Gameplay& game, int64_t base) {
    ScoreState& s = game.score;
    const int64_t points = base * comboFactor(game.combos, s.comboCount);
    s.levelScore += points;
    s.totalScore += points;
    s.plainScore += base;
    if (game.mode == kModeChallenge) s.scoreGauge += static_cast<double>(base) * game.levelValues.gaugeFactor;
    return points;
}

int64_t basePoints(int64_t count, int drops, int multiplier) {
    return count * std::max(drops - 1, 1) * multiplier;
}

}  // namespace

void scoreDock(Gameplay& game, int groupSize) {
    ScoreState& s = game.score;
    GameEvent joy;
    joy.type = GameEvent::kDragonsJoy;
    game.events.push_back(joy);
    ++s.comboCount;
    ++s.matchRun;
    // A multiplier bonus that arrived before this shot is kept for a detonation, not for it.
    s.scoreMultiplier = 1;

    computeTextPosition(game);
    removeMarkedTwice(game);
    const int drops = dropUnsupported(game, true);
    if (!praise(game, groupSize, PraiseFor::kGroup)) praise(game, drops, PraiseFor::kDrop);

    const int64_t base = basePoints(groupSize, drops, s.scoreMultiplier);
    showScore(game, addScore(game, base), true);
    s.scoreMultiplier = 1;
}

void scoreBombs(Gameplay& game, int groupSize) {
    ScoreState& s = game.score;
    computeTextPosition(game);
    const int second = removeMarkedTwice(game);
    const int count = groupSize + second;
    const bool praised = praise(game, count, PraiseFor::kGroup);
    const int drops = dropUnsupported(game, true);
    if (!praised) praise(game, drops, PraiseFor::kDrop);

    const int64_t base = basePoints(count, drops, s.scoreMultiplier);
    showScore(game, addScore(game, base), false);
    s.scoreMultiplier = 1;
}

void showScore(Gameplay& game, int64_t points, bool fromShot) {
    ScoreState& s = game.score;
    s.bestShot = std::max(s.bestShot, points);
    GameEvent text;
    text.type = GameEvent::kScoreText;
    text.name = kScoreFont;
    text.colour = 0xFFFFFF;
    text.value = static_cast<int>(std::min<int64_t>(points, 2147483647));
    text.x = s.textX;
    text.y = s.textY;
    if (fromShot && !game.combos.empty() && s.comboCount >= game.combos.front().threshold) {
        const int capped = std::min(s.comboCount, game.combos.back().threshold);
        text.y = s.textY - 12;
        game.events.push_back(text);
        if (const ComboText* entry = comboTextFor(game.combos, capped)) {
            GameEvent combo;
            combo.type = GameEvent::kComboText;
            combo.name = kComboFont;
            combo.colour = kComboColour;
            combo.text = entry->text;
            combo.x = s.textX;
            combo.y = s.textY + 12;
            game.events.push_back(std::move(combo));
        }
        s.bestCombo = std::max(s.bestCombo, s.comboCount);
        return;
    }
    game.events.push_back(text);
}

bool praise(Gameplay& game, int count, PraiseFor which) {
    const GameOptions& o = game.options;
    const bool first = game.level == 1;
    int threshold;
    if (which == PraiseFor::kGroup)
        threshold = first && game.mode == kModeArcade      ? o.sound_joy_limit_arcade1
                    : first && game.mode == kModeChallenge ? o.sound_joy_limit_challenge1
                                                           : o.sound_joy_limit;
    else
        threshold = first && game.mode == kModeArcade      ? o.sound_joy_limit_arcade1_drop
                    : first && game.mode == kModeChallenge ? o.sound_joy_limit_challenge1_drop
                                                           : o.sound_joy_limit_drop;
    if (count < threshold) return false;

    static const char* const samples[] = {"sample_dragon_joy1", "sample_dragon_joy2", "sample_dragon_joy3"};
    int choice;
    do {
        const int r = game.random.below(100);
        choice = r <= 32 ? 0 : r > 66 ? 2 : 1;
    } while (choice == game.lastPraise);
    game.lastPraise = choice;
    GameEvent e;
    e.type = GameEvent::kPraise;
    e.name = samples[choice];
    game.events.push_back(e);
    return true;
}

}  // namespace qs
