// The game program's command line on CLI11.
#include "platform/play/game_options.h"

#include <CLI/CLI.hpp>

#include <cstdio>

namespace tarnby {

namespace {

// "WxH" with both sides 1..4096 (a larger frame would not fit the engine's buffer).
bool parseSize(const std::string& text, int32_t& width, int32_t& height)
{
    const size_t x = text.find('x');
    if (x == std::string::npos || x == 0 || x + 1 >= text.size() || text.size() > 9) {
        return false;
    }
    int32_t sides[2] = { 0, 0 };
    const std::string parts[2] = { text.substr(0, x), text.substr(x + 1) };
    for (int i = 0; i < 2; ++i) {
        for (char c : parts[i]) {
            if (c < '0' || c > '9') {
                return false;
            }
            sides[i] = sides[i] * 10 + (c - '0');
        }
        if (sides[i] < 1 || sides[i] > 4096) {
            return false;
        }
    }
    width = sides[0];
    height = sides[1];
    return true;
}

}  // namespace

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
    CLI::App app("Tarnby Golf: three 18-hole courses of 3-D golf. With --headless the game plays a script on "
                 "a virtual clock, logs every event of play and writes the frames asked for.",
                 "tarnby-golf");
    app.footer("Example:\n  tarnby-golf --headless --script demo.txt --frames shots --log play.log");
    app.set_version_flag("--version", std::string(TARNBY_VERSION));
    std::string size = std::to_string(width) + "x" + std::to_string(height);
    std::string deviceWord = "touch";
    app.add_flag("--headless", headless, "Run without a window, on a virtual clock (16 ms frames from 0)");
    app.add_option("--size", size, "The game's screen size WxH in pixels")->capture_default_str();
    app.add_option("--device", deviceWord, "touch (PocketPC), keypad (Smartphone) or letters (keypad with letter keys)")
        ->capture_default_str();
    app.add_option("--data", dataFolder, "Folder of the game's data files (default: the program's folder)");
    app.add_option("--save", savePath, "The saved-game file (default: tarnbygolf in the data folder)");
    app.add_option("--script", scriptPath, "Input events to play, one 'T EVENT [ARG]' a line (headless)");
    app.add_option("--frames", framesFolder, "Folder for the PNGs of the script's shot events");
    app.add_option("--log", logPath, "Write one line per event of play to this file");
    app.add_flag("--log-steps", logSteps, "Also log every step of the ball's flight");
    app.add_flag("--fbdev", fbdev, "Show the game on the Linux frame buffer /dev/fb0 (16-bit 5-6-5) at its size");
    app.add_option("--max-ms", maxMs, "End after this many ms of virtual time (default: the script's end + 2000)")
        ->check(CLI::Range(int64_t(0), int64_t(0x7FFFFFFF)));

    std::string holes;
    app.add_flag("--autoplay", autoplay, "The computer golfer plays (headless): a round of each course by default");
    app.add_option("--course", autoplayCourse, "With --autoplay: play this course only (0, 1 or 2)")
        ->check(CLI::Range(0, 2));
    app.add_option("--rounds", rounds, "With --autoplay: play the holes this many times")->check(CLI::Range(1, 1000));
    app.add_option("--holes", holes, "With --autoplay: the holes A-B of each course played (1 to 18)");

    auto usage = [](const std::string& message) {
        std::printf("tarnby-golf: %s\nRun with --help for more information.\n", message.c_str());
        std::fflush(stdout);
        return 2;
    };
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::printf("%s", app.help().c_str());
        return 0;
    } catch (const CLI::CallForVersion&) {
        std::printf("%s\n", TARNBY_VERSION);
        return 0;
    } catch (const CLI::ParseError& e) {
        return usage(e.what());
    }
    if (!parseSize(size, width, height)) {
        return usage("--size: \"" + size + "\" is not WxH with both sides 1 to 4096");
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
    if (autoplay && !scriptPath.empty()) {
        return usage("--autoplay plays by itself: leave out --script");
    }
    if (logSteps && logPath.empty()) {
        return usage("--log-steps needs --log FILE");
    }
    return std::nullopt;
}

}  // namespace tarnby
