// Small rectangles of the game's frame put on an X display by the game thread.
#include "platform/sdl/direct_screen.h"

#include <algorithm>

namespace tarnby {

bool DirectScreen::attach(SDL_Window* window)
{
    if (!m_put.attach(window) || !m_put.plainRgb()) {
        m_put.detach();
        return false;
    }
    m_scaled.reserve(static_cast<size_t>(kMostPixels));
    return true;
}

void DirectScreen::detach()
{
    pause();
    m_put.detach();
}

void DirectScreen::follow(int32_t x, int32_t y, int32_t scale, int32_t frameWidth, int32_t frameHeight)
{
    std::lock_guard<std::mutex> hold(m_layoutLock);
    const bool usable = scale >= 1 && frameWidth > 0 && frameHeight > 0;
    m_x = x;
    m_y = y;
    m_scale = usable ? scale : 0;
    m_frameWidth = usable ? frameWidth : 0;
    m_frameHeight = usable ? frameHeight : 0;
}

bool DirectScreen::put(const PaintRequest& r)
{
    int32_t originX = 0, originY = 0, scale = 0;
    {
        std::lock_guard<std::mutex> hold(m_layoutLock);
        if (m_scale == 0 || r.width != m_frameWidth || r.height != m_frameHeight) {
            return false;
        }
        originX = m_x;
        originY = m_y;
        scale = m_scale;
    }
    if (r.pixels == nullptr || r.w <= 0 || r.h <= 0 || r.x < 0 || r.y < 0 || r.x + r.w > r.width
        || r.y + r.h > r.height) {
        return false;
    }
    const int32_t w = r.w * scale;
    const int32_t h = r.h * scale;
    if (w > kMostPixels / h) {
        return false;
    }
    // Each frame pixel as a block of window pixels, the depth byte cleared,
    // as the window's renderer draws it.
    m_scaled.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
    uint32_t* out = m_scaled.data();
    for (int32_t row = 0; row < r.h; ++row) {
        const uint32_t* in = r.pixels + static_cast<size_t>(r.y + row) * static_cast<size_t>(r.width)
                             + static_cast<size_t>(r.x);
        uint32_t* first = out;
        for (int32_t col = 0; col < r.w; ++col) {
            const uint32_t pixel = in[col] & 0xFFFFFFu;
            for (int32_t k = 0; k < scale; ++k) {
                *out++ = pixel;
            }
        }
        for (int32_t k = 1; k < scale; ++k, out += w) {
            std::copy(first, first + w, out);
        }
    }
    return m_put.putPixels(m_scaled.data(), w, h, w * 4, originX + r.x * scale, originY + r.y * scale);
}

}  // namespace tarnby
