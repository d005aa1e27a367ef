// The few services the engine asks of the machine it runs on: a millisecond
// clock, sleeping, showing a finished rectangle of a frame and playing a sound.
//
// The platform installs its host at start-up: the window's host in the game,
// the headless host (platform/headless) in tests, tools and scripted play.
// Until one is installed a bare virtual clock answers: it moves only when the
// program sleeps, shows nothing and plays nothing.
#pragma once

#include <cstdint>

namespace tarnby {

class Host {
public:
    virtual ~Host() = default;

    // Milliseconds since some fixed moment; wraps like a 32-bit tick counter.
    virtual uint32_t tickCount() = 0;
    virtual void sleep(int32_t milliseconds) = 0;

    // A rectangle of a frame is finished and should be shown: pixels are
    // 0xDDRRGGBB words (the depth byte is not shown), `stride` words per row
    // with `pixels` at the frame's top-left corner, (x, y, w, h) in pixels and
    // inside the frame. The call may block until the rectangle is on the
    // screen (a window host waits for its paint), and the pixels are valid
    // only during the call: a host that keeps them copies them.
    virtual void present(const uint32_t* pixels, int32_t stride, int32_t x, int32_t y, int32_t w, int32_t h) = 0;

    // Plays the sound whose data file is `name` + ".wav" ("hit", "swing", ...).
    // Does not wait for it to end; a host without sound does nothing.
    virtual void playSound(const char* name) { (void)name; }
};

// The host in use: the installed one, or the bare virtual clock.
Host& host();

// Installs a host (the caller keeps it alive) or, with null, the bare virtual
// clock again; gives the host installed before.
Host* setHost(Host* host);

}  // namespace tarnby
