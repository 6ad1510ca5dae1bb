#include "ui/focus.h"

#include <algorithm>

#include "render/key_codes.h"
#include "scene/scene_object_list.h"
#include "visual/prototype_library.h"
#include "ui/frame_state.h"
#include "ui/screen.h"
#include "visual/multisprite.h"

namespace qs {

std::optional<FocusTarget> objectTarget(SceneObjectList& objects, int slot, int button) {
    const TMultiSprite* object = objects.at(slot);
    if (!object || !object->visible || object->sprites.empty()) return std::nullopt;
    const TextureSheet* sheet = objects.world().prototypes.textures().sheetAt(object->sprites[0]->sheet);
    if (!sheet) return std::nullopt;
    const TMyImageSprite& face = *object->sprites[0];
    return FocusTarget{button, static_cast<int>(face.X + sheet->frameWidth * object->scale_x / 2),
                       static_cast<int>(face.Y + sheet->frameHeight * object->scale_y / 2)};
}

std::optional<FocusTarget> objectTarget(SceneObjectList& objects, const ObjectRef& ref, int button) {
    return objectTarget(objects, objectAt(objects, ref) ? ref.slot : -1, button);
}

FocusTarget zoneTarget(const HitZone& zone, int button) {
    return {button, (zone.left + zone.right) / 2, (zone.top + zone.bottom) / 2};
}

int focusStep(const input::Key& key) {
    switch (key.code) {
        case kVkUp:
        case kVkLeft: return -1;
        case kVkDown:
        case kVkRight:
        case kVkTab: return (key.mods & kShiftShift) && key.code == kVkTab ? -1 : 1;
        default: return 0;
    }
}

namespace {

const FocusTarget* findTarget(const std::vector<FocusTarget>& order, int button) {
    auto found = std::find_if(order.begin(), order.end(), [button](const FocusTarget& t) { return t.button == button; });
    return found == order.end() ? nullptr : &*found;
}

const FocusTarget* defaultTarget(const std::vector<FocusTarget>& order, const Screen& screen) {
    if (const FocusTarget* chosen = findTarget(order, screen.defaultFocus())) return chosen;
    return order.empty() ? nullptr : &order.front();
}

}  // namespace

void focusOn(InputState& in, const FocusTarget& target) {
    in.keysOwnPointer = true;
    in.focusedButton = target.button;
    in.mouseX = target.x;
    in.mouseY = target.y;
}

void releaseFocus(InputState& in) {
    in.keysOwnPointer = false;
    in.focusedButton = 0;
}

void keepFocus(InputState& in, Screen* screen) {
    if (!screen) {
        // Nothing up: a screen that comes up again starts at its default.
        in.focusKind = kScreenNone;
        in.focusedButton = 0;
        return;
    }
    if (!in.keysOwnPointer) return;
    const std::vector<FocusTarget> order = screen->focusTargets();
    const FocusTarget* target = in.focusKind == screen->kind() ? findTarget(order, in.focusedButton) : nullptr;
    in.focusKind = screen->kind();
    if (!target) target = defaultTarget(order, *screen);
    if (target)
        focusOn(in, *target);
    else
        in.focusedButton = 0;
}

bool moveFocus(InputState& in, Screen* screen, int step) {
    if (!screen) return false;
    const std::vector<FocusTarget> order = screen->focusTargets();
    if (order.empty()) return false;
    const FocusTarget* current =
        in.keysOwnPointer && in.focusKind == screen->kind() ? findTarget(order, in.focusedButton) : nullptr;
    in.focusKind = screen->kind();
    if (!current) {
        focusOn(in, *defaultTarget(order, *screen));
        return true;
    }
    const int count = static_cast<int>(order.size());
    const int at = static_cast<int>(current - order.data());
    focusOn(in, order[static_cast<size_t>(((at + step) % count + count) % count)]);
    return true;
}

}  // namespace qs
