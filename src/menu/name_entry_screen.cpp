#include "menu/name_entry_screen.h"

#include "core/scene_codes.h"
#include "core/text_util.h"
#include "menu/menu_state.h"
#include "profile/player_store.h"
#include "render/platform.h"
#include "scene/location_map.h"
#include "scene/scene_object_list.h"
#include "scene/text_file.h"
#include "scene/text_objects.h"
#include "ui/scene_services.h"
#include "visual/multisprite.h"

namespace qs {

namespace {

constexpr const char* kEntryTag = "input_player_name";

// A profile that cannot be written is said once more here, where the player waits for it:
// once a run, with the file and the reason (the log may well be off).
void tellNotSaved(SceneServices& ctx) {
    std::optional<std::string> failure = ctx.players ? ctx.players->failureToTell() : std::nullopt;
    if (!failure) return;
    ctx.platform().showMessageBox("Quibblestar", "The players could not be saved: " + *failure +
                                                     ". Check that the game's user folder can be written to.");
}

}  // namespace

void NameEntryScreen::prepare() {
    renameCursor_ = findObject(*ctx_.sceneObjects, "rename_cursor", -1, kEntryTag);
    buttons_ = {findObject(*ctx_.sceneObjects, "panel_ok", 0, kEntryTag),
                findObject(*ctx_.sceneObjects, "panel_cancel", 0, kEntryTag)};
}

void NameEntryScreen::enter() {
    SceneObjectList& objects = *ctx_.sceneObjects;
    menu_.unloadTags({"input_player_name_title", "name_confirm", "name_message", "select_player", "select_player_text",
                "select_player_text_button1", "select_player_text_button2", "menu_text", "menu_text_button1",
                "menu_text_button2"});
    ctx_.input.ScreenKind = kScreenNameEntry;
    objects.SetVisibleByTag(kEntryTag, true);
    objects.SetVisibleByTag("input_player_name_back", true);
    objects.SetVisibleByTag("menu_buttons_mainmenu", false);
    TMultiSprite* ok = objectAt(*ctx_.sceneObjects, buttons_[0]);
    TMultiSprite* cancel = objectAt(*ctx_.sceneObjects, buttons_[1]);
    if (cancel) cancel->visible = 1;
    if (ok) ok->x = 296;
    if (state_.editMode == kEditRename) {
        const PlayerList& players = ctx_.players->players();
        const int selection = state_.list.selection;
        state_.nameText = selection >= 0 && selection < static_cast<int>(players.size())
                              ? players[static_cast<size_t>(selection)].name
                              : std::string();
        ShowTextFile(*ctx_.sceneObjects, "text\\rename_player.txt", "input_player_name_title");
    } else {
        if (!state_.keepEdit) state_.nameText.clear();
        if (state_.editMode == kEditFirstPlayer) {
            // A first player cannot cancel: someone has to play.
            if (cancel) cancel->visible = 0;
            if (ok) ok->x = 352;
        }
        ShowTextFile(*ctx_.sceneObjects, "text\\your_name.txt", "input_player_name_title");
    }
    // The panel's ribbon names the screen, as it does on every other one.
    ShowTextFile(*ctx_.sceneObjects, "text\\game_title_players.txt", "input_player_name_title");
    state_.keepEdit = false;
    redrawName();
    menu_.startFade({kEntryTag, "input_player_name_back", "input_player_name_title", "input_player_name_text"});
}

void NameEntryScreen::leave() { menu_.unloadTags({"input_player_name_text", "input_player_name_title"}); }

void NameEntryScreen::hover(uint32_t) { menu_.hoverObjectButtons({buttons_[0], buttons_[1]}, true, true); }

void NameEntryScreen::release(int button) {
    if (button == 1 || button == 2) ConfirmNameEntry(button == 1);
}

void NameEntryScreen::redrawName() {
    menu_.unloadTags({"input_player_name_text"});
    const double width = create_txt(*ctx_.sceneObjects, state_.nameText, 1010, "graphics\\fonts\\font_taurus1.spr", 400, 280, 0.75,
                                    0xFFFFFF, "input_player_name_text", kAlignCentre);
    // The cursor stands just right of the centred name.
    if (TMultiSprite* cursor = objectAt(*ctx_.sceneObjects, renameCursor_)) cursor->x = width / 2 + 400 + 4;
    ctx_.sceneObjects->RebuildObjectGroup("dialog_tag_list");
}

bool NameEntryScreen::key(const input::Key& key) {
    if (!typeNameKey(state_.nameText, key.code, (key.mods & kShiftShift) != 0)) return false;
    redrawName();
    return true;
}

void NameEntryScreen::ConfirmNameEntry(bool ok) {
    SceneObjectList& objects = *ctx_.sceneObjects;
    PlayerStore& players = *ctx_.players;
    const std::string name = trim(state_.nameText);
    if (ok && !name.empty()) {
        // An exact match first (a first player coming back), then one in another letter case.
        int existing = players.find(name);
        for (int i = 0; existing < 0 && i < players.count(); ++i)
            if (sameName(players.players()[static_cast<size_t>(i)].name, name)) existing = i;
        switch (state_.editMode) {
            case kEditFirstPlayer: {
                const bool done = existing >= 0 ? players.selectPlayer(existing) : players.addFirstPlayer(name);
                if (!done) {
                    tellNotSaved(ctx_);
                    return;
                }
                menu_.post(kCommandMainMenu);
                return;
            }
            case kEditNewPlayer:
                if (existing >= 0) {
                    showNameMessage("text\\name_already_exists.txt", true);
                    return;
                }
                if (!players.addPlayer(name)) {
                    tellNotSaved(ctx_);
                    return;
                }
                state_.list.place(players.count() - 1);
                break;
            default:
                if (existing >= 0 && existing != state_.list.selection) {
                    showNameMessage("text\\name_already_exists.txt", true);
                    return;
                }
                if (!players.renamePlayer(state_.list.selection, name)) {
                    tellNotSaved(ctx_);
                    return;
                }
                break;
        }
        objects.SetVisibleByTag(kEntryTag, false);
        state_.keepEdit = true;
        menu_.post(kCommandPlayerList);
        return;
    }
    if (state_.editMode == kEditFirstPlayer) {
        if (players.empty()) {
            showNameMessage("text\\please_enter_name.txt", false);
        } else if (!ok) {
            // The store keeps the current player inside the list.
            menu_.post(kCommandMainMenu);
        }
        return;
    }
    objects.SetVisibleByTag(kEntryTag, false);
    state_.keepEdit = true;
    menu_.post(kCommandPlayerList);
}

void NameEntryScreen::showNameMessage(const char* textFile, bool nameExists) {
    menu_.nameMessage = {textFile, nameExists};
    menu_.open(kScreenNameMessage);
}

}  // namespace qs
