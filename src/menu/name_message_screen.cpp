#include "menu/name_message_screen.h"

#include "core/scene_codes.h"
#include "menu/menu_state.h"
#include "scene/scene_object_list.h"
#include "scene/text_file.h"
#include "ui/scene_services.h"

namespace qs {

namespace {

constexpr const char* kTag = "name_message";
constexpr const char* kEntryTag = "input_player_name";

}  // namespace

void NameMessageScreen::enter() {
    const char* textFile = menu_.nameMessage.textFile;
    const bool nameExists = menu_.nameMessage.nameExists;
    SceneObjectList& objects = *ctx_.sceneObjects;
    objects.SetVisibleByTag(kEntryTag, false);
    if (nameExists) objects.SetVisibleByTag("input_player_name_text", false);
    if (state_.editMode == kEditNewPlayer) objects.SetVisibleByTag("input_player_name_title", false);
    buttons_ = menu_.openDialog("name_message.map", kTag, {"panel_ok"});
    ShowTextFile(objects, textFile, kTag);
    ctx_.input.ScreenKind = kScreenNameMessage;
    if (state_.editMode == kEditNewPlayer)
        menu_.startFade({"input_player_name_back", kTag});
    else if (!nameExists)
        menu_.startFade({"input_player_name_back", "input_player_name_title", kTag});
}

void NameMessageScreen::leave() { ctx_.sceneObjects->unload_by_tag(kTag); }

void NameMessageScreen::release(int) {
    leave();
    state_.keepEdit = true;
    menu_.post(kCommandNameEntry);
    ctx_.input.ScreenKind = kScreenNone;
}

}  // namespace qs
