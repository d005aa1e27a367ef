// The game in a real window (on SDL's offscreen video driver, so no display is
// needed): it starts, shows its start-up screen and menu, answers scripted
// keys and taps that travel through SDL's event queue, turns from portrait to
// landscape, and its start-up music reaches the audio device.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "platform/headless/png_writer.h"
#include "platform/play/headless_game.h"
#include "platform/sdl/window_game.h"
#include "support/test_support.h"

// The session bus and SDL's drivers keep allocations until the process ends,
// some inside modules they load and unload again, so the leak checker cannot
// tell them from ours here. The game's own objects are leak-checked by the
// headless game tests.
extern "C" int __lsan_is_turned_off();
extern "C" int __lsan_is_turned_off() { return 1; }

namespace tarnby {
namespace {

class RealWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("XDG_RUNTIME_DIR", folder.path().c_str(), 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        options.dataFolder = test::binFolder();
        options.savePath = folder.file("tarnbygolf");
        options.framesFolder = folder.file("frames");
        options.logPath = folder.file("play.log");
    }

    void script(const std::string& text)
    {
        std::ofstream(folder.file("play.script")) << text;
        options.scriptPath = folder.file("play.script");
    }

    // The log's state changes after `from` ms, by name.
    std::vector<std::string> statesAfter(uint32_t from) const
    {
        std::vector<std::string> states;
        for (const std::string& line : test::readLines(folder.file("play.log"))) {
            unsigned at = 0;
            char name[32];
            if (std::sscanf(line.c_str(), "%u state %31s", &at, name) == 2 && at >= from) {
                states.emplace_back(name);
            }
        }
        return states;
    }

