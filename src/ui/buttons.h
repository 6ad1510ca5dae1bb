#pragma once

#include <cstdint>
#include <string>

namespace qs {

class SceneObjectList;
class TMultiSprite;

// A screen's fixed hit rectangle; both bounds belong to it.
struct HitZone {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

// A scene object found by name, occurrence and tag. It is resolved again through its name and
// tag, so a handle whose object was freed (and whose slot went to another object) finds
// nothing instead of a stranger.
struct ObjectRef {
    int slot = -1;
    std::string name;
    std::string tag;
};
// Looks the object up; a missing one is logged with the name and tag that should hold it.
ObjectRef findObject(SceneObjectList& objects, const std::string& name, int occurrence, const std::string& tag);
TMultiSprite* objectAt(SceneObjectList& objects, const ObjectRef& ref);

// Shows one frame of a part and holds it there (button faces never run on their own).
void showPartFrame(TMultiSprite* object, int part, int frame);
// The face of a button: frame 0 at rest, 1 hovered, 2 pressed.
inline void showButtonFrame(TMultiSprite* object, int frame) { showPartFrame(object, 0, frame); }

// The chevrons beside a hovered button run a four-frame cycle of 128 ms a frame.
inline int companionFrame(uint32_t now) { return 2 + static_cast<int>((now / 128) % 4); }
// Both chevron parts of a companion: running while its button is hovered, else at rest.
void animateCompanion(TMultiSprite* companion, bool hovered, uint32_t now);

// The object's own pixels decide whether the point hits it; a missing object never does, and
// with `visibleOnly` neither does a hidden one.
bool hitsObject(SceneObjectList& objects, const TMultiSprite* object, int x, int y, bool visibleOnly = true);

// The game's own mouse pointer, made once the content is loaded (it stays for the run and
// does not scroll with the map); the handlers move it.
void createMouseCursor(SceneObjectList& objects, int& cursorSlot);

// The pointer object shows frame 1 over a button and frame 0 elsewhere.
void showCursorFrame(SceneObjectList& objects, int cursorSlot, int frame);

}  // namespace qs
