#include "game/view/statistics_overlay.h"

#include <algorithm>
#include <string>

#include "audio/audio.h"
#include "game/game_session.h"
#include "game/view/cell_art.h"
#include "game/view/field_view.h"
#include "game/view/hud_layout.h"
#include "scene/scene_object_list.h"
#include "scene/text_file.h"
#include "scene/text_objects.h"
#include "ui/dialog_fade.h"
#include "ui/scene_services.h"

namespace qs {

void StatisticsOverlay::enter() {
    SceneObjectList& objects = *c_.ctx.sceneObjects;
    const Gameplay& game = c_.session().game();
    c_.ctx.audio->RequestMusic(c_.ctx.audio->musicMenu, hud::kMusicFadeOutMs, hud::kMusicFadeInMs);
    objects.unload_by_tag("game_stat_text");
    objects.SetVisibleByTag("game_stat", true);
    findButtons("game_stat", {"panel_ok", "panel_menu"});
    const std::string level = std::to_string(game.level);
    const std::string total = std::to_string(game.score.totalScore);
    TMultiSprite* ok = objects.at(buttons_[0]);
    TMultiSprite* menu = objects.at(buttons_[1]);
    TMultiSprite* line = objects.at(objects.FindSceneObject("stat_poloska", 0, "game_stat"));
    switch (c_.session().statisticsKind()) {
        case StatisticsKind::kGameWon:
            ShowTextFile(objects, "text\\congratulations.txt", "game_stat_text");
            if (line) line->visible = 0;
            if (menu) menu->visible = 0;
            if (ok) ok->x = hud::kStatisticsLoneOkX;
            break;
        case StatisticsKind::kBestShot:
            ShowTextFile(objects, "text\\stat_with_best_shot.txt", "game_stat_text",
                         level + "," + total + "," + std::to_string(game.score.bestShot));
            ShowTextFile(objects, "text\\best_combo.txt", "game_stat_text",
                         game.score.bestCombo > 0 ? std::to_string(game.score.bestCombo) : "NONE");
            if (line) line->visible = 0;
            break;
        case StatisticsKind::kNewItem: {
            ShowTextFile(objects, "text\\stat_with_bonus.txt", "game_stat_text", level + "," + total);
            if (line) line->y = hud::kStatisticsBonusLineY;
            // The bonus's lines, a little smaller and wider apart than the figures, with room
            // for the ball that shows the bonus at their left.
            const char* font = "graphics\\fonts\\font_crystal1.spr";
            using namespace hud;
            constexpr double kScale = kBonusTextScale, kTop = kBonusTextTop, kLeading = kBonusTextLeading,
                             kBallRoom = kBonusBallRoom;
            double widest = 0;
            for (const std::string& text : game.levelValues.newBonusText)
                widest = std::max(widest, MeasureText(objects, text, font, kScale));
            int i = 0;
            for (const std::string& text : game.levelValues.newBonusText)
                create_txt(objects, text, kStatisticsTextZ, font, kStatisticsCentre + kBallRoom / 2,
                           kTop + kLeading * i++, kScale, 0xFFFFFF, "game_stat_text", 2);
            const double lines = static_cast<double>(game.levelValues.newBonusText.size());
            const int item = game.levelValues.newBonus;
            const int kind = item == kBonusMultiball    ? kCellMultiball
                             : item == kBonusColourBomb ? kCellColourBomb
                                                        : game.level % 7 + 1;
            TMultiSprite& picture = objects.create(cellArt(kind).prototype);
            picture.tag = "game_stat_text";
            picture.z = kStatisticsTextZ;
            dressBall(picture, kind, kind == kCellColourBomb ? 4 : 0,
                      kind == kCellMultiball || kind == kCellColourBomb ? 0 : item);
            if (kind == kCellColourBomb && picture.sprites.size() >= 2) picture.sprites[1]->color = 0xFF0000;
            picture.x = kStatisticsCentre + kBallRoom / 2 - widest / 2 - kBallRoom;
            picture.y = kTop + kLeading * (std::max(lines, 1.0) - 1) / 2 + 7;
            break;
        }
    }
    c_.ctx.dialogFade->start({"game_stat", "game_stat_text"});
}

void StatisticsOverlay::leave() {
    c_.ctx.sceneObjects->SetVisibleByTag("game_stat", false);
    c_.ctx.sceneObjects->SetVisibleByTag("game_stat_text", false);
    buttons_.clear();
}

void StatisticsOverlay::release(int button) {
    const bool won = c_.session().gameWon();
    // After the last level the menu button is hidden: Escape then means OK.
    if (button == 2 && won) button = 1;
    if (button == 1) {
        leave();
        if (won)
            c_.queue(command::ShowRecords{});
        else
            c_.queue(command::NextLevel{});
    } else if (button == 2) {
        leave();
        c_.queue(command::OpenExitDialog{});
    }
}

}  // namespace qs
