// The game in a window on a real X display (a private virtual X server): the
// game thread puts small rectangles on the screen itself, scaled where the
// window shows the frame, so that the aiming screen's marker steps while the
// window thread sleeps, and once the screen is quiet it shows exactly SDL's
// own picture of the window.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <string>

#include <vector>

#include "platform/sdl/direct_screen.h"
#include "platform/sdl/sdl_window.h"
#include "platform/sdl/window_game.h"
#include "platform/sdl/x11_put.h"
#include "support/test_support.h"

#if defined(SDL_VIDEO_DRIVER_X11) && defined(TARNBY_HAVE_X11)
#include <X11/Xlib.h>
#define TARNBY_X11_TEST 1
#endif

// See real_window_test.cpp: SDL's drivers keep allocations until the end.
extern "C" int __lsan_is_turned_off();
extern "C" int __lsan_is_turned_off() { return 1; }

namespace tarnby {
namespace {

#if defined(TARNBY_X11_TEST)

// A virtual X server of the test's own on a free display number, stopped at the end.
class VirtualDisplay {
public:
    static constexpr const char* kServer = "/usr/bin/Xvfb";

    VirtualDisplay()
    {
        if (access(kServer, X_OK) != 0) {
            return;
        }
        const char* const server = kServer;
        for (int n = 150 + static_cast<int>(getpid() % 300); n < 1000; ++n) {
            const std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
            struct stat seen;
            if (stat(lock.c_str(), &seen) == 0 || stat(socket.c_str(), &seen) == 0) {
                continue;
            }
            const std::string name = ":" + std::to_string(n);
            m_pid = fork();
            if (m_pid == 0) {
                execl(server, server, name.c_str(), "-screen", "0", "640x720x24", "-nolisten", "tcp",
                    static_cast<char*>(nullptr));
                _exit(127);
            }
            // Up when its socket is there (at most about five seconds).
            for (int wait = 0; m_pid > 0 && wait < 500; ++wait) {
                if (stat(socket.c_str(), &seen) == 0) {
                    m_name = name;
                    return;
                }
                int status = 0;
                if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                    m_pid = -1;  // it died: another server took the number meanwhile
                    break;
                }
                usleep(10000);
            }
            if (m_pid > 0) {
                return;
            }
        }
    }
    ~VirtualDisplay()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            int status = 0;
            waitpid(m_pid, &status, 0);
        }
    }
    const std::string& name() const { return m_name; }

private:
    pid_t m_pid = -1;
    std::string m_name;
};

// How many times this thread has gone to sleep so far.
long threadSleeps()
{
    rusage usage {};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_nvcsw;
}

// What the X server shows of `window` (after everything sent before).
std::vector<uint32_t> screenOf(SDL_Window* window)
{
    X11Put screen;
    std::vector<uint32_t> shown;
    int32_t w = 0, h = 0;
    if (!screen.attach(window) || !screen.readBack(shown, w, h)) {
        shown.clear();
    }
    for (uint32_t& pixel : shown) {
        pixel &= 0xFFFFFF;
    }
    return shown;
}

// A private X server with this process's SDL on it, for one test.
class X11WindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (access(VirtualDisplay::kServer, X_OK) != 0) {
            GTEST_SKIP() << "no virtual X server here (scripts/install-deps installs xvfb)";
        }
        ASSERT_FALSE(display.name().empty()) << "the virtual X server (Xvfb) did not start";
        setenv("DISPLAY", display.name().c_str(), 1);
        setenv("SDL_VIDEODRIVER", "x11", 1);
        setenv("XDG_RUNTIME_DIR", folder.path().c_str(), 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }

    VirtualDisplay display;
    test::ScratchFolder folder { "x11_window" };
};

