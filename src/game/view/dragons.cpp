#include "game/view/dragons.h"

#include <algorithm>
#include <cmath>

#include "core/clock.h"
#include "game/game_session.h"
#include "scene/scene_object_list.h"
#include "ui/scene_services.h"
#include "visual/multisprite.h"

namespace qs {

namespace {

constexpr uint32_t kMoodMs = 1000;
constexpr uint32_t kRestMs = 500;
constexpr double kStrideX = 0.2;
constexpr int kRisingLayer = 3;

// One axis towards its target, never past it.
double approach(double value, double target, double speed) {
    return value < target ? std::min(target, value + speed) : std::max(target, value - speed);
}

}  // namespace

Dragons::Dragons(SceneServices& ctx, int blueSlot, int greenSlot) : ctx_(ctx) {
    dragons_[0].slot = blueSlot;
    dragons_[1].slot = greenSlot;
    for (Dragon& dragon : dragons_) {
        if (TMultiSprite* object = ctx_.sceneObjects->at(dragon.slot)) {
            dragon.y = dragon.targetY = object->y;
        }
    }
    if (TMultiSprite* blue = ctx_.sceneObjects->at(blueSlot)) dragons_[0].x = dragons_[0].targetX = blue->x;
    if (TMultiSprite* green = ctx_.sceneObjects->at(greenSlot)) dragons_[1].x = dragons_[1].targetX = 700 - green->x;
}

double clearOfCaption(double y, bool blue) {
    constexpr double kHeight = 150, kHeadroom = 9;  // the art's empty rows above the head
    constexpr double kLowest = 600 - kHeight;
    // The captions' rows in the panel art, with their glow.
    const double captionTop = blue ? 331 : 210, captionBottom = blue ? 348 : 226;
    if (y + kHeight > captionTop && y + kHeadroom < captionBottom)
        y = blue ? captionTop - kHeight : captionBottom - kHeadroom;
    return std::min(y, kLowest);
}

void Dragons::start(uint32_t now) {
    dragons_[0].moving = dragons_[1].moving = false;
    dragons_[0].nextMove = now + 500;
    dragons_[1].nextMove = now + 700;
}

void Dragons::setMood(Mood mood) {
    for (Dragon& dragon : dragons_) dragon.wanted = mood;
}

void Dragons::update(uint32_t now, const GameSession& session) {
    const bool sad = session.dragonsSad();
    for (size_t i = 0; i < dragons_.size(); ++i) {
        move(dragons_[i], i == 0, now, session);
        show(dragons_[i], sad, now);
    }
}

void Dragons::move(Dragon& dragon, bool blue, uint32_t now, const GameSession& session) {
    TMultiSprite* object = ctx_.sceneObjects->at(dragon.slot);
    const bool farX = std::fabs(dragon.x - dragon.targetX) > 1;
    const bool farY = std::fabs(dragon.y - dragon.targetY) > 1;
    if (dragon.moving) {
        bool rising = false;
        if (farX || farY) {
            if (farX) dragon.x = approach(dragon.x, dragon.targetX, kStrideX);
            if (farY) {
                rising = dragon.y > dragon.targetY;
                dragon.y = approach(dragon.y, dragon.targetY, rising ? dragon.riseSpeed : dragon.descentSpeed);
            }
        } else {
            dragon.x = dragon.targetX;
            dragon.y = dragon.targetY;
            dragon.moving = false;
            dragon.nextMove = now + kRestMs;
        }
        if (object && object->sprites.size() > kRisingLayer) object->sprites[kRisingLayer]->visible = rising;
    } else if (deadlinePassed(now, dragon.nextMove)) {
        const int lowest = session.game().grid.lowestRow;
        const double top = lowest >= 1000 ? 200 : std::max(440.0 - 30.0 * lowest, 200.0);
        dragon.targetX = ctx_.random.below(50);
        dragon.targetY = top + ctx_.random.below(50);
        dragon.descentSpeed = 0.4;
        dragon.riseSpeed = 0.8;
        if (blue && session.state() == kGamePlaying) {
            // Keep the blue dragon's tail off the bonus icons.
            const auto& entries = session.game().bonuses.entries;
            for (size_t j = 0; j < entries.size() && j < 6; ++j) {
                if (!entries[j].hasIcon || entries[j].type <= 0) continue;
                if (dragon.targetY + 150 > 545 - 39.0 * j) {
                    dragon.targetY = 395 - 39.0 * j;
                    dragon.riseSpeed = 1.6;
                }
            }
        }
        dragon.targetY = clearOfCaption(dragon.targetY, blue);
        dragon.moving = true;
    }
    if (object) {
        object->x = blue ? dragon.x : 700 - dragon.x;
        object->y = dragon.y;
    }
}

void Dragons::show(Dragon& dragon, bool sad, uint32_t now) {
    int want = sad ? kSad : dragon.wanted;
    if (want == dragon.shown) {
        // Asked again while it shows: it keeps the mood a while longer.
        if (want != kIdle) dragon.moodUntil = now + kMoodMs;
        dragon.wanted = kIdle;
        return;
    }
    if (!deadlinePassed(now, dragon.moodUntil)) return;
    if (want == kIdle && dragon.shown == kIdle) return;
    dragon.shown = want;
    dragon.wanted = kIdle;
    dragon.moodUntil = now + kMoodMs;
    if (TMultiSprite* object = ctx_.sceneObjects->at(dragon.slot)) object->SelectGroupPart(0, dragon.shown);
}

}  // namespace qs
