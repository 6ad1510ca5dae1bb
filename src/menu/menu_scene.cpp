#include "menu/menu_scene.h"

#include "ui/scene_services.h"
#include "audio/audio.h"
#include "core/scene_codes.h"
#include "profile/player_store.h"
#include "scene/location_map.h"
#include "scene/particles.h"
#include "scene/scene_object_list.h"
#include "scene/text_file.h"
#include "ui/dialog_fade.h"
#include "visual/image_prefetcher.h"
#include "visual/prototype_library.h"
#include "ui/scores_screen.h"
#include "visual/multisprite.h"

namespace qs {

namespace {

// The tags the main menu fades in (with the first part of the panel) on the first visit.
constexpr const char* kMainMenuTags[] = {"menu_buttons_mainmenu", "menu_text", "menu_text_button1",
                                         "menu_text_button2"};
constexpr uint32_t kMenuFadeMs = 1500;

}  // namespace

MenuScene::MenuScene(SceneServices& context) : ctx_(context), scores_(std::make_unique<ScoresScreen>(context)) {
    ctx_.menu = &state_;
}

MenuScene::~MenuScene() {
    if (prefetcher_ && ctx_.prototypes) ctx_.prototypes->usePrefetcher(nullptr);
    if (ctx_.menu == &state_) ctx_.menu = nullptr;
}

bool MenuScene::preparing() const {
    return state_.introState != -1 || !state_.loadingFinished;
}

void MenuScene::StartSceneMenu() {
    FrameState& frame = ctx_.frame;
    InputState& in = ctx_.input;
    ctx_.WriteLog("StartSceneMenu");
    state_.fullscreenRequest = false;
    state_.menuFadeState = 0;
    state_.menuFadeStamp = 0;
    frame.paused = false;
    frame.previousPaused = false;
    frame.pausedTotal = 0;
    ctx_.ReadOptions();
    in.hoveredButton = -1;
    in.pressedButton = -1;
    state_.arrowDirection = 0;
    in.ScreenKind = kScreenMainMenu;
    ctx_.sceneObjects->SetVisibleByTag("loading", true);
    if (state_.introState == 0) {
        // A run that went straight into a game loaded everything and made the pointer then.
        state_.introState = ctx_.startGameAtOnce ? -1 : 1;
        state_.loadingFinished = ctx_.startGameAtOnce;
        state_.introNextTick = ctx_.clock().now();
        state_.introStateSince = state_.introNextTick;
        state_.introPresses = in.presses;
    }
    frame.sceneLive = true;
    frame.sceneSetupState = kSetupPending;
    if (frame.loadIndex > 0) requestMenuMusic(250, 250);
    ctx_.hooks.HandleButtonRelease = [this] { HandleButtonRelease(); };
}

void MenuScene::UpdateSceneMenu() {
    FrameState& frame = ctx_.frame;
    InputState& in = ctx_.input;
    if (frame.sceneChangeRequest != 0) return;
    const uint32_t now = ctx_.clock().now();
    frame.frameTick = now;

    // The content loads while the logo plays; a player who has seen the logo may skip it.
    if (state_.introState != -1) {
        if (ctx_.options.intro_seen && in.presses != state_.introPresses) {
            state_.introState = -1;
        } else {
            runIntro(now);
            if (state_.introState == -1 && !ctx_.options.intro_seen) {
                ctx_.options.intro_seen = true;
                ctx_.WriteOptionValue("intro_seen", "1");
            }
        }
    }
    if (!state_.loadingFinished) runLoading(now);
    if (state_.introState != -1 || !state_.loadingFinished) return;
    if (frame.sceneSetupState == kSetupPending) setUp();

    ctx_.readPointer(true);
    ctx_.dialogFade->update();
    runMenuFade(now);
    in.hoveredButton = -1;
    state_.arrowDirection = 0;
    showCursorFrame(*ctx_.sceneObjects, ctx_.input.cursorObject, 0);
    hoverPass(now);
    if (in.ScreenKind == kScreenMainMenu) checkPlayers();
    runCommand();
    if (in.ScreenKind == kScreenOptions) redrawVolumeBars();
    ctx_.particles->UpdateAll();
    if (state_.fullscreenRequest) applyFullscreenRequest();
}

void MenuScene::setUp() {
    SceneObjectList& objects = *ctx_.sceneObjects;
    if (!ctx_.players)
        ctx_.openPlayers();
    else
        ctx_.players->ReadPlayers();

    load_location_map(*ctx_.sceneObjects, "menu.map");
    load_location_map(*ctx_.sceneObjects, "menu_buttons_mainmenu.map");
    load_location_map(*ctx_.sceneObjects, "menu_buttons_select_game_type.map");
    ShowTextFile(*ctx_.sceneObjects, "text\\choose_game_type.txt", "menu_buttons_select_game_type");
    load_location_map(*ctx_.sceneObjects, "menu_buttons_music_sound_fullscreen.map");
    ShowTextFile(*ctx_.sceneObjects, "text\\game_options.txt", "menu_buttons_music_sound_fullscreen");
    load_location_map(*ctx_.sceneObjects, "menu_help.map");
    scores_->prepare();
    load_location_map(*ctx_.sceneObjects, "input_player_name.map");
    menuPanel_ = findObject(*ctx_.sceneObjects, "menu_panel", -1, "menu");
    renameCursor_ = findObject(*ctx_.sceneObjects, "rename_cursor", -1, "input_player_name");
    load_location_map(*ctx_.sceneObjects, "input_player_name_back.map");

    ShowWelcomeText();
    for (const char* tag : kMainMenuTags) objects.SetAlphaByTag(tag, 0);
    for (const char* tag : {"menu_buttons_select_game_type", "menu_buttons_music_sound_fullscreen", "menu_scores",
                            "menu_help", "input_player_name", "input_player_name_back"})
        objects.SetVisibleByTag(tag, false);

    static const char* const kMain[] = {"button_start", "button_options", "button_scores", "button_help",
                                        "button_exit"};
    static const char* const kTypes[] = {"button_arcade", "button_challenge", "button_puzzle", "button_back"};
    static const char* const kOptions[] = {"button_body_music", "button_body_sound", "button_fullscreen",
                                           "button_tips", "button_back"};
    for (int i = 0; i < 5; ++i) {
        mainButtons_[i] = findObject(*ctx_.sceneObjects, kMain[i], -1, "menu_buttons_mainmenu");
        mainMovers_[i] = findObject(*ctx_.sceneObjects, "movepart", i, "menu_buttons_mainmenu");
        optionButtons_[i] = findObject(*ctx_.sceneObjects, kOptions[i], -1, "menu_buttons_music_sound_fullscreen");
        optionMovers_[i] = findObject(*ctx_.sceneObjects, "movepart", i, "menu_buttons_music_sound_fullscreen");
    }
    for (int i = 0; i < 4; ++i) {
        gameTypeButtons_[i] = findObject(*ctx_.sceneObjects, kTypes[i], -1, "menu_buttons_select_game_type");
        gameTypeMovers_[i] = findObject(*ctx_.sceneObjects, "movepart", i, "menu_buttons_select_game_type");
    }
    helpButtons_ = {findObject(*ctx_.sceneObjects, "button_ok_mini", -1, "menu_help"),
                    findObject(*ctx_.sceneObjects, "repair_left", 0, "menu_help"),
                    findObject(*ctx_.sceneObjects, "repair_right", 0, "menu_help")};
    helpMover_ = findObject(*ctx_.sceneObjects, "movepart_mini", -1, "menu_help");
    nameButtons_ = {findObject(*ctx_.sceneObjects, "panel_ok", 0, "input_player_name"),
                    findObject(*ctx_.sceneObjects, "panel_cancel", 0, "input_player_name")};

    TMultiSprite* panel = objectAt(*ctx_.sceneObjects, menuPanel_);
    if (state_.shownBefore) {
        // Back from a game: the menu is there at once.
        for (const char* tag : kMainMenuTags) objects.SetAlphaByTag(tag, 255);
        if (panel && !panel->sprites.empty()) panel->sprites[0]->alpha = 255;
    } else if (panel && !panel->sprites.empty()) {
        panel->sprites[0]->alpha = 0;
    }

    for (const char* tag : {"game_comment1", "game_comment2", "game_comment3"}) objects.unload_by_tag(tag);
    ShowTextFile(*ctx_.sceneObjects, "text\\game_comment_arcade.txt", "game_comment1");
    ShowTextFile(*ctx_.sceneObjects, "text\\game_comment_challenge.txt", "game_comment2");
    ShowTextFile(*ctx_.sceneObjects, "text\\game_comment_puzzle.txt", "game_comment3");
    hideGameComments();

    state_.shownBefore = true;
    ctx_.frame.sceneSetupState = kSetupDone;
    // Keys and clicks from before the menu was there (Escape during the logo) are dropped.
    ctx_.input.SceneCommand = kCommandNone;
    ctx_.input.pressedButton = -1;
}

void MenuScene::runMenuFade(uint32_t now) {
    MenuState& s = state_;
    if (s.menuFadeState == 2) {
        if (now != s.menuFadeStamp) {
            s.menuFadeStamp = now;
            s.menuFadeState = 3;
        }
        return;
    }
    if (s.menuFadeState != 3) return;
    const uint32_t elapsed = now - s.menuFadeStamp;
    uint8_t alpha = 255;
    if (elapsed > kMenuFadeMs)
        s.menuFadeState = 1;
    else
        alpha = static_cast<uint8_t>(elapsed * 255 / kMenuFadeMs);
    if (TMultiSprite* panel = objectAt(*ctx_.sceneObjects, menuPanel_); panel && !panel->sprites.empty())
        panel->sprites[0]->alpha = alpha;
    for (const char* tag : kMainMenuTags) ctx_.sceneObjects->SetAlphaByTag(tag, alpha);
}

void MenuScene::markHovered(int button) {
    ctx_.input.hoveredButton = button;
    showCursorFrame(*ctx_.sceneObjects, ctx_.input.cursorObject, 1);
}

void MenuScene::hoverObjectButtons(const std::vector<ObjectRef>& buttons, bool pressedFrame, bool visibleOnly,
                                   int firstNumber) {
    const InputState& in = ctx_.input;
    for (size_t i = 0; i < buttons.size(); ++i) {
        TMultiSprite* button = objectAt(*ctx_.sceneObjects, buttons[i]);
        if (!button) continue;
        const int number = firstNumber + static_cast<int>(i);
        const bool over = hitsObject(*ctx_.sceneObjects, button, in.mouseX, in.mouseY, visibleOnly);
        if (over) markHovered(number);
        showButtonFrame(button, over ? (pressedFrame && in.pressedButton == number ? 2 : 1) : 0);
    }
}

void MenuScene::hoverPass(uint32_t now) {
    const InputState& in = ctx_.input;
    switch (in.ScreenKind) {
        case kScreenMainMenu: hoverMainMenu(now); break;
        case kScreenGameType: hoverGameType(now); break;
        case kScreenGameMessage: {
            // The checkbox keeps showing the player's choice; only OK lights up.
            const PlayerRecord* player = ctx_.players ? ctx_.players->current() : nullptr;
            const ModeProgress* progress = player ? player->progress(ctx_.selectedMode) : nullptr;
            if (!dialogButtons_.empty()) {
                TMultiSprite* checkbox = objectAt(*ctx_.sceneObjects, dialogButtons_[0]);
                if (hitsObject(*ctx_.sceneObjects, checkbox, in.mouseX, in.mouseY)) markHovered(1);
                showButtonFrame(checkbox, progress && progress->showMessage == 1 ? 1 : 0);
            }
            if (dialogButtons_.size() > 1) hoverObjectButtons({dialogButtons_[1]}, false, true, 2);
            break;
        }
        case kScreenOptions: hoverOptions(now); break;
        case kScreenScores: scores_->UpdateScoresButtons(now); break;
        case kScreenHelp: hoverHelp(now); break;
        case kScreenNameEntry:
            hoverObjectButtons({nameButtons_[0], nameButtons_[1]}, true, true);
            break;
        case kScreenExitQuestion:
        case kScreenDeleteQuestion:
        case kScreenContinueQuestion:
        case kScreenNameMessage:
            hoverObjectButtons(dialogButtons_, true, false);
            break;
        case kScreenPlayerList: hoverPlayerList(now); break;
        default: break;
    }
}

void MenuScene::runCommand() {
    InputState& in = ctx_.input;
    // A command posted while this one is carried out waits for the next step.
    const int command = in.SceneCommand;
    in.SceneCommand = kCommandNone;
    switch (command) {
        case kCommandKey:
            if (in.ScreenKind == kScreenNameEntry) typeName();
            else if (in.ScreenKind == kScreenPlayerList) playerListKey();
            break;
        case kCommandGameType: openGameType(); break;
        case kCommandMainMenu: openMainMenu(); break;
        case kCommandStartArcade: startGame(kModeArcade); break;
        case kCommandStartChallenge: startGame(kModeChallenge); break;
        case kCommandStartPuzzle: startGame(kModePuzzle); break;
        case kCommandOptions: openOptions(); break;
        case kCommandScores: openScores(); break;
        case kCommandHelp: openHelp(); break;
        case kCommandFullscreen: state_.fullscreenRequest = true; break;
        case kCommandGameMessage: openGameMessage(); break;
        case kCommandMusicStep: stepVolume(true); break;
        case kCommandSoundStep: stepVolume(false); break;
        case kCommandExitQuestion: openExitQuestion(); break;
        case kCommandNameEntry: openNameEntry(); break;
        case kCommandPlayerList: openPlayerList(); break;
        case kCommandDeleteQuestion: openDeleteQuestion(); break;
        case kCommandContinueQuestion: openContinueQuestion(); break;
        case kCommandToggleMessages: toggleMessages(); break;
        default: break;
    }
}

void MenuScene::HandleButtonRelease() {
    InputState& in = ctx_.input;
    const int button = in.pressedButton;
    in.lastReleasedButton = button;
    switch (in.ScreenKind) {
        case kScreenMainMenu: releaseMainMenu(button); break;
        case kScreenGameType: releaseGameType(button); break;
        case kScreenGameMessage: releaseGameMessage(button); break;
        case kScreenOptions: releaseOptions(button); break;
        case kScreenScores:
            if (scores_->release(button)) in.SceneCommand = kCommandMainMenu;
            break;
        case kScreenHelp: releaseHelp(button); break;
        case kScreenExitQuestion: releaseExitQuestion(button); break;
        case kScreenNameEntry:
            if (button == 1 || button == 2) ConfirmNameEntry(button == 1);
            break;
        case kScreenNameMessage: releaseNameMessage(); break;
        case kScreenPlayerList: releasePlayerList(button); break;
        case kScreenDeleteQuestion: releaseDeleteQuestion(button); break;
        case kScreenContinueQuestion: releaseContinueQuestion(button); break;
        default: break;
    }
    // A release by Enter or Escape must not fire again over another button.
    in.pressedButton = -1;
}

void MenuScene::checkPlayers() {
    PlayerStore& players = *ctx_.players;
    if (players.empty()) {
        players.ReadPlayers();
        if (players.empty()) {
            state_.editMode = kEditFirstPlayer;
            ctx_.input.SceneCommand = kCommandNameEntry;
            ctx_.input.ScreenKind = kScreenNone;
        }
    }
    // The store keeps the current player inside a non-empty list (and stores the index).
}

void MenuScene::requestMenuMusic(int fadeOutMs, int fadeInMs) {
    state_.musicStarted = true;
    ctx_.audio->RequestMusic(ctx_.audio->musicMenu, fadeOutMs, fadeInMs);
}

void MenuScene::hideGameComments() {
    for (const char* tag : {"game_comment1", "game_comment2", "game_comment3"})
        ctx_.sceneObjects->SetVisibleByTag(tag, false);
}

void MenuScene::startFade(const std::vector<std::string>& tags, int step) { ctx_.dialogFade->start(tags, step); }

void MenuScene::unloadTags(std::initializer_list<const char*> tags) {
    for (const char* tag : tags) ctx_.sceneObjects->unload_by_tag(tag);
}

void MenuScene::UnloadSceneMenu() {
    SceneObjectList& objects = *ctx_.sceneObjects;
    ctx_.frame.sceneLive = false;
    showCursorFrame(*ctx_.sceneObjects, ctx_.input.cursorObject, 0);
    for (const char* tag : {"menu", "menu_buttons_mainmenu", "menu_buttons_select_game_type", "poloska_music",
                            "poloska_sound", "menu_help", "menu_buttons_music_sound_fullscreen", "input_player_name",
                            "input_player_name_back", "menu_text", "menu_text_button1", "menu_text_button2",
                            "game_comment1", "game_comment2", "game_comment3", "start_text",
                            "help_text", "options_text"})
        objects.unload_by_tag(tag);
    objects.SetVisibleByTag("loading", false);
    scores_->close();
    dialogButtons_.clear();
    ctx_.frame.paused = false;
    ctx_.frame.pausedTotal = 0;
    ctx_.hooks.HandleButtonRelease = nullptr;
}

}  // namespace qs
