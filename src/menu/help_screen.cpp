#include "menu/help_screen.h"

#include <string>

#include "core/particle_type.h"
#include "core/scene_codes.h"
#include "menu/menu_state.h"
#include "scene/particles.h"
#include "scene/scene_object_list.h"
#include "scene/text_file.h"
#include "scene/text_objects.h"
#include "ui/scene_services.h"
#include "visual/multisprite.h"

namespace qs {

namespace {

constexpr const char* kHelpTag = "menu_help";
constexpr int kHelpPages = 2;
constexpr uint32_t kDemoCycleMs = 4000;
constexpr uint32_t kDemoBurstMs = 500;
constexpr uint32_t kDemoBackMs = 1500;

TMultiSprite* helpObject(SceneServices& ctx, const char* name, int occurrence = 0) {
    return ctx.sceneObjects->at(ctx.sceneObjects->FindSceneObject(name, occurrence, kHelpTag));
}

// The nine small balls of the demonstration, in the order the page is built.
std::vector<TMultiSprite*> smallBalls(SceneServices& ctx) {
    std::vector<TMultiSprite*> balls;
    for (int i = 0; i < 3; ++i) balls.push_back(helpObject(ctx, "ball2_mini", i));
    for (int i = 0; i < 4; ++i) balls.push_back(helpObject(ctx, "ball3_mini", i));
    for (int i = 0; i < 2; ++i) balls.push_back(helpObject(ctx, "ball4_mini", i));
    return balls;
}

// The big balls of page 2; their place in this list staggers their animations.
std::vector<TMultiSprite*> bigBalls(SceneServices& ctx) {
    std::vector<TMultiSprite*> balls;
    for (const char* name : {"ball1", "ball5", "ball6", "ball7", "ball2", "ball3", "ball4"})
        balls.push_back(helpObject(ctx, name));
    balls.push_back(helpObject(ctx, "ball7", 1));
    return balls;
}

// The balls that burst when the demo ball arrives: two of its colour, two of another.
std::vector<TMultiSprite*> demoTargets(SceneServices& ctx) {
    return {helpObject(ctx, "ball3_mini", 0), helpObject(ctx, "ball3_mini", 1), helpObject(ctx, "ball4_mini", 0),
            helpObject(ctx, "ball4_mini", 1)};
}

void setVisible(TMultiSprite* object, bool visible) {
    if (object) object->visible = visible ? 1 : 0;
}

TMyImageSprite* layer(TMultiSprite* object, size_t part) {
    return object && part < object->sprites.size() ? object->sprites[part].get() : nullptr;
}

}  // namespace

void HelpScreen::prepare() {
    buttons_ = {findObject(*ctx_.sceneObjects, "button_ok_mini", -1, kHelpTag),
                findObject(*ctx_.sceneObjects, "repair_left", 0, kHelpTag),
                findObject(*ctx_.sceneObjects, "repair_right", 0, kHelpTag)};
    mover_ = findObject(*ctx_.sceneObjects, "movepart_mini", -1, kHelpTag);
}

void HelpScreen::enter() {
    SceneObjectList& objects = *ctx_.sceneObjects;
    ctx_.input.ScreenKind = kScreenHelp;
    objects.SetVisibleByTag("menu_buttons_mainmenu", false);
    objects.SetVisibleByTag(kHelpTag, true);
    menu_.unloadTags({"menu_text", "menu_text_button1", "menu_text_button2"});
    state_.helpPage = 1;
    ShowHelpPage(true);
}

void HelpScreen::leave() { menu_.unloadTags({"help_text"}); }

void HelpScreen::ShowHelpPage(bool opening) {
    menu_.unloadTags({"help_text"});
    create_txt(*ctx_.sceneObjects, "Page " + std::to_string(state_.helpPage) + "/" + std::to_string(kHelpPages), 200,
               "graphics\\fonts\\font_taurus1.spr", 400, 108, 0.75, 0xEECD00, "help_text", kAlignCentre);
    TMultiSprite* launcher = helpObject(ctx_, "canon2_mini");
    TMultiSprite* demoBall = helpObject(ctx_, "ball3_mini", 2);
    TMultiSprite* divider = helpObject(ctx_, "scores_poloska_vert");
    const bool first = state_.helpPage == 1;
    // An arrow shows only where it leads somewhere.
    setVisible(objectAt(*ctx_.sceneObjects, buttons_[1]), state_.helpPage > 1);
    setVisible(objectAt(*ctx_.sceneObjects, buttons_[2]), state_.helpPage < kHelpPages);
    setVisible(launcher, first);
    setVisible(demoBall, first);
    setVisible(divider, first);
    // The demonstration's frame belongs to page 1 alone.
    if (TMultiSprite* frame = helpObject(ctx_, "help_demo")) setVisible(frame, first);
    for (TMultiSprite* ball : smallBalls(ctx_)) {
        setVisible(ball, first);
        if (!first || !ball) continue;
        for (size_t part = 0; part < ball->sprites.size(); ++part) ball->sprites[part]->visible = part == 1;
        if (TMyImageSprite* face = layer(ball, 1)) {
            face->animSpeed = 0;
            face->animPos = 0;
        }
    }
    const std::vector<TMultiSprite*> big = bigBalls(ctx_);
    for (size_t i = 0; i < big.size(); ++i) {
        TMultiSprite* ball = big[i];
        setVisible(ball, !first);
        if (first || !ball) continue;
        if (TMyImageSprite* face = layer(ball, 1)) face->animSpeed = face->baseAnimSpeed;
        if (TMyImageSprite* glint = layer(ball, 2)) glint->animPos = i == 0 ? 8 : static_cast<double>(i);
    }
    TMultiSprite* bomb1 = helpObject(ctx_, "bomb1");
    setVisible(bomb1, !first);
    setVisible(helpObject(ctx_, "bomb2"), !first);
    setVisible(helpObject(ctx_, "multiball"), !first);
    if (first) {
        if (TMyImageSprite* part = layer(launcher, 1)) part->visible = false;
        if (TMyImageSprite* part = layer(launcher, 2)) part->visible = false;
        if (TMyImageSprite* part = layer(launcher, 3)) {
            part->animPos = 2;
            part->animSpeed = 0;
        }
        ShowTextFile(*ctx_.sceneObjects, "text\\help_title.txt", "help_text");
        ShowTextFile(*ctx_.sceneObjects, "text\\help_page1.txt", "help_text");
        state_.demoPhase = -1;  // the demonstration starts at the next step
    } else {
        ShowTextFile(*ctx_.sceneObjects, "text\\help_title.txt", "help_text");
        ShowTextFile(*ctx_.sceneObjects, "text\\help_page2.txt", "help_text");
        if (TMyImageSprite* part = layer(bomb1, 1)) part->color = 0xFF0000;
    }
    menu_.startFade({"help_text", kHelpTag}, opening ? 8 : 64);
}

void HelpScreen::runHelpDemo(uint32_t now) {
    MenuState& s = state_;
    TMultiSprite* demoBall = helpObject(ctx_, "ball3_mini", 2);
    const std::vector<TMultiSprite*> targets = demoTargets(ctx_);
    const uint32_t elapsed = now - s.demoStart;
    if (s.demoPhase < 0 || elapsed > kDemoCycleMs) {
        if (TMyImageSprite* shot = layer(helpObject(ctx_, "canon2_mini"), 0)) {
            shot->animSpeed = shot->baseAnimSpeed;
            shot->animPos = 0;
        }
        if (demoBall) demoBall->y = 305;
        setVisible(demoBall, true);
        for (TMultiSprite* target : targets) setVisible(target, true);
        s.demoStart = now;
        s.demoPhase = 0;
        return;
    }
    if (s.demoPhase == 0) {
        // The ball gathers speed on its way up.
        if (!demoBall) {
            s.demoPhase = 1;
        } else {
            demoBall->y -= 0.25 * elapsed;
            if (demoBall->y < 256) {
                demoBall->y = 256;
                s.demoPhase = 1;
            }
        }
    } else if (s.demoPhase == 1 && elapsed > kDemoBurstMs) {
        setVisible(demoBall, false);
        for (TMultiSprite* target : targets) setVisible(target, false);
        // The three balls of a colour break into four pieces each; the two others flash.
        for (TMultiSprite* ball : {demoBall, targets[0], targets[1]}) {
            if (!ball) continue;
            for (int j = 0; j < 2; ++j)
                for (int k = 0; k < 2; ++k) {
                    TExploseParticle* piece =
                        ctx_.particles->Create(kParticleSmallShard, ball->x + (k - 0.5) * 10, ball->y + (j - 0.5) * 10);
                    if (!piece || !piece->object) continue;
                    piece->object->color = 0x00FF00;
                    if (TMyImageSprite* face = layer(piece->object, 0)) {
                        face->animPos = k + 2 * j;
                        face->animSpeed = 0;
                    }
                }
        }
        for (TMultiSprite* ball : {targets[2], targets[3]}) {
            if (!ball) continue;
            TExploseParticle* flash = ctx_.particles->Create(kParticleFallingBall + 3, ball->x, ball->y);
            if (flash && flash->object) {
                flash->object->scale_x = 0.75;
                flash->object->scale_y = 0.75;
            }
        }
        s.demoPhase = 2;
    } else if (s.demoPhase == 2 && elapsed > kDemoBackMs) {
        for (TMultiSprite* target : targets) setVisible(target, true);
        setVisible(demoBall, false);
        s.demoPhase = 3;
    }
}

void HelpScreen::hover(uint32_t now) {
    const InputState& in = ctx_.input;
    TMultiSprite* ok = objectAt(*ctx_.sceneObjects, buttons_[0]);
    const bool overOk = ok && kSmallOkButton.contains(in.mouseX, in.mouseY);
    if (overOk) menu_.markHovered(1);
    showButtonFrame(ok, overOk ? 1 : 0);
    animateCompanion(objectAt(*ctx_.sceneObjects, mover_), overOk, now);
    menu_.hoverObjectButtons({buttons_[1], buttons_[2]}, true, true, 2);
    if (state_.helpPage == 1) runHelpDemo(now);
}

std::vector<FocusTarget> HelpScreen::focusTargets() const {
    std::vector<FocusTarget> targets = menu_.targetsOf({buttons_[1], buttons_[2]}, 2);
    if (objectAt(*ctx_.sceneObjects, buttons_[0])) targets.push_back(zoneTarget(kSmallOkButton, 1));
    return targets;
}

bool HelpScreen::key(const input::Key& key) {
    if (key.code == kVkLeft) release(2);
    else if (key.code == kVkRight) release(3);
    else return false;
    return true;
}

void HelpScreen::release(int button) {
    if (button == 1) {
        menu_.post(kCommandMainMenu);
    } else if (button == 2 && state_.helpPage > 1) {
        --state_.helpPage;
        ShowHelpPage(false);
    } else if (button == 3 && state_.helpPage < kHelpPages) {
        ++state_.helpPage;
        ShowHelpPage(false);
    }
}

}  // namespace qs
