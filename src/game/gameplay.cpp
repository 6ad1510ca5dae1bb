#include "game/gameplay.h"

#include "core/log.h"
#include "core/options.h"
#include "core/random.h"

namespace qs {

void Gameplay::sound(const char* name) {
    GameEvent e;
    e.type = GameEvent::kSound;
    e.name = name;
    events.push_back(std::move(e));
}

void Gameplay::particles(int type, int count, int kind, double x, double y, bool shards) {
    GameEvent e;
    e.type = GameEvent::kParticles;
    e.particle = type;
    e.count = count;
    e.kind = kind;
    e.x = x;
    e.y = y;
    e.shards = shards;
    events.push_back(std::move(e));
}

void Gameplay::copyPlayFrom(const Gameplay& other) {
    mode = other.mode;
    level = other.level;
    now = other.now;
    GridView* view = grid.view();
    grid = other.grid;
    grid.setView(view);
    levelValues = other.levelValues;
    aim = other.aim;
    path = other.path;
    ball = other.ball;
    score = other.score;
    queue = other.queue;
    bonuses = other.bonuses;
    net = other.net;
    rockets = other.rockets;
    bombDeadline = other.bombDeadline;
    pendingClimb = other.pendingClimb;
    plankY = other.plankY;
    bonusesLocked = other.bonusesLocked;
    overlayUp = other.overlayUp;
    gameOver = other.gameOver;
    lastPraise = other.lastPraise;
    events = other.events;
}

void Gameplay::updatePath() {
    computePath(path, grid, mode, options.ball_step, aim.muzzleX, aim.muzzleY, aim.launchVX, aim.launchVY);
}

void Gameplay::stepShot() {
    if (ball) stepShotBall(*this);
    if (!ball) updatePath();
}

bool startLevel(Gameplay& game, const FileSystem& files, Log& log) {
    ScoreState& s = game.score;
    s.comboCount = 0;
    s.matchRun = 0;
    s.scoreMultiplier = 1;
    s.levelScore = 0;
    s.plainScore = 0;
    s.crystalsCollected = 0;
    s.scoreGauge = game.mode == kModeChallenge ? 166.5 : 0;
    game.ball.reset();
    game.path = ShotPath{};

    BallGrid& grid = game.grid;
    grid.resetForLevel(game.mode);
    grid.configure(game.mode, game.options);
    if (game.mode == kModePuzzle) {
        if (!ReadPuzzleLevel(files, log, levelFileName(kModePuzzle, game.level), game.level,
                             game.levelValues, grid))
            return false;
    } else {
        if (!ReadArcadeLevel(files, log, game.mode, game.level, game.levelValues, grid)) return false;
        grid.setArcadeWidths();
        grid.fillInitialRows(game.random);
    }
    grid.newRowToggle = 0;
    grid.updateRowStats();
    return true;
}

int fastDropStartRow(const Gameplay& game, int rowsAtLevelStart) {
    switch (game.mode) {
        case kModeArcade: return 8;
        case kModeChallenge: return 5;
        case kModePuzzle: return 12 - rowsAtLevelStart;
    }
    return 8;
}

}  // namespace qs
