#pragma once

#include <optional>
#include <string>
#include <vector>

#include "game/ball_grid.h"
#include "game/ball_queue.h"
#include "game/bonuses.h"
#include "game/game_events.h"
#include "game/game_mode.h"
#include "game/level_files.h"
#include "game/paint_rocket.h"
#include "game/scoring.h"
#include "game/shot_ball.h"
#include "game/shot_path.h"

namespace qs {

struct ComboText;
struct GameOptions;
class FileSystem;
class Log;
class Random;

// The playfield under the screen: grid, aim, path, ball in flight and scores as plain data.
// It owns no sprite, sound or clock; what must be shown or played is appended to `events`,
// and the cell objects follow the grid through its GridView.
struct Gameplay {
    Gameplay(const GameOptions& options, const std::vector<ComboText>& combos, Random& random)
        : options(options), combos(combos), random(random) {}

    const GameOptions& options;
    const std::vector<ComboText>& combos;
    Random& random;

    GameMode mode = kModeArcade;
    int level = 1;
    // The game clock (ms) of the step being played: every deadline compares with it.
    uint32_t now = 0;
    BallGrid grid;
    LevelValues levelValues;
    AimState aim;
    ShotPath path;
    std::optional<ShotBall> ball;
    ScoreState score;
    BallQueue queue;
    BonusState bonuses;
    NetState net;
    std::vector<PaintRocket> rockets;
    uint32_t bombDeadline = 0;  // 0: no bomb waits to go off
    int pendingClimb = 0;       // pixels the up bonus still lifts the field
    // The puzzle's limit plank: its y moves with the field (it starts each level at -279).
    int plankY = -279;
    // Set once the level is complete: the balls of the climb-out still leave the grid, but
    // the bonuses they carry no longer count. A level start clears it.
    bool bonusesLocked = false;
    bool overlayUp = false;  // a dialog or statistics screen covers the field
    bool gameOver = false;
    int lastPraise = -1;     // the praise sample played last (0..2), never played twice in a row
    EventList events;

    void sound(const char* name);
    void particles(int type, int count, int kind, double x, double y, bool shards = false);

    // Takes every value of `other` (field, aim, ball, scores, queue, bonuses, timers) but keeps
    // its own options, combos, generator and the grid's view: a copy of the play that can go
    // its own way. A value added to this struct goes there too.
    void copyPlayFrom(const Gameplay& other);

    // Recomputes the path from the aim (while no ball is in flight).
    void updatePath();
    // One frame of the shot: the ball in flight moves (and may dock), or the path follows
    // the aim when nothing flies.
    void stepShot();
};

// The plain part of a level start: scores and counters of the level cleared, the grid
// emptied, the level file read, row widths set and, in arcade and challenge, the top rows
// filled. False (logged) when the level file cannot be used.
bool startLevel(Gameplay& game, const FileSystem& files, Log& log);

// Row the fast drop at level start waits for: arcade 8, challenge 5, puzzle 12 minus the
// rows of the level.
int fastDropStartRow(const Gameplay& game, int rowsAtLevelStart);

}  // namespace qs
