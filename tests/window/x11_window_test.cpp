// The game in a window on a real X display (a private virtual X server): the
// aiming screen's marker steps reach the screen exactly as SDL's picture of
// the window has them, and the window thread sleeps once for each step shown,
// not twice (no wait for the server's answer after a small update).
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

#include "platform/sdl/window_game.h"
#include "platform/sdl/x11_put.h"
#include "support/test_support.h"

#if defined(SDL_VIDEO_DRIVER_X11) && defined(TARNBY_HAVE_X11)
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

TEST(X11WindowTest, MarkerStepsReachTheScreenExactlyWithOneSleepEach)
{
    if (access(VirtualDisplay::kServer, X_OK) != 0) {
        GTEST_SKIP() << "no virtual X server here (scripts/install-deps installs xvfb)";
    }
    VirtualDisplay display;
    ASSERT_FALSE(display.name().empty()) << "the virtual X server (Xvfb) did not start";
    test::ScratchFolder folder("x11_window");
    setenv("DISPLAY", display.name().c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    setenv("XDG_RUNTIME_DIR", folder.path().c_str(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    GameOptions options;
    options.dataFolder = test::binFolder();
    options.savePath = folder.file("tarnbygolf");
    options.logPath = folder.file("play.log");
    std::ofstream(folder.file("play.script")) << "1500 key select\n3300 quit\n";
    options.scriptPath = folder.file("play.script");

    WindowGame game(options);
    // The window thread's sleeps and the rectangles it took over one second
    // of the waiting aiming screen.
    std::atomic<int32_t> paints { 0 };
    game.setPaintWatcher([&](const PaintRequest&) { ++paints; });
    long sleeps[2] = { 0, 0 };
    int32_t painted[2] = { 0, 0 };
    game.atTime(2000, [&](SDL_Window*) {
        sleeps[0] = threadSleeps();
        painted[0] = paints;
    });
    game.atTime(3000, [&](SDL_Window*) {
        sleeps[1] = threadSleeps();
        painted[1] = paints;
    });
    // What the X server shows against SDL's own picture of the window, pixel
    // for pixel (the server answers after every request sent before).
    int32_t compared = 0, differing = 0, firstX = -1, firstY = -1;
    game.atTime(3100, [&](SDL_Window* window) {
        X11Put screen;
        std::vector<uint32_t> shown;
        int32_t w = 0, h = 0;
        SDL_Surface* surface = SDL_GetWindowSurface(window);
        if (!screen.attach(window) || !screen.readBack(shown, w, h) || surface == nullptr
            || surface->format->BytesPerPixel != 4 || w != surface->w || h != surface->h) {
            return;
        }
        for (int32_t y = 0; y < h; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(surface->pixels)
                                                                 + static_cast<ptrdiff_t>(y) * surface->pitch);
            for (int32_t x = 0; x < w; ++x) {
                ++compared;
                if ((shown[static_cast<size_t>(y * w + x)] & 0xFFFFFF) != (row[x] & 0xFFFFFF) && differing++ == 0) {
                    firstX = x;
                    firstY = y;
                }
            }
        }
    });
    ASSERT_EQ(game.run(), 0);

    EXPECT_EQ(compared, 480 * 640) << "the window's picture could not be read back";
    EXPECT_EQ(differing, 0) << "the screen differs from the window's picture, first at " << firstX << ","
                            << firstY;
    // The marker steps about 31 times a second; each step is one wake of the
    // window thread (its eventfd), and no second sleep for an answer.
    const int32_t steps = painted[1] - painted[0];
    EXPECT_GE(steps, 10) << "the marker should be moving";
    EXPECT_LE(sleeps[1] - sleeps[0], steps + steps / 4 + 3)
        << "the window thread should sleep once per marker step shown, not wait for the X server";
}

#endif

}  // namespace
}  // namespace tarnby
