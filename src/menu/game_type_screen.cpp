#include "menu/game_type_screen.h"

#include "core/scene_codes.h"
#include "menu/menu_state.h"
#include "profile/player_store.h"
#include "scene/scene_object_list.h"
#include "scene/text_file.h"
#include "ui/scene_services.h"
#include "visual/multisprite.h"

namespace qs {

namespace {

constexpr const char* kPanel = "menu_buttons_select_game_type";
// The game type buttons use the first three rows and the bottom one of the big buttons.
constexpr int kZoneOfButton[4] = {0, 1, 2, 4};
constexpr const char* kComments[3] = {"game_comment1", "game_comment2", "game_comment3"};

}  // namespace

void GameTypeScreen::prepare() {
    static const char* const kNames[] = {"button_arcade", "button_challenge", "button_puzzle", "button_back"};
    for (int i = 0; i < 4; ++i) {
        buttons_[i] = findObject(*ctx_.sceneObjects, kNames[i], -1, kPanel);
        movers_[i] = findObject(*ctx_.sceneObjects, "movepart", i, kPanel);
    }
}

void GameTypeScreen::enter() {
    SceneObjectList& objects = *ctx_.sceneObjects;
    state_.lastHoveredGameType = 1;
    ctx_.input.ScreenKind = kScreenGameType;
    objects.SetVisibleByTag("menu_buttons_mainmenu", false);
    objects.SetVisibleByTag(kPanel, true);
    menu_.unloadTags({"menu_text", "menu_text_button1", "menu_text_button2", "start_text"});
    ShowTextFile(objects, "text\\game_title_start.txt", "start_text");
    menu_.startFade({kPanel, "start_text", kComments[0], kComments[1], kComments[2]});
}

void GameTypeScreen::leave() { menu_.unloadTags({"start_text"}); }

void GameTypeScreen::hover(uint32_t now) {
    const InputState& in = ctx_.input;
    int hoveredType = 0;
    for (int i = 0; i < 4; ++i) {
        TMultiSprite* button = objectAt(*ctx_.sceneObjects, buttons_[i]);
        const bool over = button && kBigButtons[kZoneOfButton[i]].contains(in.mouseX, in.mouseY);
        if (over) {
            menu_.markHovered(i + 1);
            if (i < 3) hoveredType = i + 1;
        }
        showButtonFrame(button, over ? 1 : 0);
        animateCompanion(objectAt(*ctx_.sceneObjects, movers_[i]), over, now);
    }
    for (int i = 0; i < 3; ++i) ctx_.sceneObjects->SetVisibleByTag(kComments[i], hoveredType == i + 1);
    if (hoveredType != 0 && hoveredType != state_.lastHoveredGameType) {
        // A new mode's comment comes in from transparent.
        menu_.startFade({kComments[0], kComments[1], kComments[2]});
        state_.lastHoveredGameType = hoveredType;
    }
}

std::vector<FocusTarget> GameTypeScreen::focusTargets() const {
    std::vector<FocusTarget> targets;
    for (int i = 0; i < 4; ++i)
        if (objectAt(*ctx_.sceneObjects, buttons_[static_cast<size_t>(i)]))
            targets.push_back(zoneTarget(kBigButtons[kZoneOfButton[i]], i + 1));
    return targets;
}

int GameTypeScreen::defaultFocus() const { return static_cast<int>(ctx_.selectedMode); }

void GameTypeScreen::release(int button) {
    if (button >= 1 && button <= 3) {
        ctx_.selectedMode = static_cast<GameMode>(button);
        const PlayerRecord* player = ctx_.players->current();
        const ModeProgress* progress = player ? player->progress(button) : nullptr;
        if (progress && progress->showMessage == 1)
            menu_.post(kCommandGameMessage);
        else
            menu_.startChosenGame();
    } else if (button == 4) {
        menu_.post(kCommandMainMenu);
    }
}

}  // namespace qs
