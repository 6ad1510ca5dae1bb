#include <algorithm>
#include <string>

#include "core/clock.h"
#include "core/log.h"
#include "game/game_session.h"
#include "game/matching.h"

// How levels and games end: losing, finishing a level, the statistics' way on, trying again,
// and the exit dialog that may interrupt any of it.

namespace qs {

void GameSession::lose() {
    Gameplay& g = game_;
    play_.lossDeadline = 0;
    emit(GameEvent::kStopBurning);
    emit(GameEvent::kChannelStop, "", kLevelChannel);
    emit(GameEvent::kChannelStop, "", kClimbChannel);
    play_.levelChannelPlaying = false;
    play_.state = kGameLosing;
    play_.losingSince = play_.now;
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
    if (play_.state != kGameLevelCleared) return;
    if (play_.levelChannelPlaying) {
        emit(GameEvent::kChannelStop, "", kLevelChannel);
        play_.levelChannelPlaying = false;
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
    play_.gameWon = g.level >= g.levelValues.lastLevel;
    if (play_.gameWon) {
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
    play_.state = kGameStatistics;
    g.sound("sample_level_complete");
    play_.statisticsKind = play_.gameWon ? StatisticsKind::kGameWon
                      : g.levelValues.newBonus < 1 ? StatisticsKind::kBestShot
                                                   : StatisticsKind::kNewItem;
    emitOverlay(GameEvent::kShowOverlay, Overlay::kStatistics);
}

void GameSession::openExitDialog() {
    if (play_.state != kGamePlaying && play_.state != kGameStatistics) return;
    if (play_.state == kGameStatistics) play_.statisticsWasLeft = true;
    play_.levelChannelWasPlaying = play_.levelChannelPlaying;
    if (play_.levelChannelPlaying) {
        emit(GameEvent::kChannelStop, "", kLevelChannel);
        play_.levelChannelPlaying = false;
    }
    // A loss countdown waits while the player makes up their mind.
    play_.lossHeldMs = play_.lossDeadline != 0 && !deadlinePassed(play_.now, play_.lossDeadline) ? play_.lossDeadline - play_.now : 0;
    play_.state = kGameExitDialog;
    emitOverlay(GameEvent::kShowOverlay, Overlay::kExitToMenu);
}

void GameSession::closeExitDialog() {
    if (play_.state != kGameExitDialog) return;
    emitOverlay(GameEvent::kHideOverlay, Overlay::kExitToMenu);
    if (play_.statisticsWasLeft) {
        play_.statisticsWasLeft = false;
        play_.state = kGameStatistics;
        emitOverlay(GameEvent::kShowOverlay, Overlay::kStatistics);
        return;
    }
    play_.state = kGamePlaying;
    if (play_.lossDeadline != 0) play_.lossDeadline = std::max<uint32_t>(1, play_.now + play_.lossHeldMs);
    if (play_.levelChannelWasPlaying) {
        emit(GameEvent::kChannelPlay, "sample_balls_down", kLevelChannel);
        play_.levelChannelPlaying = true;
    }
}

void GameSession::nextLevel() {
    if (play_.state != kGameStatistics) return;
    emitOverlay(GameEvent::kHideOverlay, Overlay::kStatistics);
    resetLevel();
    game_.level += 1;
    saveProgress();
    play_.levelStartRequested = true;
    play_.state = kGamePlaying;
}

void GameSession::showTryAgain() {
    play_.state = kGameTryAgain;
    emitOverlay(GameEvent::kShowOverlay, Overlay::kTryAgain);
}

void GameSession::tryAgain() {
    Gameplay& g = game_;
    emitOverlay(GameEvent::kHideOverlay, Overlay::kTryAgain);
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
    play_.shownScore = saved_.score;
    g.score.levelScore = 0;
    g.score.plainScore = 0;
    play_.levelStartRequested = true;
    play_.state = kGamePlaying;
    // A puzzle tried again starts at once: the player has seen its slide-in.
    play_.hurry = g.mode == kModePuzzle;
}

void GameSession::saveProgress() {
    if (!progress_.save(game_.mode, saved_)) log_.error("the game's progress could not be saved");
}

}  // namespace qs
