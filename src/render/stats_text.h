#pragma once

// Private to the SDL library: only its own sources include this, since nothing else is
// built with SDL's headers.

#include <string>

#include <SDL.h>

namespace qs {

// Draws a short line of digits and a few letters with a built-in 3 x 5 pixel font, for the
// frame statistics that must show even before any content font is loaded.
void drawStatsText(SDL_Renderer* renderer, const std::string& text, int x, int y, int scale);

}  // namespace qs
