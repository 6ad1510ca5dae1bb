#include "game/view/overlay_screen.h"

#include "core/log.h"
#include "game/game_mode.h"
#include "scene/scene_object_list.h"
#include "ui/scene_services.h"
#include "visual/prototype_library.h"

namespace qs {

void OverlayScreen::findButtons(const std::string& tag, const std::vector<std::string>& names) {
    buttons_.clear();
    for (const std::string& name : names) {
        const int slot = c_.ctx.sceneObjects->FindSceneObject(name, 0, tag);
        if (slot < 0) c_.ctx.log.error(tag + " has no button \"" + name + "\"");
        buttons_.push_back(slot);
    }
}

int OverlayScreen::buttonSlot(int number) const {
    if (number < 1 || number > static_cast<int>(buttons_.size())) return -1;
    return buttons_[static_cast<size_t>(number - 1)];
}

std::vector<FocusTarget> OverlayScreen::focusTargets() const {
    std::vector<FocusTarget> targets;
    for (size_t i = 0; i < buttons_.size(); ++i)
        if (auto target = objectTarget(*c_.ctx.sceneObjects, buttons_[i], static_cast<int>(i) + 1)) targets.push_back(*target);
    return targets;
}

void OverlayScreen::hover(uint32_t) {
    InputState& in = c_.ctx.input;
    SceneObjectList& objects = *c_.ctx.sceneObjects;
    for (size_t i = 0; i < buttons_.size(); ++i) {
        TMultiSprite* button = objects.at(buttons_[i]);
        if (!button || !button->visible || button->sprites.empty()) continue;
        const int number = static_cast<int>(i) + 1;
        const bool over =
            objects.ObjectContainsPoint(*button, in.mouseX, in.mouseY, 0, 0, c_.ctx.prototypes->textures());
        if (over) in.hoveredButton = number;
        button->sprites[0]->animPos = over ? (in.pressedButton == number ? 2 : 1) : 0;
        button->sprites[0]->animSpeed = 0;
    }
}

const char* modeTitleText(int mode) {
    switch (mode) {
        case kModeChallenge: return "text\\game_title_challenge.txt";
        case kModePuzzle: return "text\\game_title_puzzle.txt";
        default: return "text\\game_title_arcade.txt";
    }
}

}  // namespace qs
