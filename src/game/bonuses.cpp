#include "game/bonuses.h"

#include <algorithm>

#include "core/options.h"
#include "game/gameplay.h"
#include "game/matching.h"
#include "game/nearest.h"

namespace qs {

namespace {

constexpr int kTimed = 1;
constexpr int kInstant = 2;
constexpr int kUpClimbPixels = 30;
constexpr int kMaxRockets = 2;
// In a puzzle the up bonus only lifts the field while the limit plank is below this line.
constexpr int kPlankTopY = 81;

bool validType(int type) { return type >= 1 && type < kBonusTypeCount; }

bool timed(const Gameplay& game, int type) { return game.bonuses.timing[static_cast<size_t>(type)] == kTimed; }

BonusBar* barOf(Gameplay& game, size_t entry) {
    return entry < kBonusSlots ? &game.bonuses.bars[entry] : nullptr;
}

void setBar(Gameplay& game, size_t entry, double x, uint32_t colour) {
    if (BonusBar* bar = barOf(game, entry)) {
        bar->x = x;
        bar->colour = colour;
    }
}

void placeInSlot(Gameplay& game, size_t entry) {
    ActiveBonus& e = game.bonuses.entries[entry];
    e.x = kBonusColumnX;
    e.y = bonusSlotY(static_cast<int>(entry));
    e.vx = e.vy = 0;
    e.state = kBonusWaiting;
    setBar(game, entry, kBarFullX, kBarWaitingColour);
}

// A second entry of a running timed type waits for the first to end, so the two run one
// after the other instead of overlapping. Two climbs of the up bonus queue the same way.
bool mustWait(const Gameplay& game, size_t entry) {
    const std::vector<ActiveBonus>& entries = game.bonuses.entries;
    const int type = entries[entry].type;
    for (size_t j = 0; j < entries.size(); ++j) {
        if (j == entry || entries[j].type != type) continue;
        if (entries[j].state == kBonusRunningTimed) return true;
        if (type == kBonusUp && entries[j].state == kBonusRunningInstant) return true;
    }
    return false;
}

void startEffect(Gameplay& game, int type) {
    switch (type) {
        case kBonusTarget:
            game.sound("sample_bonus_target");
            break;
        case kBonusX2:
            game.score.scoreMultiplier *= 2;
            break;
        case kBonusX4:
            game.score.scoreMultiplier *= 4;
            break;
        case kBonusFreeze:
            game.sound("sample_bonus_freeze");
            break;
        case kBonusNetExpand:
            if (game.net.target == kNetClosed) {
                game.net.target = kNetOpen;
                game.net.direction = -1;
                game.net.nextStep = game.now + kNetStepMs;
            }
            game.sound("sample_bonus_net_expand");
            break;
        case kBonusUp:
            // Near the top of a puzzle the field has no room left to climb.
            if (game.mode != kModePuzzle || game.plankY > kPlankTopY)
                game.pendingClimb += kUpClimbPixels;
            else
                endBonus(game, kBonusUp);
            game.sound("sample_bonus_up");
            break;
        case kBonusPaintRocket: {
            game.queue.rocketCount = std::min(game.queue.rocketCount + 1, kMaxRockets);
            GameEvent e;
            e.type = GameEvent::kQueueChanged;  // the rocket marks sit on the cannon
            game.events.push_back(e);
            break;
        }
        default:
            break;  // the small bomb did its work when its ball was removed
    }
}

void start(Gameplay& game, size_t entry) {
    ActiveBonus& e = game.bonuses.entries[entry];
    const int type = e.type;
    e.startTime = game.now;
    e.deadline = game.now + static_cast<uint32_t>(game.bonuses.duration[static_cast<size_t>(type)]);
    if (timed(game, type)) {
        e.state = kBonusRunningTimed;
    } else {
        e.state = kBonusRunningInstant;
        e.iconVisible = false;
        e.fresh = true;
        // Its icon is gone, so the slot shows no bar either.
        setBar(game, entry, kBarEmptyX, kBarWaitingColour);
    }
    game.bonuses.active[static_cast<size_t>(type)] = true;
    startEffect(game, type);
}

void fly(Gameplay& game, size_t entry) {
    ActiveBonus& e = game.bonuses.entries[entry];
    game.particles(kParticleBonusTrail, 1, e.iconKind, e.x, e.y);
    e.x += e.vx;
    e.y += e.vy;
    // Counting the updates rather than comparing x lands it on exactly the fiftieth,
    // whatever the rounding of the steps.
    if (++e.flightSteps >= kBonusFlightSteps) placeInSlot(game, entry);
}

}  // namespace

void initBonusTable(Gameplay& game) {
    BonusState& b = game.bonuses;
    const GameOptions& o = game.options;
    b.duration.fill(0);
    b.timing.fill(kInstant);
    auto setTimed = [&](int type, int seconds) {
        b.timing[static_cast<size_t>(type)] = kTimed;
        b.duration[static_cast<size_t>(type)] = std::max(seconds, 0) * 1000;
    };
    setTimed(kBonusTarget, o.bonus_target_time);
    setTimed(kBonusFreeze, o.bonus_freeze_time);
    setTimed(kBonusNetExpand, o.bonus_inc_width_time);
}

void resetBonuses(Gameplay& game) {
    BonusState& b = game.bonuses;
    b.entries.assign(kBonusSlots, ActiveBonus{});
    b.active.fill(false);
    b.bars.fill(BonusBar{});
    game.score.scoreMultiplier = 1;
    game.queue.rocketCount = 0;
    game.rockets.clear();
    game.bonusesLocked = false;
}

void releaseBonus(Gameplay& game, int type, int kind, double x, double y) {
    if (game.bonusesLocked || !validType(type)) return;
    switch (type) {
        case kBonusX2: game.sound("sample_bonus_x2"); break;
        case kBonusX4: game.sound("sample_bonus_x4"); break;
        case kBonusSmallBomb: game.sound("sample_bonus_small_bomb"); break;
        case kBonusPaintRocket: game.sound("sample_bonus_paint_rocket"); break;
        default: break;
    }

    std::vector<ActiveBonus>& entries = game.bonuses.entries;
    size_t i = 0;
    while (i < entries.size() && entries[i].type != -1) ++i;
    if (i == entries.size()) entries.emplace_back();
    ActiveBonus& e = entries[i];
    e = ActiveBonus{};
    e.type = type;
    e.state = kBonusWaiting;
    // Beyond the sixth slot there is no room in the column: such an entry waits and takes
    // effect unseen.
    if (i >= kBonusSlots) return;

    e.hasIcon = true;
    e.iconVisible = true;
    e.iconKind = isColour(kind) ? kind : 0;
    if (!timed(game, type)) {
        placeInSlot(game, i);
        return;
    }
    e.state = kBonusFlying;
    e.x = x;
    e.y = y;
    e.vx = (kBonusColumnX - x) / kBonusFlightSteps;
    e.vy = (bonusSlotY(static_cast<int>(i)) - y) / kBonusFlightSteps;
    game.sound("sample_flying_bonus");
}

void updateBonuses(Gameplay& game) {
    std::vector<ActiveBonus>& entries = game.bonuses.entries;
    // The four steps run in turn for each entry, so an icon that lands starts at once and a
    // timed bonus of no duration ends in the update that starts it.
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].state == kBonusFlying && entries[i].hasIcon) fly(game, i);

        if (entries[i].state == kBonusWaiting && !mustWait(game, i)) start(game, i);

        ActiveBonus& e = entries[i];
        if (e.state == kBonusRunningTimed) {
            if (game.now >= e.deadline) {
                endBonus(game, e.type);
            } else {
                const double duration = game.bonuses.duration[static_cast<size_t>(e.type)];
                setBar(game, i, (e.deadline - game.now) * 29 / duration + kBarEmptyX, kBarRunningColour);
            }
        } else if (e.state == kBonusRunningInstant) {
            if (e.type == kBonusUp) {
                if (game.pendingClimb <= 0) endBonus(game, kBonusUp);
            } else if (e.fresh) {
                e.fresh = false;
            } else {
                endBonus(game, e.type);
            }
        }
    }
}

