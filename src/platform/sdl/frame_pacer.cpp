// Frame pacing of the game in a window: sleeps on the real clock, and frames
// that showed nothing put off in pairs.
#include "platform/sdl/frame_pacer.h"

#include <thread>

namespace tarnby {

FramePacer::FramePacer() : m_start(Clock::now()) {}

int64_t FramePacer::realNow()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(clockNow() - m_start).count();
}

void FramePacer::sleepUntil(Clock::time_point until) { std::this_thread::sleep_until(until); }

bool FramePacer::waitForNudge(std::unique_lock<std::mutex>& hold, Clock::time_point until)
{
    return m_nudge.wait_until(hold, until, [this] { return m_nudged; });
}

void FramePacer::nudge()
{
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_nudged = true;
    }
    m_nudge.notify_one();
}

uint32_t FramePacer::sleep(int32_t milliseconds)
{
    const int32_t asked = milliseconds > 0 ? milliseconds : 0;
    const int64_t due = m_now + asked;
    const Clock::time_point dueAt = m_start + std::chrono::milliseconds(due);
    const bool shown = m_shown;
    m_shown = false;
    std::unique_lock<std::mutex> hold(m_lock);
    if (clockNow() < dueAt) {
        if (!shown && asked <= kLongestPutOffMs && !m_nudged) {
            // Nothing to show: sleep on until the next frame is due as well.
            m_blocks.fetch_add(1, std::memory_order_relaxed);
            const bool nudged = waitForNudge(hold, dueAt + std::chrono::milliseconds(asked));
            if (!nudged || clockNow() >= dueAt) {
                // Ends on the game's clock where it was asked to; what came
                // meanwhile is let through now, and the next frame runs at once.
                m_nudged = false;
                m_now = due;
                return now();
            }
        }
        hold.unlock();
        m_blocks.fetch_add(1, std::memory_order_relaxed);
        sleepUntil(dueAt);
        hold.lock();
    }
    m_nudged = false;
    // The real time it woke: a frame that ran late is as long as it took.
    const int64_t woke = realNow();
    m_now = woke > due ? woke : due;
    return now();
}

}  // namespace tarnby
