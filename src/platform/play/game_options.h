// The game program's command line, shared by the window and the headless run:
// screen size, device, data folder, save file, the landscape's threads, and
// the scripted-play options.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "golf/device_profile.h"

namespace tarnby {

struct GameOptions {
    enum class Device { Touch, Keypad, Letters };

    bool headless = false;
    int32_t width = 240;  // the game's screen, pixels
    int32_t height = 320;
    Device device = Device::Touch;
    std::string dataFolder;    // empty: the executable's folder
    std::string savePath;      // empty: "tarnbygolf" in the data folder
    std::string scriptPath;    // empty: no scripted input
    std::string framesFolder;  // where `shot` writes its PNGs
    std::string logPath;       // empty: no log
    bool logSteps = false;
    bool fbdev = false;   // the window: also show frames on /dev/fb0 (16-bit 5-6-5)
    int64_t maxMs = -1;   // -1: two seconds after the script's last event
    int32_t threads = 0;  // the landscape's threads, 1 to 8; 0: the machine's cores, at most 8

    // The computer golfer plays instead of a script (headless only).
    bool autoplay = false;
    int32_t autoplayCourse = -1;  // -1: every course in turn
    int32_t rounds = 1;
    int32_t firstHole = 1;  // the holes of each course played, 1 to 18
    int32_t lastHole = 18;
    std::string recordPath;  // every input event and frame time of the game, in the script format
    std::string replayPath;  // a recording played back with its own frame times

    // The device profile the game is started with: touch is "PocketPC";
    // keypad is "Smartphone"; letters is a keypad phone with letter keys.
    DeviceProfile profile() const;
    // "touch", "keypad", "letters" to a device; false for any other word.
    static bool parseDevice(const std::string& word, Device& device);
    // "A-B" (1 <= A <= B <= 18) or a single hole "A" to a range of holes.
    static bool parseHoles(const std::string& word, int32_t& first, int32_t& last);

    // Reads the command line (the program name first). Gives nothing when the
    // game should run, else the status to exit with at once: 0 after --help or
    // --version, 2 after a usage error (named in one line on standard output,
    // with a hint to --help).
    std::optional<int> parse(int argc, const char* const* argv);

    // Sizes the landscape's worker pool by --threads; call before the first
    // landscape is drawn (the pool is started then and kept).
    void useThreads() const;
};

}  // namespace tarnby
