// A bounded reader over bytes held in memory: single bytes, little-endian
// words and the packed numbers of the bundle and font files. Every reader of
// game data reads through it, so none can run past its input.
//
// Packed number: big-endian groups of 7 bits, every byte but the last with
// its top bit (0x80) set: 0x7F = 127, 0x81 0x00 = 128, 0xFF 0x7F = 16383.
//
// A read past the end gives kEnd and marks the reader as overrun; the position
// never moves beyond the end. A packed number whose value does not fit 31 bits
// gives kTooLarge, so that a caller can tell a bad value from a file that ends.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/array.h"

namespace tarnby {

class ByteReader {
public:
    static constexpr int32_t kEnd = -1;
    static constexpr int32_t kTooLarge = -2;

    ByteReader() = default;
    // Reads `bytes`, which it keeps alive.
    explicit ByteReader(const ByteArray& bytes);
    // Reads bytes owned by the caller, who keeps them alive while reading.
    ByteReader(const uint8_t* data, size_t size);

    // Bytes in all; inputs beyond 2 GB are read only up to 2 GB - 1.
    int32_t size() const { return m_size; }
    int32_t position() const { return m_position; }
    int32_t remaining() const { return m_size - m_position; }
    bool atEnd() const { return m_position == m_size; }
    // True once any read wanted more bytes than were left.
    bool overrun() const { return m_overrun; }

    // Next byte 0..255, or kEnd.
    int32_t readByte();
    // Unsigned little-endian 16-bit word, or kEnd when fewer than 2 bytes are
    // left (those are then used up).
    int32_t readU16();
    // Unsigned little-endian 32-bit word; false when fewer than 4 bytes are
    // left (those are then used up and `value` is 0).
    bool readU32(uint32_t& value);
    // Next packed number 0..INT32_MAX; kEnd when the bytes end before the
    // number does, kTooLarge when its value needs more than 31 bits (the
    // whole number is read either way).
    int32_t readPacked();
    // Moves on by `count` bytes; false (and at the end) when fewer are left.
    bool skip(int32_t count);
    // The next `count` bytes as a new array charged to the memory counter; the
    // empty array (and nothing read) when fewer than `count` are left, so a
    // corrupt count can never allocate more than the input holds.
    ByteArray readBytes(int32_t count);
    // Copies up to `count` bytes to `out`; gives the number copied.
    int32_t readInto(uint8_t* out, int32_t count);

private:
    ByteArray m_keep;
    const uint8_t* m_data = nullptr;
    int32_t m_size = 0;
    int32_t m_position = 0;
    bool m_overrun = false;
};

}  // namespace tarnby
