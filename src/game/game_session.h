#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/scene_codes.h"
#include "game/gameplay.h"
#include "game/progress.h"

namespace qs {

class FileSystem;
class Log;

// The state of the game scene, one at a time.
enum GameState : int {
    kGamePlaying = 0,
    kGameOverDialog = 1,
    kGameStatistics = 2,
    kGameRecords = 4,
    kGameTryAgain = 5,
    kGameExitDialog = 6,
    kGameLosing = 7,
    kGameLevelCleared = 8,
    kGameButtonReleased = 9,  // a try-again button was released; its command is pending
    kGameMessage = 10,
};

// What the statistics screen presents after a level.
enum class StatisticsKind { kBestShot, kNewItem, kGameWon };

// A crystal on its way to the counter (50 equal steps).
struct CrystalIcon {
    double x = 0, y = 0;
    double vx = 0, vy = 0;
    int stepsLeft = 50;
    int counterIndex = 0;
};

// One step's input: the pending scene command and where the pointer is.
struct StepInput {
    int command = kCommandNone;
    int keyCode = 0;
    int mouseX = -1000;
    int mouseY = 0;
    // An overlay button (or the small menu button) lies under the pointer: a press there is
    // not a shot.
    bool overButton = false;
};

// The game scene's rules: one game of a mode from its first level to the end, as plain data.
// It owns the playfield and everything timed; the scene shows what it says and hands it the
// commands. The shot simulator and the bot drive the same session without a window.
class GameSession {
public:
    GameSession(const GameOptions& options, const std::vector<ComboText>& combos, Random& random,
                const FileSystem& files, Log& log, ProgressStore& progress);

    // The picture of the grid, told of every cell change (the session keeps its own watcher
    // between the grid and it).
    void setView(GridView* view);
    // Takes the whole play of `other` (its game, state, timers and counters) and keeps its own
    // generator, files, log, progress store and view: the copy plays on independently.
    void copyPlayFrom(const GameSession& other);

    // A score piece reached the gauge: the bar may rise.
    void scorePieceArrived();

    // The first frame of a game: level and score from the saved progress (or `beg_level`),
    // the level start requested.
    void beginGame(GameMode mode, uint32_t now);
    // One scene step at game time `now`.
    void step(uint32_t now, const StepInput& input);

    // Commands the overlays' buttons post (the scene turns releases into them).
    void openExitDialog();
    void closeExitDialog();
    void statisticsLeft() { statisticsWasLeft_ = true; }

    Gameplay& game() { return game_; }
    const Gameplay& game() const { return game_; }
    GameState state() const { return state_; }
    void setState(GameState state) { state_ = state; }
    int screenKind() const { return screenKind_; }
    void setScreenKind(int kind) { screenKind_ = kind; }

    int level() const { return game_.level; }
    bool overlayUp() const;
    bool levelStartPending() const { return levelStartRequested_; }
    bool cannonReady() const { return cannonIntroFrame_ >= kCannonIntroFrames; }
    int cannonIntroFrame() const { return cannonIntroFrame_; }
    int panelIntroFrame() const { return panelIntroFrame_; }
    int64_t shownScore() const { return shownScore_; }
    double progress() const { return game_.score.scoreGauge; }
    double shownProgress() const { return shownProgress_; }
    bool progressBlinkOff() const;
    bool fastDropping() const { return fastDrop_; }
    // The row the field comes down to at a level start (arcade 8, challenge 5, puzzle 12 minus
    // the level's rows).
    int fastDropRow() const { return fastDropRow_; }
    bool lossCountdown() const { return lossDeadline_ != 0; }
    int laserWarning() const { return laserWarning_; }  // 0 off, 1 slow, 2 fast
    bool dragonsSad() const { return game_.grid.rowOccupied(1); }
    double pushShown() const { return pushShown_; }
    const std::vector<CrystalIcon>& crystalIcons() const { return crystalIcons_; }
    int crystalsShown() const { return crystalsShown_; }
    StatisticsKind statisticsKind() const { return statisticsKind_; }
    bool gameWon() const { return gameWon_; }
    bool levelFileFailed() const { return levelFileFailed_; }
    const SavedProgress& saved() const { return saved_; }
    bool leaveRequested() const { return leaveRequested_; }
    bool recordsRequested() const { return recordsRequested_; }
    void clearRequests() { leaveRequested_ = recordsRequested_ = false; }
    int shotCount() const { return shotCount_; }
    int pushCounter() const { return pushCounter_; }  // puzzle: shots since the last push

