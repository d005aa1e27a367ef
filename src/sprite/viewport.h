// A sprite with a frame buffer of its own: the root of the scene (and any view
// nested in it), its changed-area list, the key queue and the frame clock.
//
// Threads: the window thread calls keyDown/keyUp and writes the stylus fields;
// everything else runs on the game thread. No lock is taken: each queue index
// has one writer, and the held-key words and stylus fields are atomic words.
#pragma once

#include <atomic>
#include <cstdint>

#include "runtime/array.h"
#include "runtime/keys.h"
#include "sprite/vsprite.h"

namespace tarnby {

class Viewport : public Vsprite {
public:
    static constexpr int32_t kMaxDirty = 16;        // rectangles in the changed-area list
    static constexpr int32_t kKeyQueueLength = 10;  // holds at most 9 codes
    static constexpr int32_t kKeyCodes = 58;        // codes 0..57 have a held-key bit
    static constexpr int32_t kBand = 10;            // width of a wipe band, pixels
    static constexpr int64_t kMaxPixels = 1 << 24;  // largest buffer, words

    Viewport();
    ~Viewport() override;

    // --- Overridden sprite operations ------------------------------------------
    // A nested viewport is drawn by copying from its own buffer.
    void render(uint32_t* frame, int32_t stride, int32_t frameHeight, int32_t clipL, int32_t clipT, int32_t clipR,
        int32_t clipB) override;
    // The root keeps the area (merged with touching ones); a nested viewport
    // hands it to its parent.
    void invalidateRect(int32_t l, int32_t t, int32_t r, int32_t b) override;
    // Lay out the tree, redraw every changed area into the buffer and show it.
    void paint() override;
    // A new size gets a new zeroed buffer and a full redraw.
    void setSize(int32_t width, int32_t height) override;

    // --- Own operations --------------------------------------------------------
    // Free the buffer (its bytes go back to the memory budget).
    void releaseBuffer();
    // Make this the root viewport: from now on its finished areas are presented
    // through the host (see Host::present) instead of being handed to a parent,
    // and the frame clock starts. The game's own viewport does its set-up here.
    virtual void attach();
    bool isRunning() const { return !m_stop.load(std::memory_order_acquire); }
    // Ask every loop that checks isRunning to end (the window closed).
    void stop() { m_stop.store(true, std::memory_order_release); }

    // Key events, called on the window thread.
    virtual void keyDown(int32_t key);
    virtual void keyUp(int32_t key);
    // Key state and queue, read on the game thread.
    bool isKeyDown(int32_t key) const;
    int32_t nextKey();
    bool keyIs(int32_t key, int32_t wanted) const { return key == wanted || isKeyDown(wanted); }
    bool hasKey() const;

    // The game's own loop; a plain viewport has none.
    virtual void run();
    // Do the sprite's bounds overlap this viewport's?
    bool isVisible(const Ref<Vsprite>& sprite) const;
    // Sleep out the rest of a frame of `milliseconds` since the last one;
    // gives the tick of this frame (0 when not running).
    uint32_t waitFrame(int32_t milliseconds);
    // Full repaints as a wipe: bands of 10 columns from the left, or of 10 rows
    // from the top, one band per 10 ms.
    void paintColumns();
    void paintRows();

    // Changed areas, as (left, top, right, bottom) each (for inspection).
    int32_t dirtyCount() const { return m_dirtyCount / 4; }
    const int32_t* dirtyRect(int32_t i) const { return &m_dirty[i * 4]; }

    // --- State -------------------------------------------------------------------
    bool m_attached = false;                // the root, presenting through the host
    std::atomic<uint32_t> m_keysDown[2];    // bit k of word k >> 5: key k is held
    int8_t m_keyQueue[kKeyQueueLength];     // codes pressed and not yet taken
    std::atomic<int32_t> m_keyRead { 0 };   // written by the game thread only
    std::atomic<int32_t> m_keyWrite { 0 };  // written by the window thread only
    std::atomic<int32_t> m_penX { 0 };      // last tap, pixels; (0, 0) when none is pending
    std::atomic<int32_t> m_penY { 0 };
    std::atomic<int32_t> m_dragX { 0 };  // stylus movement while the pen is down
    std::atomic<int32_t> m_dragY { 0 };
    IntArray m_pixels;  // m_width x m_height words of 0xDDRRGGBB, stride m_width
    std::atomic<bool> m_stop { false };
    uint32_t m_lastTick = 0;
    int32_t m_frameTime = 0;  // milliseconds between the last two frames
    int32_t m_dirty[kMaxDirty * 4];
    int32_t m_dirtyCount = 0;  // words in use, 4 per rectangle

    uint32_t* pixels() const { return reinterpret_cast<uint32_t*>(m_pixels.data()); }

private:
    void renderBand(int32_t l, int32_t t, int32_t r, int32_t b);
    void presentRect(int32_t l, int32_t t, int32_t r, int32_t b);
    void removeDirty(int32_t index);
};

}  // namespace tarnby
