#include "menu/options_screen.h"

#include <algorithm>

#include "audio/audio.h"
#include "core/scene_codes.h"
#include "menu/menu_state.h"
#include "profile/player_store.h"
#include "render/platform.h"
#include "scene/scene_object_list.h"
#include "scene/text_file.h"
#include "ui/dialog_fade.h"
#include "ui/scene_services.h"
#include "visual/multisprite.h"

namespace qs {

namespace {

constexpr const char* kPanel = "menu_buttons_music_sound_fullscreen";

enum OptionsButton { kMusicButton = 1, kSoundButton, kFullscreenButton, kMessagesButton, kBackButton, kMusicBarButton,
                     kSoundBarButton };

bool anyMessageOn(const PlayerRecord* player) {
    if (!player) return false;
    return std::any_of(player->modes.begin(), player->modes.end(),
                       [](const ModeProgress& mode) { return mode.showMessage == 1; });
}

// Redraws one volume bar: `level` elements of 6 pixels from x 360.
void drawBar(SceneServices& ctx, const char* tag, int level, int y) {
    SceneObjectList& objects = *ctx.sceneObjects;
    objects.unload_by_tag(tag);
    const uint8_t alpha = static_cast<uint8_t>(ctx.dialogFade->running() ? ctx.dialogFade->alpha() : 255);
    double x = kMusicBar.left;
    for (int i = 0; i < level; ++i) {
        TMultiSprite& element = objects.create("graphics\\musicsoundfullscreen\\music_sound_poloska.spr");
        element.tag = tag;
        element.x = x;
        element.y = y;
        element.alpha = alpha;
        x += element.width > 0 ? element.width : 6;
    }
    // A fade under way takes the new elements along.
    objects.RebuildObjectGroup(DialogFade::kGroup);
}

}  // namespace

void OptionsScreen::prepare() {
    static const char* const kNames[] = {"button_body_music", "button_body_sound", "button_fullscreen", "button_tips",
                                         "button_back"};
    for (int i = 0; i < 5; ++i) {
        buttons_[i] = findObject(*ctx_.sceneObjects, kNames[i], -1, kPanel);
        movers_[i] = findObject(*ctx_.sceneObjects, "movepart", i, kPanel);
    }
}

void OptionsScreen::enter() {
    SceneObjectList& objects = *ctx_.sceneObjects;
    ctx_.input.ScreenKind = kScreenOptions;
    objects.SetVisibleByTag("menu_buttons_mainmenu", false);
    objects.SetVisibleByTag(kPanel, true);
    menu_.unloadTags({"menu_text", "menu_text_button1", "menu_text_button2", "options_text"});
    ShowTextFile(objects, "text\\game_title_options.txt", "options_text");
    // The bars are drawn by the next step.
    state_.drawnMusicLevel = -1;
    state_.drawnSoundLevel = -1;
    menu_.startFade({kPanel, "options_text", "poloska_music", "poloska_sound"});
}

void OptionsScreen::leave() { menu_.unloadTags({"options_text", "poloska_music", "poloska_sound"}); }

void OptionsScreen::hover(uint32_t now) {
    InputState& in = ctx_.input;
    const int x = in.mouseX, y = in.mouseY;
    for (int i = 0; i < 5; ++i) {
        const int number = i + 1;
        TMultiSprite* button = objectAt(*ctx_.sceneObjects, buttons_[i]);
        TMultiSprite* mover = objectAt(*ctx_.sceneObjects, movers_[i]);
        const HitZone& zone = kBigButtons[i == 4 ? 4 : i];
        bool over = button && zone.contains(x, y);
        if (number == kMusicButton || number == kSoundButton) {
            // The volume buttons answer on their arrows only; the bar lies between them.
            const bool left = over && x <= kArrowLeftEnd;
            const bool right = over && x >= kArrowRightStart;
            over = left || right;
            if (left) state_.arrowDirection = -1;
            if (right) state_.arrowDirection = 1;
            showPartFrame(mover, 0, left ? companionFrame(now) : 0);
            showPartFrame(mover, 1, right ? companionFrame(now) : 0);
            showButtonFrame(button, over ? 1 : 0);
        } else {
            int rest = 0;
            if (number == kFullscreenButton) rest = ctx_.platform().isFullscreen() ? 0 : 2;
            if (number == kMessagesButton) rest = anyMessageOn(ctx_.players->current()) ? 0 : 2;
            showButtonFrame(button, rest + (over ? 1 : 0));
            animateCompanion(mover, over, now);
        }
        if (over) menu_.markHovered(number);
    }
    // The bars: held down on a bar, the level follows the pointer.
    const struct {
        int number;
        HitZone zone;
        bool music;
    } bars[] = {{kMusicBarButton, kMusicBar, true}, {kSoundBarButton, kSoundBar, false}};
    for (const auto& bar : bars) {
        if (!bar.zone.contains(x, y)) continue;
        menu_.markHovered(bar.number);
        if (in.pressedButton != bar.number) continue;
        if (bar.music)
            ctx_.audio->setMusicLevel(barLevel(x));
        else
            ctx_.audio->setSoundLevel(barLevel(x));
    }
}

void OptionsScreen::release(int button) {
    static const SceneCommand kCommands[] = {kCommandMusicStep, kCommandSoundStep, kCommandFullscreen,
                                             kCommandToggleMessages, kCommandMainMenu};
    if (button >= 1 && button <= 5) menu_.post(kCommands[button - 1]);
}

std::vector<FocusTarget> OptionsScreen::focusTargets() const {
    std::vector<FocusTarget> targets;
    for (int i = 0; i < 5; ++i) {
        if (!objectAt(*ctx_.sceneObjects, buttons_[static_cast<size_t>(i)])) continue;
        FocusTarget target = zoneTarget(kBigButtons[i], i + 1);
        // A volume button answers on its arrows: the focus stands on the one that turns it up.
        if (i + 1 == kMusicButton || i + 1 == kSoundButton) target.x = (kArrowRightStart + kBigButtons[i].right) / 2;
        targets.push_back(target);
    }
    return targets;
}

bool OptionsScreen::key(const input::Key& key) {
    const int focused = ctx_.input.keysOwnPointer ? ctx_.input.focusedButton : 0;
    if ((key.code != kVkLeft && key.code != kVkRight) || (focused != kMusicButton && focused != kSoundButton))
        return false;
    const HitZone& zone = kBigButtons[focused - 1];
    // The focus goes to the arrow pressed, which shows it running as under the mouse.
    focusOn(ctx_.input, {focused, key.code == kVkLeft ? (zone.left + kArrowLeftEnd) / 2 : (kArrowRightStart + zone.right) / 2,
                         (zone.top + zone.bottom) / 2});
    state_.arrowDirection = key.code == kVkLeft ? -1 : 1;
    stepVolume(focused == kMusicButton);
    return true;
}

void OptionsScreen::command(int command) {
    switch (command) {
        case kCommandMusicStep: stepVolume(true); break;
        case kCommandSoundStep: stepVolume(false); break;
        case kCommandToggleMessages: toggleMessages(); break;
        case kCommandFullscreen: state_.fullscreenRequest = true; break;
        default: break;
    }
}

void OptionsScreen::step() {
    redrawVolumeBars();
    if (state_.fullscreenRequest) applyFullscreenRequest();
}

void OptionsScreen::stepVolume(bool music) {
    Audio& audio = *ctx_.audio;
    if (music)
        audio.setMusicLevel(stepLevel(audio.musicLevel(), state_.arrowDirection));
    else
        audio.setSoundLevel(stepLevel(audio.soundLevel(), state_.arrowDirection));
}

void OptionsScreen::toggleMessages() {
    if (!ctx_.players->current()) return;
    const int value = anyMessageOn(ctx_.players->current()) ? 0 : 1;
    ctx_.players->update([value](PlayerList& players, int& current) {
        for (ModeProgress& mode : players[static_cast<size_t>(current)].modes) mode.showMessage = value;
    });
}

void OptionsScreen::redrawVolumeBars() {
    Audio& audio = *ctx_.audio;
    const int music = audio.musicLevel();
    if (music != state_.drawnMusicLevel) {
        drawBar(ctx_, "poloska_music", music, kMusicBar.top);
        state_.drawnMusicLevel = music;
        audio.ApplyMusicVolume();
        if (music > 0 && !state_.musicStarted) menu_.requestMenuMusic(0, 250);
        ctx_.WriteOptionValue("music_volume", std::to_string(music));
    }
    const int sound = audio.soundLevel();
    if (sound != state_.drawnSoundLevel) {
        drawBar(ctx_, "poloska_sound", sound, kSoundBar.top);
        audio.ApplySoundVolume();
        // Opening the screen is silent; a change is heard at its new volume.
        if (state_.drawnSoundLevel != -1) audio.PlaySound(audio.FindSound("sample_hit"));
        ctx_.WriteOptionValue("sound_volume", std::to_string(sound));
        state_.drawnSoundLevel = sound;
    }
}

void OptionsScreen::applyFullscreenRequest() {
    ctx_.WriteLog("fullscreenchange from menu");
    state_.fullscreenRequest = false;
    if (ctx_.switchDisplayMode) ctx_.switchDisplayMode();
    ctx_.WriteOptionValue("fullscreen", ctx_.platform().isFullscreen() ? "1" : "0");
}

}  // namespace qs
