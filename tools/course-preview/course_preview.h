// course-preview: renders a hole's 3-D view, depth and map to PNG files and
// simulates shots on it, for course authors and for the engine's checks.
//
//   course-preview --data DIR --file NAME [--course C] [--size WxH]
//                  [--camera X,Z,HEADING,HEIGHT,HORIZON | --tee H]
//                  [--view OUT.png] [--depth OUT.png] [--map OUT.png]
//                  [--launch VX,VY,VZ --from X,Z [--wind WX,WZ] [--pin X,Z] --path OUT.txt]
//
// Every number of --camera, --launch, --from, --wind and --pin is a raw Fixed
// value (32768 = one yard; angles 32768 to a full turn).
#pragma once

#include <string>
#include <vector>

namespace tarnby::preview {

// Runs the tool with the arguments after the program name. Gives the exit
// status: 0 on success, 1 with a one-line message otherwise.
int run(const std::vector<std::string>& args);

}  // namespace tarnby::preview
