// tarnby-golf: the game, in a window. With --headless it plays a script (or, with
// --autoplay, the computer golfer plays) on a virtual clock.
#include <cstdio>

#include "platform/play/autoplay_game.h"
#include "platform/play/game_options.h"
#include "platform/play/headless_game.h"
#include "platform/sdl/window_game.h"

int main(int argc, char** argv)
{
    using namespace tarnby;
    GameOptions options;
    if (auto status = options.parse(argc, argv)) {
        return *status;
    }
    options.useThreads();
    if (!options.headless) {
        return WindowGame(options).run();
    }
    // A recorded autoplay game is played back by the same runner.
    if (options.autoplay || !options.replayPath.empty()) {
        return AutoplayGame(options).run();
    }
    return HeadlessGame(options).run();
}
