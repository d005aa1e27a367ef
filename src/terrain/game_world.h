// The process-wide state of a game, and the one reset that puts it back as it
// was when the process started: a new game, a replayed script or the next test
// starts from the same world.
//
// The state it covers:
//   - the physics' `gravity` (0 until the game loads a hole and sets it),
//   - the menus' panel colour and icon-tile pictures (Vmenu),
//   - the default font and text colour of new texts (Vtext),
//   - the random source, started again from `seed` as if the tick count had
//     been `seed` at its first use.
// Not covered, because no rule of play depends on them: the string pool (it
// only shares equal strings) and the memory-budget counter of buffers.
#pragma once

#include <cstdint>

namespace tarnby {

// Call before building a game's scene (the game then sets its own font, menu
// pictures and gravity); drops the references to the font and menu pictures.
void resetGameWorld(uint32_t seed);

}  // namespace tarnby
