// The bounded byte reader.
#include "runtime/byte_reader.h"

#include <cstring>

namespace tarnby {

namespace {

int32_t clampSize(size_t size) { return size > INT32_MAX - 1 ? INT32_MAX - 1 : static_cast<int32_t>(size); }

}  // namespace

ByteReader::ByteReader(const ByteArray& bytes) : m_keep(bytes), m_data(bytes.data()), m_size(bytes.length()) {}

ByteReader::ByteReader(const uint8_t* data, size_t size) : m_data(data), m_size(data ? clampSize(size) : 0) {}

int32_t ByteReader::readByte()
{
    if (m_position == m_size) {
        m_overrun = true;
        return kEnd;
    }
    return m_data[m_position++];
}

int32_t ByteReader::readU16()
{
    if (remaining() < 2) {
        m_position = m_size;
        m_overrun = true;
        return kEnd;
    }
    int32_t value = m_data[m_position] | (m_data[m_position + 1] << 8);
    m_position += 2;
    return value;
}

bool ByteReader::readU32(uint32_t& value)
{
    value = 0;
    if (remaining() < 4) {
        m_position = m_size;
        m_overrun = true;
        return false;
    }
    for (int32_t i = 3; i >= 0; --i) {
        value = (value << 8) | m_data[m_position + i];
    }
    m_position += 4;
    return true;
}

int32_t ByteReader::readPacked()
{
    int32_t b = readByte();
    if (b < 0) {
        return kEnd;
    }
    // 64 bits with a sticky flag: an overlong run of groups cannot wrap
    // around into a small, plausible value.
    uint64_t value = 0;
    bool tooLarge = false;
    while (true) {
        value = (value << 7) | static_cast<uint64_t>(b & 0x7F);
        if (value > INT32_MAX) {
            tooLarge = true;
            value = 0;
        }
        if (!(b & 0x80)) {
            break;
        }
        b = readByte();
        if (b < 0) {
            return kEnd;  // the bytes ended inside the number
        }
    }
    return tooLarge ? kTooLarge : static_cast<int32_t>(value);
}

bool ByteReader::skip(int32_t count)
{
    if (count < 0 || count > remaining()) {
        m_position = m_size;
        m_overrun = true;
        return false;
    }
    m_position += count;
    return true;
}

ByteArray ByteReader::readBytes(int32_t count)
{
    if (count <= 0 || count > remaining()) {
        if (count > 0) {
            m_overrun = true;
        }
        return {};
    }
    ByteArray bytes = allocByte(count);
    std::memcpy(bytes.data(), m_data + m_position, static_cast<size_t>(count));
    m_position += count;
    return bytes;
}

int32_t ByteReader::readInto(uint8_t* out, int32_t count)
{
    if (count <= 0 || !out) {
        return 0;
    }
    int32_t n = count < remaining() ? count : remaining();
    if (n < count) {
        m_overrun = true;
    }
    if (n == 0) {
        return 0;
    }
    std::memcpy(out, m_data + m_position, static_cast<size_t>(n));
    m_position += n;
    return n;
}

}  // namespace tarnby
