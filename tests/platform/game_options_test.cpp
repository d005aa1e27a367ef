// The game program's options: defaults, every option read, and usage errors
// that name the option and exit with status 2.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/play/game_options.h"
#include "runtime/worker_pool.h"

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

TEST(GameOptionsTest, DefaultsAndEveryOption)
{
    Parsed d = parse({});
    EXPECT_FALSE(d.status);
    EXPECT_EQ(d.output, "");
    EXPECT_FALSE(d.options.headless);
    EXPECT_EQ(d.options.width, 240);
    EXPECT_EQ(d.options.height, 320);
    EXPECT_EQ(d.options.device, GameOptions::Device::Touch);
    EXPECT_TRUE(d.options.dataFolder.empty() && d.options.savePath.empty() && d.options.scriptPath.empty());
    EXPECT_EQ(d.options.maxMs, -1);
    EXPECT_FALSE(d.options.logSteps);
    EXPECT_EQ(d.options.threads, 0);

    Parsed all = parse(
        { "--headless", "--size", "176x220", "--device", "letters", "--data", "d", "--save", "s", "--script",
            "play.txt", "--frames", "f", "--log", "l.log", "--log-steps", "--max-ms", "900", "--threads", "3" });
    ASSERT_FALSE(all.status) << all.output;
    const GameOptions& o = all.options;
    EXPECT_TRUE(o.headless);
    EXPECT_EQ(o.width, 176);
    EXPECT_EQ(o.height, 220);
    EXPECT_EQ(o.device, GameOptions::Device::Letters);
    EXPECT_EQ(o.dataFolder, "d");
    EXPECT_EQ(o.savePath, "s");
    EXPECT_EQ(o.scriptPath, "play.txt");
    EXPECT_EQ(o.framesFolder, "f");
    EXPECT_EQ(o.logPath, "l.log");
    EXPECT_TRUE(o.logSteps);
    EXPECT_EQ(o.maxMs, 900);
    EXPECT_EQ(o.threads, 3);

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

    Parsed help = parse({ "--help" });
    EXPECT_EQ(help.status, 0);
    for (const char* option : { "--headless", "--size", "--device", "--data", "--save", "--script", "--frames", "--log",
             "--log-steps", "--max-ms", "--threads", "Example" }) {
        EXPECT_NE(help.output.find(option), std::string::npos) << option << " missing from --help";
    }
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
    };
    for (const Row& row : rows) {
        Parsed p = parse(row.args);
        EXPECT_EQ(p.status, 2) << row.names;
        EXPECT_EQ(p.output.rfind("tarnby-golf: ", 0), 0u) << p.output;
        EXPECT_NE(p.output.find(row.names), std::string::npos) << p.output;
        EXPECT_NE(p.output.find("--help"), std::string::npos) << "a hint to --help: " << p.output;
    }
}

// --threads sizes the pool the landscape is drawn on; without it the pool
// takes the machine's cores, at most eight.
TEST(GameOptionsTest, ThreadsSizeTheLandscapesPool)
{
    const int32_t cores = static_cast<int32_t>(std::thread::hardware_concurrency());
    const int32_t machine = cores < 1 ? 1 : cores > 8 ? 8 : cores;
    for (const char* n : { "1", "2", "8" }) {
        Parsed p = parse({ "--threads", n });
        ASSERT_FALSE(p.status) << p.output;
        p.options.useThreads();
        EXPECT_EQ(WorkerPool::preferredThreads(), std::stoi(n));
    }
    Parsed none = parse({});
    none.options.useThreads();
    EXPECT_EQ(WorkerPool::preferredThreads(), machine);
}

}  // namespace
}  // namespace tarnby
