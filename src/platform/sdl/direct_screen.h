// The game thread's own way to the screen for a small changed rectangle: on
// an X display it scales the rectangle as the window shows the frame and puts
// it there itself, so that the window thread need not wake for it (the aiming
// screen's marker steps ~31 times a second). The window thread still takes
// every rectangle from the hand-off when it next wakes, so that its picture
// of the window stays whole; the order lock keeps the two from showing an
// older picture over a newer one: the window holds it from taking rectangles
// until they are shown, the game around a put of its own.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include <SDL.h>

#include "platform/sdl/paint_handoff.h"
#include "platform/sdl/x11_put.h"

namespace tarnby {

class DirectScreen {
public:
    // The largest rectangle put, in window pixels.
    static constexpr int32_t kMostPixels = X11Put::kMostPixels;

    // Window thread, once the window is open: false when it is not on an X
    // display that takes 0x00RRGGBB pixels (then every put declines).
    bool attach(SDL_Window* window);
    // Window thread, before the window closes.
    void detach();
    // Window thread, with every rectangle so far on the screen: the frame,
    // `frameWidth` x `frameHeight`, is shown at (x, y) of the window with
    // `scale` window pixels a frame pixel (0: the game may not put).
    void follow(int32_t x, int32_t y, int32_t scale, int32_t frameWidth, int32_t frameHeight);
    // Window thread: the window changes (size, exposure, full screen): no
    // puts until it shows the frame whole again and follows it.
    void pause() { follow(0, 0, 0, 0, 0); }

    std::mutex& order() { return m_order; }
    // Game thread, holding order(): puts the rectangle of `request` on the
    // screen. False when it cannot (paused, another frame size, too large):
    // the window thread has to show it.
    bool put(const PaintRequest& request);
    // Game thread, after a put: true when the put's flush read input events
    // from the display, which the window thread then has to be woken for.
    bool eventsWaiting() const { return m_put.eventsWaiting(); }

private:
    X11Put m_put;
    std::mutex m_order;
    std::mutex m_layoutLock;  // guards the layout below
    int32_t m_x = 0;
    int32_t m_y = 0;
    int32_t m_scale = 0;
    int32_t m_frameWidth = 0;
    int32_t m_frameHeight = 0;
    std::vector<uint32_t> m_scaled;  // the rectangle at window size (game thread)
};

}  // namespace tarnby
