#include "menu/main_menu_screen.h"

#include "audio/audio.h"
#include "core/scene_codes.h"
#include "menu/menu_state.h"
#include "profile/player_store.h"
#include "scene/scene_object_list.h"
#include "scene/text_file.h"
#include "scene/text_objects.h"
#include "ui/scene_services.h"
#include "visual/multisprite.h"

namespace qs {

namespace {

constexpr const char* kPanel = "menu_buttons_mainmenu";

}  // namespace

void MainMenuScreen::prepare() {
    // The welcome line is there before the menu first fades in.
    ShowWelcomeText();
    static const char* const kNames[] = {"button_start", "button_options", "button_scores", "button_help",
                                         "button_exit"};
    for (int i = 0; i < 5; ++i) {
        buttons_[i] = findObject(*ctx_.sceneObjects, kNames[i], -1, kPanel);
        movers_[i] = findObject(*ctx_.sceneObjects, "movepart", i, kPanel);
    }
}

void MainMenuScreen::ShowWelcomeText() {
    SceneObjectList& objects = *ctx_.sceneObjects;
    menu_.unloadTags({"menu_text", "menu_text_button1", "menu_text_button2"});
    ShowTextFile(objects, "text\\game_title_menu.txt", "menu_text");
    if (const PlayerRecord* player = ctx_.players ? ctx_.players->current() : nullptr)
        create_txt(objects, "WELCOME TO QUIBBLESTAR, " + player->name + "!", 200, "graphics\\fonts\\font_taurus1.spr",
                   400, 98, 0.52, 0xFFFFFF, "menu_text", kAlignCentre);  // clear of the ribbon above
    ShowTextFile(objects, "text\\menu_text_button1.txt", "menu_text_button1");
    ShowTextFile(objects, "text\\menu_text_button2.txt", "menu_text_button2");
    objects.SetVisibleByTag("menu_text_button2", false);
}

void MainMenuScreen::enter() {
    SceneObjectList& objects = *ctx_.sceneObjects;
    Audio& audio = *ctx_.audio;
    if (audio.currentMusic() != audio.musicMenu) menu_.requestMenuMusic(250, 250);
    ctx_.input.ScreenKind = kScreenMainMenu;
    // Whatever screen or dialog was up goes.
    for (const char* tag : {"menu_buttons_select_game_type", "menu_buttons_music_sound_fullscreen", "menu_help",
                            "menu_scores", "input_player_name", "input_player_name_back"})
        objects.SetVisibleByTag(tag, false);
    objects.SetVisibleByTag(kPanel, true);
    menu_.unloadTags({"poloska_music", "poloska_sound", "help_text", "scores_text", "options_text", "start_text",
                      "game_type_text", "exit_to_windows", "scores_records", "select_player",
                      "select_player_text_button1", "select_player_text_button2", "select_player_text",
                      "input_player_name_text", "input_player_name_title", "name_confirm", "name_message",
                      "game_message", "continue_last_game"});
    ShowWelcomeText();
    menu_.startFade({kPanel, "menu_text", "menu_text_button1", "menu_text_button2"});
    menu_.hideGameComments();
}

void MainMenuScreen::leave() { menu_.unloadTags({"menu_text", "menu_text_button1", "menu_text_button2"}); }

void MainMenuScreen::hover(uint32_t now) {
    const InputState& in = ctx_.input;
    for (int i = 0; i < 5; ++i) {
        TMultiSprite* button = objectAt(*ctx_.sceneObjects, buttons_[i]);
        const bool over = button && kBigButtons[i].contains(in.mouseX, in.mouseY);
        if (over) menu_.markHovered(i + 1);
        showButtonFrame(button, over ? 1 : 0);
        animateCompanion(objectAt(*ctx_.sceneObjects, movers_[i]), over, now);
    }
    const bool overLine = kPlayerLine.contains(in.mouseX, in.mouseY);
    if (overLine) menu_.markHovered(6);
    ctx_.sceneObjects->SetVisibleByTag("menu_text_button2", overLine);
    ctx_.sceneObjects->SetVisibleByTag("menu_text_button1", !overLine);
    checkPlayers();
}

std::vector<FocusTarget> MainMenuScreen::focusTargets() const {
    // The player's line at the top, then the five big buttons downwards.
    std::vector<FocusTarget> targets{zoneTarget(kPlayerLine, 6)};
    for (int i = 0; i < 5; ++i)
        if (objectAt(*ctx_.sceneObjects, buttons_[static_cast<size_t>(i)])) targets.push_back(zoneTarget(kBigButtons[i], i + 1));
    return targets;
}

void MainMenuScreen::checkPlayers() {
    PlayerStore& players = *ctx_.players;
    if (players.empty()) {
        players.ReadPlayers();
        if (players.empty()) {
            state_.editMode = kEditFirstPlayer;
            menu_.post(kCommandNameEntry);
            ctx_.input.ScreenKind = kScreenNone;
        }
    }
    // The store keeps the current player inside a non-empty list (and stores the index).
}

void MainMenuScreen::release(int button) {
    switch (button) {
        case 1: menu_.post(kCommandGameType); break;
        case 2: menu_.post(kCommandOptions); break;
        case 3: menu_.post(kCommandScores); break;
        case 4: menu_.post(kCommandHelp); break;
        case 5: menu_.post(kCommandExitQuestion); break;
        case 6:
            state_.keepEdit = false;
            menu_.post(kCommandPlayerList);
            break;
        default: break;
    }
}

}  // namespace qs
