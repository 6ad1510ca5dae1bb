#include "game/view/game_zone.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "game/game_session.h"
#include "game/nearest.h"
#include "game/view/cell_art.h"
#include "game/view/field_view.h"
#include "scene/location_map.h"
#include "scene/scene_object_list.h"
#include "scene/text_objects.h"
#include "ui/scene_services.h"

namespace qs {

namespace {

constexpr const char* kDigitFont = "graphics\\fonts\\font_crystal1.spr";
constexpr int kCoverCount = 42;
constexpr double kUnset = -1e9;
constexpr double kMarkRecoil = 10;  // 45 pixels out instead of 35
// Widths the limit plank loses per net frame: the plank follows the opening net.
constexpr int kPlankTable[12] = {1, 22, 30, 48, 59, 69, 77, 84, 89, 93, 95, 96};

void showFrame(TMultiSprite* object, int layer, int frame) {
    if (!object || layer >= static_cast<int>(object->sprites.size())) return;
    object->sprites[static_cast<size_t>(layer)]->animPos = frame;
    object->sprites[static_cast<size_t>(layer)]->animSpeed = 0;
}

}  // namespace

GameZone::~GameZone() { clear(); }

TMultiSprite* GameZone::object(int slot) const { return ctx_.sceneObjects->at(slot); }

int GameZone::find(const std::string& name, int occurrence) const {
    const int slot = ctx_.sceneObjects->FindSceneObject(name, occurrence, "main");
    if (slot < 0) ctx_.log.error("main.map has no object \"" + name + "\"");
    return slot;
}

void GameZone::build() {
    SceneObjectList& objects = *ctx_.sceneObjects;
    load_location_map(*ctx_.sceneObjects, "main.map");
    canonIntro_ = find("canon1");
    canon_ = find("canon2");
    nextBall_ = find("next_ball");
    laser_ = find("laser");
    netLeft_ = find("net_left");
    netRight_ = find("net_right");
    menuButton_ = find("panel_menu_mini");
    levelPanel_ = find("tablo_level");
    dragonBlue_ = find("dragon_blue");
    dragonGreen_ = find("dragon_green");
    for (int i = 0; i < 6; ++i) bonusBars_[static_cast<size_t>(i)] = find("poloska_bonus", 5 - i);
    pushBar_ = find("poloska_ballsdown");
    if (TMultiSprite* bar = object(pushBar_)) {
        bar->visible = 0;
        pushBarWidth_ = std::max(1, bar->width);
    }
    if (TMultiSprite* canon = object(canon_)) {
        canon->visible = 0;
        canon->rot_center_x = 45.5;
        canon->rot_center_y = 94.5;
    }

    for (int i = 0; i < 5; ++i) {
        TMultiSprite& digit = objects.create(kDigitFont);
        digit.tag = "font_score";
        digit.x = 674 + 16 * i;
        digit.y = 164;
        digit.color = 0x32FA32;
        digit.visible = 0;
        showFrame(&digit, 0, 0);
        digits_[static_cast<size_t>(i)] = digit.slot;
    }
    TMultiSprite& gauge = objects.create("graphics\\elements_gamezone\\poloska.spr");
    gauge.tag = "poloska";
    gauge.x = 233;
    gauge.y = 69;
    gauge_ = gauge.slot;
    covers_.clear();
    for (int i = 0; i < kCoverCount; ++i) {
        TMultiSprite& cover = objects.create("graphics\\elements_gamezone\\poloska_over.spr");
        cover.tag = "poloska";
        cover.x = 233 + 8 * i;
        cover.y = 66;
        covers_.push_back(cover.slot);
    }
}

void GameZone::clear() {
    SceneObjectList& objects = *ctx_.sceneObjects;
    for (int* slot : {&cannonBall_, &marker_, &plank_}) {
        if (*slot >= 0) objects.free(*slot);
        *slot = -1;
    }
    for (std::vector<int>* list : {&icons_, &rockets_, &crystals_}) {
        for (int slot : *list)
            if (slot >= 0) objects.free(slot);
        list->clear();
    }
    iconTypes_.clear();
    cannonBallKind_ = -1;
    shownLevel_ = -1;
}

void GameZone::showModePanel(int mode, const std::string& bestScore) {
    SceneObjectList& objects = *ctx_.sceneObjects;
    objects.unload_by_tag("mode_panel");
    const char* word = mode == kModeChallenge ? "CHALLENGE" : mode == kModePuzzle ? "PUZZLE" : "ARCADE";
    // Above the blue dragon's head: it never stands higher than row 181.
    create_txt(*ctx_.sceneObjects, word, 300, kDigitFont, 60, 108, 0.8, 0xFFD257, "mode_panel", 2);
    create_txt(*ctx_.sceneObjects, "BEST", 300, kDigitFont, 60, 130, 0.7, 0x9DB8EA, "mode_panel", 2);
    create_txt(*ctx_.sceneObjects, bestScore.empty() ? "-" : bestScore, 300, kDigitFont, 60, 147, 0.8, 0x32FA32, "mode_panel", 2);
    objects.SetVisibleByTag("mode_panel", !hidden_);
}

void GameZone::setHidden(bool hidden) {
    hidden_ = hidden;
    for (const char* tag : {"main", "font_score", "font_level", "poloska", "planka", "bonus_icon", "cannon_ball",
                            "crystal_st", "trasser", "rocket", "mode_panel"})
        ctx_.sceneObjects->SetVisibleByTag(tag, !hidden);
}

void GameZone::update(const GameSession& session) {
    if (hidden_) return;
    updateCannon(session);
    updateScore(session);
    updateGauge(session);
    updateLevel(session);
    updateBonusColumn(session);
    updateField(session);
}

void GameZone::updateCannon(const GameSession& session) {
    const Gameplay& g = session.game();
    const bool ready = session.cannonReady();
    const bool playing = session.state() == kGamePlaying && !session.levelStartPending();
    if (TMultiSprite* intro = object(canonIntro_)) {
        intro->visible = !ready && session.state() != kGameLevelCleared;
        showFrame(intro, 0, std::min(session.cannonIntroFrame(), GameSession::kCannonIntroFrames));
    }
    const bool cannonShown = ready && (playing || session.state() == kGameExitDialog);
    if (TMultiSprite* canon = object(canon_)) {
        canon->visible = cannonShown;
        // Quads turn counter-clockwise for a positive angle, as the aim does.
        canon->angle = g.aim.aimAngle;
        // The rocket marks: one layer per rocket held. While the barrel recoils (its fire
        // frames 1 and 2) they ride 10 pixels further out along it.
        const double fireFrame = canon->sprites.empty() ? 0 : canon->sprites[0]->animPos;
        const bool recoil = fireFrame >= 1 && fireFrame < 3;
        for (int i = 0; i < 2; ++i) {
            const size_t layer = static_cast<size_t>(i + 1);
            if (layer >= canon->sprites.size()) continue;
            if (markBaseY_[static_cast<size_t>(i)] == kUnset) markBaseY_[static_cast<size_t>(i)] = canon->sprites[layer]->partY;
            canon->sprites[layer]->visible = g.queue.rocketCount > i;
            canon->sprites[layer]->partY = markBaseY_[static_cast<size_t>(i)] - (recoil ? kMarkRecoil : 0);
        }
    }

    const QueuedBall& current = g.queue.current;
    if (cannonShown && current.kind != 0) {
        if (cannonBallKind_ != current.kind || cannonBallBonus_ != current.bonus || !object(cannonBall_)) {
            if (cannonBall_ >= 0) ctx_.sceneObjects->free(cannonBall_);
            TMultiSprite& ball = ctx_.sceneObjects->create(cellArt(current.kind).prototype);
            ball.tag = "cannon_ball";
            ball.z = 250;
            dressBall(ball, current.kind, current.tint, current.bonus);
            cannonBall_ = ball.slot;
            cannonBallKind_ = current.kind;
            cannonBallBonus_ = current.bonus;
        }
        if (TMultiSprite* ball = object(cannonBall_)) {
            ball->visible = 1;
            ball->x = kPivotX;
            ball->y = kPivotY;
        }
    } else if (TMultiSprite* ball = object(cannonBall_)) {
        ball->visible = 0;
    }

    if (TMultiSprite* next = object(nextBall_)) {
        const int kind = g.queue.next.kind;
        const int frame = kind == kCellColourBomb ? 7 : kind == kCellBigBomb ? 8 : kind == kCellMultiball ? 9 : kind - 1;
        next->visible = kind != 0 && session.state() != kGameLevelCleared;
        showFrame(next, 0, std::max(0, frame));
    }
    if (TMultiSprite* laser = object(laser_)) {
        const int warning = session.laserWarning();
        laser->visible = warning != 0;
        if (laser->sprites.size() >= 2) {
            laser->sprites[0]->visible = warning == 1;
            laser->sprites[1]->visible = warning == 2;
        }
    }
    for (int slot : {netLeft_, netRight_}) showFrame(object(slot), 0, g.net.frame);
}

void GameZone::updateScore(const GameSession& session) {
    const bool shown = session.panelIntroFrame() >= GameSession::kPanelIntroFrames;
    int64_t value = std::max<int64_t>(0, session.shownScore());
    for (int i = 4; i >= 0; --i) {
        TMultiSprite* digit = object(digits_[static_cast<size_t>(i)]);
        if (!digit) continue;
        digit->visible = shown;
        showFrame(digit, 0, static_cast<int>(value % 10));
        value /= 10;
    }
}

void GameZone::updateGauge(const GameSession& session) {
    const int b = std::clamp(static_cast<int>(std::lround(session.shownProgress())), 0, 333);
    if (TMultiSprite* gauge = object(gauge_)) showFrame(gauge, 0, session.progressBlinkOff() ? 1 : 0);
    // Covers hide the bar from its right end down to the one that holds b, which is placed at
    // 234 + b so the bar shows up to there.
    for (int i = 0; i < kCoverCount; ++i) {
        TMultiSprite* cover = object(covers_[static_cast<size_t>(i)]);
        if (!cover) continue;
        const int left = 233 + 8 * i;
        cover->visible = left + 8 > 234 + b;
        cover->x = left;
        if (left <= 234 + b && left + 8 > 234 + b) cover->x = 234 + b;
    }
}

void GameZone::updateLevel(const GameSession& session) {
    if (session.panelIntroFrame() < GameSession::kPanelIntroFrames || shownLevel_ == session.level()) return;
    shownLevel_ = session.level();
    ctx_.sceneObjects->unload_by_tag("font_level");
    double x = 150, y = 30;
    if (TMultiSprite* panel = object(levelPanel_)) {
        x = panel->x + panel->width / 2.0;
        y = panel->y + panel->height / 2.0 - 8;
    }
    create_txt(*ctx_.sceneObjects, std::to_string(shownLevel_), 300, kDigitFont, x, y, 1.0, 0x32FA32, "font_level", 2);
}

void GameZone::syncObjects(std::vector<int>& slots, size_t count, const std::string& prototype,
                           const std::string& tag, int z) {
    SceneObjectList& objects = *ctx_.sceneObjects;
    while (slots.size() > count) {
        if (slots.back() >= 0) objects.free(slots.back());
        slots.pop_back();
    }
    while (slots.size() < count) {
        TMultiSprite& made = objects.create(prototype);
        made.tag = tag;
        made.z = z;
        slots.push_back(made.slot);
    }
}

void GameZone::updateBonusColumn(const GameSession& session) {
    const BonusState& bonuses = session.game().bonuses;
    for (int i = 0; i < 6; ++i) {
        if (TMultiSprite* bar = object(bonusBars_[static_cast<size_t>(i)])) {
            bar->x = bonuses.bars[static_cast<size_t>(i)].x;
            bar->color = static_cast<int>(bonuses.bars[static_cast<size_t>(i)].colour);
        }
    }
    const size_t slots = std::min<size_t>(6, bonuses.entries.size());
    icons_.resize(std::max(icons_.size(), slots), -1);
    iconTypes_.resize(icons_.size(), -1);
    for (size_t i = 0; i < icons_.size(); ++i) {
        const ActiveBonus* entry = i < slots ? &bonuses.entries[i] : nullptr;
        const bool wanted = entry && entry->type > 0 && entry->hasIcon;
        if (!wanted || iconTypes_[i] != (wanted ? entry->type * 100 + entry->iconKind : -1)) {
            if (icons_[i] >= 0) ctx_.sceneObjects->free(icons_[i]);
            icons_[i] = -1;
            iconTypes_[i] = -1;
        }
        if (!wanted) continue;
        if (icons_[i] < 0) {
            const std::string kind = isColour(entry->iconKind) ? std::to_string(entry->iconKind) : "0";
            TMultiSprite& icon =
                ctx_.sceneObjects->create("graphics\\balls\\ball0\\ball" + kind + ".spr");
            icon.tag = "bonus_icon";
            icon.z = 110;
            dressBall(icon, isColour(entry->iconKind) ? entry->iconKind : 1, 0, entry->type);
            icons_[i] = icon.slot;
            iconTypes_[i] = entry->type * 100 + entry->iconKind;
        }
        if (TMultiSprite* icon = object(icons_[i])) {
            icon->visible = entry->iconVisible && entry->state != kBonusRunningInstant;
            icon->x = entry->x;
            icon->y = entry->y;
        }
    }
}

void GameZone::cannonFired() {
    // The barrel's recoil plays once from its first frame.
    TMultiSprite* canon = object(canon_);
    if (!canon || canon->sprites.empty()) return;
    canon->sprites[0]->animPos = 0;
    canon->sprites[0]->animSpeed = canon->sprites[0]->baseAnimSpeed;
}

void GameZone::updatePushBar(const GameSession& session) {
    TMultiSprite* bar = object(pushBar_);
    if (!bar) return;
    bar->visible = session.game().mode == kModePuzzle;
    if (!bar->visible) return;
    // The bar grows towards the next push and warms from green to red on the way.
    const double v = session.pushShown();
    const int p = nearest(v / 163 * 200 + 50);
    const int q = nearest((1 - v / 163) * 250);
    const int s = nearest((1 - v / 163) * 50);
    bar->scale_x = v / pushBarWidth_;
    bar->visible = v > 0;
    bar->color = p * 65536 + q * 256 + s;
}

void GameZone::updateField(const GameSession& session) {
    const Gameplay& g = session.game();
    SceneObjectList& objects = *ctx_.sceneObjects;
    updatePushBar(session);

    // The limit plank: challenge on the limit line, puzzle moving with the field.
    if (g.mode != kModeArcade) {
        if (!object(plank_)) {
            TMultiSprite& plank = objects.create("graphics\\additional\\planka1.spr");
            plank.tag = "planka";
            plank_ = plank.slot;
            plankBaseWidth_ = std::max(1, plank.width);
        }
        if (TMultiSprite* plank = object(plank_)) {
            const int frame = std::clamp(g.net.frame, 0, 11);
            const double width = (96 - kPlankTable[frame]) * 2 + plankBaseWidth_;
            plank->scale_x = width / plankBaseWidth_;
            plank->x = 400;
            plank->y = g.mode == kModeChallenge ? g.grid.baseY - 30 * g.grid.limitRow + 35 : g.plankY;
        }
    }

    // The target marker on the path's end while the target bonus runs.
    const bool marker = g.bonuses.active[kBonusTarget] && !g.ball && g.path.count() > 0 &&
                        session.state() == kGamePlaying;
    if (marker && !object(marker_)) {
        TMultiSprite& made = objects.create("graphics\\bonuses\\target.spr");
        made.tag = "trasser";
        made.z = 210;
        marker_ = made.slot;
    } else if (!marker && marker_ >= 0) {
        objects.free(marker_);
        marker_ = -1;
    }
    if (TMultiSprite* target = object(marker_)) {
        const PathPoint& end = g.path.points.back();
        target->x = end.x;
        target->y = end.y;
    }

    syncObjects(rockets_, g.rockets.size(), "graphics\\rocket\\rocket.spr", "rocket", 240);
    for (size_t i = 0; i < g.rockets.size(); ++i) {
        TMultiSprite* rocket = object(rockets_[i]);
        if (!rocket) continue;
        const PaintRocket& r = g.rockets[i];
        rocket->visible = r.alive;
        rocket->x = r.x;
        rocket->y = r.y;
        rocket->angle = r.angle;  // the art points up, as the barrel does at angle 0
        rocket->color = static_cast<int>(ballColourValue(r.colour));
    }

    const std::vector<CrystalIcon>& icons = session.crystalIcons();
    syncObjects(crystals_, icons.size(), "graphics\\balls\\crystals\\crystal1.spr", "crystal_st", 105);
    for (size_t i = 0; i < icons.size(); ++i) {
        if (TMultiSprite* crystal = object(crystals_[i])) {
            crystal->x = icons[i].x;
            crystal->y = icons[i].y;
        }
    }

    // The cursor shows the cross-hair while the target bonus runs.
    if (TMultiSprite* cursor = object(ctx_.input.cursorObject))
        showFrame(cursor, 0, g.bonuses.active[kBonusTarget] && ctx_.input.hoveredButton == -1 ? 2
                             : ctx_.input.hoveredButton != -1                               ? 1
                                                                                             : 0);
}

}  // namespace qs