    bool crystalsArrived() const;
    // Firing is allowed now: playing, the cannon up, the net still, nothing flying or climbing,
    // and a path on show.
    bool mayFire() const;

    static constexpr int kCannonIntroFrames = 31;
    static constexpr int kLevelChannel = 0;   // "sample_balls_down" while the field comes in
    static constexpr int kClimbChannel = 1;   // "sample_balls_up" while a cleared field climbs out
    static constexpr int kPanelIntroFrames = 23;

private:
    static constexpr int kScoreStepMs = 20;  // the shown score moves on at this beat
    void resetLevel();
    void startLevel();
    void climb();
    void descend();
    void stepIntros();
    void stepScoreAndGauge();
    void checkLevelComplete();
    void stepAlarms();
    void checkLoss();
    void lose();
    void stepShot();
    void stepCrystalIcons();
    void stepLevelCleared();
    void finishLevel();
    void stepFastDrop();
    bool fastDropStalled() const;
    void stepPushIndicator();
    void handleCommand(const StepInput& input);
    void fire();
    void swapOrRocket();
    void fastDropNow();
    void hurryLevelStart();
    void nextLevel();
    void showTryAgain();
    void tryAgain();
    void saveProgress();
    int fastDropStartRow() const;
    void emit(GameEvent::Type type, const char* name = "", int value = 0);

    // copyPlayFrom copies every value below but the references and the plank tracker: a value
    // added here goes there too.
    Gameplay game_;
    const FileSystem& files_;
    Log& log_;
    ProgressStore& progress_;
    SavedProgress saved_;
    std::unique_ptr<GridView> plankTracker_;

    GameState state_ = kGamePlaying;
    int screenKind_ = kScreenNone;
    bool levelStartRequested_ = false;
    bool levelFileFailed_ = false;
    uint32_t now_ = 0;

    int cannonIntroFrame_ = 0;
    uint32_t cannonIntroNext_ = 0;
    int panelIntroFrame_ = 0;
    uint32_t panelIntroNext_ = 0;

    int64_t shownScore_ = 0;
    uint32_t nextScoreStep_ = 0;
    double shownProgress_ = 0;
    double lastDrawnProgress_ = -1000;
    bool riseFlag_ = false;
    uint32_t nextDrain_ = 0;

    uint32_t lossDeadline_ = 0;
    uint32_t lossHeldMs_ = 0;  // what was left of the countdown when the exit dialog opened
    uint32_t losingSince_ = 0;
    uint32_t nextDescent_ = 0;
    bool fastDrop_ = false;
    bool hurry_ = false;  // a click or key asked for the level start to be over at once
    int fastDropRow_ = 8;
    bool autoFire_ = false;
    int shotCount_ = 0;
    int pushCounter_ = 0;
    double pushTarget_ = 0;
    double pushShown_ = 0;
    bool alarmPlayed_ = false;
    int laserWarning_ = 0;
    uint32_t lastSadTime_ = 0;
    bool sadPlayedOnce_ = false;
    std::vector<CrystalIcon> crystalIcons_;
    int crystalsShown_ = 0;
    bool statisticsWasLeft_ = false;
    bool levelChannelWasPlaying_ = false;
    bool levelChannelPlaying_ = false;
    StatisticsKind statisticsKind_ = StatisticsKind::kBestShot;
    bool gameWon_ = false;
    bool leaveRequested_ = false;
    bool recordsRequested_ = false;
};

}  // namespace qs
