#include "menu/game_message_screen.h"

#include "core/scene_codes.h"
#include "menu/menu_state.h"
#include "profile/player_store.h"
#include "scene/scene_object_list.h"
#include "scene/text_file.h"
#include "ui/scene_services.h"
#include "visual/multisprite.h"

namespace qs {

namespace {

constexpr const char* kTag = "game_message";

const char* gameMessage(GameMode mode) {
    switch (mode) {
        case kModeChallenge: return "text\\game_message_challenge.txt";
        case kModePuzzle: return "text\\game_message_puzzle.txt";
        default: return "text\\game_message_arcade.txt";
    }
}

}  // namespace

void GameMessageScreen::enter() {
    menu_.hideGameComments();
    ctx_.input.ScreenKind = kScreenGameMessage;
    ctx_.sceneObjects->SetVisibleByTag("menu_buttons_select_game_type", false);
    buttons_ = menu_.openDialog("game_message.map", kTag, {"checkbox", "panel_ok"});
    ShowTextFile(*ctx_.sceneObjects, gameMessage(ctx_.selectedMode), kTag);
    menu_.startFade({kTag});
}

void GameMessageScreen::leave() { ctx_.sceneObjects->unload_by_tag(kTag); }

void GameMessageScreen::hover(uint32_t) {
    // The checkbox keeps showing the player's choice; only OK lights up.
    const InputState& in = ctx_.input;
    const PlayerRecord* player = ctx_.players ? ctx_.players->current() : nullptr;
    const ModeProgress* progress = player ? player->progress(ctx_.selectedMode) : nullptr;
    if (!buttons_.empty()) {
        TMultiSprite* checkbox = objectAt(*ctx_.sceneObjects, buttons_[0]);
        if (hitsObject(*ctx_.sceneObjects, checkbox, in.mouseX, in.mouseY)) menu_.markHovered(1);
        showButtonFrame(checkbox, progress && progress->showMessage == 1 ? 1 : 0);
    }
    if (buttons_.size() > 1) menu_.hoverObjectButtons({buttons_[1]}, false, true, 2);
}

void GameMessageScreen::release(int button) {
    if (button == 1) {
        const PlayerRecord* player = ctx_.players->current();
        const ModeProgress* progress = player ? player->progress(ctx_.selectedMode) : nullptr;
        if (progress) ctx_.players->setShowMessage(ctx_.selectedMode, progress->showMessage != 1);
    } else if (button == 2) {
        menu_.startChosenGame();
    }
}

}  // namespace qs