void endBonus(Gameplay& game, int type) {
    if (!validType(type)) return;
    BonusState& b = game.bonuses;
    for (size_t i = 0; i < b.entries.size(); ++i) {
        ActiveBonus& e = b.entries[i];
        if (e.type != type || (e.state != kBonusRunningTimed && e.state != kBonusRunningInstant)) continue;
        e = ActiveBonus{};
        if (BonusBar* bar = barOf(game, i)) bar->x = kBarEmptyX;
    }
    // The view takes the cursor frame from the target flag and the session stops the descent
    // on the freeze flag; only the net has to be turned round here.
    if (type == kBonusNetExpand && game.net.target == kNetOpen) {
        game.net.target = kNetClosed;
        game.net.direction = 1;
        game.net.nextStep = game.now + kNetStepMs;
    }
    b.active[static_cast<size_t>(type)] = false;
}

void endAllBonuses(Gameplay& game) {
    for (int type = 1; type < kBonusTypeCount; ++type) endBonus(game, type);
    // Icons still flying or waiting are dropped without effect.
    game.bonuses.entries.assign(kBonusSlots, ActiveBonus{});
    for (BonusBar& bar : game.bonuses.bars) bar.x = kBarEmptyX;
}

void resetNet(Gameplay& game) {
    NetState& net = game.net;
    net.frame = 0;
    net.target = kNetClosed;
    net.direction = 1;
    net.nextStep = game.now + kNetStepMs;
    game.grid.netMargin = nearest(2.0 * net.frame / kNetClosed);
}

bool stepNet(Gameplay& game) {
    NetState& net = game.net;
    if (net.direction == 0 || game.ball || game.now < net.nextStep) return false;
    if (net.frame == net.target) {
        net.direction = 0;
        return false;
    }
    net.frame += net.target > net.frame ? 1 : -1;
    if (net.frame == net.target) net.direction = 0;
    net.nextStep += kNetStepMs;
    // After a pause (a ball in flight holds the net) the steps resume at their own pace
    // instead of catching up all at once.
    if (net.nextStep <= game.now) net.nextStep = game.now + kNetStepMs;

    BallGrid& grid = game.grid;
    grid.netMargin = nearest(2.0 * net.frame / kNetClosed);

    int cut = 0;
    const int top = std::min(grid.rows - 1, static_cast<int>(BallGrid::kLastRow));
    for (int r = BallGrid::kFirstRow; r <= top; ++r) {
        for (int k = 0; k < BallGrid::kColumns; ++k) {
            if (!grid.occupied(k, r) || grid.playable(k, r)) continue;
            removeCell(game, k, r, true);
            ++cut;
        }
    }
    if (cut > 0) {
        // A small bomb cut off by the net goes alone: the neighbours it marked stay, and
        // their marks must not reach the attachment walk.
        grid.clearMarks(BallGrid::kFirstRow, BallGrid::kLastRow);
        const int dropped = dropUnsupported(game, true);
        praise(game, dropped, PraiseFor::kDrop);
        grid.updateRowStats();
    }
    return true;
}

}  // namespace qs
