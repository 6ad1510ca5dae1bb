#include "menu/player_list_screen.h"

#include <algorithm>

#include "core/scene_codes.h"
#include "menu/menu_state.h"
#include "profile/player_store.h"
#include "render/key_codes.h"
#include "scene/location_map.h"
#include "scene/scene_object_list.h"
#include "scene/text_file.h"
#include "scene/text_objects.h"
#include "ui/scene_services.h"
#include "visual/multisprite.h"

namespace qs {

namespace {

enum PlayerListButton { kScrollUp = 1, kScrollDown, kDelete, kRename, kOk, kCancel, kCreateLine, kFirstRow };

constexpr const char* kListTag = "select_player";

}  // namespace

void PlayerListScreen::enter() {
    SceneObjectList& objects = *ctx_.sceneObjects;
    menu_.unloadTags({"name_confirm", "input_player_name_text", "input_player_name_title", "menu_text", "menu_text_button1",
                "menu_text_button2", kListTag, "select_player_text", "select_player_text_button1",
                "select_player_text_button2"});
    ctx_.input.ScreenKind = kScreenPlayerList;
    objects.SetVisibleByTag("input_player_name", false);
    objects.SetVisibleByTag("input_player_name_back", true);
    objects.SetVisibleByTag("menu_buttons_mainmenu", false);
    load_location_map(*ctx_.sceneObjects, "select_player.map");
    ShowTextFile(*ctx_.sceneObjects, "text\\create_player1.txt", "select_player_text_button1");
    ShowTextFile(*ctx_.sceneObjects, "text\\create_player2.txt", "select_player_text_button2");
    objects.SetVisibleByTag("select_player_text_button2", false);

    marker_ = findObject(*ctx_.sceneObjects, "marker", -1, kListTag);
    buttons_.clear();
    for (const char* name : {"scroller_up", "scroller_down", "panel_delete", "panel_rename", "panel_ok", "panel_cancel"})
        buttons_.push_back(findObject(*ctx_.sceneObjects, name, -1, kListTag));
    scrollerBar_ = findObject(*ctx_.sceneObjects, "scroller_bar", -1, kListTag);
    ShowTextFile(*ctx_.sceneObjects, "text\\choose_player.txt", kListTag);
    ShowTextFile(*ctx_.sceneObjects, "text\\game_title_players.txt", kListTag);

    if (!state_.keepEdit) state_.list.place(ctx_.players->currentPlayer());
    state_.keepEdit = false;
    DrawPlayerList();
    menu_.startFade({"input_player_name_back", kListTag, "select_player_text_button1", "select_player_text_button2",
               "select_player_text"});
}

void PlayerListScreen::leave() {
    menu_.unloadTags({kListTag, "select_player_text", "select_player_text_button1", "select_player_text_button2"});
}

void PlayerListScreen::DrawPlayerList() {
    const PlayerList& players = ctx_.players->players();
    const int count = static_cast<int>(players.size());
    PlayerListCursor& list = state_.list;
    list.clampTo(count);
    menu_.unloadTags({"select_player_text"});
    for (int i = 0; i < kListRows && list.top + i < count; ++i)
        create_txt(*ctx_.sceneObjects, players[static_cast<size_t>(list.top + i)].name, 1005, "graphics\\fonts\\font_taurus2.spr",
                   380, 207 + 24 * i, 0.9, -1, "select_player_text", kAlignCentre);
    if (TMultiSprite* marker = objectAt(*ctx_.sceneObjects, marker_)) marker->y = 208 + 24 * list.row;
    // The thumb shows which part of the list is in view: at the top while every name fits.
    if (TMultiSprite* bar = objectAt(*ctx_.sceneObjects, scrollerBar_))
        bar->y = count <= kListRows ? 201 : 201 + 130.0 * list.top / (count - kListRows);
    // Names made during a fade come in with it.
    ctx_.sceneObjects->RebuildObjectGroup("dialog_tag_list");
}

void PlayerListScreen::hover(uint32_t) {
    const InputState& in = ctx_.input;
    menu_.hoverObjectButtons(buttons_, true, false);
    const bool overCreate = kCreatePlayerLine.contains(in.mouseX, in.mouseY);
    if (overCreate) menu_.markHovered(kCreateLine);
    ctx_.sceneObjects->SetVisibleByTag("select_player_text_button2", overCreate);
    ctx_.sceneObjects->SetVisibleByTag("select_player_text_button1", !overCreate);
    for (int r = 0; r < kListRows; ++r)
        if (playerRowZone(r).contains(in.mouseX, in.mouseY)) menu_.markHovered(kFirstRow + r);
}

void PlayerListScreen::release(int button) {
    PlayerListCursor& list = state_.list;
    const int count = ctx_.players->count();
    if (button >= kFirstRow && button < kFirstRow + kListRows) {
        const int row = button - kFirstRow;
        const int index = list.playerOnRow(row, count);
        if (index < 0) return;
        if (row != list.row) {
            list.row = row;
            list.selection = index;
            DrawPlayerList();
            return;
        }
        button = kOk;  // the highlighted row clicked again chooses that player
    }
    switch (button) {
        case kScrollUp:
            list.previous();
            DrawPlayerList();
            break;
        case kScrollDown:
            list.next(count);
            DrawPlayerList();
            break;
        case kDelete: menu_.post(kCommandDeleteQuestion); break;
        case kRename:
            state_.editMode = kEditRename;
            menu_.post(kCommandNameEntry);
            break;
        case kOk:
            if (ctx_.players->selectPlayer(list.selection)) menu_.post(kCommandMainMenu);
            break;
        case kCancel: menu_.post(kCommandMainMenu); break;
        case kCreateLine:
            state_.editMode = kEditNewPlayer;
            menu_.post(kCommandNameEntry);
            break;
        default: break;
    }
}

std::vector<FocusTarget> PlayerListScreen::focusTargets() const {
    // The buttons and the new-player line as they read, top to bottom and left to right.
    std::vector<FocusTarget> targets = menu_.targetsOf(buttons_);
    targets.push_back(zoneTarget(kCreatePlayerLine, kCreateLine));
    std::stable_sort(targets.begin(), targets.end(),
                     [](const FocusTarget& a, const FocusTarget& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    return targets;
}

bool PlayerListScreen::key(const input::Key& key) {
    // Up and Down scroll the list; the other arrows move between the buttons.
    if (key.code == kVkUp) {
        state_.list.previous();
    } else if (key.code == kVkDown) {
        state_.list.next(ctx_.players->count());
    } else {
        return false;
    }
    DrawPlayerList();
    return true;
}

}  // namespace qs
