// The game's recording, in fixed chunks that a signal handler can read.
#include "platform/play/recording.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tarnby {

Recording::Recording()
{
    for (auto& chunk : m_chunks) {
        chunk.store(nullptr, std::memory_order_relaxed);
    }
}

Recording::~Recording()
{
    for (auto& chunk : m_chunks) {
        delete[] chunk.exchange(nullptr);
    }
}

void Recording::append(const char* bytes, size_t count)
{
    size_t size = m_size.load(std::memory_order_relaxed);
    if (size + count > kChunkSize * kMostChunks) {
        return;  // full: the rest of the game goes unrecorded
    }
    for (size_t done = 0; done < count;) {
        const size_t index = size / kChunkSize;
        const size_t offset = size % kChunkSize;
        char* chunk = m_chunks[index].load(std::memory_order_relaxed);
        if (chunk == nullptr) {
            chunk = new char[kChunkSize];
            m_chunks[index].store(chunk, std::memory_order_release);
        }
        const size_t n = std::min(count - done, kChunkSize - offset);
        std::memcpy(chunk + offset, bytes + done, n);
        done += n;
        size += n;
    }
    m_size.store(size, std::memory_order_release);
}

void Recording::line(const std::string& text)
{
    append(text.data(), text.size());
    append("\n", 1);
}

namespace {

std::string format(const char* pattern, uint32_t at, int32_t a, int32_t b = 0)
{
    char text[64];
    const int n = std::snprintf(text, sizeof text, pattern, at, a, b);
    return std::string(text, n > 0 ? static_cast<size_t>(n) : 0);
}

}  // namespace

void Recording::frame(uint32_t at, int32_t milliseconds) { line(format("%u frame %d", at, milliseconds)); }
void Recording::keyDown(uint32_t at, int32_t key) { line(format("%u down %02d", at, key)); }
void Recording::keyUp(uint32_t at, int32_t key) { line(format("%u up %02d", at, key)); }
void Recording::pen(uint32_t at, int32_t x, int32_t y) { line(format("%u pen %d,%d", at, x, y)); }
void Recording::drag(uint32_t at, int32_t dx, int32_t dy) { line(format("%u drag %d,%d", at, dx, dy)); }

std::string Recording::text() const
{
    const size_t size = m_size.load(std::memory_order_acquire);
    std::string all;
    all.reserve(size);
    for (size_t done = 0; done < size; done += kChunkSize) {
        all.append(m_chunks[done / kChunkSize].load(std::memory_order_acquire), std::min(kChunkSize, size - done));
    }
    return all;
}

bool Recording::save(const std::string& path) const
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const std::string all = text();
    const bool written = std::fwrite(all.data(), 1, all.size(), file) == all.size();
    return std::fclose(file) == 0 && written;
}

bool Recording::writeTo(int fd) const
{
    const size_t size = m_size.load(std::memory_order_acquire);
    for (size_t done = 0; done < size;) {
        const char* chunk = m_chunks[done / kChunkSize].load(std::memory_order_acquire);
        const size_t offset = done % kChunkSize;
        const size_t n = std::min(kChunkSize - offset, size - done);
        const ssize_t wrote = ::write(fd, chunk + offset, n);
        if (wrote <= 0) {
            return false;
        }
        done += static_cast<size_t>(wrote);
    }
    return true;
}

}  // namespace tarnby
