// The game thread's side of the window.
#include "platform/sdl/sdl_host.h"

#include <string>
#include <utility>

namespace tarnby {

SdlHost::SdlHost(Viewport& game, PaintHandoff& handoff, std::function<void()> wake, InputGate& gate,
    Recording& recording)
    : m_game(game), m_handoff(handoff), m_wake(std::move(wake)), m_gate(gate), m_recording(recording)
{
}

uint32_t SdlHost::tickCount()
{
    applySize();
    // From the start of the game, so that logs read like the headless ones.
    return m_pacer.now();
}

void SdlHost::sleep(int32_t milliseconds)
{
    applySize();
    // Until the game's clock plus the time asked for, on the real clock: a
    // frame that took its time sleeps less, as it would on a running clock.
    const uint32_t before = m_pacer.now();
    const uint32_t woke = m_pacer.sleep(milliseconds);
    m_recording.frame(before, static_cast<int32_t>(woke - before));
    m_gate.deliver(m_game, m_recording, woke);
}

void SdlHost::present(const uint32_t* pixels, int32_t stride, int32_t x, int32_t y, int32_t w, int32_t h)
{
    PaintRequest request;
    request.pixels = pixels;
    request.width = stride;
    request.height = m_game.getHeight();
    request.x = x;
    request.y = y;
    request.w = w;
    request.h = h;
    m_pacer.shown();
    bool first = false;
    if (m_direct != nullptr) {
        // The window may be showing: then the window shows this one too.
        std::unique_lock<std::mutex> order(m_direct->order(), std::try_to_lock);
        first = m_handoff.present(request);
        if (order.owns_lock() && m_direct->put(request)) {
            // On the screen already: the window takes it for its own picture
            // when it next wakes for anything, unless the put's flush took in
            // input the window must handle now.
            m_wakeOwed = m_wakeOwed || first;
            if (m_direct->eventsWaiting() && m_wake) {
                m_wakeOwed = false;
                m_wake();
            }
            return;
        }
    } else {
        first = m_handoff.present(request);
    }
    if ((first || m_wakeOwed) && m_wake) {
        m_wakeOwed = false;
        m_wake();
    }
}

void SdlHost::playSound(const char* name)
{
    if (m_sound != nullptr && name != nullptr) {
        m_sound->play(name);
    }
}

void SdlHost::requestSize(int32_t width, int32_t height)
{
    if (width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF) {
        return;
    }
    m_pendingSize.store(static_cast<uint32_t>(width) << 16 | static_cast<uint32_t>(height), std::memory_order_release);
}

void SdlHost::applySize()
{
    const uint32_t size = m_pendingSize.exchange(0, std::memory_order_acq_rel);
    if (size != 0) {
        const int32_t width = static_cast<int32_t>(size >> 16);
        const int32_t height = static_cast<int32_t>(size & 0xFFFF);
        // A headless replay keeps the size it was given: the note says why it may differ from here on.
        m_recording.line("# " + std::to_string(m_pacer.now()) + " the window changed the game's size to "
                         + std::to_string(width) + "x" + std::to_string(height));
        m_game.setSize(width, height);
    }
}

}  // namespace tarnby
