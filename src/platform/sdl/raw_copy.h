// Copies a rectangle of the game's frame straight into a 16-bit RGB 5-6-5
// screen buffer, for screens that are rotated against the game as well.
#pragma once

#include <cstdint>

namespace tarnby {

// A screen's memory: its top-left pixel in its own (native) orientation, the
// bytes between neighbouring pixels across and down, and its native size.
struct RawScreen {
    uint8_t* pixels = nullptr;
    int32_t xStride = 2;
    int32_t yStride = 0;
    int32_t widthPixels = 0;
    int32_t heightPixels = 0;
};

// How the screen is turned: the same way as the game (its native width is the
// frame's width), a quarter turn, or three quarters (270 degrees).
enum class ScreenTurn { Same, Quarter, ThreeQuarters };

// The 5-6-5 pixel of a frame word 0xDDRRGGBB: the top bits of each colour; the
// depth byte never reaches the screen.
inline uint16_t rgb565(uint32_t word)
{
    return static_cast<uint16_t>((((word >> 19) & 31) << 11) | (((word >> 10) & 63) << 5) | ((word >> 3) & 31));
}

// Copies frame pixels (x, y) with left <= x < right and top <= y < min(bottom,
// frameHeight) onto the screen, the frame's row 0 at screen row `windowTop`.
// Nothing is written outside the screen's memory: pixels that fall off it
// are skipped.
void rawCopy(const uint32_t* frame, int32_t frameWidth, int32_t frameHeight, int32_t left, int32_t top, int32_t right,
    int32_t bottom, int32_t windowTop, ScreenTurn turn, const RawScreen& screen);

}  // namespace tarnby
