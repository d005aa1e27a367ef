// The frame's place in the window and the mapping of pointer positions.
#include "platform/sdl/frame_layout.h"

namespace tarnby {

void FrameLayout::set(int32_t windowWidth, int32_t windowHeight, int32_t frameWidth, int32_t frameHeight, bool doubling)
{
    m_frameWidth = frameWidth;
    m_frameHeight = frameHeight;
    m_doubling = doubling;
    if (frameWidth <= 0 || frameHeight <= 0 || windowWidth <= 0 || windowHeight <= 0) {
        m_dest = { 0, 0, windowWidth > 0 ? windowWidth : 0, windowHeight > 0 ? windowHeight : 0 };
        return;
    }
    int32_t w;
    int32_t h;
    if (doubling && 2 * frameWidth <= windowWidth && 2 * frameHeight <= windowHeight) {
        // Whole pixels twice their size: sharp, and a window position halves
        // to the frame pixel under it.
        w = 2 * frameWidth;
        h = 2 * frameHeight;
    } else if (static_cast<int64_t>(windowWidth) * frameHeight <= static_cast<int64_t>(windowHeight) * frameWidth) {
        // The window is narrower than the frame's shape: full width, bars above and below.
        w = windowWidth;
        h = static_cast<int32_t>(static_cast<int64_t>(frameHeight) * windowWidth / frameWidth);
    } else {
        h = windowHeight;
        w = static_cast<int32_t>(static_cast<int64_t>(frameWidth) * windowHeight / frameHeight);
    }
    w = w > 0 ? w : 1;
    h = h > 0 ? h : 1;
    m_dest = { (windowWidth - w) / 2, (windowHeight - h) / 2, w, h };
}

int32_t FrameLayout::toFrame(int32_t window, int32_t origin, int32_t extent, int32_t frameExtent) const
{
    if (frameExtent <= 0 || extent <= 0) {
        // No frame shown yet: the plain rule, halved while doubling.
        return m_doubling ? (window >> 1) : window;
    }
    const int64_t offset = static_cast<int64_t>(window) - origin;
    // The frame pixel under the middle of the window pixel (rounded down, also
    // left of the frame, so that drags across the bars keep their length).
    const int64_t scaled = (2 * offset + 1) * frameExtent;
    const int64_t span = 2 * static_cast<int64_t>(extent);
    return static_cast<int32_t>(scaled >= 0 ? scaled / span : -((-scaled + span - 1) / span));
}

int32_t FrameLayout::toWindow(int32_t frame, int32_t origin, int32_t extent, int32_t frameExtent) const
{
    if (frameExtent <= 0 || extent <= 0) {
        return m_doubling ? frame * 2 : frame;
    }
    // The middle of the frame pixel's span, so that mapping back gives the pixel.
    const int64_t twice = (2 * static_cast<int64_t>(frame) + 1) * extent / (2 * static_cast<int64_t>(frameExtent));
    return origin + static_cast<int32_t>(twice);
}

}  // namespace tarnby
