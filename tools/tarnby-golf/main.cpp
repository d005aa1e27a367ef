// tarnby-golf: the game. With --headless it plays a script (or, with
// --autoplay, the computer golfer plays) on a virtual clock.
#include <cstdio>

#include "platform/play/autoplay_game.h"
#include "platform/play/game_options.h"
#include "platform/play/headless_game.h"

int main(int argc, char** argv)
{
    using namespace tarnby;
    GameOptions options;
    if (auto status = options.parse(argc, argv)) {
        return *status;
    }
    if (!options.headless) {
        std::printf("tarnby-golf: the game's window is not built yet; play a script with --headless (see --help)\n");
        return 1;
    }
    if (options.autoplay) {
        return AutoplayGame(options).run();
    }
    return HeadlessGame(options).run();
}
