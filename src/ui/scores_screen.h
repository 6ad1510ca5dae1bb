#pragma once

#include <cstdint>
#include <optional>
#include <vector>
#include <string>

#include "ui/focus.h"

namespace qs {

class SceneServices;

// A game's result as the records table takes it.
struct GameResult {
    std::string name;
    int level = 0;
    int64_t score = 0;
};

// The records screen: the ten best results of one mode at a time, paged through the three
// modes with the arrows. The menu opens it to look; a game opens it after its end, with the
// result entered into the table of its mode and highlighted. Its objects ("menu_scores.map")
// stay loaded, hidden, for the whole run, so both scenes show the same screen.
class ScoresScreen {
public:
    static constexpr const char* kTag = "menu_scores";

    explicit ScoresScreen(SceneServices& ctx) : ctx_(ctx) {}

    // Loads the screen's map unless an earlier scene did, and finds its buttons.
    void prepare();
    void FindScoresButtons();
    // From the menu: the arcade table. From a game: its mode's table with the result entered.
    void OpenScoresScreen(int mode, const std::optional<GameResult>& result = std::nullopt);
    // The hover pass while the screen is up.
    void UpdateScoresButtons(uint32_t now);
    // The two mode arrows and OK, for the keys.
    std::vector<FocusTarget> focusTargets() const;
    // Buttons 1 and 2 page through the modes; true when button 3 asks to leave.
    bool release(int button);
    // Hides the screen and frees its texts.
    void close();

    int mode() const { return scoresMode_; }
    int highlighted() const { return highlighted_; }
    int rowCount() const { return rows_; }

private:
    void ShowRecords(const GameResult* result);

    SceneServices& ctx_;
    int buttons_[3] = {-1, -1, -1};
    int companion_ = -1;
    int scoresMode_ = 1;
    int highlighted_ = 0;
    int rows_ = 0;
};

}  // namespace qs
