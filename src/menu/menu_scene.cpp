#include "menu/menu_scene.h"

#include "audio/audio.h"
#include "core/scene_codes.h"
#include "menu/continue_question_screen.h"
#include "menu/delete_question_screen.h"
#include "menu/exit_question_screen.h"
#include "menu/game_message_screen.h"
#include "menu/game_type_screen.h"
#include "menu/help_screen.h"
#include "menu/main_menu_screen.h"
#include "menu/name_entry_screen.h"
#include "menu/name_message_screen.h"
#include "menu/options_screen.h"
#include "menu/player_list_screen.h"
#include "menu/records_screen.h"
#include "profile/player_store.h"
#include "scene/location_map.h"
#include "scene/particles.h"
#include "scene/scene_object_list.h"
#include "scene/text_file.h"
#include "ui/dialog_fade.h"
#include "ui/scene_services.h"
#include "ui/scores_screen.h"
#include "visual/multisprite.h"

namespace qs {

namespace {

// The tags the main menu fades in (with the first part of the panel) on the first visit.
constexpr const char* kMainMenuTags[] = {"menu_buttons_mainmenu", "menu_text", "menu_text_button1",
                                         "menu_text_button2"};
constexpr uint32_t kMenuFadeMs = 1500;
// The menu's music comes in over a quarter second, and a game's start fades it out as fast.
constexpr int kMusicFadeMs = 250;

// The commands that bring a screen up.
struct ScreenCommand {
    SceneCommand command;
    ScreenKind screen;
};
constexpr ScreenCommand kScreenCommands[] = {
    {kCommandMainMenu, kScreenMainMenu},       {kCommandGameType, kScreenGameType},
    {kCommandGameMessage, kScreenGameMessage}, {kCommandContinueQuestion, kScreenContinueQuestion},
    {kCommandOptions, kScreenOptions},         {kCommandScores, kScreenScores},
    {kCommandHelp, kScreenHelp},               {kCommandExitQuestion, kScreenExitQuestion},
    {kCommandPlayerList, kScreenPlayerList},   {kCommandDeleteQuestion, kScreenDeleteQuestion},
    {kCommandNameEntry, kScreenNameEntry},
};

const char* modeTitle(GameMode mode) {
    switch (mode) {
        case kModeChallenge: return "text\\game_title_challenge.txt";
        case kModePuzzle: return "text\\game_title_puzzle.txt";
        default: return "text\\game_title_arcade.txt";
    }
}

}  // namespace

MenuScene::MenuScene(SceneServices& context)
    : ctx_(context), scores_(std::make_unique<ScoresScreen>(context)), menu_(context, state_, screens_),
      intro_(menu_) {
    ctx_.menu = &state_;
    // The menu's screens, a row each.
    add(std::make_unique<MainMenuScreen>(menu_));
    add(std::make_unique<GameTypeScreen>(menu_));
    add(std::make_unique<GameMessageScreen>(menu_));
    add(std::make_unique<ContinueQuestionScreen>(menu_));
    add(std::make_unique<OptionsScreen>(menu_));
    add(std::make_unique<RecordsScreen>(menu_, *scores_));
    add(std::make_unique<HelpScreen>(menu_));
    add(std::make_unique<ExitQuestionScreen>(menu_));
    add(std::make_unique<PlayerListScreen>(menu_));
    add(std::make_unique<DeleteQuestionScreen>(menu_));
    add(std::make_unique<NameEntryScreen>(menu_));
    add(std::make_unique<NameMessageScreen>(menu_));
}

MenuScene::~MenuScene() {
    if (ctx_.menu == &state_) ctx_.menu = nullptr;
}

void MenuScene::add(std::unique_ptr<MenuScreen> screen) {
    screenList_.push_back(screen.get());
    screens_.add(std::move(screen));
}

MenuScreen* MenuScene::screenUp() const {
    // Every screen in the table came in through `add`.
    return static_cast<MenuScreen*>(screens_.find(ctx_.input.ScreenKind));
}

bool MenuScene::preparing() const {
    return state_.introState != -1 || !state_.loadingFinished;
}

void MenuScene::StartSceneMenu() {
    InputState& in = ctx_.input;
    ctx_.WriteLog("StartSceneMenu");
    state_.fullscreenRequest = false;
    state_.menuFadeState = 0;
    state_.menuFadeStamp = 0;
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
        if (!ctx_.startGameAtOnce) intro_.show();
    }
    if (intro_.contentLoaded()) menu_.requestMenuMusic(kMusicFadeMs, kMusicFadeMs);
    ctx_.hooks.HandleButtonRelease = [this] { HandleButtonRelease(); };
    ctx_.hooks.keyButton = [this](int virtualKey) {
        return keyButtonOf(screenUp(), virtualKey, ctx_.input.focusedButton);
    };
    ctx_.hooks.command = [this](const InputCommand& command) { return take(command); };
}

