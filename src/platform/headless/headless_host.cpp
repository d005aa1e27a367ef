// The headless host.
#include "platform/headless/headless_host.h"

#include <algorithm>
#include <cstddef>

#include "platform/headless/png_writer.h"

namespace tarnby {

HeadlessHost::HeadlessHost(int32_t width, int32_t height)
    : m_width(std::max(width, 1)), m_height(std::max(height, 1)),
      m_screen(static_cast<size_t>(m_width) * static_cast<size_t>(m_height), 0)
{
}

void HeadlessHost::sleep(int32_t milliseconds)
{
    if (milliseconds > 0) {
        m_now += static_cast<uint32_t>(milliseconds);
    }
}

void HeadlessHost::present(const uint32_t* pixels, int32_t stride, int32_t x, int32_t y, int32_t w, int32_t h)
{
    m_presents++;
    // Only the part of the rectangle that lies on the screen is copied.
    int32_t x0 = std::max(x, 0);
    int32_t y0 = std::max(y, 0);
    int32_t x1 = std::min(x + w, m_width);
    int32_t y1 = std::min(y + h, m_height);
    for (int32_t row = y0; row < y1; ++row) {
        const uint32_t* from = pixels + static_cast<ptrdiff_t>(row) * stride;
        std::copy(from + x0, from + x1, m_screen.begin() + static_cast<ptrdiff_t>(row) * m_width + x0);
    }
    if (x1 > x0 && y1 > y0) {
        m_presentedPixels += (x1 - x0) * (y1 - y0);
    }
}

bool HeadlessHost::writePng(const std::string& path) const
{
    return writeFramePng(path, m_screen.data(), m_width, m_height, m_width);
}

void HeadlessHost::scriptKey(uint32_t at, int32_t code, bool down) { m_script.push_back({at, code, down}); }

bool HeadlessHost::nextKey(ScriptedKey& key)
{
    if (m_script.empty() || m_script.front().at > m_now) {
        return false;
    }
    key = m_script.front();
    m_script.pop_front();
    return true;
}

}  // namespace tarnby
