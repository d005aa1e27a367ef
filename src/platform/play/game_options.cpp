// The game program's command line on CLI11.
#include "platform/play/game_options.h"

#include "platform/cli/tarnby_cli.h"
#include "runtime/worker_pool.h"

#include <cstdio>

namespace tarnby {

DeviceProfile GameOptions::profile() const
{
    DeviceProfile profile;
    profile.isPocketPC = device == Device::Touch;
    profile.qwertyKeyboard = device == Device::Letters;
    return profile;
}

bool GameOptions::parseDevice(const std::string& word, Device& device)
{
    if (word == "touch") {
        device = Device::Touch;
    } else if (word == "keypad") {
        device = Device::Keypad;
    } else if (word == "letters") {
        device = Device::Letters;
    } else {
        return false;
    }
    return true;
}

bool GameOptions::parseHoles(const std::string& word, int32_t& first, int32_t& last)
{
    int a = 0;
    int b = 0;
    char dash = 0;
    char extra = 0;
    const int n = std::sscanf(word.c_str(), "%d%c%d%c", &a, &dash, &b, &extra);
    if (n == 1) {
        b = a;
    } else if (n != 3 || dash != '-') {
        return false;
    }
    if (a < 1 || b > 18 || a > b) {
        return false;
    }
    first = a;
    last = b;
    return true;
}

std::optional<int> GameOptions::parse(int argc, const char* const* argv)
{
    auto command = cli::makeApp("tarnby-golf",
        "Tarnby Golf: three 18-hole courses of 3-D golf. With --headless the game plays a "
        "script on a virtual clock, logs every event of play and writes the frames asked for.",
        "tarnby-golf --headless --script demo.txt --frames shots --log play.log");
    CLI::App& app = *command;
    std::string deviceWord = "touch";
    app.add_flag("--headless", headless, "Run without a window, on a virtual clock (16 ms frames from 0)");
    // The largest side still fits the engine's frame buffer.
    cli::addSize(app, "--size", width, height, 4096, "The game's screen size in pixels");
    app.add_option("--device", deviceWord,
           "touch (a touch screen), keypad (a phone's keys) or letters (a keypad with letter keys)")
        ->capture_default_str()
        ->type_name("WORD");
    cli::addDataFolder(app, dataFolder);
    app.add_option("--save", savePath, "The saved-game file (default: tarnbygolf in the data folder)")
        ->type_name("FILE");
    app.add_option("--script", scriptPath, "Input events to play, one 'T EVENT [ARG]' a line (headless)")
        ->type_name("FILE");
    app.add_option("--frames", framesFolder, "Folder for the PNGs of the script's shot events")->type_name("DIR");
    app.add_option("--log", logPath, "Write one line per event of play to this file")->type_name("FILE");
    app.add_flag("--log-steps", logSteps, "Also log every step of the ball's flight");
    app.add_option("--threads", threads,
           "Draw the landscape on N threads, 1 to 8 (default: the machine's cores, at most 8)")
        ->check(CLI::Range(1, WorkerPool::kMaxThreads))
        ->type_name("N");
    app.add_flag("--fbdev", fbdev, "Show the game on the Linux frame buffer /dev/fb0 (16-bit 5-6-5) at its size");
    app.add_option("--max-ms", maxMs, "End after this many ms of virtual time (default: the script's end + 2000)")
        ->check(CLI::Range(int64_t(0), int64_t(0x7FFFFFFF)))
        ->type_name("MS");

    std::string holes;
    app.add_flag("--autoplay", autoplay, "The computer golfer plays (headless): a round of each course by default");
    app.add_option("--course", autoplayCourse, "With --autoplay: play this course only (0, 1 or 2)")
        ->check(CLI::Range(0, 2))
        ->type_name("C");
    app.add_option("--rounds", rounds, "With --autoplay: play the holes this many times")
        ->check(CLI::Range(1, 1000))
        ->type_name("N");
    app.add_option("--holes", holes, "With --autoplay: the holes A-B of each course played (1 to 18)")
        ->type_name("A-B");
    app.add_option("--record", recordPath,
           "In the window or with --autoplay: write every input event and frame time, in the script format")
        ->type_name("FILE");
    app.add_option("--replay", replayPath,
           "Play back a recording with its frame times (headless; give the same --course and --holes)")
        ->type_name("FILE");

    auto usage = [](const std::string& message) {
        std::printf("tarnby-golf: %s\nRun 'tarnby-golf --help' for its options.\n", message.c_str());
        std::fflush(stdout);
        return cli::kUsageError;
    };
    if (auto status = cli::parse(app, argc, argv)) {
        return status;
    }
    if (!parseDevice(deviceWord, device)) {
        return usage("--device: \"" + deviceWord + "\" is not touch, keypad or letters");
    }
    if (!holes.empty() && !parseHoles(holes, firstHole, lastHole)) {
        return usage("--holes: \"" + holes + "\" is not A-B with 1 <= A <= B <= 18");
    }
    if (autoplay && !headless) {
        return usage("--autoplay needs --headless");
    }
    if (!replayPath.empty() && (!headless || autoplay || !scriptPath.empty())) {
        return usage("--replay needs --headless, without --autoplay or --script");
    }
    if (!recordPath.empty() && headless && !autoplay) {
        return usage("--record records the window's game or, with --headless, --autoplay");
    }
    if (autoplay && !scriptPath.empty()) {
        return usage("--autoplay plays by itself: leave out --script");
    }
    if (logSteps && logPath.empty()) {
        return usage("--log-steps needs --log FILE");
    }
    return std::nullopt;
}

void GameOptions::useThreads() const { WorkerPool::setPreferredThreads(threads); }

}  // namespace tarnby
