// Puts a small changed part of the window on an X display without waiting
// for the server. SDL's own update sends the part from shared memory and then
// waits for the server's answer (it must not touch that memory before the
// server has read it): a second sleep and wake of the window thread for every
// frame shown. A small part sent as image data inside the request needs no
// answer, so the window thread goes back to sleep at once; larger parts
// still go SDL's way, where shared memory saves copying them.
#pragma once

#include <cstdint>
#include <vector>

#include <SDL.h>

namespace tarnby {

class X11Put {
public:
    // The largest part, in window pixels, sent as image data (64 KB).
    static constexpr int32_t kMostPixels = 16384;

    X11Put() = default;
    ~X11Put();
    X11Put(const X11Put&) = delete;
    X11Put& operator=(const X11Put&) = delete;

    // Window thread, once the window is open: false when it is not on an X
    // display (then every put declines).
    bool attach(SDL_Window* window);
    // Window thread, before the window closes.
    void detach();
    // Puts `area` (window pixels) of the window's surface, as the software
    // renderer left it, on the screen. False when it cannot (not on X, too
    // large, outside the surface, a surface of another kind): the caller
    // then updates the window through SDL.
    bool put(SDL_Window* window, const SDL_Rect& area);
    // Puts `width` x `height` pixels, rows `pitch` bytes apart, at (x, y) of
    // the window. False when not attached.
    bool putPixels(const void* pixels, int32_t width, int32_t height, int32_t pitch, int32_t x, int32_t y);
    // True when the display library holds events already read from the
    // server (a flush also reads what has come): whoever waits on the
    // connection would not see them there any more.
    bool eventsWaiting() const;
    // The X window attached to (0: none).
    unsigned long window() const { return m_window; }
    // True when the screen takes pixels as 0x00RRGGBB words.
    bool plainRgb() const { return m_plainRgb; }
    // What the X server shows of the attached window, width x height pixels
    // (0x00RRGGBB on the usual screens), after everything sent to it before:
    // for checking the screen against the window's own picture. False when
    // not attached or the server would not give it.
    bool readBack(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height);

private:
    void* m_display = nullptr;   // Display*
    unsigned long m_window = 0;  // the X window
    void* m_gc = nullptr;        // GC
    void* m_visual = nullptr;    // Visual*
    int m_depth = 0;
    bool m_plainRgb = false;
};

}  // namespace tarnby
