#pragma once

#include <cstddef>

#include "render/draw_list.h"

namespace qs {

// The game's screen in the coordinates the draw list speaks (whatever the window's size).
inline constexpr int kViewWidth = 800;
inline constexpr int kViewHeight = 600;

// Drops the quads of list[from..] that cannot show: those wholly off the screen, and those
// wholly hidden under opaque, unrotated quads drawn after them. The rest keep their order.
//
// A map may hold thousands of objects; drawing each one that nobody can see made the frame
// cost grow with the object count (the software renderer fills every pixel of every quad).
// Coverage is kept per cell of 16 x 16 pixels, one bit per cell in a mask per cell row, so
// the check costs a few operations per cell row a quad touches. Only cells an opaque quad
// covers completely count, so a quad is dropped only when no pixel of it could show.
void cullHiddenQuads(DrawList& list, std::size_t from, int screenWidth, int screenHeight);

}  // namespace qs
