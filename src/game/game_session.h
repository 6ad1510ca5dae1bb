#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "game/game_command.h"
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


    // The first frame of a game: level and score from the saved progress (or `beg_level`),
    // the level start requested.
    void beginGame(GameMode mode, uint32_t now);
    // One scene step at game time `now`, with the commands queued for it, in order.
    void step(uint32_t now, const std::vector<GameCommand>& commands = {});
    // What the second mouse button asks for now: a swap, or the paint rocket while one is held.
    GameCommand secondButton() const;
    // Steps run so far: the step the next commands apply to.
    uint64_t stepCount() const { return play_.steps; }

    Gameplay& game() { return game_; }
    const Gameplay& game() const { return game_; }
    GameState state() const { return play_.state; }
    // Tests and tools that set up a position put the session straight into a state.
    void setState(GameState state) { play_.state = state; }

    int level() const { return game_.level; }
    bool overlayUp() const;
    bool levelStartPending() const { return play_.levelStartRequested; }
    bool cannonReady() const { return play_.cannonIntroFrame >= kCannonIntroFrames; }
    int cannonIntroFrame() const { return play_.cannonIntroFrame; }
    int panelIntroFrame() const { return play_.panelIntroFrame; }
    int64_t shownScore() const { return play_.shownScore; }
    double progress() const { return game_.score.scoreGauge; }
    double shownProgress() const { return play_.shownProgress; }
    bool progressBlinkOff() const;
    bool fastDropping() const { return play_.fastDrop; }
    // The row the field comes down to at a level start (arcade 8, challenge 5, puzzle 12 minus
    // the level's rows).
    int fastDropRow() const { return play_.fastDropRow; }
    bool lossCountdown() const { return play_.lossDeadline != 0; }
    int laserWarning() const { return play_.laserWarning; }  // 0 off, 1 slow, 2 fast
    bool dragonsSad() const { return game_.grid.rowOccupied(1); }
    double pushShown() const { return play_.pushShown; }
    const std::vector<CrystalIcon>& crystalIcons() const { return play_.crystalIcons; }
    int crystalsShown() const { return play_.crystalsShown; }
    StatisticsKind statisticsKind() const { return play_.statisticsKind; }
    bool gameWon() const { return play_.gameWon; }
    bool levelFileFailed() const { return play_.levelFileFailed; }
    const SavedProgress& saved() const { return saved_; }
    bool leaveRequested() const { return play_.leaveRequested; }
    bool recordsRequested() const { return play_.recordsRequested; }
    void clearRequests() { play_.leaveRequested = play_.recordsRequested = false; }
    int shotCount() const { return play_.shotCount; }
    int pushCounter() const { return play_.pushCounter; }  // puzzle: shots since the last push
    // Where the session last took the pointer to be (x -1000: not yet).
    int pointerX() const { return play_.pointerX; }
    int pointerY() const { return play_.pointerY; }

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
    void takeAtOnce(const std::vector<GameCommand>& commands);
    void handleCommand(const GameCommand& command);
    void openExitDialog();
    void closeExitDialog();
    void fire();
    void fastDropNow();
    void hurryLevelStart();
    void nextLevel();
    void showTryAgain();
    void tryAgain();
    void saveProgress();
    int fastDropStartRow() const;
    void emit(GameEvent::Type type, const char* name = "", int value = 0);
    void emitOverlay(GameEvent::Type type, Overlay overlay);

    Gameplay game_;
    const FileSystem& files_;
    Log& log_;
    ProgressStore& progress_;
    SavedProgress saved_;
    std::unique_ptr<GridView> plankTracker_;

    // Everything that plays, as one value: a copy of the session is an assignment of it (and
    // of the playfield), so a value added here is copied with the rest.
    struct PlayState {
        GameState state = kGamePlaying;
        uint64_t steps = 0;
        // Where the pointer was last seen; x is -1000 before it was (the cannon keeps its aim).
        int pointerX = -1000;
        int pointerY = 0;
        bool levelStartRequested = false;
        bool levelFileFailed = false;
        uint32_t now = 0;

        int cannonIntroFrame = 0;
        uint32_t cannonIntroNext = 0;
        int panelIntroFrame = 0;
        uint32_t panelIntroNext = 0;

        int64_t shownScore = 0;
        uint32_t nextScoreStep = 0;
        double shownProgress = 0;
        double lastDrawnProgress = -1000;
        bool riseFlag = false;
        uint32_t nextDrain = 0;

        uint32_t lossDeadline = 0;
        uint32_t lossHeldMs = 0;  // what was left of the countdown when the exit dialog opened
        uint32_t losingSince = 0;
        uint32_t nextDescent = 0;
        bool fastDrop = false;
        bool hurry = false;  // a click or key asked for the level start to be over at once
        int fastDropRow = 8;
        bool autoFire = false;
        int shotCount = 0;
        int pushCounter = 0;
        double pushTarget = 0;
        double pushShown = 0;
        bool alarmPlayed = false;
        int laserWarning = 0;
        uint32_t lastSadTime = 0;
        bool sadPlayedOnce = false;
        std::vector<CrystalIcon> crystalIcons;
        int crystalsShown = 0;
        bool statisticsWasLeft = false;
        bool levelChannelWasPlaying = false;
        bool levelChannelPlaying = false;
        StatisticsKind statisticsKind = StatisticsKind::kBestShot;
        bool gameWon = false;
        bool leaveRequested = false;
        bool recordsRequested = false;
    };
    PlayState play_;
};

}  // namespace qs
