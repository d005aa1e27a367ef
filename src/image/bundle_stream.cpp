// Reading the segment files of a picture bundle as one stream.
#include "image/bundle_stream.h"

#include <cstring>
#include <string>
#include <vector>

namespace tarnby {

BundleStream::BundleStream(const char* name)
{
    std::string base = std::string("/") + (name ? name : "");
    m_baseName = String::fromChars(base.c_str());
    m_opened = openNext();
}

bool BundleStream::openNext()
{
    std::string segment = std::string(m_baseName->chars()) + std::to_string(m_nextSegment) + ".bin";
    if (m_stream) {
        m_stream->close();
    }
    m_stream = InputStream::open(segment.c_str());
    if (!m_stream) {
        return false;
    }
    ++m_nextSegment;
    return true;
}

int32_t BundleStream::readByte()
{
    if (m_stream) {
        int32_t b = m_stream->read();
        if (b >= 0) {
            return b;
        }
    }
    if (!openNext()) {
        return -1;
    }
    return m_stream->read();
}

int32_t BundleStream::readInt()
{
    int32_t b = readByte();
    if (b < 128) {
        return b;
    }
    // Unsigned arithmetic: an overlong run of continuation bytes wraps instead
    // of overflowing; the loop still ends at the end of the segment (-1 < 128).
    uint32_t v = static_cast<uint32_t>(b & 127);
    int32_t c;
    do {
        c = m_stream ? m_stream->read() : -1;
        v = (v << 7) | static_cast<uint32_t>(c & 127);
    } while (c >= 128);
    return static_cast<int32_t>(v);
}

int32_t BundleStream::readFully(const ByteArray& array, int32_t offset, int32_t count)
{
    if (offset < 0 || count <= 0 || offset > array.length() || count > array.length() - offset) {
        return 0;
    }
    int32_t done = 0;
    while (done < count) {
        int32_t n = m_stream ? m_stream->read(array, offset + done, count - done) : -1;
        if (n > 0) {
            done += n;
            continue;
        }
        int32_t b = readByte();
        if (b < 0) {
            break;
        }
        array[offset + done] = static_cast<uint8_t>(b);
        ++done;
    }
    return done;
}

ByteArray BundleStream::readBytes(int32_t count)
{
    if (count <= 0) {
        return {};
    }
    // Read in bounded chunks first, so the allocation follows the data that is
    // really there and never the count alone.
    constexpr int32_t kChunk = 1 << 16;
    std::vector<ByteArray> chunks;
    int32_t total = 0;
    while (total < count) {
        int32_t want = count - total < kChunk ? count - total : kChunk;
        ByteArray chunk(want);
        int32_t got = readFully(chunk, 0, want);
        if (got < want) {
            return {};
        }
        chunks.push_back(chunk);
        total += got;
    }
    if (chunks.size() == 1) {
        chunks[0].accountStorage();
        return chunks[0];
    }
    ByteArray result = allocByte(count);
    int32_t at = 0;
    for (const ByteArray& chunk : chunks) {
        std::memcpy(result.data() + at, chunk.data(), static_cast<size_t>(chunk.length()));
        at += chunk.length();
    }
    return result;
}

void BundleStream::close()
{
    if (m_stream) {
        m_stream->close();
    }
    m_stream = nullptr;
}

} // namespace tarnby
