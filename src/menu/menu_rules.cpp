#include "menu/menu_rules.h"

#include <algorithm>
#include <cmath>

#include "game/game_mode.h"
#include "profile/player_record.h"
#include "render/key_codes.h"

namespace qs {

LoadingBar loadingBar(int loadIndex, int count) {
    LoadingBar bar;
    const int p = count <= 1 ? kLoadingBarLength
                             : static_cast<int>(std::lround(static_cast<double>(loadIndex) / (count - 1) *
                                                            kLoadingBarLength));
    const int length = std::clamp(p, 0, kLoadingBarLength);
    bar.fullElements = length / 12;
    const int rest = length % 12;
    if (rest > 0) bar.tipX = 158 + 12 * bar.fullElements + rest;
    return bar;
}

int introOpacity(int n) {
    return std::clamp(static_cast<int>(std::lround(n * 255.0 / kIntroMeet)), 0, 255);
}

void PlayerListCursor::place(int index) {
    selection = std::max(index, 0);
    top = std::max(selection - 3, 0);
    row = selection - top;
}

void PlayerListCursor::previous() {
    if (row > 0) {
        --row;
        --selection;
    } else if (selection > 0) {
        --selection;
        top = selection;
    }
}

void PlayerListCursor::next(int count) {
    if (selection >= count - 1) return;
    if (row <= kListRows - 2) {
        ++row;
        ++selection;
    } else {
        ++selection;
        top = selection - (kListRows - 1);
    }
}

int PlayerListCursor::playerOnRow(int r, int count) const {
    if (r < 0 || r >= kListRows) return -1;
    const int index = selection - row + r;
    return index >= 0 && index < count ? index : -1;
}

void PlayerListCursor::clampTo(int count) {
    if (count <= 0) {
        *this = {};
        return;
    }
    if (selection > count - 1) place(count - 1);
    // Rows below the end never hold the highlight.
    if (top + row != selection) place(selection);
}

char nameCharacter(int key, bool shift) {
    if (key >= 'A' && key <= 'Z') return static_cast<char>(shift ? key : key + 32);
    if (key == ' ') return ' ';
    // Shifted, these keys show a symbol ("!", "_", ">") that a name does not hold.
    if (shift) return 0;
    if (key >= '0' && key <= '9') return static_cast<char>(key);
    if (key == kVkMinus) return '-';
    if (key == kVkPeriod) return '.';
    return 0;
}

bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

bool typeNameKey(std::string& text, int key, bool shift) {
    if (key == kVkBack) {
        if (text.empty()) return false;
        text.pop_back();
        return true;
    }
    const char typedChar = nameCharacter(key, shift);
    if (typedChar == 0 || text.size() >= kNameTypingLimit) return false;
    text.push_back(typedChar);
    // A name never starts with a blank.
    const size_t first = text.find_first_not_of(' ');
    text.erase(0, first == std::string::npos ? text.size() : first);
    return true;
}

ContinueOffer continueOffer(const ModeProgress& progress, int mode) {
    ContinueOffer offer;
    const int level = progress.levelReached;
    if (level < 2) return offer;
    if (progress.gameState == 1 || mode == kModePuzzle) {
        offer.ask = true;
    } else if (progress.gameState == 0 && level >= 5) {
        offer.ask = true;
        offer.afterLoss = true;
        offer.checkpointLevel = level / 5 * 5;
    }
    // What a yes gives, as answerContinue makes it.
    ModeProgress after = progress;
    answerContinue(after, offer, true);
    offer.level = after.levelReached;
    offer.score = after.levelStartScore;
    return offer;
}

void answerContinue(ModeProgress& progress, const ContinueOffer& offer, bool yes) {
    if (!yes) {
        startAfresh(progress);
        return;
    }
    if (offer.afterLoss) {
        if (progress.levelReached < 5) {
            progress.levelReached = 1;
            progress.levelStartScore = 0;
        } else {
            progress.levelReached = progress.levelReached / 5 * 5;
            progress.levelStartScore = progress.checkpointScore;
        }
    }
    progress.gameState = 1;
}

void startAfresh(ModeProgress& progress) {
    progress.levelReached = 1;
    progress.levelStartScore = 0;
    progress.checkpointScore = 0;
    progress.gameState = 1;
}

int barLevel(int x) {
    const double exact = (x - kMusicBar.left) / 6.0;
    const double nearest = std::nearbyint(exact);  // the default rounding sends halves to even
    return std::clamp(static_cast<int>(nearest), 0, kVolumeLevels - 1);
}

int stepLevel(int level, int direction) {
    return std::clamp(level + (direction > 0 ? 1 : direction < 0 ? -1 : 0), 0, kVolumeLevels - 1);
}

}  // namespace qs
