#include "render/key_codes.h"

#include "render/sdl_key_codes.h"

namespace qs {

int virtualKeyFromSdl(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return kVkA + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return kVk0 + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return kVkF1 + (key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return kVkNumpad0 + 1 + (key - SDLK_KP_1);
    switch (key) {
        case SDLK_BACKSPACE: return kVkBack;
        case SDLK_TAB: return kVkTab;
        case SDLK_RETURN:
        case SDLK_RETURN2:
        case SDLK_KP_ENTER: return kVkReturn;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT: return kVkShift;
        case SDLK_LCTRL:
        case SDLK_RCTRL: return kVkControl;
        case SDLK_LALT:
        case SDLK_RALT: return kVkMenu;
        case SDLK_PAUSE: return kVkPause;
        case SDLK_ESCAPE: return kVkEscape;
        case SDLK_SPACE: return kVkSpace;
        case SDLK_PAGEUP: return kVkPrior;
        case SDLK_PAGEDOWN: return kVkNext;
        case SDLK_END: return kVkEnd;
        case SDLK_HOME: return kVkHome;
        case SDLK_LEFT: return kVkLeft;
        case SDLK_UP: return kVkUp;
        case SDLK_RIGHT: return kVkRight;
        case SDLK_DOWN: return kVkDown;
        case SDLK_INSERT: return kVkInsert;
        case SDLK_DELETE: return kVkDelete;
        case SDLK_KP_0: return kVkNumpad0;
        case SDLK_MINUS:
        case SDLK_KP_MINUS: return kVkMinus;
        case SDLK_PERIOD:
        case SDLK_KP_PERIOD: return kVkPeriod;
        default: return 0;
    }
}

}  // namespace qs
