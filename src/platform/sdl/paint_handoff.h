// How a finished rectangle of the game's frame crosses from the game thread to
// the window thread: the game offers it and waits (1 ms at a time, at most 500
// times) while the window copies it. The game does not touch its frame until
// the copy is done; a window that never answers costs the game half a second,
// and the offer is then withdrawn so that a late window never reads a frame
// the game has gone on drawing (or resizing).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

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
    static constexpr int32_t kPolls = 500;

    // Game thread: offers the rectangle, calls `wake` so that the window looks,
    // and waits with `sleep1` between polls. True when the window copied it.
    bool present(const PaintRequest& request, const std::function<void()>& wake, const std::function<void()>& sleep1);
    // Window thread: copies an offered rectangle with `copy`. True when there was one.
    bool serve(const std::function<void(const PaintRequest&)>& copy);
    // Window thread: no more paints; offers from now on return at once.
    void close();
    bool pending() const { return m_state.load(std::memory_order_acquire) == kRequested; }

private:
    enum : int32_t { kIdle, kRequested, kCopying, kClosed };
    std::atomic<int32_t> m_state { kIdle };
    PaintRequest m_request;  // written while idle, read while copying
};

}  // namespace tarnby
