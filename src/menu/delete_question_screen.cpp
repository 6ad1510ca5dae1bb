#include "menu/delete_question_screen.h"

#include "core/scene_codes.h"
#include "menu/menu_state.h"
#include "profile/player_store.h"
#include "scene/scene_object_list.h"
#include "scene/text_file.h"
#include "scene/text_objects.h"
#include "ui/scene_services.h"

namespace qs {

namespace {

constexpr const char* kTag = "name_confirm";

}  // namespace

void DeleteQuestionScreen::enter() {
    const PlayerList& players = ctx_.players->players();
    const int selection = state_.list.selection;
    if (selection < 0 || selection >= static_cast<int>(players.size())) return;
    menu_.unloadTags({"select_player", "select_player_text", "select_player_text_button1", "select_player_text_button2"});
    buttons_ = menu_.openDialog("name_confirm.map", kTag, {"panel_yes", "panel_no"});
    ShowTextFile(*ctx_.sceneObjects, "text\\delete_player.txt", kTag);
    create_txt(*ctx_.sceneObjects, players[static_cast<size_t>(selection)].name + "?", 1010, "graphics\\fonts\\font_taurus2.spr", 400,
               297, 1.0, 0xFFFFFF, kTag, kAlignCentre);
    ctx_.input.ScreenKind = kScreenDeleteQuestion;
    menu_.startFade({"input_player_name_back", kTag});
}

void DeleteQuestionScreen::leave() { ctx_.sceneObjects->unload_by_tag(kTag); }

void DeleteQuestionScreen::release(int button) {
    PlayerStore& players = *ctx_.players;
    if (button == 1) {
        if (players.count() == 1) {
            if (players.removePlayer(0)) {
                // Someone has to play: straight on to a first player.
                state_.editMode = kEditFirstPlayer;
                menu_.post(kCommandNameEntry);
                return;
            }
        } else if (players.removePlayer(state_.list.selection)) {
            state_.list.clampTo(players.count());
        }
        state_.keepEdit = true;
        menu_.post(kCommandPlayerList);
    } else if (button == 2) {
        state_.keepEdit = true;
        menu_.post(kCommandPlayerList);
    }
}

}  // namespace qs
