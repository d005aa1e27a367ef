// Resetting the process-wide state of a game.
#include "terrain/game_world.h"

#include "runtime/random.h"
#include "sprite/vmenu.h"
#include "sprite/vtext.h"
#include "terrain/vphob.h"

namespace tarnby {

void resetGameWorld(uint32_t seed)
{
    gravity = 0;
    Vmenu::setMenuColour(Vmenu::kDefaultColour);
    Vmenu::setIconLibrary(nullptr);
    Vtext::setDefaultFont(nullptr);
    Vtext::setDefaultTextColour(Vtext::kWhite);
    reseedRandom(seed);
}

}  // namespace tarnby
