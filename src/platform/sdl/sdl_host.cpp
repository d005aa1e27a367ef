// The game thread's side of the window.
#include "platform/sdl/sdl_host.h"

#include <string>
#include <utility>

namespace tarnby {

SdlHost::SdlHost(Viewport& game, PaintHandoff& handoff, std::function<void()> wake, InputGate& gate,
    Recording& recording)
    : m_game(game), m_handoff(handoff), m_wake(std::move(wake)), m_gate(gate), m_recording(recording),
      m_start(SDL_GetTicks())
{
}

uint32_t SdlHost::tickCount()
{
    applySize();
    // From the start of the game, so that logs read like the headless ones.
    return m_now;
}

void SdlHost::sleep(int32_t milliseconds)
{
    applySize();
    // Until the game's clock plus the time asked for, on the real clock: a
    // frame that took its time sleeps less, as it would on a running clock.
    const uint32_t due = m_now + static_cast<uint32_t>(milliseconds > 0 ? milliseconds : 0);
    const int32_t left = static_cast<int32_t>(due - (SDL_GetTicks() - m_start));
    if (left > 0) {
        SDL_Delay(static_cast<uint32_t>(left));
    }
    const uint32_t woke = SDL_GetTicks() - m_start;
    m_recording.frame(m_now, static_cast<int32_t>(woke - m_now));
    m_now = woke;
    m_gate.deliver(m_game, m_recording, m_now);
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
    if (m_handoff.present(request) && m_wake) {
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
        m_recording.line("# " + std::to_string(m_now) + " the window changed the game's size to "
                         + std::to_string(width) + "x" + std::to_string(height));
        m_game.setSize(width, height);
    }
}

}  // namespace tarnby
