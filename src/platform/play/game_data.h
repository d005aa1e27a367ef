// Choosing the game's data folder at start-up, and refusing to play on a
// torn or incomplete set of data files.
#pragma once

#include <string>

namespace tarnby {

// Makes `folder` (the program's own folder when empty) the data folder and
// checks the data generation's stamp there. The program's own folder must hold
// one complete generation; a folder given with --data is checked when it holds
// a stamp, and one without a stamp (hand-made data) is played as far as its
// files allow. Gives an empty string, or the one line that says what is wrong.
std::string useDataFolder(const std::string& folder);

}  // namespace tarnby
