// Where the game's frame sits in the window: twice its size while pixel
// doubling, otherwise scaled to fit with bars, always centred; and the way back
// from a window position to a frame pixel.
#pragma once

#include <cstdint>

namespace tarnby {

struct FrameRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t w = 0;
    int32_t h = 0;
};

class FrameLayout {
public:
    // The window's size in pixels, the frame's size, and whether the game runs
    // at half the window's resolution.
    void set(int32_t windowWidth, int32_t windowHeight, int32_t frameWidth, int32_t frameHeight, bool doubling);

    // The window rectangle the frame is drawn into.
    const FrameRect& destination() const { return m_dest; }

    // The frame pixel under a window position. While doubling and showing the
    // frame at exactly twice its size this is the position halved; positions
    // in the bars lie outside the frame.
    int32_t frameX(int32_t windowX) const { return toFrame(windowX, m_dest.x, m_dest.w, m_frameWidth); }
    int32_t frameY(int32_t windowY) const { return toFrame(windowY, m_dest.y, m_dest.h, m_frameHeight); }

    // The window position of the centre of a frame pixel (scripted taps).
    int32_t windowX(int32_t frameX) const { return toWindow(frameX, m_dest.x, m_dest.w, m_frameWidth); }
    int32_t windowY(int32_t frameY) const { return toWindow(frameY, m_dest.y, m_dest.h, m_frameHeight); }

    bool doubling() const { return m_doubling; }
    int32_t frameWidth() const { return m_frameWidth; }
    int32_t frameHeight() const { return m_frameHeight; }

private:
    int32_t toFrame(int32_t window, int32_t origin, int32_t extent, int32_t frameExtent) const;
    int32_t toWindow(int32_t frame, int32_t origin, int32_t extent, int32_t frameExtent) const;

    FrameRect m_dest;
    int32_t m_frameWidth = 0;
    int32_t m_frameHeight = 0;
    bool m_doubling = false;
};

}  // namespace tarnby
