// A recording of one game in the script format: every input event the game
// received and every frame's measured time, kept in memory as it grows, so that
// it can be written to a file at the end or, after a crash, from a signal
// handler (the text lives in fixed chunks that never move).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace tarnby {

class Recording {
public:
    // Bytes per chunk, and chunks at most (beyond them the recording stops
    // growing: about 256 MB, days of play).
    static constexpr size_t kChunkSize = 64 * 1024;
    static constexpr size_t kMostChunks = 4096;

    Recording();
    ~Recording();
    Recording(const Recording&) = delete;
    Recording& operator=(const Recording&) = delete;

    // Appends one line (the newline is added). One thread writes.
    void line(const std::string& text);
    // The events of the script format, each at time `at` (ms from the start).
    void frame(uint32_t at, int32_t milliseconds);
    void keyDown(uint32_t at, int32_t key);
    void keyUp(uint32_t at, int32_t key);
    void pen(uint32_t at, int32_t x, int32_t y);
    void drag(uint32_t at, int32_t dx, int32_t dy);

    // The whole text so far.
    std::string text() const;
    size_t size() const { return m_size.load(std::memory_order_acquire); }
    // Writes the text to a file; false when it could not be written whole.
    bool save(const std::string& path) const;
    // Writes the text so far to an open file descriptor with write(2) only:
    // safe inside a signal handler. False when a write failed.
    bool writeTo(int fd) const;

private:
    void append(const char* bytes, size_t count);

    std::array<std::atomic<char*>, kMostChunks> m_chunks;
    std::atomic<size_t> m_size { 0 };  // bytes written, published after the bytes
};

}  // namespace tarnby
