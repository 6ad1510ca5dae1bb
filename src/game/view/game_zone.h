#pragma once

#include <array>
#include <string>
#include <vector>

namespace qs {

class SceneServices;
class GameSession;
class TMultiSprite;

// The screen around the field: panels, nets, cannon, next ball, score digits, gauge, level
// number, bonus column, limit plank, laser, rockets, crystals on their way to the counter.
// It draws what the session says and decides nothing.
class GameZone {
public:
    explicit GameZone(SceneServices& ctx) : ctx_(ctx) {}
    ~GameZone();
    GameZone(const GameZone&) = delete;
    GameZone& operator=(const GameZone&) = delete;

    // Loads "main.map", looks its objects up and makes the displays the game adds.
    void build();
    // Follows the session after a step.
    void update(const GameSession& session);
    // Frees what the zone made itself (the map's objects go with their tags).
    void clear();

    // Hides the whole zone behind a full-screen overlay (and keeps it hidden), or brings it back.
    void setHidden(bool hidden);
    // The panel at the top left: the mode being played and the best score in its records.
    void showModePanel(int mode, const std::string& bestScore);

    // The cannon's fire animation starts again.
    void cannonFired();

    // The small menu button's handle, -1 when the map has none.
    int menuButton() const { return menuButton_; }
    int blueDragon() const { return dragonBlue_; }
    int greenDragon() const { return dragonGreen_; }

private:
    TMultiSprite* object(int slot) const;
    int find(const std::string& name, int occurrence = 0) const;
    void updateCannon(const GameSession& session);
    void updateScore(const GameSession& session);
    void updateGauge(const GameSession& session);
    void updateLevel(const GameSession& session);
    void updateBonusColumn(const GameSession& session);
    void updateField(const GameSession& session);
    void updatePushBar(const GameSession& session);
    void syncObjects(std::vector<int>& slots, size_t count, const std::string& prototype,
                     const std::string& tag, int z);

    SceneServices& ctx_;
    int canonIntro_ = -1, canon_ = -1, nextBall_ = -1, laser_ = -1;
    int netLeft_ = -1, netRight_ = -1, menuButton_ = -1, levelPanel_ = -1;
    int dragonBlue_ = -1, dragonGreen_ = -1;
    std::array<int, 6> bonusBars_{};
    std::array<int, 5> digits_{};
    int gauge_ = -1;
    std::vector<int> covers_;
    int plank_ = -1;
    int pushBar_ = -1;
    double pushBarWidth_ = 1;
    double plankBaseWidth_ = 1;
    int cannonBall_ = -1;
    int cannonBallKind_ = -1;
    int cannonBallBonus_ = -1;
    int marker_ = -1;
    std::vector<int> icons_;
    std::vector<int> iconTypes_;
    std::vector<int> rockets_;
    std::vector<int> crystals_;
    int shownLevel_ = -1;
    bool hidden_ = false;
    std::array<double, 2> markBaseY_{-1e9, -1e9};  // the rocket marks' own place on the barrel
};

}  // namespace qs
