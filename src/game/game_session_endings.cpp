#include "game/game_session.h"

#include <algorithm>
#include <string>

#include "core/clock.h"
#include "core/log.h"
#include "game/matching.h"

// How levels and games end: losing, finishing a level, the statistics' way on, trying again,
// and the exit dialog that may interrupt any of it.

namespace qs {

void GameSession::lose() {
    Gameplay& g = game_;
    lossDeadline_ = 0;
    emit(GameEvent::kStopBurning);
    emit(GameEvent::kChannelStop, "", kLevelChannel);
    emit(GameEvent::kChannelStop, "", kClimbChannel);
    levelChannelPlaying_ = false;
    state_ = kGameLosing;
    losingSince_ = now_;
    g.sound("sample_game_over");
    if (g.mode == kModePuzzle) {
        // A lost puzzle is tried again from the level it was lost on, with the score it
        // started with.
        saved_.continueFlag = g.level < 5 ? -1 : 0;
        saved_.level = g.level;
        saved_.score = g.score.totalScore - g.score.levelScore;
    } else if (g.level < 5) {
        saved_.continueFlag = -1;
    } else {
        saved_.level = (g.level / 5) * 5;
        saved_.score = 0;
        saved_.continueFlag = 0;
    }
    saveProgress();

    g.gameOver = true;
    // The burst of a lost field collects nothing: a puzzle's crystals falling with it would
    // fill its gauge behind the loss.
    const int crystals = g.score.crystalsCollected;
    const size_t eventsBefore = g.events.size();
    BallGrid& grid = g.grid;
    const int ceiling = grid.rows - 1;
    for (int k = 0; k < BallGrid::kColumns; ++k) {
        const int kind = grid.kindAt(k, ceiling);
        if (kind == kCellEmpty) continue;
        g.particles(isColour(kind) ? kind : kParticleShard, 1, kind, grid.cellX(k, ceiling), grid.cellY(ceiling));
        if (kind == kCellBigBomb) emit(GameEvent::kStopBurning);
        grid.emptyCell(k, ceiling);
    }
    dropUnsupported(g, false);
    grid.updateRowStats();
    g.score.crystalsCollected = crystals;
    g.events.erase(std::remove_if(g.events.begin() + static_cast<std::ptrdiff_t>(eventsBefore), g.events.end(),
                                  [](const GameEvent& e) {
                                      return e.type == GameEvent::kCrystalToCounter ||
                                             (e.type == GameEvent::kSound && std::string(e.name) == "sample_crystal");
                                  }),
                   g.events.end());
    if (g.ball) {
        g.ball.reset();
        emit(GameEvent::kBallGone);
    }
    emit(GameEvent::kGameLost);
}

void GameSession::stepLevelCleared() {
    Gameplay& g = game_;
    if (state_ != kGameLevelCleared) return;
    if (levelChannelPlaying_) {
        emit(GameEvent::kChannelStop, "", kLevelChannel);
        levelChannelPlaying_ = false;
    }
    BallGrid& grid = g.grid;
    grid.ballsClimb();
    grid.updateRowStats();
    const bool clear = grid.lowestRow >= 14;
    if (clear && (g.mode != kModePuzzle || crystalsArrived())) finishLevel();
}

void GameSession::finishLevel() {
    Gameplay& g = game_;
    emit(GameEvent::kChannelStop, "", kClimbChannel);
    gameWon_ = g.level >= g.levelValues.lastLevel;
    if (gameWon_) {
        saved_.continueFlag = -1;
        saved_.level = 1;
        saved_.score = 0;
    } else {
        saved_.continueFlag = 1;
        saved_.level = g.level + 1;
        saved_.score = g.score.totalScore;
        if ((g.level + 1) % 5 == 0 && g.mode != kModePuzzle) saved_.checkpointScore = g.score.totalScore;
    }
    saveProgress();
    state_ = kGameStatistics;
    screenKind_ = kScreenStatistics;
    g.sound("sample_level_complete");
    statisticsKind_ = gameWon_ ? StatisticsKind::kGameWon
                      : g.levelValues.newBonus < 1 ? StatisticsKind::kBestShot
                                                   : StatisticsKind::kNewItem;
    emit(GameEvent::kShowOverlay, "game_stat");
}

void GameSession::openExitDialog() {
    if (state_ != kGamePlaying && state_ != kGameStatistics) return;
    if (state_ == kGameStatistics) statisticsWasLeft_ = true;
    levelChannelWasPlaying_ = levelChannelPlaying_;
    if (levelChannelPlaying_) {
        emit(GameEvent::kChannelStop, "", kLevelChannel);
        levelChannelPlaying_ = false;
    }
    // A loss countdown waits while the player makes up their mind.
    lossHeldMs_ = lossDeadline_ != 0 && !deadlinePassed(now_, lossDeadline_) ? lossDeadline_ - now_ : 0;
    state_ = kGameExitDialog;
    screenKind_ = kScreenExitToMenu;
    emit(GameEvent::kShowOverlay, "exit_to_menu");
}

void GameSession::closeExitDialog() {
    if (state_ != kGameExitDialog) return;
    emit(GameEvent::kHideOverlay, "exit_to_menu");
    if (statisticsWasLeft_) {
        statisticsWasLeft_ = false;
        state_ = kGameStatistics;
        screenKind_ = kScreenStatistics;
        emit(GameEvent::kShowOverlay, "game_stat");
        return;
    }
    state_ = kGamePlaying;
    screenKind_ = kScreenNone;
    if (lossDeadline_ != 0) lossDeadline_ = std::max<uint32_t>(1, now_ + lossHeldMs_);
    if (levelChannelWasPlaying_) {
        emit(GameEvent::kChannelPlay, "sample_balls_down", kLevelChannel);
        levelChannelPlaying_ = true;
    }
}

void GameSession::nextLevel() {
    if (state_ != kGameStatistics) return;
    emit(GameEvent::kHideOverlay, "game_stat");
    resetLevel();
    game_.level += 1;
    saveProgress();
    levelStartRequested_ = true;
    state_ = kGamePlaying;
    screenKind_ = kScreenNone;
}

void GameSession::showTryAgain() {
    state_ = kGameTryAgain;
    screenKind_ = kScreenTryAgain;
    emit(GameEvent::kShowOverlay, "try_again");
}

void GameSession::tryAgain() {
    Gameplay& g = game_;
    emit(GameEvent::kHideOverlay, "try_again");
    if (g.mode != kModePuzzle) {
        if (saved_.level >= 5) {
            saved_.level = (saved_.level / 5) * 5;
            saved_.score = saved_.checkpointScore;
        } else {
            saved_.level = 1;
            saved_.score = 0;
        }
    }
    saved_.continueFlag = 1;
    saveProgress();
    resetLevel();
    g.level = saved_.level;
    g.score.totalScore = saved_.score;
    shownScore_ = saved_.score;
    g.score.levelScore = 0;
    g.score.plainScore = 0;
    levelStartRequested_ = true;
    state_ = kGamePlaying;
    screenKind_ = kScreenNone;
    // A puzzle tried again starts at once: the player has seen its slide-in.
    hurry_ = g.mode == kModePuzzle;
}

void GameSession::saveProgress() {
    if (!progress_.save(game_.mode, saved_)) log_.error("the game's progress could not be saved");
}

}  // namespace qs
