#include <algorithm>

#include "core/clock.h"
#include "core/log.h"
#include "core/options.h"
#include "game/game_session.h"

// How levels start: a new game, the cannon's and the panel's intros, the field sliding in
// (the fast drop) and a click or key that hurries all of it.

namespace qs {

namespace {

constexpr int kIntroFrameMs = 50;
// A fast drop shorter than this many pixels fires the ball the click asked for.
constexpr int kAutoFireLimit = 40;

}  // namespace

void GameSession::beginGame(GameMode mode, uint32_t now) {
    play_.now = now;
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
    play_.shownScore = saved_.score;
    play_.nextScoreStep = now + kScoreStepMs;
    game_.score.bestShot = 0;
    game_.score.bestCombo = 0;
    // The net stands closed until the level starts and opens it: a new game does not show the
    // walls of another game's field, nor close them twice.
    game_.net.frame = kNetClosed;
    game_.net.target = kNetClosed;
    game_.net.direction = 0;
    game_.grid.netMargin = 2;
    play_.cannonIntroFrame = 0;
    play_.cannonIntroNext = now + kIntroFrameMs;
    play_.panelIntroFrame = 0;
    play_.panelIntroNext = now + kIntroFrameMs;
    play_.state = kGamePlaying;
    play_.levelStartRequested = true;
    play_.hurry = false;
}

void GameSession::hurryLevelStart() {
    if (!play_.hurry || play_.state != kGamePlaying) return;
    if (play_.cannonIntroFrame < kCannonIntroFrames) {
        play_.cannonIntroFrame = kCannonIntroFrames;
        emit(GameEvent::kQueueChanged);
    }
    // The level itself starts in this step; its slide-in is hurried right after.
    if (play_.levelStartRequested) return;
    if (play_.fastDrop) fastDropNow();
    play_.autoFire = false;
    play_.hurry = false;
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
    play_.lossDeadline = 0;
    play_.nextDescent = 0;
    play_.fastDrop = true;
    play_.autoFire = false;
    play_.pushCounter = 0;
    play_.pushTarget = 0;
    play_.pushShown = 0;
    play_.crystalIcons.clear();
    play_.crystalsShown = 0;
    play_.alarmPlayed = false;
    play_.laserWarning = 0;
    play_.statisticsWasLeft = false;
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
    play_.lossDeadline = 0;

    play_.shownProgress = 0;
    play_.lastDrawnProgress = -1000;
    play_.riseFlag = false;
    g.score.scoreGauge = 0;
    if (g.mode == kModeChallenge) {
        g.score.scoreGauge = 166.5;
        play_.riseFlag = true;
    }
    g.queue.shotsSinceBonus = 0;
    drawBonusInterval(g);

    if (!qs::startLevel(g, files_, log_)) {
        // The level cannot be played: the scene shows a message and goes back to the menu;
        // the saved progress stays as it was.
        play_.levelFileFailed = true;
        play_.levelStartRequested = false;
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
    play_.fastDropRow = fastDropStartRow();

    play_.state = kGamePlaying;
    play_.nextDrain = play_.now + static_cast<uint32_t>(std::max(1, g.levelValues.drainInterval));
    play_.nextScoreStep = play_.now + kScoreStepMs;
    play_.nextDescent = play_.now;
    play_.cannonIntroFrame = 0;
    play_.cannonIntroNext = play_.now + kIntroFrameMs;
    emit(GameEvent::kLevelStarted, "", g.level);
    emit(GameEvent::kChannelPlay, "sample_balls_down", kLevelChannel);
    play_.levelChannelPlaying = true;
    play_.levelStartRequested = false;
}

int GameSession::fastDropStartRow() const { return qs::fastDropStartRow(game_, game_.grid.consecutiveRows); }

void GameSession::stepIntros() {
    if (play_.cannonIntroFrame < kCannonIntroFrames && deadlinePassed(play_.now, play_.cannonIntroNext)) {
        ++play_.cannonIntroFrame;
        play_.cannonIntroNext += kIntroFrameMs;
        if (play_.cannonIntroFrame == kCannonIntroFrames) emit(GameEvent::kQueueChanged);
    }
    if (play_.panelIntroFrame < kPanelIntroFrames && deadlinePassed(play_.now, play_.panelIntroNext)) {
        ++play_.panelIntroFrame;
        play_.panelIntroNext += kIntroFrameMs;
    }
}

void GameSession::stepFastDrop() {
    if (!play_.fastDrop) return;
    if (game_.grid.rowOccupied(play_.fastDropRow) || fastDropStalled()) {
        play_.fastDrop = false;
        if (play_.levelChannelPlaying) {
            emit(GameEvent::kChannelStop, "", kLevelChannel);
            play_.levelChannelPlaying = false;
        }
    }
}

bool GameSession::fastDropStalled() const {
    // A puzzle whose slide-in is used up (or a field that cannot move) has arrived.
    return game_.mode == kModePuzzle && game_.levelValues.pendingDescent <= 0 && !play_.levelStartRequested;
}

void GameSession::fastDropNow() {
    Gameplay& g = game_;
    BallGrid& grid = g.grid;
    int pixels = 0;
    while (!grid.rowOccupied(play_.fastDropRow) && pixels < BallGrid::kRowCount * BallGrid::kRowPitch) {
        if (g.mode == kModePuzzle && g.levelValues.pendingDescent <= 0) break;
        const int moved = grid.ballsDown(1, g.random, 1);
        if (moved == 0) break;
        pixels += moved;
        if (g.mode == kModePuzzle) g.levelValues.pendingDescent -= moved;
    }
    grid.updateRowStats();
    play_.fastDrop = false;
    if (play_.levelChannelPlaying) {
        emit(GameEvent::kChannelStop, "", kLevelChannel);
        play_.levelChannelPlaying = false;
    }
    play_.autoFire = pixels < kAutoFireLimit;
}

}  // namespace qs
