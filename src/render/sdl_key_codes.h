#pragma once

// Private to the SDL library: only its own sources include this, since nothing else is
// built with SDL's headers.

#include <SDL.h>

namespace qs {

// SDL keycode -> virtual-key code; 0 for keys the game has no code for.
int virtualKeyFromSdl(SDL_Keycode key);

}  // namespace qs
