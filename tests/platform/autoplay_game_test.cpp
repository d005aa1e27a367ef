// The game program's options and autoplay on the headless host: defaults,
// sizes, devices and recording, usage errors that name the option and exit
// with status 2; holes played to the cup by the computer golfer, a log whose
// hole lines add up to its total line, and its recording replayed; the holes,
// rounds and courses asked for.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "golf/holetable.h"
#include "platform/play/autoplay_game.h"
#include "platform/play/game_options.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

struct Parsed {
    GameOptions options;
    std::optional<int> status;
    std::string output;
};

Parsed parse(std::vector<const char*> args)
{
    args.insert(args.begin(), "tarnby-golf");
    Parsed parsed;
    testing::internal::CaptureStdout();
    parsed.status = parsed.options.parse(static_cast<int>(args.size()), args.data());
    parsed.output = testing::internal::GetCapturedStdout();
    return parsed;
}

TEST(GameOptionsTest, DefaultsSizesDevicesRecordingHoleRangesAndUsageErrorsThatNameTheOptionAndExitTwo)
{
    // Options that only pass a path or a number on (--data, --save, --script,
    // --frames, --log, --log-steps, --max-ms, --threads) are played through by
    // TarnbyGolfTest and GameDataTest; here the defaults and the ones with rules.
    Parsed d = parse({});
    EXPECT_EQ(std::make_tuple(d.status.has_value(), d.output, d.options.headless, d.options.width, d.options.height,
                  d.options.device, d.options.threads, d.options.maxMs),
        std::make_tuple(false, "", false, 240, 320, GameOptions::Device::Touch, 0, -1));
    Parsed sized = parse({ "--size", "176x220" });
    ASSERT_FALSE(sized.status) << sized.output;
    EXPECT_EQ(std::make_pair(sized.options.width, sized.options.height), std::make_pair(176, 220));

    // The three devices as the game sees them.
    struct Row {
        const char* word;
        bool touch, letters;
    } rows[] = { { "touch", true, false }, { "keypad", false, false }, { "letters", false, true } };
    for (const Row& row : rows) {
        Parsed p = parse({ "--device", row.word });
        ASSERT_FALSE(p.status) << row.word;
        const DeviceProfile profile = p.options.profile();
        EXPECT_EQ(std::make_tuple(profile.isPocketPC, profile.qwertyKeyboard, profile.pixelDoubling),
            std::make_tuple(row.touch, row.letters, false))
            << row.word;
    }

    // The window records its game; headless, only the computer golfer's game is
    // recorded (as AutoplayGameTest does).
    Parsed window = parse({ "--record", "game.play" });
    ASSERT_FALSE(window.status) << window.output;
    EXPECT_EQ(window.options.recordPath, "game.play");

    struct Usage {
        std::vector<const char*> args;
        const char* names;
    } usages[] = {
        { { "--size", "240" }, "--size" },
        { { "--size", "0x320" }, "--size" },
        { { "--size", "240x320x2" }, "--size" },
        { { "--size", "5000x320" }, "--size" },
        { { "--size", "-240x320" }, "--size" },
        { { "--device", "phone" }, "--device" },
        { { "--max-ms", "-1" }, "--max-ms" },
        { { "--max-ms", "soon" }, "--max-ms" },
        { { "--threads", "0" }, "--threads" },
        { { "--threads", "9" }, "--threads" },
        { { "--threads", "two" }, "--threads" },
        { { "--log-steps" }, "--log-steps" },
        { { "--frames" }, "--frames" },
        { { "--window" }, "--window" },
        { { "--headless", "--record", "game.play" }, "--record" },
        { { "--autoplay" }, "--autoplay" },
        { { "--headless", "--autoplay", "--replay", "game.play" }, "--replay" },
        { { "--headless", "--autoplay", "--script", "play.txt" }, "--script" },
    };
    for (const Usage& row : usages) {
        Parsed p = parse(row.args);
        EXPECT_EQ(p.status, 2) << row.names;
        EXPECT_EQ(p.output.rfind("tarnby-golf: ", 0), 0u) << p.output;
        EXPECT_NE(p.output.find(row.names), std::string::npos) << p.output;
        EXPECT_NE(p.output.find("--help"), std::string::npos) << "a hint to --help: " << p.output;
    }

    // The holes, rounds and courses asked for.
    GameOptions options;
    options.autoplayCourse = 1;
    options.firstHole = 17;
    options.lastHole = 18;
    options.rounds = 2;
    EXPECT_EQ(AutoplayGame::holesToPlay(options), (std::vector<int32_t> { 34, 35, 34, 35 }));
    options = GameOptions {};
    EXPECT_EQ(AutoplayGame::holesToPlay(options).size(), 54u);
    EXPECT_EQ(AutoplayGame::holesToPlay(options)[18], 18);

    int32_t first = 0, last = 0;
    EXPECT_TRUE(GameOptions::parseHoles("3-7", first, last));
    EXPECT_EQ(std::make_pair(first, last), std::make_pair(3, 7));
    EXPECT_TRUE(GameOptions::parseHoles("18", first, last));
    EXPECT_EQ(std::make_pair(first, last), std::make_pair(18, 18));
    for (const char* bad : { "0-3", "5-4", "1-19", "3-", "-3", "a-b", "3-4x", "" }) {
        EXPECT_FALSE(GameOptions::parseHoles(bad, first, last)) << bad;
    }
}

