// autoplay-soak: the computer golfer plays all 54 holes (or those asked for,
// with the game program's --course, --rounds, --holes and --size options) on
// the headless host, every frame painted, and says how long it took.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/play/autoplay_game.h"
#include "platform/play/game_options.h"

int main(int argc, char** argv)
{
    using namespace tarnby;
    std::vector<const char*> args = { argv[0], "--headless", "--autoplay" };
    for (int i = 1; i < argc; ++i) {
        args.push_back(argv[i]);
    }
    GameOptions options;
    if (auto status = options.parse(static_cast<int>(args.size()), args.data())) {
        return *status;
    }
    options.useThreads();
    const size_t wanted = AutoplayGame::holesToPlay(options).size();
    const auto start = std::chrono::steady_clock::now();
    AutoplayGame game(options);
    const int status = game.run();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("autoplay-soak: holes %d strokes %d par %d frames %lld wall %.2f s\n", game.holesPlayed(),
        game.strokes(), game.par(), static_cast<long long>(game.frames()), seconds);
    if (status == 0 && static_cast<size_t>(game.holesPlayed()) != wanted) {
        std::printf("autoplay-soak: only %d of %zu holes were played\n", game.holesPlayed(), wanted);
        return 1;
    }
    return status;
}
