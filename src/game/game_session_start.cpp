#include "game/game_session.h"

#include <algorithm>

#include "core/clock.h"
#include "core/log.h"
#include "core/options.h"

// How levels start: a new game, the cannon's and the panel's intros, the field sliding in
// (the fast drop) and a click or key that hurries all of it.

namespace qs {

namespace {

constexpr int kIntroFrameMs = 50;
// A fast drop shorter than this many pixels fires the ball the click asked for.
constexpr int kAutoFireLimit = 40;

}  // namespace

void GameSession::beginGame(GameMode mode, uint32_t now) {
    now_ = now;
    game_.now = now;
    game_.mode = mode;
    resetLevel();
    saved_ = progress_.load(mode);
    int level = saved_.level;
    if (level < 1) {
        level = 1;
        saved_.level = 1;
        saveProgress();
    }
    if (game_.options.beg_level != 0) level = game_.options.beg_level;
    game_.level = level;
    game_.score.totalScore = saved_.score;
    shownScore_ = saved_.score;
    nextScoreStep_ = now + kScoreStepMs;
    game_.score.bestShot = 0;
    game_.score.bestCombo = 0;
    // The net stands closed until the level starts and opens it: a new game does not show the
    // walls of another game's field, nor close them twice.
    game_.net.frame = kNetClosed;
    game_.net.target = kNetClosed;
    game_.net.direction = 0;
    game_.grid.netMargin = 2;
    cannonIntroFrame_ = 0;
    cannonIntroNext_ = now + kIntroFrameMs;
    panelIntroFrame_ = 0;
    panelIntroNext_ = now + kIntroFrameMs;
    state_ = kGamePlaying;
    screenKind_ = kScreenNone;
    levelStartRequested_ = true;
    hurry_ = false;
}

void GameSession::hurryLevelStart() {
    if (!hurry_ || state_ != kGamePlaying) return;
    if (cannonIntroFrame_ < kCannonIntroFrames) {
        cannonIntroFrame_ = kCannonIntroFrames;
        emit(GameEvent::kQueueChanged);
    }
    // The level itself starts in this step; its slide-in is hurried right after.
    if (levelStartRequested_) return;
    if (fastDrop_) fastDropNow();
    autoFire_ = false;
    hurry_ = false;
}

void GameSession::resetLevel() {
    Gameplay& g = game_;
    endAllBonuses(g);
    g.bonusesLocked = false;
    if (g.ball) {
        g.ball.reset();
        emit(GameEvent::kBallGone);
    }
    g.path = ShotPath{};
    g.rockets.clear();
    g.bombDeadline = 0;
    g.pendingClimb = 0;
    g.levelValues.pendingDescent = 0;
    g.plankY = -279;
    g.overlayUp = false;
    g.gameOver = false;
    lossDeadline_ = 0;
    nextDescent_ = 0;
    fastDrop_ = true;
    autoFire_ = false;
    pushCounter_ = 0;
    pushTarget_ = 0;
    pushShown_ = 0;
    crystalIcons_.clear();
    crystalsShown_ = 0;
    alarmPlayed_ = false;
    laserWarning_ = 0;
    statisticsWasLeft_ = false;
}

void GameSession::startLevel() {
    Gameplay& g = game_;
    // Nothing of the last level reaches this one, whatever happened while the start waited
    // for the cannon.
    resetLevel();
    resetBonuses(g);
    resetNet(g);
    g.score.comboCount = 0;
    g.score.matchRun = 0;
    g.score.scoreMultiplier = 1;
    g.score.levelScore = 0;
    g.score.plainScore = 0;
    g.score.crystalsCollected = 0;
    lossDeadline_ = 0;

    shownProgress_ = 0;
    lastDrawnProgress_ = -1000;
    riseFlag_ = false;
    g.score.scoreGauge = 0;
    if (g.mode == kModeChallenge) {
        g.score.scoreGauge = 166.5;
        riseFlag_ = true;
    }
    g.queue.shotsSinceBonus = 0;
    drawBonusInterval(g);

    if (!qs::startLevel(g, files_, log_)) {
        // The level cannot be played: the scene shows a message and goes back to the menu;
        // the saved progress stays as it was.
        levelFileFailed_ = true;
        levelStartRequested_ = false;
        emit(GameEvent::kLevelFailed);
        return;
    }
    g.queue.current = QueuedBall{};
    g.queue.next = QueuedBall{};
    advanceQueue(g);
    advanceQueue(g);
    g.grid.newRowToggle = 0;
    g.path = ShotPath{};
    g.grid.updateRowStats();
    fastDropRow_ = fastDropStartRow();

    state_ = kGamePlaying;
    screenKind_ = kScreenNone;
    nextDrain_ = now_ + static_cast<uint32_t>(std::max(1, g.levelValues.drainInterval));
    nextScoreStep_ = now_ + kScoreStepMs;
    nextDescent_ = now_;
    cannonIntroFrame_ = 0;
    cannonIntroNext_ = now_ + kIntroFrameMs;
    emit(GameEvent::kLevelStarted, "", g.level);
    emit(GameEvent::kChannelPlay, "sample_balls_down", kLevelChannel);
    levelChannelPlaying_ = true;
    levelStartRequested_ = false;
}

int GameSession::fastDropStartRow() const { return qs::fastDropStartRow(game_, game_.grid.consecutiveRows); }

void GameSession::stepIntros() {
    if (cannonIntroFrame_ < kCannonIntroFrames && deadlinePassed(now_, cannonIntroNext_)) {
        ++cannonIntroFrame_;
        cannonIntroNext_ += kIntroFrameMs;
        if (cannonIntroFrame_ == kCannonIntroFrames) emit(GameEvent::kQueueChanged);
    }
    if (panelIntroFrame_ < kPanelIntroFrames && deadlinePassed(now_, panelIntroNext_)) {
        ++panelIntroFrame_;
        panelIntroNext_ += kIntroFrameMs;
    }
}

void GameSession::stepFastDrop() {
    if (!fastDrop_) return;
    if (game_.grid.rowOccupied(fastDropRow_) || fastDropStalled()) {
        fastDrop_ = false;
        if (levelChannelPlaying_) {
            emit(GameEvent::kChannelStop, "", kLevelChannel);
            levelChannelPlaying_ = false;
        }
    }
}

bool GameSession::fastDropStalled() const {
    // A puzzle whose slide-in is used up (or a field that cannot move) has arrived.
    return game_.mode == kModePuzzle && game_.levelValues.pendingDescent <= 0 && !levelStartRequested_;
}

void GameSession::fastDropNow() {
    Gameplay& g = game_;
    BallGrid& grid = g.grid;
    int pixels = 0;
    while (!grid.rowOccupied(fastDropRow_) && pixels < BallGrid::kRowCount * BallGrid::kRowPitch) {
        if (g.mode == kModePuzzle && g.levelValues.pendingDescent <= 0) break;
        const int moved = grid.ballsDown(1, g.random, 1);
        if (moved == 0) break;
        pixels += moved;
        if (g.mode == kModePuzzle) g.levelValues.pendingDescent -= moved;
    }
    grid.updateRowStats();
    fastDrop_ = false;
    if (levelChannelPlaying_) {
        emit(GameEvent::kChannelStop, "", kLevelChannel);
        levelChannelPlaying_ = false;
    }
    autoFire_ = pixels < kAutoFireLimit;
}

}  // namespace qs
