#pragma once

namespace qs {

struct Gameplay;

inline constexpr int kBombFuseMs = 400;

// When the detonation deadline has passed and no ball flies: every colour bomb and big bomb
// of the grid goes off, and the result is scored.
void detonateBombs(Gameplay& game);

}  // namespace qs
