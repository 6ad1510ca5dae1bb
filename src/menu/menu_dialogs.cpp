#include "menu/menu_scene.h"

#include "ui/scene_services.h"
#include "core/scene_codes.h"
#include "profile/player_store.h"
#include "scene/location_map.h"
#include "scene/scene_object_list.h"
#include "scene/text_file.h"

namespace qs {

namespace {

const char* gameMessage(GameMode mode) {
    switch (mode) {
        case kModeChallenge: return "text\\game_message_challenge.txt";
        case kModePuzzle: return "text\\game_message_puzzle.txt";
        default: return "text\\game_message_arcade.txt";
    }
}

SceneCommand startCommand(GameMode mode) {
    switch (mode) {
        case kModeChallenge: return kCommandStartChallenge;
        case kModePuzzle: return kCommandStartPuzzle;
        default: return kCommandStartArcade;
    }
}

}  // namespace

void MenuScene::openDialog(const char* map, const std::string& tag, std::vector<std::string> buttonNames) {
    ctx_.sceneObjects->unload_by_tag(tag);
    load_location_map(*ctx_.sceneObjects, map);
    dialogButtons_.clear();
    for (const std::string& name : buttonNames) dialogButtons_.push_back(findObject(*ctx_.sceneObjects, name, 0, tag));
}

void MenuScene::openGameMessage() {
    hideGameComments();
    ctx_.input.ScreenKind = kScreenGameMessage;
    ctx_.sceneObjects->SetVisibleByTag("menu_buttons_select_game_type", false);
    openDialog("game_message.map", "game_message", {"checkbox", "panel_ok"});
    ShowTextFile(*ctx_.sceneObjects, gameMessage(ctx_.selectedMode), "game_message");
    startFade({"game_message"});
}

void MenuScene::releaseGameMessage(int button) {
    if (button == 1) {
        const PlayerRecord* player = ctx_.players->current();
        const ModeProgress* progress = player ? player->progress(ctx_.selectedMode) : nullptr;
        if (progress) ctx_.players->setShowMessage(ctx_.selectedMode, progress->showMessage != 1);
    } else if (button == 2) {
        StartChosenGame();
    }
}

void MenuScene::StartChosenGame() {
    InputState& in = ctx_.input;
    PlayerStore& players = *ctx_.players;
    // The stored progress decides, not what this run remembers.
    players.ReadPlayers();
    const PlayerRecord* player = players.current();
    if (!player) {
        state_.editMode = kEditFirstPlayer;
        in.SceneCommand = kCommandNameEntry;
        return;
    }
    const GameMode mode = ctx_.selectedMode;
    state_.offer = continueOffer(*player->progress(mode), mode);
    if (state_.offer.ask) {
        in.SceneCommand = kCommandContinueQuestion;
        return;
    }
    players.update([mode](PlayerList& list, int& current) { startAfresh(*list[static_cast<size_t>(current)].progress(mode)); });
    in.SceneCommand = startCommand(mode);
}

void MenuScene::openContinueQuestion() {
    hideGameComments();
    ctx_.input.ScreenKind = kScreenContinueQuestion;
    unloadTags({"game_message"});
    ctx_.sceneObjects->SetVisibleByTag("menu_buttons_select_game_type", false);
    openDialog("continue_last_game.map", "continue_last_game", {"panel_yes", "panel_no"});
    // The question names the level and the score the game goes on with.
    const ContinueOffer& offer = state_.offer;
    if (offer.afterLoss)
        ShowTextFile(*ctx_.sceneObjects, "text\\continue_game_after_loss.txt", "continue_last_game",
                     std::to_string(offer.checkpointLevel) + "," + std::to_string(offer.score));
    else
        ShowTextFile(*ctx_.sceneObjects, "text\\continue_game.txt", "continue_last_game",
                     std::to_string(offer.level) + "," + std::to_string(offer.score));
    startFade({"continue_last_game"});
}

void MenuScene::releaseContinueQuestion(int button) {
    if (button != 1 && button != 2) return;
    const GameMode mode = ctx_.selectedMode;
    const ContinueOffer offer = state_.offer;
    const bool yes = button == 1;
    if (ctx_.players->current())
        ctx_.players->update([&](PlayerList& list, int& current) {
            answerContinue(*list[static_cast<size_t>(current)].progress(mode), offer, yes);
        });
    ctx_.input.SceneCommand = startCommand(mode);
}

void MenuScene::openExitQuestion() {
    ctx_.input.ScreenKind = kScreenExitQuestion;
    ctx_.sceneObjects->SetVisibleByTag("menu_buttons_mainmenu", false);
    openDialog("exit_to_windows.map", "exit_to_windows", {"panel_yes", "panel_no"});
    ShowTextFile(*ctx_.sceneObjects, "text\\exit_to_windows.txt", "exit_to_windows");
    startFade({"exit_to_windows"});
}

void MenuScene::releaseExitQuestion(int button) {
    if (button == 1) {
        // The window closes through its own way out: the loop ends, the device and files go.
        ctx_.WriteLog("exit from menu");
        ctx_.frame.closeRequested = true;
    } else if (button == 2) {
        ctx_.input.SceneCommand = kCommandMainMenu;
    }
}

}  // namespace qs
