// One picture of a picture bundle: its encoded data, its decoded pixels (a
// cache that may be dropped and rebuilt) and its size and hot spot.
//
// Picture pixel word: bits 29..31 are an alpha code (7 opaque, 1..6 partly
// transparent, 0 transparent); an opaque or partial word holds 0xRRGGBB in its
// low 24 bits, a transparent word holds how many more transparent pixels follow.
#pragma once

#include <cstdint>

#include "runtime/array.h"
#include "runtime/v.h"
#include "terrain/fixed.h"

namespace tarnby {

class Vpicture : public V {
public:
    // Draws the picture into a frame of 0xDDRRGGBB words (`stride` words a row)
    // inside the clip [left, right) x [top, bottom), its top-left corner at
    // (placeX, placeY) in Fixed pixels, magnified by `scale`, with depth 0..255
    // and `opacity`. Gives the number of pixels hidden by nearer depth.
    virtual int32_t draw(uint32_t* frame, int32_t stride, int32_t frameHeight, int32_t left, int32_t top,
                         int32_t right, int32_t bottom, Fixed placeX, Fixed placeY, Fixed scale, int32_t depth,
                         Fixed opacity);
    // The picture flattened to a sheared shadow on the ground.
    virtual void drawShadow(uint32_t* frame, int32_t stride, int32_t frameHeight, int32_t left, int32_t top,
                            int32_t right, int32_t bottom, Fixed placeX, Fixed placeY, Fixed scale, int32_t depth,
                            Fixed opacity);

    int32_t m_jpegLength = 0;
    ByteArray m_data;
    IntArray m_pixels;
    uint8_t m_type = 0;
    bool m_recentlyUsed = false;
    int16_t m_width = 0;
    int16_t m_height = 0;
    int16_t m_anchorX = 0;
    int16_t m_anchorY = 0;
};

}  // namespace tarnby
