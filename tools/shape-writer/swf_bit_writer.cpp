// Byte and bit-field output for shape files.
#include "shape-writer/swf_bit_writer.h"

namespace tarnby {

void SwfBitWriter::bits(uint32_t value, int32_t n)
{
    for (int32_t i = n - 1; i >= 0; --i) {
        if (m_bitCount == 0) {
            m_data.push_back(0);
        }
        if ((value >> i) & 1) {
            m_data.back() = static_cast<uint8_t>(m_data.back() | (0x80 >> m_bitCount));
        }
        m_bitCount = (m_bitCount + 1) & 7;
    }
}

void SwfBitWriter::align() { m_bitCount = 0; }

void SwfBitWriter::u8(uint32_t value)
{
    align();
    m_data.push_back(static_cast<uint8_t>(value));
}

void SwfBitWriter::u16(uint32_t value)
{
    u8(value & 0xFF);
    u8((value >> 8) & 0xFF);
}

void SwfBitWriter::u32(uint32_t value)
{
    u16(value & 0xFFFF);
    u16(value >> 16);
}

void SwfBitWriter::append(const std::vector<uint8_t>& more)
{
    align();
    m_data.insert(m_data.end(), more.begin(), more.end());
}

void SwfBitWriter::text(const std::string& s)
{
    align();
    m_data.insert(m_data.end(), s.begin(), s.end());
}

void SwfBitWriter::rect(int32_t xMin, int32_t xMax, int32_t yMin, int32_t yMax)
{
    align();
    int32_t n = 1;
    for (int32_t v : { xMin, xMax, yMin, yMax }) {
        int32_t b = signedBits(v);
        n = b > n ? b : n;
    }
    bits(static_cast<uint32_t>(n), 5);
    sbits(xMin, n);
    sbits(xMax, n);
    sbits(yMin, n);
    sbits(yMax, n);
    align();
}

void SwfBitWriter::tag(int32_t code, const std::vector<uint8_t>& body, bool forceLong)
{
    uint32_t length = static_cast<uint32_t>(body.size());
    if (length < 63 && !forceLong) {
        u16((static_cast<uint32_t>(code) << 6) | length);
    } else {
        u16((static_cast<uint32_t>(code) << 6) | 63);
        u32(length);
    }
    append(body);
}

int32_t SwfBitWriter::signedBits(int64_t value)
{
    int32_t n = 1;
    while (n < 64 && (value < -(int64_t { 1 } << (n - 1)) || value >= (int64_t { 1 } << (n - 1)))) {
        ++n;
    }
    return n;
}

int32_t SwfBitWriter::unsignedBits(uint32_t value)
{
    int32_t n = 0;
    while (n < 32 && (value >> n) != 0) {
        ++n;
    }
    return n;
}

}  // namespace tarnby
