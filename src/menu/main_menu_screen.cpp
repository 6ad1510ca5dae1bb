#include "menu/menu_scene.h"

#include "ui/scene_services.h"
#include "audio/audio.h"
#include "core/scene_codes.h"
#include "profile/player_store.h"
#include "scene/scene_object_list.h"
#include "scene/text_file.h"
#include "scene/text_objects.h"
#include "ui/scores_screen.h"
#include "visual/multisprite.h"

namespace qs {

namespace {

const char* modeTitle(GameMode mode) {
    switch (mode) {
        case kModeChallenge: return "text\\game_title_challenge.txt";
        case kModePuzzle: return "text\\game_title_puzzle.txt";
        default: return "text\\game_title_arcade.txt";
    }
}

}  // namespace

void MenuScene::ShowWelcomeText() {
    SceneObjectList& objects = *ctx_.sceneObjects;
    unloadTags({"menu_text", "menu_text_button1", "menu_text_button2"});
    ShowTextFile(*ctx_.sceneObjects, "text\\game_title_menu.txt", "menu_text");
    if (const PlayerRecord* player = ctx_.players ? ctx_.players->current() : nullptr)
        create_txt(*ctx_.sceneObjects, "WELCOME TO QUIBBLESTAR, " + player->name + "!", 200, "graphics\\fonts\\font_taurus1.spr",
                   400, 98, 0.52, 0xFFFFFF, "menu_text", kAlignCentre);  // clear of the ribbon above
    ShowTextFile(*ctx_.sceneObjects, "text\\menu_text_button1.txt", "menu_text_button1");
    ShowTextFile(*ctx_.sceneObjects, "text\\menu_text_button2.txt", "menu_text_button2");
    objects.SetVisibleByTag("menu_text_button2", false);
}

void MenuScene::openMainMenu() {
    SceneObjectList& objects = *ctx_.sceneObjects;
    Audio& audio = *ctx_.audio;
    if (audio.currentMusic() != audio.musicMenu) requestMenuMusic(250, 250);
    ctx_.input.ScreenKind = kScreenMainMenu;
    for (const char* tag : {"menu_buttons_select_game_type", "menu_buttons_music_sound_fullscreen", "menu_help",
                            "menu_scores", "input_player_name", "input_player_name_back"})
        objects.SetVisibleByTag(tag, false);
    objects.SetVisibleByTag("menu_buttons_mainmenu", true);
    unloadTags({"poloska_music", "poloska_sound", "help_text", "scores_text", "options_text", "start_text",
                "game_type_text", "exit_to_windows", "scores_records", "select_player", "select_player_text_button1",
                "select_player_text_button2", "select_player_text", "input_player_name_text",
                "input_player_name_title", "name_confirm", "name_message", "game_message", "continue_last_game"});
    dialogButtons_.clear();
    ShowWelcomeText();
    startFade({"menu_buttons_mainmenu", "menu_text", "menu_text_button1", "menu_text_button2"});
    hideGameComments();
}

void MenuScene::hoverMainMenu(uint32_t now) {
    const InputState& in = ctx_.input;
    for (int i = 0; i < 5; ++i) {
        TMultiSprite* button = objectAt(*ctx_.sceneObjects, mainButtons_[i]);
        const bool over = button && kBigButtons[i].contains(in.mouseX, in.mouseY);
        if (over) markHovered(i + 1);
        showButtonFrame(button, over ? 1 : 0);
        animateCompanion(objectAt(*ctx_.sceneObjects, mainMovers_[i]), over, now);
    }
    const bool overLine = kPlayerLine.contains(in.mouseX, in.mouseY);
    if (overLine) markHovered(6);
    ctx_.sceneObjects->SetVisibleByTag("menu_text_button2", overLine);
    ctx_.sceneObjects->SetVisibleByTag("menu_text_button1", !overLine);
}

void MenuScene::releaseMainMenu(int button) {
    InputState& in = ctx_.input;
    switch (button) {
        case 1: in.SceneCommand = kCommandGameType; break;
        case 2: in.SceneCommand = kCommandOptions; break;
        case 3: in.SceneCommand = kCommandScores; break;
        case 4: in.SceneCommand = kCommandHelp; break;
        case 5: in.SceneCommand = kCommandExitQuestion; break;
        case 6:
            state_.keepEdit = false;
            in.SceneCommand = kCommandPlayerList;
            break;
        default: break;
    }
}

void MenuScene::startGame(GameMode mode) {
    hideGameComments();
    ctx_.audio->RequestMusic(-1, 250, 0);
    unloadTags({"game_message", "continue_last_game"});
    dialogButtons_.clear();
    ctx_.selectedMode = mode;
    ctx_.requestScene(kSceneGame);
    ctx_.input.ScreenKind = kScreenMainMenu;
    ShowTextFile(*ctx_.sceneObjects, modeTitle(mode), "game_type_text");
    unloadTags({"start_text"});
}

void MenuScene::openScores() { scores_->OpenScoresScreen(kModeArcade); }

}  // namespace qs
