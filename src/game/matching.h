#pragma once

namespace qs {

struct Gameplay;

// Where the score text goes: the mean centre of the marked cells, else the screen centre.
void computeTextPosition(Gameplay& game);
// One removal run over the marked cells; returns how many went.
int removeMarked(Gameplay& game);
// The two runs a match or a detonation makes; returns the count of the second run.
int removeMarkedTwice(Gameplay& game);
// Removes one cell with its effects (bonus release, small-bomb marks, particles).
void removeCell(Gameplay& game, int column, int row, bool scoreParticle);
// Lets every cell that no longer hangs from the ceiling fall (and, in puzzle mode, collects
// the crystals with nothing below), pass after pass until nothing moves. Returns the total.
int dropUnsupported(Gameplay& game, bool scoreParticle);
// A crystal left the grid at (x, y): counted, and shown flying to the counter unless an
// overlay covers the field.
void collectCrystal(Gameplay& game, double x, double y);

}  // namespace qs
