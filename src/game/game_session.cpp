#include "game/game_session.h"

#include <algorithm>
#include <cmath>

#include "core/clock.h"
#include "core/log.h"
#include "core/options.h"
#include "game/bombs.h"
#include "game/matching.h"
#include "game/nearest.h"
#include "game/shot_ball.h"

namespace qs {

namespace {

// The keys that hurry a level start, as the key command carries them.
constexpr int kKeyEnter = 13;
constexpr int kKeySpace = 32;
constexpr uint32_t kArcadeLossMs = 5000;
constexpr uint32_t kChallengeLossMs = 500;
constexpr uint32_t kLosingDialogMs = 1000;
constexpr uint32_t kSadRepeatMs = 7500;
constexpr double kFullGauge = 333;
constexpr int kPushIndicatorLength = 163;

// Keeps the puzzle's limit plank on the field while it moves, and passes every change on to
// the picture of the grid.
class PlankTracker final : public GridView {
public:
    PlankTracker(Gameplay& game, GridView* next) : game_(game), next_(next) {}
    void cellFilled(int column, int row, const GridCell& cell, int x, int y) override {
        if (next_) next_->cellFilled(column, row, cell, x, y);
    }
    void cellEmptied(int column, int row) override {
        if (next_) next_->cellEmptied(column, row);
    }
    void rowsShifted(int firstRow, int lastRow, int by) override {
        if (next_) next_->rowsShifted(firstRow, lastRow, by);
    }
    void fieldMoved(int dy) override {
        if (game_.mode == kModePuzzle) game_.plankY += dy;
        if (next_) next_->fieldMoved(dy);
    }
    void setNext(GridView* next) { next_ = next; }

private:
    Gameplay& game_;
    GridView* next_;
};

// A periodic timer: true once per period, keeping its own beat rather than the frames' (at
// 16 ms a frame a 20 ms period still fires fifty times a second). After a long stall it
// starts a fresh beat instead of catching up all at once.
bool tick(uint32_t now, uint32_t& next, uint32_t period) {
    if (!deadlinePassed(now, next)) return false;
    next += period;
    if (deadlinePassed(now, next)) next = now + period;
    return true;
}

}  // namespace

GameSession::GameSession(const GameOptions& options, const std::vector<ComboText>& combos, Random& random,
                         const FileSystem& files, Log& log, ProgressStore& progress)
    : game_(options, combos, random), files_(files), log_(log), progress_(progress) {
    plankTracker_ = std::make_unique<PlankTracker>(game_, nullptr);
    game_.grid.setView(plankTracker_.get());
    initBonusTable(game_);
    game_.aim.smoothTurn = true;
}

void GameSession::copyPlayFrom(const GameSession& o) {
    game_.copyPlayFrom(o.game_);
    saved_ = o.saved_;
    state_ = o.state_;
    screenKind_ = o.screenKind_;
    levelStartRequested_ = o.levelStartRequested_;
    levelFileFailed_ = o.levelFileFailed_;
    now_ = o.now_;
    cannonIntroFrame_ = o.cannonIntroFrame_;
    cannonIntroNext_ = o.cannonIntroNext_;
    panelIntroFrame_ = o.panelIntroFrame_;
    panelIntroNext_ = o.panelIntroNext_;
    shownScore_ = o.shownScore_;
    nextScoreStep_ = o.nextScoreStep_;
    shownProgress_ = o.shownProgress_;
    lastDrawnProgress_ = o.lastDrawnProgress_;
    riseFlag_ = o.riseFlag_;
    nextDrain_ = o.nextDrain_;
    lossDeadline_ = o.lossDeadline_;
    lossHeldMs_ = o.lossHeldMs_;
    losingSince_ = o.losingSince_;
    nextDescent_ = o.nextDescent_;
    fastDrop_ = o.fastDrop_;
    hurry_ = o.hurry_;
    fastDropRow_ = o.fastDropRow_;
    autoFire_ = o.autoFire_;
    shotCount_ = o.shotCount_;
    pushCounter_ = o.pushCounter_;
    pushTarget_ = o.pushTarget_;
    pushShown_ = o.pushShown_;
    alarmPlayed_ = o.alarmPlayed_;
    laserWarning_ = o.laserWarning_;
    lastSadTime_ = o.lastSadTime_;
    sadPlayedOnce_ = o.sadPlayedOnce_;
    crystalIcons_ = o.crystalIcons_;
    crystalsShown_ = o.crystalsShown_;
    statisticsWasLeft_ = o.statisticsWasLeft_;
    levelChannelWasPlaying_ = o.levelChannelWasPlaying_;
    levelChannelPlaying_ = o.levelChannelPlaying_;
    statisticsKind_ = o.statisticsKind_;
    gameWon_ = o.gameWon_;
    leaveRequested_ = o.leaveRequested_;
    recordsRequested_ = o.recordsRequested_;
}

void GameSession::setView(GridView* view) { static_cast<PlankTracker&>(*plankTracker_).setNext(view); }

void GameSession::emit(GameEvent::Type type, const char* name, int value) {
    GameEvent e;
    e.type = type;
    e.name = name;
    e.value = value;
    game_.events.push_back(std::move(e));
}

bool GameSession::overlayUp() const {
    // The bursting field of a lost game is not covered yet; the records screen is.
    switch (state_) {
        case kGameOverDialog:
        case kGameStatistics:
        case kGameRecords:
        case kGameTryAgain:
        case kGameExitDialog:
        case kGameMessage: return true;
        default: return false;
    }
}

bool GameSession::progressBlinkOff() const {
    return game_.mode == kModeChallenge && shownProgress_ < 50 && ((now_ / 256) % 2) == 1;
}

void GameSession::step(uint32_t now, const StepInput& input) {
    now_ = now;
    Gameplay& g = game_;
    g.now = now;
    g.overlayUp = overlayUp();
    // The previous step's events have been shown (or reported) by now.
    g.events.clear();

    // 2. Level start. It waits while the exit dialog is up: starting would put the game back
    // into play under the dialog (Escape during the cannon's intro).
    hurryLevelStart();
    if (levelStartRequested_ && cannonReady() && state_ == kGamePlaying) {
        startLevel();
        hurryLevelStart();
    }
    if (levelFileFailed_) return;

    climb();
    descend();
    const bool netStepped = stepNet(g);
    stepIntros();
    stepScoreAndGauge();
    checkLevelComplete();
    stepAlarms();
    checkLoss();
    if (state_ == kGameLosing && deadlinePassed(now_, losingSince_ + kLosingDialogMs)) {
        if (g.mode == kModePuzzle) {
            showTryAgain();
        } else {
            state_ = kGameOverDialog;
            screenKind_ = kScreenGameOver;
            endAllBonuses(g);
            emit(GameEvent::kShowOverlay, "game_over");
        }
    }
    // A ball in flight always moves; the cannon turns and the path follows it only once the
    // cannon is up and while the net stands still.
    if (g.ball) {
        stepShot();
    } else if (cannonReady() && !levelStartRequested_ && !netStepped) {
        if (state_ == kGamePlaying && input.mouseX != -1000) updateAim(g.aim, input.mouseX, input.mouseY, 800, 600);
        stepShot();
    }
    // 16.
    updateBonuses(g);
    detonateBombs(g);
    stepCrystalIcons();
    stepLevelCleared();
    stepFastDrop();
    stepPushIndicator();
    // A fast drop that needed only a few pixels fires by itself from the next frame on, once
    // the cannon may fire; a click meanwhile finds the ball already gone.
    if (autoFire_ && mayFire()) fire();
    handleCommand(input);
    if (g.mode != kModePuzzle) awardBigBomb(g);
    stepRockets(g);
}

void GameSession::climb() {
    Gameplay& g = game_;
    BallGrid& grid = g.grid;
    if (g.mode == kModeChallenge && state_ != kGameLevelCleared) {
        grid.updateRowStats();
        const bool below = grid.lowestRow < grid.limitRow || (grid.lowestRow == grid.limitRow && grid.scroll != 0);
        if (below && grid.lowestRow != BallGrid::kNoLowestRow) {
            // Never past the point where the lowest row is back on the limit line.
            const int room = (grid.limitRow - grid.lowestRow) * BallGrid::kRowPitch + grid.scroll;
            if (room > 0) grid.ballsClimb(room);
            grid.updateRowStats();
        }
    }
    if (g.pendingClimb > 0) {
        const int done = grid.ballsClimb(g.pendingClimb);
        g.pendingClimb -= std::min(done, g.pendingClimb);
        if (done == 0) g.pendingClimb = 0;
        grid.updateRowStats();
        if (g.pendingClimb == 0) endBonus(g, kBonusUp);
    }
}

void GameSession::descend() {
    Gameplay& g = game_;
    BallGrid& grid = g.grid;
    if (state_ != kGamePlaying || g.ball || levelStartRequested_ || !deadlinePassed(now_, nextDescent_)) return;
    if (g.pendingClimb > 0 || g.bonuses.active[kBonusFreeze] || g.bombDeadline != 0 || lossDeadline_ != 0) return;
    grid.updateRowStats();
    const int lowest = grid.lowestRow;
    // While the field first comes in, it moves a pixel a call whatever the mode's speed.
    const int cap = fastDrop_ ? 1 : 1 << 30;
    switch (g.mode) {
        case kModeArcade:
            if (lowest < 9) {
                grid.ballsDown(1, g.random, cap);
                nextDescent_ = now_ + static_cast<uint32_t>(std::max(0, g.levelValues.descentInterval));
            } else if (lowest <= 12) {
                grid.ballsDown(lowest - 8, g.random, fastDrop_ ? 1 : lowest - 8);
            } else {
                grid.ballsDown(4, g.random, fastDrop_ ? 1 : 4);
            }
            break;
        case kModeChallenge:
            if (!(lowest > grid.limitRow)) return;
            grid.ballsDown(1, g.random, cap);
            nextDescent_ = now_ + static_cast<uint32_t>(std::max(0, g.options.balls_climb_time_challenge));
            break;
        case kModePuzzle: {
            int& pending = g.levelValues.pendingDescent;
            if (pending <= 0) return;
            int moved = 0;
            if (pending < 240) {
                moved = grid.ballsDown(1, g.random, fastDrop_ ? 1 : pending);
                nextDescent_ = now_ + static_cast<uint32_t>(std::max(0, g.options.balls_climb_time_puzzle));
            } else if (pending < 360) {
                if (lowest < 9) return;
                moved = grid.ballsDown(lowest - 8, g.random, fastDrop_ ? 1 : std::min(pending, lowest - 8));
            } else {
                moved = grid.ballsDown(4, g.random, fastDrop_ ? 1 : std::min(pending, 4));
            }
            pending -= std::min(moved, pending);
            if (moved == 0 && grid.rowOccupied(BallGrid::kFirstRow)) pending = 0;
            if (pending == 0) game_.sound("sample_puzzle_down");
            break;
        }
    }
    grid.updateRowStats();
}

void GameSession::stepScoreAndGauge() {
    Gameplay& g = game_;
    ScoreState& s = g.score;
    const bool overlay = overlayUp();
    if (overlay) {
        shownScore_ = s.totalScore;
    } else if (tick(now_, nextScoreStep_, kScoreStepMs)) {
        if (shownScore_ < s.totalScore)
            shownScore_ = std::min(s.totalScore, shownScore_ + (s.totalScore - shownScore_) / 10 + 1);
    }

    double& progress = s.scoreGauge;
    switch (g.mode) {
        case kModeArcade:
            if (!levelStartRequested_) progress = static_cast<double>(s.plainScore) / g.levelValues.scoreDivisor;
            break;
        case kModePuzzle:
            progress = g.levelValues.crystalsInLevel > 0
                           ? static_cast<double>(s.crystalsCollected) / g.levelValues.crystalsInLevel * kFullGauge
                           : kFullGauge;
            break;
        case kModeChallenge:
            if (tick(now_, nextDrain_, static_cast<uint32_t>(std::max(1, g.levelValues.drainInterval)))) {
                if (progress >= 0 && state_ == kGamePlaying && !levelStartRequested_)
                    progress -= progress >= 50 ? 1 : 0.5;
            }
            break;
    }

    double stepSize = nearest(std::fabs(shownProgress_ - progress) / 30 + 1);
    if (overlay) stepSize *= 4;
    if (riseFlag_ && shownProgress_ < progress) shownProgress_ = std::min(progress, shownProgress_ + stepSize);
    if (shownProgress_ > progress) shownProgress_ = std::max(progress, shownProgress_ - stepSize);
    shownProgress_ = std::min(shownProgress_, kFullGauge);
    if (shownProgress_ != lastDrawnProgress_)
        lastDrawnProgress_ = shownProgress_;
    else
        riseFlag_ = false;
}

void GameSession::scorePieceArrived() { riseFlag_ = true; }

void GameSession::checkLevelComplete() {
    Gameplay& g = game_;
    if (state_ != kGamePlaying || levelStartRequested_) return;
    const bool complete = g.mode == kModePuzzle ? g.score.crystalsCollected >= g.levelValues.crystalsInLevel
                                                : g.score.scoreGauge >= kFullGauge;
    if (!complete) return;
    lossDeadline_ = 0;
    emit(GameEvent::kChannelPlay, "sample_balls_up", kClimbChannel);
    if (g.ball) {
        if (g.ball->kind == kCellBigBomb) emit(GameEvent::kStopBurning);
        g.ball.reset();
        emit(GameEvent::kBallGone);
    }
    endAllBonuses(g);
    g.bonusesLocked = true;
    state_ = kGameLevelCleared;
    emit(GameEvent::kLevelCleared);
}

void GameSession::stepAlarms() {
    const BallGrid& grid = game_.grid;
    if (grid.rowOccupied(0)) {
        if (!alarmPlayed_) game_.sound("sample_alarm");
        alarmPlayed_ = true;
        laserWarning_ = 2;
    } else {
        alarmPlayed_ = false;
        laserWarning_ = grid.rowOccupied(1) ? 1 : 0;
    }
    if (grid.rowOccupied(1) && state_ == kGamePlaying) {
        if (!sadPlayedOnce_ || deadlinePassed(now_, lastSadTime_ + kSadRepeatMs)) {
            game_.sound("sample_dragon_sad");
            lastSadTime_ = now_;
            sadPlayedOnce_ = true;
        }
    }
}

void GameSession::checkLoss() {
    Gameplay& g = game_;
    if (levelStartRequested_) {
        lossDeadline_ = 0;
        return;
    }
    // The exit dialog holds a running countdown (it goes on when play does); the other
    // states end it on their own way in.
    if (state_ != kGamePlaying) return;
    if (lossDeadline_ == 0) {
        switch (g.mode) {
            case kModeArcade:
                if (g.grid.rowOccupied(0)) lossDeadline_ = std::max<uint32_t>(1, now_ + kArcadeLossMs);
                break;
            case kModePuzzle:
                if (g.grid.rowOccupied(BallGrid::kFirstRow)) lose();
                break;
            case kModeChallenge:
                if (g.score.scoreGauge <= 0) lossDeadline_ = std::max<uint32_t>(1, now_ + kChallengeLossMs);
                break;
        }
        return;
    }
    const bool holds = g.mode == kModeChallenge ? g.score.scoreGauge <= 0 : g.grid.rowOccupied(0);
    if (!holds) {
        lossDeadline_ = 0;
        return;
    }
    if (deadlinePassed(now_, lossDeadline_)) lose();
}

void GameSession::stepShot() {
    Gameplay& g = game_;
    if (g.ball) {
        stepShotBall(g);
        if (!g.ball) g.grid.updateRowStats();
        return;
    }
    if (state_ == kGamePlaying) g.updatePath();
}

void GameSession::stepCrystalIcons() {
    for (const GameEvent& e : game_.events) {
        if (e.type != GameEvent::kCrystalToCounter) continue;
        CrystalIcon icon;
        icon.x = e.x;
        icon.y = e.y;
        icon.counterIndex = crystalsShown_++;
        const double targetY = 542 - 36.0 * icon.counterIndex;
        icon.vx = (748 - e.x) / 50;
        icon.vy = (targetY - e.y) / 50;
        crystalIcons_.push_back(icon);
    }
    for (CrystalIcon& icon : crystalIcons_) {
        if (icon.stepsLeft <= 0) continue;
        icon.x += icon.vx;
        icon.y += icon.vy;
        if (--icon.stepsLeft == 0) {
            icon.x = 748;
            icon.y = 542 - 36.0 * icon.counterIndex;
        }
    }
}

bool GameSession::crystalsArrived() const {
    for (const CrystalIcon& icon : crystalIcons_)
        if (icon.stepsLeft > 0) return false;
    return true;
}

void GameSession::stepPushIndicator() {
    if (game_.mode != kModePuzzle || state_ != kGamePlaying) return;
    if (pushShown_ < pushTarget_)
        pushShown_ = std::min(pushTarget_, pushShown_ + 1);
    else if (pushShown_ > pushTarget_)
        pushShown_ = std::max({0.0, pushTarget_, pushShown_ - 4});
}

bool GameSession::mayFire() const {
    const Gameplay& g = game_;
    return state_ == kGamePlaying && !g.ball && g.pendingClimb == 0 && cannonReady() && !levelStartRequested_ &&
           g.net.direction == 0 && g.path.count() > 0 && !fastDropping();
}

void GameSession::handleCommand(const StepInput& input) {
    Gameplay& g = game_;
    switch (input.command) {
        case kCommandShoot:
            if (state_ != kGamePlaying || input.overButton) break;
            if (input.keyCode == 1) {
                // A click while the cannon comes up or the field slides in hurries them on.
                if (!g.ball && (!cannonReady() || levelStartRequested_)) {
                    hurry_ = true;
                    break;
                }
                if (g.ball || g.pendingClimb > 0) break;
                if (fastDrop_) {
                    fastDropNow();
                    break;
                }
                if (mayFire()) fire();
            } else {
                swapOrRocket();
            }
            break;
        case kCommandKey:
            if ((input.keyCode == kKeySpace || input.keyCode == kKeyEnter) && state_ == kGamePlaying &&
                (levelStartRequested_ || !cannonReady() || fastDrop_))
                hurry_ = true;
            if (input.keyCode == 27) {
                if (state_ == kGamePlaying) openExitDialog();
                else if (state_ == kGameExitDialog) closeExitDialog();
            }
            break;
        case kCommandExitToMenuDialog:
            openExitDialog();
            break;
        case kCommandMainMenu:
            leaveRequested_ = true;
            screenKind_ = kScreenMainMenu;
            emit(GameEvent::kLeaveForMenu);
            break;
        case kCommandRecords:
            recordsRequested_ = true;
            state_ = kGameRecords;
            screenKind_ = kScreenScores;
            emit(GameEvent::kShowRecords);
            break;
        case kCommandTryAgainScreen:
            showTryAgain();
            break;
        case kCommandTryAgain:
            tryAgain();
            break;
        case kCommandNextLevel:
            nextLevel();
            break;
        default:
            break;
    }
}

void GameSession::fire() {
    Gameplay& g = game_;
    autoFire_ = false;
    // The path on show may be older than the field: a bomb can go off after it was drawn.
    g.updatePath();
    if (g.path.count() == 0) return;
    const QueuedBall ball = g.queue.current;
    if (ball.kind == kCellBigBomb) emit(GameEvent::kStopBurning);
    qs::fire(g, ball.kind, ball.tint, ball.bonus);
    emit(GameEvent::kCannonFired);
    advanceQueue(g);
    ++shotCount_;
    if (g.mode == kModePuzzle) {
        const int interval = std::max(1, g.levelValues.pushInterval);
        if (++pushCounter_ >= interval) {
            pushCounter_ = 0;
            g.levelValues.pendingDescent += 30;
        }
        pushTarget_ = nearest((1.0 - static_cast<double>(interval - pushCounter_) / interval) * kPushIndicatorLength);
    }
}

void GameSession::swapOrRocket() {
    Gameplay& g = game_;
    // The ball of a shot under way (the fast drop's own) stays in the cannon.
    if (state_ != kGamePlaying || g.ball || autoFire_) return;
    if (g.queue.rocketCount >= 1) {
        if (!cannonReady() || levelStartRequested_ || g.pendingClimb > 0) return;
        launchRocket(g);
        return;
    }
    swapBalls(g);
}

}  // namespace qs