struct Autoplay {
    int status = -1;
    std::vector<std::string> log;
};

// Plays on the build's data with a log of its own, by the computer golfer
// unless `golfer` is false (a status of -1: the options were refused).
Autoplay autoplay(const std::string& name, std::vector<const char*> args, bool golfer = true)
{
    test::ScratchFolder folder(name);
    const std::string data = test::binFolder(), log = folder.file("play.log"), save = folder.file("save");
    args.insert(args.begin(), { "--headless", "--data", data.c_str(), "--log", log.c_str(), "--save", save.c_str() });
    if (golfer) {
        args.push_back("--autoplay");
    }
    const Parsed parsed = parse(args);
    return parsed.status ? Autoplay {} : Autoplay { AutoplayGame(parsed.options).run(), test::readLines(log) };
}

// Whether the log line (time first) is the event `name`.
bool isEvent(const std::string& line, const std::string& name)
{
    const size_t space = line.find(' ');
    return space != std::string::npos && line.compare(space + 1, name.size() + 1, name + " ") == 0;
}

TEST(AutoplayGameTest, HolesPlayedToTheCupAddUpAndARecordingReplaysToTheSameLog)
{
    test::ScratchFolder folder("autoplay_record");
    const std::string recording = folder.file("round.rec");
    const Autoplay played = autoplay("autoplay_recorded",
        { "--course", "2", "--holes", "1-2", "--record", recording.c_str() });
    ASSERT_EQ(played.status, 0);
    // Each hole line counts what the game counted: a stroke per strike and per penalty.
    int32_t strikes = 0, penalties = 0, holed = 0, holes = 0, total = 0;
    for (const std::string& line : played.log) {
        strikes += isEvent(line, "strike");
        penalties += line.ends_with(" water") || line.ends_with(" out");
        holed += line.ends_with(" holed");
        int32_t c = -1, h = -1, s = -1, p = -1;
        if (isEvent(line, "hole")) {
            ASSERT_EQ(std::sscanf(line.c_str(), "%*u hole %d %d strokes %d par %d", &c, &h, &s, &p), 4) << line;
            ++holes;
            EXPECT_EQ(std::make_tuple(c, h, s, p, holed),
                std::make_tuple(2, holes, strikes + penalties, holePar(holes - 1), 1))
                << line;
            EXPECT_LE(s, p + 3) << line;
            total += s;
            strikes = penalties = holed = 0;
        }
    }
    EXPECT_EQ(holes, 2);
    int32_t n = -1, s = -1, p = -1;
    ASSERT_EQ(std::sscanf(played.log.back().c_str(), "%*u autoplay holes %d strokes %d par %d", &n, &s, &p), 3)
        << played.log.back();
    EXPECT_EQ(std::make_tuple(n, s, p), std::make_tuple(2, total, 7));

    const Autoplay replayed = autoplay("autoplay_replayed",
        { "--course", "2", "--holes", "1-2", "--replay", recording.c_str() }, false);
    ASSERT_EQ(replayed.status, 0);
    ASSERT_EQ(replayed.log.size(), played.log.size());
    for (size_t i = 0; i < played.log.size(); ++i) {
        ASSERT_EQ(replayed.log[i], played.log[i]) << "line " << i + 1;
    }
}

}  // namespace
}  // namespace tarnby
