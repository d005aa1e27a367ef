// The program's icon for desktop menus: a flag in a hole on a green under a
// blue sky, with a ball, 128 x 128 pixels.
#pragma once

#include <string>

namespace tarnby::art {

bool writeAppIcon(const std::string& path);

}  // namespace tarnby::art
