// How a finished rectangle of the game's frame crosses from the game thread to
// the window thread without the game waiting: the game copies the rectangle
// into the hand-off's own copy of the frame and goes on drawing; the window,
// when it wakes, takes everything copied since it last looked as one
// rectangle (their union). Only the first rectangle after a take asks for a
// wake, so a frame of many rectangles wakes the window once, and a game whose
// frames change nothing wakes it never.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace tarnby {

struct PaintRequest {
    const uint32_t* pixels = nullptr;  // the whole frame, 0xDDRRGGBB words
    int32_t width = 0;                 // also the row stride
    int32_t height = 0;
    int32_t x = 0;  // the finished rectangle
    int32_t y = 0;
    int32_t w = 0;
    int32_t h = 0;
};

class PaintHandoff {
public:
    // Game thread: copies the rectangle of `request` (all of the frame when the
    // frame's size changed) and returns at once. True when the window should
    // be woken: the first rectangle since the window last took. Nothing is
    // kept after `close`.
    bool present(const PaintRequest& request);
    // Window thread: hands what was copied since the last take to `copy` as
    // one request (the hand-off's whole frame and the union of the
    // rectangles), while the game cannot add to it. True when there was any.
    bool serve(const std::function<void(const PaintRequest&)>& copy);
    // Window thread: no more paints; offers from now on are dropped.
    void close();
    // True while rectangles wait for the window.
    bool pending() const { return m_pending.load(std::memory_order_acquire); }

private:
    std::mutex m_lock;
    std::vector<uint32_t> m_frame;  // the game's frame as presented so far
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_left = 0;  // the union of the rectangles not yet taken
    int32_t m_top = 0;
    int32_t m_right = 0;
    int32_t m_bottom = 0;
    bool m_closed = false;
    std::atomic<bool> m_pending { false };
};

}  // namespace tarnby
