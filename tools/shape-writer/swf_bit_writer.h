// Low-level writer of shape-file bytes and bit fields (most significant bit
// first, little-endian integers), for the shape writer and for tests that need
// files the shape writer would never make.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarnby {

class SwfBitWriter {
public:
    // Appends the low n bits of value (n = 0..32), most significant first.
    void bits(uint32_t value, int32_t n);
    // Appends a signed value in n bits (two's complement).
    void sbits(int32_t value, int32_t n) { bits(static_cast<uint32_t>(value), n); }
    // Pads the current byte with zero bits.
    void align();
    void u8(uint32_t value);
    void u16(uint32_t value);
    void u32(uint32_t value);
    void append(const std::vector<uint8_t>& more);
    void text(const std::string& s);
    // RECT: a 5-bit width n and four signed n-bit values, then byte alignment.
    void rect(int32_t xMin, int32_t xMax, int32_t yMin, int32_t yMax);
    // A tag header (short form when the body is shorter than 63 bytes) and its body.
    void tag(int32_t code, const std::vector<uint8_t>& body, bool forceLong = false);

    const std::vector<uint8_t>& data() const { return m_data; }
    std::vector<uint8_t>& data() { return m_data; }

    // Fewest bits that hold a signed value (at least 1).
    static int32_t signedBits(int64_t value);
    // Fewest bits that hold an unsigned value (0 for 0).
    static int32_t unsignedBits(uint32_t value);

private:
    std::vector<uint8_t> m_data;
    int32_t m_bitCount = 0;  // bits already used in the last byte (0 = aligned)
};

}  // namespace tarnby
