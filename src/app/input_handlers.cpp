#include "app/input_handlers.h"

#include "app/context.h"
#include "audio/audio.h"
#include "core/scene_codes.h"
#include "render/key_codes.h"
#include "render/platform.h"
#include "scene/scene_object_list.h"
#include "ui/focus.h"

namespace qs {

void InputHandlers::hideSystemPointer() {
    // The game draws its own pointer; until that object exists the desktop's stays.
    if (ctx_.sceneObjects->at(ctx_.input.cursorObject)) ctx_.platform().showSystemCursor(false);
}

bool InputHandlers::insidePicture() const {
    const InputState& in = ctx_.input;
    return in.mouseX >= 0 && in.mouseX <= kScreenWidth && in.mouseY >= 0 && in.mouseY <= kScreenHeight;
}

void InputHandlers::ReadMousePosition(bool clip) {
    InputState& in = ctx_.input;
    if (in.keysOwnPointer) {
        // The keys put the pointer where it is; the game's pointer hides meanwhile.
        if (TMultiSprite* cursor = ctx_.sceneObjects->at(in.cursorObject)) cursor->visible = 0;
        return;
    }
    MousePoint point = ctx_.platform().mousePosition();
    in.mouseX = point.x;
    in.mouseY = point.y;
    if (clip && (point.x < 0 || point.x >= kScreenWidth || point.y < 0 || point.y >= kScreenHeight)) in.mouseX = -1000;
    if (TMultiSprite* cursor = ctx_.sceneObjects->at(in.cursorObject)) {
        cursor->x = in.mouseX;
        cursor->y = in.mouseY;
    }
}

void InputHandlers::FormKeyDown(int key, uint8_t shift) {
    if (!ctx_.frame.appActive) return;
    InputState& in = ctx_.input;
    if (key == kVkReturn || key == kVkEscape || key == kVkSpace) ++in.presses;
    in.keyCode = static_cast<uint16_t>(key);
    in.shiftState = shift;
    if (in.ScreenKind != 0) {
        // The scene's screen up answers first.
        const int button = ctx_.hooks.keyButton ? ctx_.hooks.keyButton(key) : 0;
        if (button != 0) {
            in.pressedButton = button;
            if (ctx_.hooks.HandleButtonRelease) ctx_.hooks.HandleButtonRelease();
            return;
        }
    }
    if (ctx_.hooks.command) ctx_.hooks.command(input::Key{key, shift});
}

void InputHandlers::watchScreen(uint32_t now) {
    const int kind = ctx_.input.ScreenKind;
    if (kind == shownKind_) return;
    shownKind_ = kind;
    shownAt_ = now;
    // A button held down through the change was pressed on what was there before.
    if (kind != 0) {
        ctx_.input.pressedButton = -1;
        staleDown_ = true;
    }
}

bool InputHandlers::guarded() const {
    return ctx_.input.ScreenKind != 0 && static_cast<int32_t>(ctx_.frame.frameTick - shownAt_) < static_cast<int32_t>(kClickGuardMs);
}

void InputHandlers::FormMouseDown(int button) {
    if (!ctx_.frame.appActive) return;
    hideSystemPointer();
    mouseTakesOver();
    InputState& in = ctx_.input;
    ++in.presses;  // anywhere in the window: the logo is skipped by it
    if (!insidePicture()) return;
    // Fast firing must not go straight through a dialog that has just come up.
    staleDown_ = guarded();
    if (staleDown_) {
        in.pressedButton = -1;
        return;
    }
    // Every press starts afresh: a button pressed earlier never fires on a later release.
    in.pressedButton = in.hoveredButton;
    if (in.hoveredButton != -1) ctx_.audio->PlaySound(ctx_.audio->FindSound("sample_mouse_down_button"));
    if (ctx_.hooks.command) ctx_.hooks.command(input::Press{button});
}

void InputHandlers::FormMouseMove() {
    if (!ctx_.frame.appActive) return;
    hideSystemPointer();
    mouseTakesOver();
}

void InputHandlers::mouseTakesOver() {
    InputState& in = ctx_.input;
    if (!in.keysOwnPointer) return;
    releaseFocus(in);
    if (TMultiSprite* cursor = ctx_.sceneObjects->at(in.cursorObject)) cursor->visible = 1;
    ReadMousePosition(true);
}

void InputHandlers::FormKeyUp(int key) {
    if (ctx_.frame.appActive && ctx_.hooks.command) ctx_.hooks.command(input::KeyUp{key});
}

void InputHandlers::FormMouseUp(int) {
    if (!ctx_.frame.appActive) return;
    hideSystemPointer();
    InputState& in = ctx_.input;
    if (staleDown_) {
        staleDown_ = false;
        in.pressedButton = -1;
        return;
    }
    // The scene's release handler forgets the pressed button, so it is read first.
    const int released = in.pressedButton;
    if (released != -1 && released == in.hoveredButton && insidePicture() && ctx_.hooks.HandleButtonRelease)
        ctx_.hooks.HandleButtonRelease();
    in.pressedButton = -1;
}

}  // namespace qs
