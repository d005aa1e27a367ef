// The game's clock in a window: each sleep of the game ends on the real clock,
// except that a frame which showed nothing may end late, together with the
// next one, so that the game thread wakes once for the two.
//
// The game's clock stands still between sleeps and moves only as a sleep
// ends. A frame that showed nothing and was on time is put off: its sleep
// lasts until the next frame would be due as well, or until something comes
// for the game (`nudge`); then it ends with the game's clock exactly where it
// was asked to be, and the next frame runs at once, late on the real clock.
// Its own sleep then finds its time already past and ends at the real time,
// as any late frame does, and the game is back on the real clock. So the
// game sees the frame lengths it asked for and meets input no later than on a
// clock woken for every frame; only what the put-off frame's successor shows
// reaches the screen up to one frame later. A nudge before the frame's end
// lets it end on time; a nudge after its end lets it end at once, with the
// game's clock at its end, and the input is the next frame's.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace tarnby {

class FramePacer {
public:
    // Frames longer than this are never put off: a long wait (a screen shown
    // for a second) is the game's own, and the next frame should not wait as long.
    static constexpr int32_t kLongestPutOffMs = 20;

    FramePacer();
    virtual ~FramePacer() = default;
    FramePacer(const FramePacer&) = delete;
    FramePacer& operator=(const FramePacer&) = delete;

    // Game thread: the game's clock, ms from the start.
    uint32_t now() const { return static_cast<uint32_t>(m_now); }
    // Game thread: the frame now running showed something.
    void shown() { m_shown = true; }
    // Game thread: sleeps `milliseconds` of the game's clock, counted from its
    // clock now, as described above; gives the clock after the sleep.
    uint32_t sleep(int32_t milliseconds);

    // Any thread: something came for the game (input, a new size, the end of
    // the game): a put-off frame ends now, and the next one is not put off.
    void nudge();

    // How many times the game thread has blocked in its sleeps so far.
    uint64_t blocks() const { return m_blocks.load(std::memory_order_relaxed); }
    // Real ms since the start (truncated).
    int64_t realNow();

protected:
    using Clock = std::chrono::steady_clock;

    // The real clock and the two ways of sleeping on it; a test replaces
    // them with a simulated clock.
    virtual Clock::time_point clockNow() { return Clock::now(); }
    virtual void sleepUntil(Clock::time_point until);
    // Sleeps until `until` or a nudge, whichever comes first; true when nudged.
    // `hold` holds m_lock, the nudge flag's lock.
    virtual bool waitForNudge(std::unique_lock<std::mutex>& hold, Clock::time_point until);

    Clock::time_point m_start;
    bool m_nudged = false;  // under m_lock
    std::mutex m_lock;

private:
    int64_t m_now = 0;  // the game's clock
    bool m_shown = false;
    std::condition_variable m_nudge;
    std::atomic<uint64_t> m_blocks { 0 };
};

}  // namespace tarnby
