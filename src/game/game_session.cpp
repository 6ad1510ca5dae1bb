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
    play_ = o.play_;
}

void GameSession::setView(GridView* view) { static_cast<PlankTracker&>(*plankTracker_).setNext(view); }

void GameSession::emit(GameEvent::Type type, const char* name, int value) {
    GameEvent e;
    e.type = type;
    e.name = name;
    e.value = value;
    game_.events.push_back(std::move(e));
}

void GameSession::emitOverlay(GameEvent::Type type, Overlay overlay) {
    emit(type, overlayName(overlay), static_cast<int>(overlay));
}

bool GameSession::overlayUp() const {
    // The bursting field of a lost game is not covered yet; the records screen is.
    switch (play_.state) {
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
    return game_.mode == kModeChallenge && play_.shownProgress < 50 && ((play_.now / 256) % 2) == 1;
}

void GameSession::step(uint32_t now, const std::vector<GameCommand>& commands) {
    Gameplay& g = game_;
    // The previous step's events have been shown (or reported) by now.
    g.events.clear();
    // An aim and the answers to a dialog take effect before the step's time moves on.
    takeAtOnce(commands);
    ++play_.steps;
    play_.now = now;
    g.now = now;
    g.overlayUp = overlayUp();

    // 2. Level start. It waits while the exit dialog is up: starting would put the game back
    // into play under the dialog (Escape during the cannon's intro).
    hurryLevelStart();
    if (play_.levelStartRequested && cannonReady() && play_.state == kGamePlaying) {
        startLevel();
        hurryLevelStart();
    }
    if (play_.levelFileFailed) return;

    climb();
    descend();
    const bool netStepped = stepNet(g);
    stepIntros();
    stepScoreAndGauge();
    checkLevelComplete();
    stepAlarms();
    checkLoss();
    if (play_.state == kGameLosing && deadlinePassed(play_.now, play_.losingSince + kLosingDialogMs)) {
        if (g.mode == kModePuzzle) {
            showTryAgain();
        } else {
            play_.state = kGameOverDialog;
            endAllBonuses(g);
            emitOverlay(GameEvent::kShowOverlay, Overlay::kGameOver);
        }
    }
    // A ball in flight always moves; the cannon turns and the path follows it only once the
    // cannon is up and while the net stands still.
    if (g.ball) {
        stepShot();
    } else if (cannonReady() && !play_.levelStartRequested && !netStepped) {
        for (const GameCommand& command : commands)
            if (const auto* pointer = std::get_if<command::Pointer>(&command)) {
                play_.pointerX = pointer->x;
                play_.pointerY = pointer->y;
            }
        if (play_.state == kGamePlaying && play_.pointerX != -1000)
            updateAim(g.aim, play_.pointerX, play_.pointerY, 800, 600);
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
    if (play_.autoFire && mayFire()) fire();
    for (const GameCommand& command : commands) handleCommand(command);
    if (g.mode != kModePuzzle) awardBigBomb(g);
    stepRockets(g);
}

void GameSession::climb() {
    Gameplay& g = game_;
    BallGrid& grid = g.grid;
    if (g.mode == kModeChallenge && play_.state != kGameLevelCleared) {
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
    if (play_.state != kGamePlaying || g.ball || play_.levelStartRequested || !deadlinePassed(play_.now, play_.nextDescent)) return;
    if (g.pendingClimb > 0 || g.bonuses.active[kBonusFreeze] || g.bombDeadline != 0 || play_.lossDeadline != 0) return;
    grid.updateRowStats();
    const int lowest = grid.lowestRow;
    // While the field first comes in, it moves a pixel a call whatever the mode's speed.
    const int cap = play_.fastDrop ? 1 : 1 << 30;
    switch (g.mode) {
        case kModeArcade:
            if (lowest < 9) {
                grid.ballsDown(1, g.random, cap);
                play_.nextDescent = play_.now + static_cast<uint32_t>(std::max(0, g.levelValues.descentInterval));
            } else if (lowest <= 12) {
                grid.ballsDown(lowest - 8, g.random, play_.fastDrop ? 1 : lowest - 8);
            } else {
                grid.ballsDown(4, g.random, play_.fastDrop ? 1 : 4);
            }
            break;
        case kModeChallenge:
            if (!(lowest > grid.limitRow)) return;
            grid.ballsDown(1, g.random, cap);
            play_.nextDescent = play_.now + static_cast<uint32_t>(std::max(0, g.options.balls_climb_time_challenge));
            break;
        case kModePuzzle: {
            int& pending = g.levelValues.pendingDescent;
            if (pending <= 0) return;
            int moved = 0;
            if (pending < 240) {
                moved = grid.ballsDown(1, g.random, play_.fastDrop ? 1 : pending);
                play_.nextDescent = play_.now + static_cast<uint32_t>(std::max(0, g.options.balls_climb_time_puzzle));
            } else if (pending < 360) {
                if (lowest < 9) return;
                moved = grid.ballsDown(lowest - 8, g.random, play_.fastDrop ? 1 : std::min(pending, lowest - 8));
            } else {
                moved = grid.ballsDown(4, g.random, play_.fastDrop ? 1 : std::min(pending, 4));
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
        play_.shownScore = s.totalScore;
    } else if (tick(play_.now, play_.nextScoreStep, kScoreStepMs)) {
        if (play_.shownScore < s.totalScore)
            play_.shownScore = std::min(s.totalScore, play_.shownScore + (s.totalScore - play_.shownScore) / 10 + 1);
    }

    double& progress = s.scoreGauge;
    switch (g.mode) {
        case kModeArcade:
            if (!play_.levelStartRequested) progress = static_cast<double>(s.plainScore) / g.levelValues.scoreDivisor;
            break;
        case kModePuzzle:
            progress = g.levelValues.crystalsInLevel > 0
                           ? static_cast<double>(s.crystalsCollected) / g.levelValues.crystalsInLevel * kFullGauge
                           : kFullGauge;
            break;
        case kModeChallenge:
            if (tick(play_.now, play_.nextDrain, static_cast<uint32_t>(std::max(1, g.levelValues.drainInterval)))) {
                if (progress >= 0 && play_.state == kGamePlaying && !play_.levelStartRequested)
                    progress -= progress >= 50 ? 1 : 0.5;
            }
            break;
    }

    double stepSize = nearest(std::fabs(play_.shownProgress - progress) / 30 + 1);
    if (overlay) stepSize *= 4;
    if (play_.riseFlag && play_.shownProgress < progress) play_.shownProgress = std::min(progress, play_.shownProgress + stepSize);
    if (play_.shownProgress > progress) play_.shownProgress = std::max(progress, play_.shownProgress - stepSize);
    play_.shownProgress = std::min(play_.shownProgress, kFullGauge);
    if (play_.shownProgress != play_.lastDrawnProgress)
        play_.lastDrawnProgress = play_.shownProgress;
    else
        play_.riseFlag = false;
}

void GameSession::scorePieceArrived() { play_.riseFlag = true; }

void GameSession::checkLevelComplete() {
    Gameplay& g = game_;
    if (play_.state != kGamePlaying || play_.levelStartRequested) return;
    const bool complete = g.mode == kModePuzzle ? g.score.crystalsCollected >= g.levelValues.crystalsInLevel
                                                : g.score.scoreGauge >= kFullGauge;
    if (!complete) return;
    play_.lossDeadline = 0;
    emit(GameEvent::kChannelPlay, "sample_balls_up", kClimbChannel);
    if (g.ball) {
        if (g.ball->kind == kCellBigBomb) emit(GameEvent::kStopBurning);
        g.ball.reset();
        emit(GameEvent::kBallGone);
    }
    endAllBonuses(g);
    g.bonusesLocked = true;
    play_.state = kGameLevelCleared;
    emit(GameEvent::kLevelCleared);
}

void GameSession::stepAlarms() {
    const BallGrid& grid = game_.grid;
    if (grid.rowOccupied(0)) {
        if (!play_.alarmPlayed) game_.sound("sample_alarm");
        play_.alarmPlayed = true;
        play_.laserWarning = 2;
    } else {
        play_.alarmPlayed = false;
        play_.laserWarning = grid.rowOccupied(1) ? 1 : 0;
    }
    if (grid.rowOccupied(1) && play_.state == kGamePlaying) {
        if (!play_.sadPlayedOnce || deadlinePassed(play_.now, play_.lastSadTime + kSadRepeatMs)) {
            game_.sound("sample_dragon_sad");
            play_.lastSadTime = play_.now;
            play_.sadPlayedOnce = true;
        }
    }
}

void GameSession::checkLoss() {
    Gameplay& g = game_;
    if (play_.levelStartRequested) {
        play_.lossDeadline = 0;
        return;
    }
    // The exit dialog holds a running countdown (it goes on when play does); the other
    // states end it on their own way in.
    if (play_.state != kGamePlaying) return;
    if (play_.lossDeadline == 0) {
        switch (g.mode) {
            case kModeArcade:
                if (g.grid.rowOccupied(0)) play_.lossDeadline = std::max<uint32_t>(1, play_.now + kArcadeLossMs);
                break;
            case kModePuzzle:
                if (g.grid.rowOccupied(BallGrid::kFirstRow)) lose();
                break;
            case kModeChallenge:
                if (g.score.scoreGauge <= 0) play_.lossDeadline = std::max<uint32_t>(1, play_.now + kChallengeLossMs);
                break;
        }
        return;
    }
    const bool holds = g.mode == kModeChallenge ? g.score.scoreGauge <= 0 : g.grid.rowOccupied(0);
    if (!holds) {
        play_.lossDeadline = 0;
        return;
    }
    if (deadlinePassed(play_.now, play_.lossDeadline)) lose();
}

void GameSession::stepShot() {
    Gameplay& g = game_;
    if (g.ball) {
        stepShotBall(g);
        if (!g.ball) g.grid.updateRowStats();
        return;
    }
    if (play_.state == kGamePlaying) g.updatePath();
}

void GameSession::stepCrystalIcons() {
    for (const GameEvent& e : game_.events) {
        if (e.type != GameEvent::kCrystalToCounter) continue;
        CrystalIcon icon;
        icon.x = e.x;
        icon.y = e.y;
        icon.counterIndex = play_.crystalsShown++;
        const double targetY = 542 - 36.0 * icon.counterIndex;
        icon.vx = (748 - e.x) / 50;
        icon.vy = (targetY - e.y) / 50;
        play_.crystalIcons.push_back(icon);
    }
    for (CrystalIcon& icon : play_.crystalIcons) {
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
    for (const CrystalIcon& icon : play_.crystalIcons)
        if (icon.stepsLeft > 0) return false;
    return true;
}

void GameSession::stepPushIndicator() {
    if (game_.mode != kModePuzzle || play_.state != kGamePlaying) return;
    if (play_.pushShown < play_.pushTarget)
        play_.pushShown = std::min(play_.pushTarget, play_.pushShown + 1);
    else if (play_.pushShown > play_.pushTarget)
        play_.pushShown = std::max({0.0, play_.pushTarget, play_.pushShown - 4});
}

bool GameSession::mayFire() const {
    const Gameplay& g = game_;
    return play_.state == kGamePlaying && !g.ball && g.pendingClimb == 0 && cannonReady() && !play_.levelStartRequested &&
           g.net.direction == 0 && g.path.count() > 0 && !fastDropping();
}

void GameSession::takeAtOnce(const std::vector<GameCommand>& commands) {
    for (const GameCommand& command : commands) {
        // An aim by angle (the automatic player's) turns the cannon before anything moves.
        if (const auto* aim = std::get_if<command::AimAngle>(&command)) {
            game_.aim.smoothTurn = false;
            setAimAngle(game_.aim, aim->radians);
            game_.updatePath();
        }
        // "No" on the exit question goes back to the game (or the statistics) at once.
        if (std::holds_alternative<command::CloseExitDialog>(command)) closeExitDialog();
        // Either button of the try-again screen takes it down; what it chose is done below.
        const bool tryAgainAnswer = std::holds_alternative<command::TryAgain>(command) ||
                                    std::holds_alternative<command::LeaveForMenu>(command) ||
                                    std::holds_alternative<command::ShowRecords>(command);
        if (tryAgainAnswer && play_.state == kGameTryAgain) play_.state = kGameButtonReleased;
    }
}

GameCommand GameSession::secondButton() const {
    // The right (or middle) button swaps the balls, or fires the paint rocket while one is held.
    if (game_.queue.rocketCount >= 1) return command::FireRocket{};
    return command::Swap{};
}

void GameSession::handleCommand(const GameCommand& command) {
    Gameplay& g = game_;
    if (std::holds_alternative<command::Fire>(command)) {
        if (play_.state != kGamePlaying) return;
        // A click while the cannon comes up or the field slides in hurries them on.
        if (!g.ball && (!cannonReady() || play_.levelStartRequested)) {
            play_.hurry = true;
            return;
        }
        if (g.ball || g.pendingClimb > 0) return;
        if (play_.fastDrop) {
            fastDropNow();
            return;
        }
        if (mayFire()) fire();
    } else if (std::holds_alternative<command::Swap>(command)) {
        // The ball of a shot under way (the fast drop's own) stays in the cannon; a paint
        // rocket held takes the cannon's place.
        if (play_.state != kGamePlaying || g.ball || play_.autoFire || g.queue.rocketCount >= 1) return;
        swapBalls(g);
    } else if (std::holds_alternative<command::FireRocket>(command)) {
        if (play_.state != kGamePlaying || g.ball || play_.autoFire || g.queue.rocketCount < 1) return;
        if (!cannonReady() || play_.levelStartRequested || g.pendingClimb > 0) return;
        launchRocket(g);
    } else if (std::holds_alternative<command::Hurry>(command)) {
        if (play_.state == kGamePlaying && (play_.levelStartRequested || !cannonReady() || play_.fastDrop))
            play_.hurry = true;
    } else if (std::holds_alternative<command::Escape>(command)) {
        if (play_.state == kGamePlaying) openExitDialog();
        else if (play_.state == kGameExitDialog) closeExitDialog();
    } else if (std::holds_alternative<command::OpenExitDialog>(command)) {
        openExitDialog();
    } else if (std::holds_alternative<command::LeaveForMenu>(command)) {
        play_.leaveRequested = true;
        emit(GameEvent::kLeaveForMenu);
    } else if (std::holds_alternative<command::ShowRecords>(command)) {
        play_.recordsRequested = true;
        play_.state = kGameRecords;
        emit(GameEvent::kShowRecords);
    } else if (std::holds_alternative<command::ShowTryAgain>(command)) {
        showTryAgain();
    } else if (std::holds_alternative<command::TryAgain>(command)) {
        tryAgain();
    } else if (std::holds_alternative<command::NextLevel>(command)) {
        nextLevel();
    }
}

void GameSession::fire() {
    Gameplay& g = game_;
    play_.autoFire = false;
    // The path on show may be older than the field: a bomb can go off after it was drawn.
    g.updatePath();
    if (g.path.count() == 0) return;
    const QueuedBall ball = g.queue.current;
    if (ball.kind == kCellBigBomb) emit(GameEvent::kStopBurning);
    qs::fire(g, ball.kind, ball.tint, ball.bonus);
    emit(GameEvent::kCannonFired);
    advanceQueue(g);
    ++play_.shotCount;
    if (g.mode == kModePuzzle) {
        const int interval = std::max(1, g.levelValues.pushInterval);
        if (++play_.pushCounter >= interval) {
            play_.pushCounter = 0;
            g.levelValues.pendingDescent += 30;
        }
        play_.pushTarget = nearest((1.0 - static_cast<double>(interval - play_.pushCounter) / interval) * kPushIndicatorLength);
    }
}

}  // namespace qs
