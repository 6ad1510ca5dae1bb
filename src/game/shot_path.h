#pragma once

#include <vector>

#include "game/game_mode.h"

namespace qs {

class BallGrid;

inline constexpr double kMaxAimAngle = 1.1780972450961724645;  // 3 pi / 8
inline constexpr int kPivotX = 384;
inline constexpr int kPivotY = 549;
inline constexpr int kAimLineY = 565;

// The cannon's aim. 0 points straight up; positive turns to the left.
struct AimState {
    double aimAngle = 0;
    double previousAimAngle = 0;
    bool smoothTurn = false;  // while set the cannon turns at most 0.1 radian a frame
    int muzzleX = kPivotX;
    int muzzleY = kPivotY - 100;
    double launchVX = 0;
    double launchVY = -5;
};

// Follows the mouse: only a pointer inside the screen and above the aim line turns the cannon.
void updateAim(AimState& aim, int mouseX, int mouseY, int screenWidth, int screenHeight);
// Points the cannon at an angle directly (clamped), as the mouse would; no smooth turn.
void setAimAngle(AimState& aim, double angle);

struct PathPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PathPoint& o) const { return x == o.x && y == o.y; }
};

// The flight of the next shot: one point per frame, ending on the target cell's centre.
struct ShotPath {
    std::vector<PathPoint> points;
    int targetColumn = -1;  // -1: no cell
    int targetRow = 0;
    int count() const { return static_cast<int>(points.size()); }
    bool hasTarget() const { return targetColumn >= 0; }
};

// Squared centre distance below which a ball in flight touches a ball of the field.
inline constexpr int kHitDistanceSquared = 612;

// True when a ball centred at (x, y) touches an occupied cell of the rows in use.
bool touchesField(const BallGrid& grid, double x, double y);

// Traces a shot from the muzzle in eighth-steps, bouncing off the side walls, to its first
// touch with the field, then picks the empty attached cell it docks in. Returns true when a
// cell was found. Without one the path is empty (the ball flies freely), except for a shot
// that leaves the top of the field outside puzzle mode, which keeps its points.
bool computePath(ShotPath& path, const BallGrid& grid, GameMode mode, int ballStep, double muzzleX,
                 double muzzleY, double launchVX, double launchVY);

}  // namespace qs
