#include "game/shot_path.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "game/ball_grid.h"
#include "game/nearest.h"

namespace qs {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTurnPerFrame = 0.1;
constexpr double kNoPoint = 9999999999.0;
constexpr double kTopOfFlight = -2700;
// Candidates farther than this (squared) from a path point are not taken for it.
constexpr int kCandidateReachSquared = 1700;
// A trace that has not left the field after this many sub-steps is cut; with the clamped
// aim a real shot needs a few ten thousand at most.
constexpr long kMaxSubSteps = 4000000;

void applyAim(AimState& aim) {
    aim.aimAngle = std::clamp(aim.aimAngle, -kMaxAimAngle, kMaxAimAngle);
    aim.previousAimAngle = aim.aimAngle;
    const double direction = -aim.aimAngle - kPi / 2;
    aim.muzzleX = kPivotX + nearest(100 * std::cos(direction));
    aim.muzzleY = kPivotY + nearest(100 * std::sin(direction));
    aim.launchVX = 5 * std::cos(direction);
    aim.launchVY = 5 * std::sin(direction);
}

// Occupied columns of each row in use, one bit a column, taken once per trace: the grid
// cannot change while a path is traced, and most of the window the test looks at is empty.
struct OccupancyMask {
    explicit OccupancyMask(const BallGrid& grid) {
        const int top = std::min(grid.rows - 1, static_cast<int>(BallGrid::kLastRow));
        for (int r = BallGrid::kFirstRow; r <= top; ++r) {
            uint16_t bits = 0;
            for (int k = 0; k < BallGrid::kColumns; ++k)
                if (grid.occupied(k, r)) bits = static_cast<uint16_t>(bits | (1u << k));
            rows[r + 1] = bits;
        }
    }
    uint16_t row(int r) const { return rows[r + 1]; }
    uint16_t rows[BallGrid::kRowCount] = {};
};

bool touches(const BallGrid& grid, const OccupancyMask* mask, double x, double y) {
    const int h = nearest((grid.baseY + grid.scroll - y - 15) / 30);
    const int k = nearest((x - 145) / 34);
    const int lastRow = std::min(std::min(h + 3, grid.rows - 1), static_cast<int>(BallGrid::kLastRow));
    const int firstRow = std::max(std::min(std::max(h - 3, -1), grid.rows - 1), static_cast<int>(BallGrid::kFirstRow));
    const int firstColumn = std::max(k - 3, 0);
    const int lastColumn = std::min(k + 3, BallGrid::kColumns - 1);
    if (firstColumn > lastColumn) return false;
    const unsigned window = ((1u << (lastColumn + 1)) - 1) & ~((1u << firstColumn) - 1);
    for (int r = firstRow; r <= lastRow; ++r) {
        unsigned bits = window;
        if (mask) bits &= mask->row(r);
        if (bits == 0) continue;
        const double dy = grid.cellY(r) - y;
        for (int c = firstColumn; c <= lastColumn; ++c) {
            if (!(bits & (1u << c)) || !grid.occupied(c, r)) continue;
            const double dx = grid.cellX(c, r) - x;
            if (dx * dx + dy * dy < kHitDistanceSquared) return true;
        }
    }
    return false;
}

}  // namespace

bool touchesField(const BallGrid& grid, double x, double y) { return touches(grid, nullptr, x, y); }

namespace {

// A ball may only dock where it hangs on something: the ceiling, a ball above, or failing
// that a ball below or beside it.
bool attached(const BallGrid& grid, GameMode mode, int k, int l) {
    if (l == BallGrid::kLastRow || (mode == kModePuzzle && l == grid.rows - 1)) return true;
    const int d = grid.rowWidth(l) == 12 ? k - 1 : k;
    if (grid.occupied(d, l + 1) || grid.occupied(d + 1, l + 1)) return true;
    if (l > 0 && (grid.occupied(d, l - 1) || grid.occupied(d + 1, l - 1))) return true;
    if (k > 0 && grid.occupied(k - 1, l)) return true;
    if (k < BallGrid::kColumns - 1 && grid.occupied(k + 1, l)) return true;
    return false;
}

}  // namespace

void updateAim(AimState& aim, int mouseX, int mouseY, int screenWidth, int screenHeight) {
    const bool inside = mouseX >= 0 && mouseX < screenWidth && mouseY >= 0 && mouseY < screenHeight;
    if (inside && mouseY < kAimLineY)
        aim.aimAngle = std::atan(static_cast<double>(mouseX - screenWidth / 2) / (mouseY - kAimLineY));
    if (aim.smoothTurn) {
        const double difference = aim.aimAngle - aim.previousAimAngle;
        if (std::fabs(difference) <= kTurnPerFrame)
            aim.smoothTurn = false;
        else
            aim.aimAngle = aim.previousAimAngle + (difference > 0 ? kTurnPerFrame : -kTurnPerFrame);
    }
    applyAim(aim);
}

