// The present/paint hand-off between the game and window threads.
#include "platform/sdl/paint_handoff.h"

#include <algorithm>
#include <cstring>

namespace tarnby {

namespace {

// A frame larger than any screen the game runs on is not copied.
constexpr int64_t kMostPixels = int64_t { 8192 } * 8192;

}  // namespace

bool PaintHandoff::present(const PaintRequest& r)
{
    if (r.pixels == nullptr || r.width <= 0 || r.height <= 0
        || int64_t { r.width } * int64_t { r.height } > kMostPixels) {
        return false;
    }
    const std::lock_guard<std::mutex> hold(m_lock);
    if (m_closed) {
        return false;
    }
    bool whole = false;
    if (r.width != m_width || r.height != m_height) {
        // A new size: the window starts again from the whole frame.
        m_frame.resize(static_cast<size_t>(r.width) * static_cast<size_t>(r.height));
        m_width = r.width;
        m_height = r.height;
        whole = true;
    }
    // Never beyond the frame, whatever the rectangle says.
    auto clamp = [](int64_t v, int32_t most) { return static_cast<int32_t>(std::clamp<int64_t>(v, 0, most)); };
    const int32_t l = whole ? 0 : clamp(r.x, m_width);
    const int32_t t = whole ? 0 : clamp(r.y, m_height);
    const int32_t right = whole ? m_width : clamp(int64_t { r.x } + r.w, m_width);
    const int32_t bottom = whole ? m_height : clamp(int64_t { r.y } + r.h, m_height);
    if (l >= right || t >= bottom) {
        return false;
    }
    for (int32_t row = t; row < bottom; ++row) {
        const size_t at = static_cast<size_t>(row) * static_cast<size_t>(m_width) + static_cast<size_t>(l);
        std::memcpy(&m_frame[at], r.pixels + at, static_cast<size_t>(right - l) * 4);
    }
    const bool first = whole || m_left >= m_right || m_top >= m_bottom;
    if (first) {
        m_left = l;
        m_top = t;
        m_right = right;
        m_bottom = bottom;
    } else {
        m_left = std::min(m_left, l);
        m_top = std::min(m_top, t);
        m_right = std::max(m_right, right);
        m_bottom = std::max(m_bottom, bottom);
    }
    m_pending.store(true, std::memory_order_release);
    return first;
}

bool PaintHandoff::serve(const std::function<void(const PaintRequest&)>& copy)
{
    const std::lock_guard<std::mutex> hold(m_lock);
    if (m_left >= m_right || m_top >= m_bottom) {
        return false;
    }
    PaintRequest request;
    request.pixels = m_frame.data();
    request.width = m_width;
    request.height = m_height;
    request.x = m_left;
    request.y = m_top;
    request.w = m_right - m_left;
    request.h = m_bottom - m_top;
    m_left = m_top = m_right = m_bottom = 0;
    m_pending.store(false, std::memory_order_release);
    copy(request);
    return true;
}

void PaintHandoff::close()
{
    const std::lock_guard<std::mutex> hold(m_lock);
    m_closed = true;
    m_left = m_top = m_right = m_bottom = 0;
    m_pending.store(false, std::memory_order_release);
}

}  // namespace tarnby