TEST_F(X11WindowTest, TheGamePutsSmallRectanglesScaledWhereTheWindowShowsThem)
{
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    {
        SdlWindow window;
        ASSERT_TRUE(window.open(480, 640, true));
        std::vector<uint32_t> frame(240 * 320);
        for (size_t i = 0; i < frame.size(); ++i) {
            frame[i] = 0x7F000000u | static_cast<uint32_t>(i * 2654435761u >> 8);
        }
        PaintRequest whole { frame.data(), 240, 320, 0, 0, 240, 320 };
        DirectScreen& direct = window.directScreen();
        // Until the window has shown the frame whole after opening, the game may not put.
        window.copy(whole);
        window.show();
        EXPECT_FALSE(direct.put(whole));
        for (int32_t i = 0; i < SdlWindow::kFullPaintsAfterResize; ++i) {
            window.copy(whole);
            window.show();
        }
        // A marker-sized rectangle changes; the game puts it itself.
        for (int32_t y = 200; y < 206; ++y) {
            for (int32_t x = 100; x < 105; ++x) {
                frame[static_cast<size_t>(y * 240 + x)] = 0x01FF8000u + static_cast<uint32_t>(x + y);
            }
        }
        PaintRequest marker { frame.data(), 240, 320, 100, 200, 5, 6 };
        {
            const std::lock_guard<std::mutex> order(direct.order());
            EXPECT_TRUE(direct.put(marker));
        }
        const std::vector<uint32_t> shown = screenOf(window.handle());
        ASSERT_EQ(shown.size(), 480u * 640u);
        int32_t differing = 0;
        for (int32_t y = 0; y < 640; ++y) {
            for (int32_t x = 0; x < 480; ++x) {
                differing += shown[static_cast<size_t>(y * 480 + x)]
                             != (frame[static_cast<size_t>((y / 2) * 240 + x / 2)] & 0xFFFFFF);
            }
        }
        EXPECT_EQ(differing, 0) << "every frame pixel should show as a 2 x 2 block, the put rectangle too";
        // Input that the put's flush read from the display is reported, so
        // that the window thread is woken for it (it waits on the connection,
        // where that input is no longer to be seen).
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        EXPECT_FALSE(direct.eventsWaiting());
        {
            Display* other = XOpenDisplay(display.name().c_str());
            ASSERT_NE(other, nullptr);
            Window target = 0;
            {
                X11Put probe;
                ASSERT_TRUE(probe.attach(window.handle()));
                target = probe.window();
            }
            XEvent knock {};
            knock.xclient.type = ClientMessage;
            knock.xclient.window = target;
            knock.xclient.format = 32;
            XSendEvent(other, target, False, 0, &knock);
            XSync(other, False);  // the server has sent it on
            XCloseDisplay(other);
        }
        const std::lock_guard<std::mutex> order(direct.order());
        EXPECT_TRUE(direct.put(marker));
        EXPECT_TRUE(direct.eventsWaiting()) << "the put's flush should have read the event in";
        // Too large, of another frame size, or while the window changes: the window shows it.
        PaintRequest large { frame.data(), 240, 320, 0, 0, 100, 100 };
        PaintRequest otherSize { frame.data(), 320, 240, 0, 0, 5, 6 };
        EXPECT_FALSE(direct.put(large));
        EXPECT_FALSE(direct.put(otherSize));
        EXPECT_TRUE(direct.put(marker));
        window.resized(640, 480);
        EXPECT_FALSE(direct.put(marker)) << "the layout changed: the window shows the frame whole first";
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

TEST_F(X11WindowTest, TheMarkerStepsReachTheScreenWhileTheWindowThreadSleeps)
{
    GameOptions options;
    options.dataFolder = test::binFolder();
    options.savePath = folder.file("tarnbygolf");
    options.logPath = folder.file("play.log");
    std::ofstream(folder.file("play.script")) << "1500 key select\n3000 key back\n3700 quit\n";
    options.scriptPath = folder.file("play.script");

    WindowGame game(options);
    // The window thread's sleeps and the screen over most of a second of the
    // waiting aiming screen.
    long sleeps[2] = { 0, 0 };
    std::vector<uint32_t> screens[2];
    game.atTime(2000, [&](SDL_Window* window) {
        sleeps[0] = threadSleeps();
        screens[0] = screenOf(window);
    });
    game.atTime(2900, [&](SDL_Window* window) {
        sleeps[1] = threadSleeps();
        screens[1] = screenOf(window);
    });
    // Back in the quiet menu, what the X server shows against SDL's own
    // picture of the window, pixel for pixel: no marker left behind.
    int32_t compared = 0, differing = 0, firstX = -1, firstY = -1;
    game.atTime(3500, [&](SDL_Window* window) {
        const std::vector<uint32_t> shown = screenOf(window);
        SDL_Surface* surface = SDL_GetWindowSurface(window);
        if (shown.size() != 480u * 640u || surface == nullptr || surface->format->BytesPerPixel != 4
            || surface->w != 480 || surface->h != 640) {
            return;
        }
        for (int32_t y = 0; y < 640; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(
                static_cast<const uint8_t*>(surface->pixels) + static_cast<ptrdiff_t>(y) * surface->pitch);
            for (int32_t x = 0; x < 480; ++x) {
                ++compared;
                if (shown[static_cast<size_t>(y * 480 + x)] != (row[x] & 0xFFFFFF) && differing++ == 0) {
                    firstX = x;
                    firstY = y;
                }
            }
        }
    });
    ASSERT_EQ(game.run(), 0);

    // The marker moved on the screen: a small part of it changed.
    ASSERT_EQ(screens[0].size(), 480u * 640u);
    ASSERT_EQ(screens[1].size(), 480u * 640u);
    int32_t moved = 0;
    for (size_t i = 0; i < screens[0].size(); ++i) {
        moved += screens[0][i] != screens[1][i];
    }
    EXPECT_GT(moved, 20) << "the marker should have moved on the screen";
    EXPECT_LT(moved, 480 * 640 / 10) << "only the marker and the wind should change";
    // It steps ~28 times in these 900 ms; the window thread wakes for none of
    // them: it sleeps for the reading of the screen (two answers), and looks
    // in every quarter second (then it shows what it took, perhaps through
    // SDL with a wait for an answer).
    EXPECT_LE(sleeps[1] - sleeps[0], 16) << "the window thread should sleep while the game shows the marker";
    EXPECT_EQ(compared, 480 * 640) << "the window's picture could not be read back";
    EXPECT_EQ(differing, 0) << "the screen differs from the window's picture, first at " << firstX << "," << firstY;
}

#endif

}  // namespace
}  // namespace tarnby
