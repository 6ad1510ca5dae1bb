#include "menu/menu_context.h"

#include "audio/audio.h"
#include "menu/menu_state.h"
#include "profile/player_store.h"
#include "scene/location_map.h"
#include "scene/scene_object_list.h"
#include "ui/dialog_fade.h"
#include "ui/scene_services.h"
#include "ui/screen.h"
#include "visual/multisprite.h"

namespace qs {

SceneCommand startCommand(GameMode mode) {
    switch (mode) {
        case kModeChallenge: return kCommandStartChallenge;
        case kModePuzzle: return kCommandStartPuzzle;
        default: return kCommandStartArcade;
    }
}

void MenuContext::open(ScreenKind kind) {
    if (Screen* screen = screens_.find(kind)) screen->enter();
}

void MenuContext::post(SceneCommand command) { state.pending = command; }

void MenuContext::markHovered(int button) {
    services.input.hoveredButton = button;
    showCursorFrame(*services.sceneObjects, services.input.cursorObject, 1);
}

void MenuContext::hoverObjectButtons(const std::vector<ObjectRef>& buttons, bool pressedFrame, bool visibleOnly,
                                     int firstNumber) {
    const InputState& in = services.input;
    for (size_t i = 0; i < buttons.size(); ++i) {
        TMultiSprite* button = objectAt(*services.sceneObjects, buttons[i]);
        if (!button) continue;
        const int number = firstNumber + static_cast<int>(i);
        const bool over = hitsObject(*services.sceneObjects, button, in.mouseX, in.mouseY, visibleOnly);
        if (over) markHovered(number);
        showButtonFrame(button, over ? (pressedFrame && in.pressedButton == number ? 2 : 1) : 0);
    }
}

std::vector<FocusTarget> MenuContext::targetsOf(const std::vector<ObjectRef>& buttons, int firstNumber) const {
    std::vector<FocusTarget> targets;
    for (size_t i = 0; i < buttons.size(); ++i)
        if (auto target = objectTarget(*services.sceneObjects, buttons[i], firstNumber + static_cast<int>(i)))
            targets.push_back(*target);
    return targets;
}

void MenuContext::startFade(const std::vector<std::string>& tags, int step) { services.dialogFade->start(tags, step); }

void MenuContext::unloadTags(std::initializer_list<const char*> tags) {
    for (const char* tag : tags) services.sceneObjects->unload_by_tag(tag);
}

void MenuContext::hideGameComments() {
    for (const char* tag : {"game_comment1", "game_comment2", "game_comment3"})
        services.sceneObjects->SetVisibleByTag(tag, false);
}

void MenuContext::requestMenuMusic(int fadeOutMs, int fadeInMs) {
    state.musicStarted = true;
    services.audio->RequestMusic(services.audio->musicMenu, fadeOutMs, fadeInMs);
}

std::vector<ObjectRef> MenuContext::openDialog(const char* map, const std::string& tag,
                                               const std::vector<std::string>& buttonNames) {
    services.sceneObjects->unload_by_tag(tag);
    load_location_map(*services.sceneObjects, map);
    std::vector<ObjectRef> buttons;
    for (const std::string& name : buttonNames) buttons.push_back(findObject(*services.sceneObjects, name, 0, tag));
    return buttons;
}

void MenuContext::startChosenGame() {
    PlayerStore& players = *services.players;
    // The stored progress decides, not what this run remembers.
    players.ReadPlayers();
    const PlayerRecord* player = players.current();
    if (!player) {
        state.editMode = kEditFirstPlayer;
        post(kCommandNameEntry);
        return;
    }
    const GameMode mode = services.selectedMode;
    state.offer = continueOffer(*player->progress(mode), mode);
    if (state.offer.ask) {
        post(kCommandContinueQuestion);
        return;
    }
    players.update([mode](PlayerList& list, int& current) { startAfresh(*list[static_cast<size_t>(current)].progress(mode)); });
    post(startCommand(mode));
}

}  // namespace qs
