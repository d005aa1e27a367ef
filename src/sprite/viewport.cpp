// Viewports: the changed-area list, painting, nesting, keys and frame pacing.
#include "sprite/viewport.h"

#include <cstddef>
#include <cstring>

#include "runtime/host.h"

namespace tarnby {

Viewport::Viewport()
{
    m_keysDown[0].store(0, std::memory_order_relaxed);
    m_keysDown[1].store(0, std::memory_order_relaxed);
    std::memset(m_keyQueue, 0, sizeof m_keyQueue);
    std::memset(m_dirty, 0, sizeof m_dirty);
}

Viewport::~Viewport() { releaseBuffer(); }

// --- Size and buffer ------------------------------------------------------------

void Viewport::setSize(int32_t width, int32_t height)
{
    if (width == m_width && height == m_height) {
        return;
    }
    releaseBuffer();
    // A frame is at most a few screens; a size beyond that is a bug, not a frame.
    if (width > 0 && height > 0 && static_cast<int64_t>(width) * height <= kMaxPixels) {
        m_pixels = allocInt(width * height);
    } else if (width != 0 || height != 0) {
        V::log("Bad viewport size", width, height);
    }
    m_width = width;
    m_height = height;
    setBounds(0, 0, width, height);
    m_dirtyCount = 0;
    invalidateRect(0, 0, width, height);
}

void Viewport::releaseBuffer() { deleteInt(m_pixels); }

void Viewport::attach()
{
    m_attached = true;
    m_lastTick = host().tickCount();
}

void Viewport::run() {}

// --- Changed areas ----------------------------------------------------------------

void Viewport::removeDirty(int32_t index)
{
    int32_t at = index * 4;
    std::memmove(&m_dirty[at], &m_dirty[at + 4], static_cast<size_t>(m_dirtyCount - at - 4) * sizeof(int32_t));
    m_dirtyCount -= 4;
}

void Viewport::invalidateRect(int32_t l, int32_t t, int32_t r, int32_t b)
{
    if (m_parent) {
        m_parent->invalidateRect(l, t, r, b);
        return;
    }
    l = l > m_left ? l : m_left;
    t = t > m_top ? t : m_top;
    r = r < m_right ? r : m_right;
    b = b < m_bottom ? b : m_bottom;
    if (l >= r || t >= b) {
        return;
    }
    // Merge with the first stored area that overlaps in x and overlaps or shares
    // an edge in y; the grown area may now touch earlier ones, so start again.
    for (int32_t i = 0; i < m_dirtyCount; i += 4) {
        const int32_t el = m_dirty[i];
        const int32_t et = m_dirty[i + 1];
        const int32_t er = m_dirty[i + 2];
        const int32_t eb = m_dirty[i + 3];
        const bool touchX = (l > el ? l : el) < (r < er ? r : er);
        const bool touchY = (t > et ? t : et) <= (b < eb ? b : eb);
        if (!touchX || !touchY) {
            continue;
        }
        if (el <= l && r <= er && et <= t && b <= eb) {
            return;
        }
        l = l < el ? l : el;
        t = t < et ? t : et;
        r = r > er ? r : er;
        b = b > eb ? b : eb;
        removeDirty(i / 4);
        i = -4;
    }
    if (m_dirtyCount < kMaxDirty * 4) {
        m_dirty[m_dirtyCount] = l;
        m_dirty[m_dirtyCount + 1] = t;
        m_dirty[m_dirtyCount + 2] = r;
        m_dirty[m_dirtyCount + 3] = b;
        m_dirtyCount += 4;
    }
}

// --- Drawing ----------------------------------------------------------------------

void Viewport::render(uint32_t* frame, int32_t stride, int32_t, int32_t clipL, int32_t clipT, int32_t clipR,
    int32_t clipB)
{
    // Nested: copy from the own buffer, whose top-left pixel sits at the
    // bounds' top-left. Only what the buffer holds is copied (a scaled view's
    // bounds may reach past it).
    if (m_pixels.empty()) {
        return;
    }
    int32_t l = clipL > m_left ? clipL : m_left;
    int32_t t = clipT > m_top ? clipT : m_top;
    int32_t r = clipR < m_left + m_width ? clipR : m_left + m_width;
    int32_t b = clipB < m_top + m_height ? clipB : m_top + m_height;
    if (l >= r || t >= b) {
        return;
    }
    const uint32_t* source = pixels();
    const size_t bytes = static_cast<size_t>(r - l) * sizeof(uint32_t);
    for (int32_t y = t; y < b; ++y) {
        std::memmove(frame + static_cast<ptrdiff_t>(y) * stride + l,
            source + static_cast<ptrdiff_t>(y - m_top) * m_width - m_left + l, bytes);
    }
}

void Viewport::renderBand(int32_t l, int32_t t, int32_t r, int32_t b)
{
    // The buffer covers (0, 0, m_width, m_height); never draw past it.
    l = l > 0 ? l : 0;
    t = t > 0 ? t : 0;
    r = r < m_width ? r : m_width;
    b = b < m_height ? b : m_height;
    if (l < r && t < b && !m_pixels.empty()) {
        Vsprite::render(pixels(), m_width, m_height, l, t, r, b);
    }
}

void Viewport::presentRect(int32_t l, int32_t t, int32_t r, int32_t b)
{
    if (m_attached) {
        l = l > 0 ? l : 0;
        t = t > 0 ? t : 0;
        r = r < m_width ? r : m_width;
        b = b < m_height ? b : m_height;
        if (l < r && t < b && !m_pixels.empty()) {
            host().present(pixels(), m_width, l, t, r - l, b - t);
        }
    } else if (m_parent) {
        m_parent->invalidateRect(l + m_left, t + m_top, r + m_left, b + m_top);
    }
}

void Viewport::paint()
{
    if (!isRunning()) {
        return;
    }
    update(0, 0, kOne);
    for (int32_t i = 0; i < m_dirtyCount; i += 4) {
        const int32_t l = m_dirty[i];
        const int32_t t = m_dirty[i + 1];
        const int32_t r = m_dirty[i + 2];
        const int32_t b = m_dirty[i + 3];
        if (l < r && t < b) {
            renderBand(l, t, r, b);
            presentRect(l, t, r, b);
        }
    }
    m_dirtyCount = 0;
}

void Viewport::paintColumns()
{
    update(0, 0, kOne);
    if (m_dirtyCount == 0) {
        return;
    }
    for (int32_t x = 0; x < m_width; x += kBand) {
        if (!isRunning()) {
            break;
        }
        const int32_t r = x + kBand < m_width ? x + kBand : m_width;
        renderBand(x, 0, r, m_height);
        presentRect(x, 0, r, m_height);
        waitFrame(kBand);
    }
    if (isRunning()) {
        m_dirtyCount = 0;
    }
}

void Viewport::paintRows()
{
    update(0, 0, kOne);
    if (m_dirtyCount == 0) {
        return;
    }
    for (int32_t y = 0; y < m_height; y += kBand) {
        if (!isRunning()) {
            break;
        }
        const int32_t b = y + kBand < m_height ? y + kBand : m_height;
        renderBand(0, y, m_width, b);
        presentRect(0, y, m_width, b);
        waitFrame(kBand);
    }
    if (isRunning()) {
        m_dirtyCount = 0;
    }
}

bool Viewport::isVisible(const Ref<Vsprite>& sprite) const
{
    if (!sprite) {
        return false;
    }
    const int32_t l = sprite->m_left;
    const int32_t t = sprite->m_top;
    const int32_t r = sprite->m_right;
    const int32_t b = sprite->m_bottom;
    return l < r && r > m_left && l < m_right && b > m_top && t < m_bottom;
}

// --- Frame pacing -------------------------------------------------------------------

uint32_t Viewport::waitFrame(int32_t milliseconds)
{
    if (!isRunning()) {
        return 0;
    }
    Host& h = host();
    const uint32_t due = m_lastTick + static_cast<uint32_t>(milliseconds);
    uint32_t now = h.tickCount();
    // Tick arithmetic wraps; the sign of the difference says which is later.
    const int32_t left = static_cast<int32_t>(due - now);
    if (left > 0) {
        h.sleep(left);
        now = h.tickCount();
    }
    m_frameTime = static_cast<int32_t>(now - m_lastTick);
    m_lastTick = now;
    return now;
}

// --- Keys ---------------------------------------------------------------------------
// The window thread is the only writer of m_keyWrite and the game thread the
// only writer of m_keyRead; a queued code is stored before the index that
// publishes it (release) and read after the index that shows it (acquire).

void Viewport::keyDown(int32_t key)
{
    if (key >= 0 && key < kKeyCodes) {
        m_keysDown[key >> 5].fetch_or(1u << (key & 31), std::memory_order_acq_rel);
    }
    // Select while an arrow is held is part of steering, not a separate press.
    if (key == kKeySelect && (m_keysDown[0].load(std::memory_order_acquire) & 0x1F) != 0) {
        return;
    }
    const int32_t write = m_keyWrite.load(std::memory_order_relaxed);
    const int32_t next = write + 1 == kKeyQueueLength ? 0 : write + 1;
    if (next == m_keyRead.load(std::memory_order_acquire)) {
        return;  // full: the press is lost
    }
    m_keyQueue[write] = static_cast<int8_t>(key);
    m_keyWrite.store(next, std::memory_order_release);
}

void Viewport::keyUp(int32_t key)
{
    if (key >= 0 && key < kKeyCodes) {
        m_keysDown[key >> 5].fetch_and(~(1u << (key & 31)), std::memory_order_acq_rel);
    }
}

bool Viewport::isKeyDown(int32_t key) const
{
    if (key < 0 || key >= kKeyCodes) {
        return false;
    }
    return (m_keysDown[key >> 5].load(std::memory_order_acquire) >> (key & 31)) & 1u;
}

int32_t Viewport::nextKey()
{
    const int32_t read = m_keyRead.load(std::memory_order_relaxed);
    if (read == m_keyWrite.load(std::memory_order_acquire)) {
        return 0;
    }
    const int32_t key = m_keyQueue[read];
    m_keyRead.store(read + 1 == kKeyQueueLength ? 0 : read + 1, std::memory_order_release);
    return key;
}

bool Viewport::hasKey() const
{
    return m_keyRead.load(std::memory_order_acquire) != m_keyWrite.load(std::memory_order_acquire);
}

}  // namespace tarnby
