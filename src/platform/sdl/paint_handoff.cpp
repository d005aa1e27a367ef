// The present/paint hand-off between the game and window threads.
#include "platform/sdl/paint_handoff.h"

namespace tarnby {

bool PaintHandoff::present(const PaintRequest& request, const std::function<void()>& wake,
    const std::function<void()>& sleep1)
{
    if (m_state.load(std::memory_order_acquire) != kIdle) {
        return false;
    }
    m_request = request;
    int32_t idle = kIdle;
    if (!m_state.compare_exchange_strong(idle, kRequested, std::memory_order_acq_rel)) {
        return false;
    }
    wake();
    for (int32_t poll = 0; poll < kPolls; ++poll) {
        const int32_t state = m_state.load(std::memory_order_acquire);
        if (state == kIdle) {
            return true;
        }
        if (state == kClosed) {
            return false;
        }
        sleep1();
    }
    // Withdraw the offer unless the window has just begun copying; then the
    // copy is short, and the frame must stay still until it ends.
    int32_t requested = kRequested;
    if (m_state.compare_exchange_strong(requested, kIdle, std::memory_order_acq_rel)) {
        return false;
    }
    while (m_state.load(std::memory_order_acquire) == kCopying) {
        sleep1();
    }
    return m_state.load(std::memory_order_acquire) == kIdle;
}

bool PaintHandoff::serve(const std::function<void(const PaintRequest&)>& copy)
{
    int32_t requested = kRequested;
    if (!m_state.compare_exchange_strong(requested, kCopying, std::memory_order_acq_rel)) {
        return false;
    }
    copy(m_request);
    m_state.store(kIdle, std::memory_order_release);
    return true;
}

void PaintHandoff::close() { m_state.store(kClosed, std::memory_order_release); }

}  // namespace tarnby