bool MenuScene::take(const InputCommand& command) {
    // Presses reach the screens as button releases; keys wait for the next step, in order.
    const auto* key = std::get_if<input::Key>(&command);
    if (!key) return false;
    state_.keys.push_back(*key);
    return true;
}

void MenuScene::deliverKeys() {
    std::vector<input::Key> keys;
    keys.swap(state_.keys);
    for (const input::Key& key : keys) {
        MenuScreen* screen = screenUp();
        if (!screen || screen->key(key)) continue;
        if (const int step = focusStep(key)) moveFocus(ctx_.input, screen, step);
    }
}

bool MenuScene::setUpUpdate() {
    if (ctx_.frame.sceneChangeRequest != 0) return false;
    const uint32_t now = ctx_.clock().now();
    InputState& in = ctx_.input;
    // The content loads while the logo plays; a player who has seen the logo may skip it.
    if (state_.introState != -1) {
        if (ctx_.options.intro_seen && in.presses != state_.introPresses) {
            state_.introState = -1;
        } else {
            intro_.runLogo(now);
            if (state_.introState == -1 && !ctx_.options.intro_seen) {
                ctx_.options.intro_seen = true;
                ctx_.WriteOptionValue("intro_seen", "1");
            }
        }
    }
    if (!state_.loadingFinished) intro_.runLoading(now);
    if (preparing()) return false;
    setUp();
    // The menu is there in the same update.
    step(now);
    return true;
}

void MenuScene::UpdateSceneMenu() {
    if (ctx_.frame.sceneChangeRequest != 0) return;
    step(ctx_.clock().now());
}

void MenuScene::step(uint32_t now) {
    InputState& in = ctx_.input;
    ctx_.readPointer(true);
    ctx_.dialogFade->update();
    runMenuFade(now);
    in.hoveredButton = -1;
    state_.arrowDirection = 0;
    showCursorFrame(*ctx_.sceneObjects, ctx_.input.cursorObject, 0);
    keepFocus(in, screenUp());
    if (MenuScreen* screen = screenUp()) screen->hover(now);
    runCommand();
    if (MenuScreen* screen = screenUp()) screen->step();
    ctx_.particles->UpdateAll();
}

