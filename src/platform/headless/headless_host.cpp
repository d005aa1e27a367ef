// The headless host: virtual clock, screen in memory, sound log, scripted input.
#include "platform/headless/headless_host.h"

#include <algorithm>
#include <cstddef>

#include "platform/headless/png_writer.h"
#include "runtime/keys.h"

namespace tarnby {

namespace {

// Is tick `a` at or before tick `b` on the wrapping clock?
bool notAfter(uint32_t a, uint32_t b) { return static_cast<int32_t>(b - a) >= 0; }

}  // namespace

HeadlessHost::HeadlessHost(int32_t width, int32_t height)
    : m_width(std::max(width, 1)), m_height(std::max(height, 1)),
      m_screen(static_cast<size_t>(m_width) * static_cast<size_t>(m_height), 0)
{
    m_previous = setHost(this);
}

HeadlessHost::~HeadlessHost() { setHost(m_previous); }

void HeadlessHost::sleep(int32_t milliseconds)
{
    m_sleeps++;
    const uint32_t until = m_now + static_cast<uint32_t>(std::max(milliseconds, 0));
    // Each event sees the clock at its own time, as if the window had sent it then.
    while (!m_script.empty() && notAfter(m_script.front().at, until)) {
        InputEvent event = m_script.front();
        m_script.pop_front();
        if (!notAfter(event.at, m_now)) {
            m_now = event.at;
        }
        deliver(event);
    }
    m_now = until;
}

void HeadlessHost::present(const uint32_t* pixels, int32_t stride, int32_t x, int32_t y, int32_t w, int32_t h)
{
    m_presented.push_back({ x, y, w, h });
    // Only the part of the rectangle that lies on the screen is copied.
    const int32_t x0 = std::max(x, 0);
    const int32_t y0 = std::max(y, 0);
    const int32_t x1 = std::min(x + w, m_width);
    const int32_t y1 = std::min(y + h, m_height);
    if (!pixels || x1 <= x0 || y1 <= y0) {
        return;
    }
    for (int32_t row = y0; row < y1; ++row) {
        const uint32_t* from = pixels + static_cast<ptrdiff_t>(row) * stride;
        std::copy(from + x0, from + x1, m_screen.begin() + static_cast<ptrdiff_t>(row) * m_width + x0);
    }
    m_presentedPixels += static_cast<int64_t>(x1 - x0) * (y1 - y0);
}

void HeadlessHost::playSound(const char* name)
{
    if (!name) {
        return;
    }
    m_sounds.emplace_back(name);
    if (m_soundListener) {
        m_soundListener(m_sounds.back());
    }
}

uint32_t HeadlessHost::screenAt(int32_t x, int32_t y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) {
        return 0;
    }
    return m_screen[static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x)];
}

void HeadlessHost::setScreenSize(int32_t width, int32_t height)
{
    m_width = std::max(width, 1);
    m_height = std::max(height, 1);
    m_screen.assign(static_cast<size_t>(m_width) * static_cast<size_t>(m_height), 0);
}

bool HeadlessHost::writePng(const std::string& path) const
{
    return writeFramePng(path, m_screen.data(), m_width, m_height, m_width);
}

void HeadlessHost::clearPresented()
{
    m_presented.clear();
    m_presentedPixels = 0;
}

void HeadlessHost::schedule(const InputEvent& event)
{
    // After every event due at the same time or earlier: equal times keep their order.
    auto later = std::find_if(m_script.begin(), m_script.end(),
        [&](const InputEvent& e) { return !notAfter(e.at, event.at); });
    m_script.insert(later, event);
}

void HeadlessHost::deliverDueInput()
{
    while (!m_script.empty() && notAfter(m_script.front().at, m_now)) {
        InputEvent event = m_script.front();
        m_script.pop_front();
        deliver(event);
    }
}

void HeadlessHost::deliver(const InputEvent& event)
{
    Viewport* v = m_input;
    if (!v) {
        return;  // nobody listens: the input is dropped, as a window without a game would
    }
    switch (event.kind) {
    case InputEvent::KeyDown: v->keyDown(event.a); break;
    case InputEvent::KeyUp: v->keyUp(event.a); break;
    case InputEvent::Key:
    case InputEvent::Char:
        v->keyDown(event.a);
        v->keyUp(event.a);
        break;
    case InputEvent::Tap:
    case InputEvent::PenDown:
        // The position first: whoever takes the select press finds the tap's place.
        v->m_penX.store(event.a, std::memory_order_release);
        v->m_penY.store(event.b, std::memory_order_release);
        v->keyDown(kKeySelect);
        if (event.kind == InputEvent::Tap) {
            v->keyUp(kKeySelect);
        }
        break;
    case InputEvent::PenUp: v->keyUp(kKeySelect); break;
    case InputEvent::Pen:
        v->m_penX.store(event.a, std::memory_order_release);
        v->m_penY.store(event.b, std::memory_order_release);
        break;
    case InputEvent::Drag:
        v->m_dragX.fetch_add(event.a, std::memory_order_acq_rel);
        v->m_dragY.fetch_add(event.b, std::memory_order_acq_rel);
        break;
    }
}

}  // namespace tarnby
