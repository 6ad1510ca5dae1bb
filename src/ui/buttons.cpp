#include "ui/buttons.h"

#include "core/log.h"
#include "scene/scene_object_list.h"
#include "visual/multisprite.h"
#include "visual/prototype_library.h"

namespace qs {

ObjectRef findObject(SceneObjectList& objects, const std::string& name, int occurrence, const std::string& tag) {
    ObjectRef ref{objects.FindSceneObject(name, occurrence, tag), name, tag};
    if (ref.slot < 0) objects.log().error("no object \"" + name + "\" with the tag \"" + tag + "\" (" + tag + ".map)");
    return ref;
}

TMultiSprite* objectAt(SceneObjectList& objects, const ObjectRef& ref) {
    TMultiSprite* object = objects.at(ref.slot);
    if (!object || object->name != ref.name || object->tag != ref.tag) return nullptr;
    return object;
}

void showPartFrame(TMultiSprite* object, int part, int frame) {
    if (!object || part < 0 || part >= static_cast<int>(object->sprites.size())) return;
    TMyImageSprite& sprite = *object->sprites[static_cast<size_t>(part)];
    sprite.animPos = frame;
    sprite.animSpeed = 0;
}

void animateCompanion(TMultiSprite* companion, bool hovered, uint32_t now) {
    const int frame = hovered ? companionFrame(now) : 0;
    showPartFrame(companion, 0, frame);
    showPartFrame(companion, 1, frame);
}

bool hitsObject(SceneObjectList& objects, const TMultiSprite* object, int x, int y, bool visibleOnly) {
    if (!object || object->sprites.empty()) return false;
    if (visibleOnly && !object->visible) return false;
    return objects.ObjectContainsPoint(*object, x, y, 0, 0, objects.world().prototypes.textures());
}

void createMouseCursor(SceneObjectList& objects, int& cursorSlot) {
    if (objects.at(cursorSlot)) return;
    TMultiSprite& cursor = objects.create("graphics\\cursors\\mouse_cursor.spr");
    cursor.tag = "mouse_cursor";
    cursor.map_koeff = 0;
    // The point of the arrow is two pixels into its picture.
    for (size_t i = 0; i < cursor.sprites.size() && i < 2; ++i) {
        cursor.sprites[i]->partX = -2;
        cursor.sprites[i]->partY = -2;
    }
    cursorSlot = cursor.slot;
}

void showCursorFrame(SceneObjectList& objects, int cursorSlot, int frame) {
    showPartFrame(objects.at(cursorSlot), 0, frame);
}

}  // namespace qs
