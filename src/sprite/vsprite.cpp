// The sprite tree: links, insertion order, layout, change signatures and hit tests.
#include "sprite/vsprite.h"

#include <cstdio>

namespace tarnby {

namespace {

// 32-bit products wrap like the sums do; the layout arithmetic relies on it.
constexpr int32_t wrapMul(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

}  // namespace

Vsprite::Vsprite() = default;

Vsprite::Vsprite(const Ref<Vsprite>& parent, const Ref<Vilib>& library, int32_t frame, int32_t x, int32_t y)
{
    setPicture(library, frame);
    m_x = toFixed(x);
    m_y = toFixed(y);
    if (parent) {
        // The parent's list takes the first count; the caller's handle adds its own.
        parent->add(Ref<Vsprite>(this));
    }
}

Vsprite::~Vsprite()
{
    m_pictures = nullptr;
    m_next = nullptr;
    m_parent = nullptr;
    m_child = nullptr;
}

void Vsprite::add(const Ref<Vsprite>& newChild)
{
    Ref<Vsprite> child = newChild;
    if (!child || child->m_parent || child.get() == this) {
        return;
    }
    // Deeper sprites come first (drawn behind); equal depths keep arrival order.
    Vsprite* before = nullptr;
    Vsprite* after = m_child.get();
    while (after && child->m_depth <= after->m_depth) {
        before = after;
        after = after->m_next.get();
    }
    child->m_next = Ref<Vsprite>(after);
    if (before) {
        before->m_next = child;
    } else {
        m_child = child;
    }
    child->m_parent = Ref<Vsprite>(this);
}

void Vsprite::addTail(const Ref<Vsprite>& newChild)
{
    Ref<Vsprite> child = newChild;
    if (!child || child->m_parent || child.get() == this) {
        return;
    }
    if (!m_child) {
        m_child = child;
    } else {
        Vsprite* last = m_child.get();
        while (last->m_next) {
            last = last->m_next.get();
        }
        last->m_next = child;
    }
    child->m_parent = Ref<Vsprite>(this);
}

void Vsprite::addBelow(const Ref<Vsprite>& child)
{
    addTail(child);
    if (!child) {
        return;
    }
    if (child->m_width > m_width) {
        m_width = child->m_width;
    }
    child->setPosition(0, m_height);
    m_height = wrapAdd(m_height, child->m_height);
}

void Vsprite::addCentred(const Ref<Vsprite>& child)
{
    addTail(child);
    if (child) {
        child->setPosition((m_width - child->m_width) >> 1, (m_height - child->m_height) >> 1);
    }
}

void Vsprite::addBelowCentred(const Ref<Vsprite>& child)
{
    addBelow(child);
    if (child) {
        child->m_x = wrapMul(m_width - child->m_width, kHalf);
    }
}

void Vsprite::remove(const Ref<Vsprite>& oldChild)
{
    // A local handle: the caller's may be one of the links rewritten below,
    // and it keeps the child alive until it is fully unlinked.
    Ref<Vsprite> child = oldChild;
    if (!child || !child->m_parent) {
        return;
    }
    child->invalidateAll();
    Vsprite* before = nullptr;
    Vsprite* at = m_child.get();
    while (at && at != child.get()) {
        before = at;
        at = at->m_next.get();
    }
    if (!at) {
        return;
    }
    if (before) {
        before->m_next = child->m_next;
    } else {
        m_child = child->m_next;
    }
    child->m_next = nullptr;
    // Last: this may drop the final count of this sprite.
    child->m_parent = nullptr;
}

void Vsprite::removeAll()
{
    while (m_child) {
        Ref<Vsprite> first = m_child;
        remove(first);
    }
}

void Vsprite::removeSelf()
{
    if (m_parent) {
        Ref<Vsprite> parent = m_parent;
        parent->remove(Ref<Vsprite>(this));
    }
}

void Vsprite::destroy()
{
    Ref<Vsprite> self(this);
    while (m_child) {
        Ref<Vsprite> first = m_child;
        remove(first);
        first->destroy();
    }
}

void Vsprite::moveBy(Fixed dx, Fixed dy)
{
    m_x = wrapAdd(m_x, dx);
    m_y = wrapAdd(m_y, dy);
}

void Vsprite::centreIn(int32_t l, int32_t t, int32_t r, int32_t b)
{
    int32_t x = l + ((r - m_width - l) >> 1);
    int32_t y = t + ((b - m_height - t) >> 1);
    // Keep the top on screen first, then the bottom inside the rectangle.
    if (y < 0) {
        y = 0;
    } else if (m_height + y > b) {
        y = b - m_height;
    }
    setPosition(x, y);
}

int32_t Vsprite::signature(Fixed x, Fixed y, Fixed scale)
{
    uint32_t sum = static_cast<uint32_t>(m_width);
    sum += static_cast<uint32_t>(wrapAdd(m_height, y)) << 10;
    sum += static_cast<uint32_t>(m_frame);
    sum += m_colour;
    sum += static_cast<uint32_t>(m_opacity);
    sum += static_cast<uint32_t>(x);
    sum += static_cast<uint32_t>(scale);
    return static_cast<int32_t>(sum);
}

void Vsprite::invalidateAll()
{
    invalidate();
    m_signature = wrapAdd(m_signature, 1);
    for (Vsprite* c = m_child.get(); c; c = c->m_next.get()) {
        c->invalidateAll();
    }
}

void Vsprite::update(Fixed parentX, Fixed parentY, Fixed parentScale)
{
    Fixed x;
    Fixed y;
    Fixed scale;
    if (parentScale == kOne) {
        x = wrapAdd(parentX, m_x);
        y = wrapAdd(parentY, m_y);
        scale = m_scale;
    } else {
        x = wrapAdd(parentX, fmul(m_x, parentScale));
        y = wrapAdd(parentY, fmul(m_y, parentScale));
        scale = fmul(m_scale, parentScale);
    }
    // Group nodes keep no bounds of their own; for the others only a changed
    // signature costs a layout and two redraw requests (old and new place).
    if (m_width != 0) {
        int32_t s = signature(x, y, scale);
        if (s != m_signature) {
            m_signature = s;
            invalidate();
            layout(x, y, scale);
            invalidate();
        }
    }
    for (Vsprite* c = m_child.get(); c; c = c->m_next.get()) {
        c->update(x, y, scale);
    }
}

void Vsprite::layout(Fixed x, Fixed y, Fixed scale)
{
    if (m_snap) {
        x &= ~0x7fff;
        y &= ~0x7fff;
    }
    Fixed k = scale;
    if (k < m_minScale) {
        k = m_minScale;
    } else if (k > m_maxScale) {
        k = m_maxScale;
    }
    m_drawScale = k;
    m_originX = wrapSub(x, wrapMul(m_anchorX, k));
    m_originY = wrapSub(y, wrapMul(m_anchorY, k));
    // Every edge rounds up to the next whole pixel.
    m_left = wrapAdd(m_originX, 0x7fff) >> 15;
    m_top = wrapAdd(m_originY, 0x7fff) >> 15;
    m_right = wrapAdd(wrapAdd(m_originX, 0x7fff), wrapMul(m_width, k)) >> 15;
    m_bottom = wrapAdd(wrapAdd(m_originY, 0x7fff), wrapMul(m_height, k)) >> 15;
    if (m_extendLeft) {
        m_left -= wrapMul(m_height, k) >> 16;
    }
}

void Vsprite::invalidateRect(int32_t l, int32_t t, int32_t r, int32_t b)
{
    if (m_parent && r > l) {
        m_parent->invalidateRect(l, t, r, b);
    }
}

void Vsprite::invalidate() { invalidateRect(m_left, m_top, m_right, m_bottom); }

void Vsprite::paint()
{
    if (m_parent) {
        m_parent->paint();
    }
}

bool Vsprite::hitTest(int32_t x, int32_t y, int32_t margin) const
{
    if (m_width != 0) {
        // The left extension (room for a marker) does not take taps.
        int32_t l = m_extendLeft ? m_left + (m_bottom - m_top) / 2 : m_left;
        return l - margin <= x && x < m_right + margin && m_top - margin <= y && y < m_bottom + margin;
    }
    for (const Vsprite* c = m_child.get(); c; c = c->m_next.get()) {
        if (c->hitTest(x, y, margin)) {
            return true;
        }
    }
    return false;
}

Ref<String> Vsprite::toString() const
{
    char text[32];
    std::snprintf(text, sizeof text, "Sprite image %d", static_cast<int>(m_frame));
    return String::fromChars(text);
}

void Vsprite::releasePicture()
{
    if (!m_pictures) {
        return;
    }
    // No second chance for this picture: the next sweep starts here and frees it.
    Ref<Vpicture> picture = m_pictures->getPictureRef(m_frame);
    if (picture) {
        picture->m_recentlyUsed = false;
    }
    m_pictures->setClockHand(m_frame);
}

void Vsprite::setPicture(const Ref<Vilib>& library, int32_t frame)
{
    if (library == m_pictures && frame == m_frame) {
        return;
    }
    m_pictures = library;
    m_frame = frame;
    if (!m_pictures) {
        return;
    }
    // Only the stored entry: its size and hot spot are known without decoding.
    Ref<Vpicture> picture = m_pictures->getPictureRef(frame);
    if (picture) {
        setSize(picture->m_width, picture->m_height);
        m_anchorX = picture->m_anchorX;
        m_anchorY = picture->m_anchorY;
    }
}

void Vsprite::setSize(int32_t width, int32_t height)
{
    m_width = width;
    m_height = height;
}

}  // namespace tarnby
