#pragma once

#include <optional>
#include <vector>

#include "ui/buttons.h"
#include "ui/input_command.h"

namespace qs {

class Screen;
class SceneObjectList;
struct InputState;

// A button the keys can move to: its number (as the screen's release takes it) and a point on
// it. Focusing a button puts the game's pointer there, so the screen's own hover pass gives
// it the hovered face and Enter presses it.
struct FocusTarget {
    int button = 0;
    int x = 0;
    int y = 0;
};

// The centre of a button object's face; none when the object is missing or hidden.
std::optional<FocusTarget> objectTarget(SceneObjectList& objects, const ObjectRef& ref, int button);
std::optional<FocusTarget> objectTarget(SceneObjectList& objects, int slot, int button);
// The centre of a fixed hit zone.
FocusTarget zoneTarget(const HitZone& zone, int button);

// How an arrow key moves the focus: -1 back (Up, Left), +1 on (Down, Right, Tab), 0 for any
// other key.
int focusStep(const input::Key& key);

// Keys take the pointer over: it stays where the keys put it until the mouse moves. The
// screen up's focus is kept valid: one that came up (or a focus on a button it lacks) shows
// its default button.
void keepFocus(InputState& in, Screen* screen);
// Moves the focus `step` buttons along the screen's order, wrapping; the first key press only
// shows the default button. False when the screen has no buttons to move between.
bool moveFocus(InputState& in, Screen* screen, int step);
// Puts the focus on a button of the screen up (a screen's own keys, such as a volume arrow).
void focusOn(InputState& in, const FocusTarget& target);
// The mouse is back: the pointer follows it again and nothing is focused.
void releaseFocus(InputState& in);

}  // namespace qs
