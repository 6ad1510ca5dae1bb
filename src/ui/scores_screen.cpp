#include "ui/scores_screen.h"

#include <algorithm>
#include <cstdint>

#include "core/scene_codes.h"
#include "profile/records_store.h"
#include "scene/location_map.h"
#include "scene/scene_object_list.h"
#include "scene/text_file.h"
#include "scene/text_objects.h"
#include "ui/buttons.h"
#include "ui/dialog_fade.h"
#include "ui/scene_services.h"
#include "visual/multisprite.h"

namespace qs {

namespace {

constexpr HitZone kZones[3] = {{277, 157, 290, 183}, {513, 157, 526, 183}, {314, 478, 484, 507}};
constexpr const char* kTitles[3] = {"text\\scores_title_arcade.txt", "text\\scores_title_challenge.txt",
                                    "text\\scores_title_puzzle.txt"};
constexpr const char* kFont = "graphics\\fonts\\font_taurus1.spr";
constexpr int kRowColour = 0xEECD00;
constexpr int kHighlightColour = 0x00CDEE;

}  // namespace

void ScoresScreen::prepare() {
    SceneObjectList& objects = *ctx_.sceneObjects;
    if (objects.FindSceneObject("button_ok_mini", 0, kTag) < 0) {
        load_location_map(*ctx_.sceneObjects, "menu_scores.map");
        objects.SetVisibleByTag(kTag, false);
    }
    FindScoresButtons();
}

void ScoresScreen::FindScoresButtons() {
    const SceneObjectList& objects = *ctx_.sceneObjects;
    buttons_[0] = objects.FindSceneObject("repair_left", 0, kTag);
    buttons_[1] = objects.FindSceneObject("repair_right", 0, kTag);
    buttons_[2] = objects.FindSceneObject("button_ok_mini", -1, kTag);
    companion_ = objects.FindSceneObject("movepart_mini", -1, kTag);
    for (int slot : buttons_)
        if (slot < 0) ctx_.log.error("menu_scores.map lacks one of the records screen's buttons");
}

void ScoresScreen::OpenScoresScreen(int mode, const std::optional<GameResult>& result) {
    SceneObjectList& objects = *ctx_.sceneObjects;
    ctx_.input.ScreenKind = kScreenScores;
    objects.SetVisibleByTag("menu_buttons_mainmenu", false);
    objects.SetVisibleByTag(kTag, true);
    for (const char* tag : {"menu_text", "menu_text_button1", "menu_text_button2", "scores_text"})
        objects.unload_by_tag(tag);
    ShowTextFile(*ctx_.sceneObjects, "text\\game_title_scores.txt", "scores_text");
    scoresMode_ = mode >= 1 && mode <= 3 ? mode : 1;
    ShowRecords(result ? &*result : nullptr);
    ctx_.dialogFade->start({kTag, "scores_text", "scores_records"});
}

void ScoresScreen::ShowRecords(const GameResult* result) {
    SceneObjectList& objects = *ctx_.sceneObjects;
    objects.unload_by_tag("scores_records");
    ShowTextFile(*ctx_.sceneObjects, kTitles[scoresMode_ - 1], "scores_records");
    ShowTextFile(*ctx_.sceneObjects, "text\\scores_title_footer.txt", "scores_records");

    if (!ctx_.records) ctx_.openRecords();
    const int score = static_cast<int>(std::clamp<int64_t>(result ? result->score : 0, 0, INT32_MAX));
    const RecordsView view = result ? ctx_.records->enter(scoresMode_, result->name, result->level, score)
                                    : ctx_.records->table(scoresMode_);
    highlighted_ = view.highlighted;
    rows_ = static_cast<int>(view.rows.size());
    for (int i = 1; i <= rows_; ++i) {
        const RecordEntry& row = view.rows[static_cast<size_t>(i - 1)];
        const int colour = i == highlighted_ ? kHighlightColour : kRowColour;
        const double y = 197 + 25 * i;
        create_txt(*ctx_.sceneObjects, row.rank + ".", 200, kFont, 222, y, 0.65, colour, "scores_records", kAlignRight);
        create_txt(*ctx_.sceneObjects, row.name, 200, kFont, 230, y, 0.65, colour, "scores_records", kAlignLeft);
        create_txt(*ctx_.sceneObjects, row.level, 200, kFont, 450, y, 0.65, colour, "scores_records", kAlignRight);
        create_txt(*ctx_.sceneObjects, row.score, 200, kFont, 590, y, 0.65, colour, "scores_records", kAlignRight);
    }
    ctx_.recordsShown = {true, scoresMode_, rows_, highlighted_};
    // A fade under way takes the new rows along.
    objects.RebuildObjectGroup(DialogFade::kGroup);
    if (ctx_.dialogFade->running()) objects.SetObjectGroupAlpha(DialogFade::kGroup, static_cast<uint8_t>(ctx_.dialogFade->alpha()));
}

void ScoresScreen::UpdateScoresButtons(uint32_t now) {
    InputState& in = ctx_.input;
    SceneObjectList& objects = *ctx_.sceneObjects;
    for (int i = 0; i < 3; ++i) {
        TMultiSprite* button = objects.at(buttons_[i]);
        const int number = i + 1;
        const bool over = button && kZones[i].contains(in.mouseX, in.mouseY);
        if (over) {
            in.hoveredButton = number;
            showCursorFrame(*ctx_.sceneObjects, ctx_.input.cursorObject, 1);
        }
        const bool arrow = number != 3;
        showButtonFrame(button, over ? (arrow && in.pressedButton == number ? 2 : 1) : 0);
        if (!arrow) animateCompanion(objects.at(companion_), over, now);
    }
}

std::vector<FocusTarget> ScoresScreen::focusTargets() const {
    std::vector<FocusTarget> targets;
    for (int i = 0; i < 3; ++i)
        if (ctx_.sceneObjects->at(buttons_[i])) targets.push_back(zoneTarget(kZones[i], i + 1));
    return targets;
}

bool ScoresScreen::release(int button) {
    if (button == 1 || button == 2) {
        scoresMode_ = button == 1 ? (scoresMode_ == 1 ? 3 : scoresMode_ - 1) : (scoresMode_ == 3 ? 1 : scoresMode_ + 1);
        ShowRecords(nullptr);
        return false;
    }
    return button == 3;
}

void ScoresScreen::close() {
    SceneObjectList& objects = *ctx_.sceneObjects;
    objects.SetVisibleByTag(kTag, false);
    objects.unload_by_tag("scores_text");
    objects.unload_by_tag("scores_records");
    highlighted_ = 0;
    rows_ = 0;
    ctx_.recordsShown = {};
}

}  // namespace qs
