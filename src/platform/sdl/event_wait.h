// How the window thread sleeps until it has work: input from the display, a
// frame from the game, a later copy of the game knocking, or its own timed
// work. Under X11 it waits on the display's connection and a wake-up counter
// of its own (an eventfd), so that the game wakes it with one write and
// nothing goes through the X server, and the display's events are taken in
// only when some came; elsewhere it falls back to SDL's own wait, woken by an
// SDL event.
#pragma once

#include <atomic>
#include <cstdint>

#include <SDL.h>

namespace tarnby {

class EventWait {
public:
    // A gamepad's events are read, not waited for: with one attached the
    // window looks this often.
    static constexpr int kGamepadLookMs = 8;
    // After input the display's events are taken in this often for a while:
    // an input method answers by the session bus, which the wait does not watch.
    static constexpr int kAfterInputLookMs = 16;
    static constexpr uint32_t kAfterInputMs = 300;

    EventWait() = default;
    ~EventWait();
    EventWait(const EventWait&) = delete;
    EventWait& operator=(const EventWait&) = delete;

    // Window thread, once the window is open: `wakeEvent` is the SDL event
    // type that wakes SDL's own wait.
    void attach(SDL_Window* window, uint32_t wakeEvent);
    // Any thread: the window thread should look at its work now.
    void wake();
    // Window thread: sleeps at most `timeoutMs`, less when woken, when input
    // comes or when `extraFd` (none when negative) can be read; the display's
    // events are then in SDL's queue. True when `extraFd` can be read.
    bool wait(int timeoutMs, int extraFd);
    // True when the wait watches the display's connection itself.
    bool direct() const { return m_display != nullptr; }
    // How many times the window thread has waited so far.
    uint64_t waits() const { return m_waits; }

private:
    void* m_display = nullptr;  // the X display, when the window is on one
    int m_displayFd = -1;
    int m_wakeFd = -1;
    uint32_t m_wakeEvent = 0;
    uint32_t m_inputUntil = 0;  // SDL ticks until which input was recent
    uint64_t m_waits = 0;
    std::atomic<bool> m_attached { false };
};

}  // namespace tarnby