    test::ScratchFolder folder { "real_window" };
    GameOptions options;
};

TEST_F(RealWindowTest, StartsShowsTheMenuAnswersKeysAndTapsAndTurnsToLandscape)
{
    // Resume is the chosen entry of the first menu; at 240 x 320 it sits at
    // about (110, 130) of the frame.
    script("1500 shot menu\n"
           "1600 key select\n"
           "2200 shot aiming\n"
           "2300 key back\n"
           "2900 tap 110,130\n"
           "4400 shot landscape\n"
           "4500 quit\n");
    WindowGame game(options);
    game.atTime(3200, [](SDL_Window* window) { SDL_SetWindowSize(window, 640, 480); });
    uint64_t waits[2] = { 0, 0 };
    uint64_t gameWaits[2] = { 0, 0 };
    game.atTime(1300, [&](SDL_Window*) {
        waits[0] = game.windowWaits();
        gameWaits[0] = game.gameWaits();
    });
    game.atTime(1500, [&](SDL_Window*) {
        waits[1] = game.windowWaits();
        gameWaits[1] = game.gameWaits();
    });
    std::vector<uint32_t> first;
    int32_t firstWidth = 0;
    game.setPaintWatcher([&](const PaintRequest& r) {
        if (first.empty()) {
            first.assign(r.pixels, r.pixels + static_cast<size_t>(r.width) * static_cast<size_t>(r.height));
            firstWidth = r.width;
        }
    });
    ASSERT_EQ(game.run(), 0);

    // The start-up screen came first: the sky's top colour in the corner.
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(firstWidth, 240);
    EXPECT_EQ(first[0] & 0xFFFFFF, 0x005995u);
    // While the menu waits the window thread sleeps: a few wakes, not a spin.
    EXPECT_GT(waits[0], 0u);
    EXPECT_LE(waits[1] - waits[0], 20u) << "the window thread should sleep while the menu waits";
    // Its frames show nothing, so the game thread sleeps once for two of them
    // (12.5 frames in these 200 ms; more sleeps only when input comes).
    EXPECT_GT(gameWaits[0], 0u);
    EXPECT_LE(gameWaits[1] - gameWaits[0], 8u) << "the game thread should wake once for two quiet frames";

    // Select took the game out of the menu, back brought the menu, the tap on
    // Resume left it again.
    auto states = statesAfter(1500);
    states.resize(3);
    EXPECT_EQ(states, (std::vector<std::string> { "Aiming", "Menu", "Aiming" }));

    // The shots are what the window shows: 480 x 640 in portrait with the
    // menu over the view, 640 x 480 after the turn with no bars (the game
    // followed the window to 320 x 240).
    std::vector<uint8_t> shots[3];
    std::vector<int32_t> sizes;
    for (const char* name : { "menu", "aiming", "landscape" }) {
        int32_t w = 0, h = 0;
        ASSERT_TRUE(readRgbaPng(folder.file("frames/") + name + ".png", shots[sizes.size() / 2], w, h)) << name;
        sizes.insert(sizes.end(), { w, h });
    }
    ASSERT_EQ(sizes, (std::vector<int32_t> { 480, 640, 480, 640, 640, 480 }));
    auto rgb = [&](size_t shot, int32_t x, int32_t y) {
        const uint8_t* p = &shots[shot][static_cast<size_t>(y * sizes[2 * shot] + x) * 4];
        return p[0] << 16 | p[1] << 8 | p[2];
    };
    // The menu panel covers the middle of the window: the two shots differ there.
    int32_t differing = 0, blackEdge = 0;
    for (int32_t y = 220; y < 420; ++y) {
        for (int32_t x = 170; x < 310; ++x) {
            differing += rgb(0, x, y) != rgb(1, x, y);
        }
    }
    EXPECT_GT(differing, 200 * 140 / 2) << "the menu should be on the first shot and gone from the second";
    for (int32_t y = 0; y < 480; y += 8) {
        blackEdge += (rgb(2, 0, y) == 0) + (rgb(2, 639, y) == 0);
    }
    EXPECT_LT(blackEdge, 10) << "the landscape window should be filled by the game, not by bars";
}

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST_F(RealWindowTest, AGameRecordedInTheWindowReplaysHeadlessToTheSameLog)
{
    // Into play, two turns, a swing whose power the real frames decide, the
    // ball's flight, a tap on the view and a key that goes nowhere. The ball
    // comes to rest about 10.5 s in: the quit waits well after that, so that
    // the last frame of the game is a quiet one.
    script("1500 key select\n"
           "2200 key right\n"
           "2300 key right\n"
           "2700 key select\n"
           "3350 key select\n"
           "9500 tap 200,150\n"
           "9800 char q\n"
           "12500 quit\n");
    options.recordPath = folder.file("game.play");
    {
        WindowGame game(options);
        ASSERT_EQ(game.run(), 0);
    }
    const std::string played = fileText(options.logPath);
    ASSERT_NE(played.find(" strike "), std::string::npos) << "the window game should have swung";
    const std::string recording = fileText(options.recordPath);
    EXPECT_NE(recording.find(" frame "), std::string::npos);
    EXPECT_NE(recording.find(" pen "), std::string::npos) << "the tap's place is recorded";
    EXPECT_NE(recording.find(" down 113"), std::string::npos) << "the typed q is recorded as the game got it";

    GameOptions replay;
    replay.headless = true;
    replay.dataFolder = options.dataFolder;
    replay.savePath = folder.file("replayed-save");
    replay.scriptPath = options.recordPath;
    replay.logPath = folder.file("replay.log");
    ASSERT_EQ(HeadlessGame(replay).run(), 0);
    EXPECT_EQ(fileText(replay.logPath), played) << "the replay must log the window's game line for line";
}

TEST_F(RealWindowTest, TheStartUpMusicReachesTheAudioDevice)
{
    setenv("SDL_AUDIODRIVER", "disk", 1);
    const std::string raw = folder.file("audio.raw");
    setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
    script("2500 quit\n");
    WindowGame game(options);
    ASSERT_EQ(game.run(), 0);
    std::ifstream in(raw, std::ios::binary);
    ASSERT_TRUE(in) << "the disk audio driver wrote nothing";
    int32_t loud = 0, samples = 0;
    for (int16_t s = 0; in.read(reinterpret_cast<char*>(&s), 2); ++samples) {
        loud += s > 2000 || s < -2000;
    }
    EXPECT_GT(loud, 1000) << samples << " samples of audio, too few loud ones: the music did not play";
}

TEST(InstanceLockTest, ASecondCopyWakesTheFirstAStaleLockDoesNotBlockAndSavesFindAWritableFolder)
{
    test::ScratchFolder folder("instance_lock");
    setenv("XDG_RUNTIME_DIR", folder.path().c_str(), 1);
    // Leftovers of a copy that died: a lock file nobody holds and a socket nobody serves.
    const std::string base = folder.path() + "tarnby-golf-" + std::to_string(getuid());
    std::ofstream(base + ".lock") << "";
    std::ofstream(base + ".sock") << "";
    {
        InstanceLock first;
        ASSERT_TRUE(first.acquire()) << "a stale lock must not block";
        EXPECT_FALSE(first.poll());
        InstanceLock second;
        EXPECT_FALSE(second.acquire());
        EXPECT_TRUE(second.wakeRunning());
        EXPECT_TRUE(first.poll());
        EXPECT_FALSE(first.poll());
    }
    // Cleaned up on exit, and free again.
    EXPECT_NE(access((base + ".sock").c_str(), F_OK), 0);
    InstanceLock again;
    EXPECT_TRUE(again.acquire());

    // Saves go to the user's data folder when the program's is read-only.
    EXPECT_EQ(WindowGame::defaultSavePath(folder.path()), folder.path() + "tarnbygolf");
    setenv("XDG_DATA_HOME", (folder.path() + "data").c_str(), 1);
    // A program folder nobody can write to (not even root: it is not there).
    const std::string readOnly = folder.path() + "missing/";
    EXPECT_EQ(WindowGame::defaultSavePath(readOnly), folder.path() + "data/tarnby-golf/tarnbygolf");
    EXPECT_EQ(access((folder.path() + "data/tarnby-golf").c_str(), W_OK), 0);
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", folder.path().c_str(), 1);
    EXPECT_EQ(WindowGame::defaultSavePath(readOnly), folder.path() + ".local/share/tarnby-golf/tarnbygolf");
}

// Between events the window sleeps: as long as it may with nothing timed
// ahead, else until the next scripted event, test action or the time limit.
TEST(WindowWaitTest, TheWindowSleepsUntilItsNextTimedWork)
{
    const int idle = WindowGame::kIdleWaitMs;
    EXPECT_GE(idle, 100) << "an idle window should wake rarely";
    // Now, the next timed work (if any) and the time limit (-1: none), and the
    // wait: work due soon or beyond the idle wait; overdue work is done at
    // once; the limit counts until it is reached, after that the game is
    // stopping and the window waits for its end event, not in a spin; an event
    // just past the tick count's wrap is still ahead.
    const struct {
        uint32_t now;
        std::optional<uint32_t> due;
        int64_t limit;
        int wait;
    } cases[] = { { 5000, std::nullopt, -1, idle }, { 5000, 5007u, -1, 7 }, { 5000, 5000u + idle + 40, -1, idle },
        { 5000, 4990u, -1, 0 }, { 5000, 5000u, -1, 0 }, { 5000, std::nullopt, 5003, 3 }, { 5000, 5009u, 5003, 3 },
        { 5000, 5002u, 5003, 2 }, { 5000, std::nullopt, 5000, idle }, { 5000, std::nullopt, 4000, idle },
        { 0xFFFFFFFEu, 3u, -1, 5 } };
    for (const auto& c : cases) {
        EXPECT_EQ(WindowGame::waitTime(c.now, c.due, c.limit), c.wait) << c.now << " " << c.limit;
    }
}

}  // namespace
}  // namespace tarnby
