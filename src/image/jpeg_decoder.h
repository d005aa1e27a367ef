// JPEG decoding of the 'j' pictures through libjpeg, from a memory buffer.
#pragma once

#include <cstdint>

namespace tarnby {

// Largest picture, in pixels, a decode agrees to make (the picture library's
// limit). Budget: a decode also stops past 200 progressive scans and when the
// library would need more than 64 MB.
constexpr int64_t kJpegMaxPixels = 1 << 22;

// Longest diagnostic a failed decode reports (terminating NUL included).
constexpr int32_t kJpegMessageLength = 200;

// Decodes the complete JPEG stream buffer[0, length) into width x height
// picture words 0xFF000000 | 0xRRGGBB, row by row. The stream must be a
// three-component colour picture of exactly that size. On any error or
// warning from the library (damaged data, wrong size, wrong colour layout) it
// gives false with a one-line reason in `message`; the pixels are then
// undefined and the caller clears them.
bool decodeJpeg(const uint8_t* buffer, int32_t length, int32_t* pixels, int32_t width, int32_t height,
    char (&message)[kJpegMessageLength]);

}  // namespace tarnby