void MenuScene::setUp() {
    SceneObjectList& objects = *ctx_.sceneObjects;
    if (!ctx_.players)
        ctx_.openPlayers();
    else
        ctx_.players->ReadPlayers();

    // Every screen's panel is loaded here and stays, hidden while another screen is up.
    load_location_map(objects, "menu.map");
    load_location_map(objects, "menu_buttons_mainmenu.map");
    load_location_map(objects, "menu_buttons_select_game_type.map");
    ShowTextFile(objects, "text\\choose_game_type.txt", "menu_buttons_select_game_type");
    load_location_map(objects, "menu_buttons_music_sound_fullscreen.map");
    ShowTextFile(objects, "text\\game_options.txt", "menu_buttons_music_sound_fullscreen");
    load_location_map(objects, "menu_help.map");
    scores_->prepare();
    load_location_map(objects, "input_player_name.map");
    menuPanel_ = findObject(objects, "menu_panel", -1, "menu");
    load_location_map(objects, "input_player_name_back.map");
    for (MenuScreen* screen : screenList_) screen->prepare();

    for (const char* tag : kMainMenuTags) objects.SetAlphaByTag(tag, 0);
    for (const char* tag : {"menu_buttons_select_game_type", "menu_buttons_music_sound_fullscreen", "menu_scores",
                            "menu_help", "input_player_name", "input_player_name_back"})
        objects.SetVisibleByTag(tag, false);

    TMultiSprite* panel = objectAt(objects, menuPanel_);
    if (state_.shownBefore) {
        // Back from a game: the menu is there at once.
        for (const char* tag : kMainMenuTags) objects.SetAlphaByTag(tag, 255);
        if (panel && !panel->sprites.empty()) panel->sprites[0]->alpha = 255;
    } else if (panel && !panel->sprites.empty()) {
        panel->sprites[0]->alpha = 0;
    }

    for (const char* tag : {"game_comment1", "game_comment2", "game_comment3"}) objects.unload_by_tag(tag);
    ShowTextFile(objects, "text\\game_comment_arcade.txt", "game_comment1");
    ShowTextFile(objects, "text\\game_comment_challenge.txt", "game_comment2");
    ShowTextFile(objects, "text\\game_comment_puzzle.txt", "game_comment3");
    menu_.hideGameComments();

    state_.shownBefore = true;
    // Keys and clicks from before the menu was there (Escape during the logo) are dropped.
    state_.pending = kCommandNone;
    state_.keys.clear();
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

void MenuScene::runCommand() {
    // The keys were typed on the screen that is up; then the screen's request is carried out
    // (one posted while it is carried out waits for the next step).
    deliverKeys();
    const SceneCommand command = state_.pending;
    state_.pending = kCommandNone;
    for (const ScreenCommand& opens : kScreenCommands) {
        if (opens.command == command) {
            menu_.open(opens.screen);
            return;
        }
    }
    switch (command) {
        case kCommandStartArcade: startGame(kModeArcade); break;
        case kCommandStartChallenge: startGame(kModeChallenge); break;
        case kCommandStartPuzzle: startGame(kModePuzzle); break;
        default:
            if (MenuScreen* screen = screenUp()) screen->command(command);
            break;
    }
}

void MenuScene::HandleButtonRelease() {
    InputState& in = ctx_.input;
    const int button = in.pressedButton;
    in.lastReleasedButton = button;
    // Keys typed before the release come first (a name is complete when its OK is pressed).
    deliverKeys();
    if (MenuScreen* screen = screenUp()) screen->release(button);
    // A release by Enter or Escape must not fire again over another button.
    in.pressedButton = -1;
}

void MenuScene::startGame(GameMode mode) {
    menu_.hideGameComments();
    ctx_.audio->RequestMusic(-1, kMusicFadeMs, 0);
    menu_.unloadTags({"game_message", "continue_last_game"});
    ctx_.selectedMode = mode;
    ctx_.requestScene(kSceneGame);
    ctx_.input.ScreenKind = kScreenMainMenu;
    // The mode's title stays up while the game comes in.
    ShowTextFile(*ctx_.sceneObjects, modeTitle(mode), "game_type_text");
    menu_.unloadTags({"start_text"});
}

void MenuScene::UnloadSceneMenu() {
    SceneObjectList& objects = *ctx_.sceneObjects;
    showCursorFrame(objects, ctx_.input.cursorObject, 0);
    for (MenuScreen* screen : screenList_) screen->leave();
    for (const char* tag : {"menu", "menu_buttons_mainmenu", "menu_buttons_select_game_type", "menu_help",
                            "menu_buttons_music_sound_fullscreen", "input_player_name", "input_player_name_back",
                            "game_comment1", "game_comment2", "game_comment3"})
        objects.unload_by_tag(tag);
    objects.SetVisibleByTag("loading", false);
    ctx_.hooks.HandleButtonRelease = nullptr;
    ctx_.hooks.keyButton = nullptr;
    ctx_.hooks.command = nullptr;
    state_.keys.clear();
}

}  // namespace qs
