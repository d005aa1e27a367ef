// The byte stream of a picture bundle: its segment files "name0.bin",
// "name1.bin", ... read one after the other as a single stream.
//
// Integers of a bundle are big-endian base-128: every byte but the last has bit
// 7 set, the high-order groups come first (0x7F = 127, 0x81 0x00 = 128,
// 0xFF 0x7F = 16383). The bytes of one integer always lie in one segment.
#pragma once

#include <cstdint>

#include "runtime/array.h"
#include "runtime/files.h"
#include "runtime/string.h"

namespace tarnby {

class BundleStream {
public:
    // Opens segment 0 of the bundle `name` (data names "/" + name + k + ".bin").
    explicit BundleStream(const char* name);

    // True when segment 0 could be opened.
    bool opened() const { return m_opened; }

    // Next byte 0..255, moving on to the next segment at the end of one; -1
    // once no further segment exists.
    int32_t readByte();
    // Next variable-length integer; -1 at the end of the bundle. Continuation
    // bytes are taken from the current segment only.
    int32_t readInt();
    // Fills bytes [offset, offset + count) of `array` across segments; gives the
    // number of bytes read, smaller than count when the bundle ended first.
    int32_t readFully(const ByteArray& array, int32_t offset, int32_t count);
    // Reads `count` bytes into a new array, but only as far as the bundle
    // really goes: a corrupt count cannot make it allocate more than the data
    // holds. Gives the empty array when fewer than `count` bytes remain.
    ByteArray readBytes(int32_t count);

    void close();

private:
    bool openNext();

    Ref<String> m_baseName;
    int32_t m_nextSegment = 0;
    Ref<InputStream> m_stream;
    bool m_opened = false;
};

} // namespace tarnby
