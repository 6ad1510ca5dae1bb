#include "menu/continue_question_screen.h"

#include <string>

#include "core/scene_codes.h"
#include "menu/menu_state.h"
#include "profile/player_store.h"
#include "scene/scene_object_list.h"
#include "scene/text_file.h"
#include "ui/scene_services.h"

namespace qs {

namespace {

constexpr const char* kTag = "continue_last_game";

}  // namespace

void ContinueQuestionScreen::enter() {
    menu_.hideGameComments();
    ctx_.input.ScreenKind = kScreenContinueQuestion;
    menu_.unloadTags({"game_message"});
    ctx_.sceneObjects->SetVisibleByTag("menu_buttons_select_game_type", false);
    buttons_ = menu_.openDialog("continue_last_game.map", kTag, {"panel_yes", "panel_no"});
    // The question names the level and the score the game goes on with.
    const ContinueOffer& offer = state_.offer;
    if (offer.afterLoss)
        ShowTextFile(*ctx_.sceneObjects, "text\\continue_game_after_loss.txt", kTag,
                     std::to_string(offer.checkpointLevel) + "," + std::to_string(offer.score));
    else
        ShowTextFile(*ctx_.sceneObjects, "text\\continue_game.txt", kTag,
                     std::to_string(offer.level) + "," + std::to_string(offer.score));
    menu_.startFade({kTag});
}

void ContinueQuestionScreen::leave() { ctx_.sceneObjects->unload_by_tag(kTag); }

void ContinueQuestionScreen::release(int button) {
    if (button != 1 && button != 2) return;
    const GameMode mode = ctx_.selectedMode;
    const ContinueOffer offer = state_.offer;
    const bool yes = button == 1;
    if (ctx_.players->current())
        ctx_.players->update([&](PlayerList& list, int& current) {
            answerContinue(*list[static_cast<size_t>(current)].progress(mode), offer, yes);
        });
    menu_.post(startCommand(mode));
}

}  // namespace qs
