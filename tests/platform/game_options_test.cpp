// The game program's options: defaults, sizes, devices and recording, and usage errors
// that name the option and exit with status 2.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "platform/play/game_options.h"

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

TEST(GameOptionsTest, DefaultsSizesDevicesAndRecording)
{
    // Options that only pass a path or a number on (--data, --save, --script,
    // --frames, --log, --log-steps, --max-ms, --threads) are played through by
    // TarnbyGolfTest and GameDataTest; here the defaults and the ones with rules.
    Parsed d = parse({});
    EXPECT_FALSE(d.status);
    EXPECT_EQ(d.output, "");
    EXPECT_FALSE(d.options.headless);
    EXPECT_EQ(std::make_tuple(d.options.width, d.options.height, d.options.device, d.options.threads),
        std::make_tuple(240, 320, GameOptions::Device::Touch, 0));
    EXPECT_EQ(d.options.maxMs, -1);
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
        EXPECT_EQ(profile.isPocketPC, row.touch) << row.word;
        EXPECT_EQ(profile.qwertyKeyboard, row.letters) << row.word;
        EXPECT_FALSE(profile.pixelDoubling) << row.word;
    }

    // The window records its game; headless, only the computer golfer's game is recorded.
    Parsed window = parse({ "--record", "game.play" });
    ASSERT_FALSE(window.status) << window.output;
    EXPECT_EQ(window.options.recordPath, "game.play");
    Parsed autoplay = parse({ "--headless", "--autoplay", "--record", "game.play" });
    ASSERT_FALSE(autoplay.status) << autoplay.output;
}

TEST(GameOptionsTest, UsageErrorsNameTheOptionAndExitTwo)
{
    struct Row {
        std::vector<const char*> args;
        const char* names;
    } rows[] = {
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
    for (const Row& row : rows) {
        Parsed p = parse(row.args);
        EXPECT_EQ(p.status, 2) << row.names;
        EXPECT_EQ(p.output.rfind("tarnby-golf: ", 0), 0u) << p.output;
        EXPECT_NE(p.output.find(row.names), std::string::npos) << p.output;
        EXPECT_NE(p.output.find("--help"), std::string::npos) << "a hint to --help: " << p.output;
    }
}

}  // namespace
}  // namespace tarnby