void setAimAngle(AimState& aim, double angle) {
    aim.aimAngle = std::isfinite(angle) ? angle : 0;
    applyAim(aim);
}

bool computePath(ShotPath& path, const BallGrid& grid, GameMode mode, int ballStep, double muzzleX,
                 double muzzleY, double launchVX, double launchVY) {
    std::vector<PathPoint>& points = path.points;
    points.clear();
    path.targetColumn = -1;
    path.targetRow = 0;
    const double dy = launchVY / 8;
    double dx = launchVX / 8;
    if (!(dy < 0) || !std::isfinite(dx)) return false;

    const double stepSquared = static_cast<double>(ballStep) * ballStep;
    const double leftWall = 120 + 34 * grid.netMargin;
    const double rightWall = 647 - 34 * grid.netMargin;
    // The ball only rises: once it is farther above the ceiling row than a touch reaches,
    // nothing can stop it any more and the collision test can be left out.
    const OccupancyMask mask(grid);
    const double lastTouchY = grid.cellY(std::min(grid.rows - 1, static_cast<int>(BallGrid::kLastRow))) -
                              std::sqrt(static_cast<double>(kHitDistanceSquared)) - 1;
    double x = muzzleX;
    double y = muzzleY;
    double lastX = kNoPoint;
    double lastY = kNoPoint;
    bool bounced = false;
    for (long subStep = 0; subStep < kMaxSubSteps; ++subStep) {
        const double fromLastX = x - lastX;
        const double fromLastY = y - lastY;
        if (fromLastX * fromLastX + fromLastY * fromLastY >= stepSquared) {
            if (points.capacity() == points.size()) points.reserve(points.size() + 256);
            points.push_back({nearest(x), nearest(y)});
            lastX = points.back().x;
            lastY = points.back().y;
        }
        const double newY = y + dy;
        if (newY < kTopOfFlight) break;
        const double newX = x + dx;
        if (newX < leftWall || newX > rightWall) {
            // Two bounces in a row: the walls leave no room (only a broken net margin or a
            // muzzle outside the walls does that); the trace ends where it is.
            if (bounced) break;
            dx = -dx;
            bounced = true;
            continue;
        }
        bounced = false;
        if (newY >= lastTouchY && touches(grid, &mask, newX, newY)) break;
        x = newX;
        y = newY;
    }

    const double lastFreeY = y;
    int w = std::max(nearest((grid.baseY + grid.scroll - lastFreeY - 15) / 30), -1);
    if (w > BallGrid::kLastRow) {
        if (mode != kModePuzzle) return false;  // the ball leaves over the top along its points
        w = grid.rows - 1;
    }
    const int shifted = grid.rowWidth(w) == 11 ? 1 : 0;

    int targetColumn = -1;
    int targetRow = 0;
    for (int i = static_cast<int>(points.size()) - 1; i >= 0 && targetColumn < 0; --i) {
        const PathPoint p = points[static_cast<size_t>(i)];
        const int estimate = nearest((p.x - 145 - 17 * shifted) / 34.0);
        int best = kCandidateReachSquared;
        for (int k = estimate - 2; k <= estimate + 2; ++k) {
            for (int l = w; l <= w + 2; ++l) {
                if (!BallGrid::inside(k, l) || !grid.playable(k, l)) continue;
                if (mode == kModePuzzle && l >= grid.rows) continue;
                if (w < grid.rows - 1 && lastFreeY - grid.cellY(l) > 25) continue;
                if (grid.occupied(k, l) || !attached(grid, mode, k, l)) continue;
                const int ddx = grid.cellX(k, l) - p.x;
                const int ddy = grid.cellY(l) - p.y;
                const int distance = ddx * ddx + ddy * ddy;
                if (distance < best) {
                    best = distance;
                    targetColumn = k;
                    targetRow = l;
                }
            }
        }
    }
    if (targetColumn < 0) {
        points.clear();
        return false;
    }

    path.targetColumn = targetColumn;
    path.targetRow = targetRow;
    const int centreY = grid.cellY(targetRow);
    while (!points.empty() && points.back().y < centreY) points.pop_back();
    points.push_back({grid.cellX(targetColumn, targetRow), centreY});
    return true;
}

}  // namespace qs
