// Where the running program lives: the game's data files sit beside it.
#pragma once

#include <string>

namespace tarnby {

// The folder of the running executable with a trailing "/", or "./" when the
// system cannot say.
std::string executableFolder();

}  // namespace tarnby
