// The ground's height rule: bilinear heights between the samples of a 256 x 256
// height map, one sample every 2 yards, and one height outside its whole cells.
#pragma once

#include <cstdint>
#include <cstring>

#include "fixed/fixed.h"

namespace tarnby {

// A view of a height map small enough to live in registers through the 3-D
// view's column march; the polygon terrain answers its own height queries with
// the same rule, so the landscape and the ball stand on the same ground.
struct HeightField {
    static constexpr int32_t kSide = 256;  // samples a side; sample (i, j) at j * kSide + i

    const uint8_t* map = nullptr;  // null without a height field
    Fixed outside = 0;
    uint32_t cells = 0;  // whole cells a side: kSide - 1, or 0 without a height field

    HeightField() = default;
    HeightField(const uint8_t* samples, Fixed outsideHeight)
        : map(samples), outside(outsideHeight), cells(samples ? static_cast<uint32_t>(kSide - 1) : 0u)
    {
    }

    // Height in Fixed yards at (x, z): levels are eighths of a yard, so a
    // level is 2^12; x and z carry 4 bits of a cell's 16 into the blend.
    Fixed at(Fixed x, Fixed z) const
    {
        const uint32_t i = static_cast<uint32_t>(x >> 16);
        const uint32_t j = static_cast<uint32_t>(z >> 16);
        if (i >= cells || j >= cells) {
            return outside;  // west or north of the map too: the shifts keep the sign
        }
        const uint8_t* k = map + i + j * kSide;
        // The two rows' sample pairs as 16-bit words: a flat cell has equal
        // rows whose two bytes are equal.
        uint16_t front;
        uint16_t back;
        std::memcpy(&front, k, 2);
        std::memcpy(&back, k + kSide, 2);
        const int32_t h00 = k[0];
        if (front == back && (front >> 8) == (front & 0xFF)) {
            return h00 << 12;  // flat cell: most of a course
        }
        const int32_t h10 = k[1];
        const int32_t h01 = k[kSide];
        const int32_t h11 = k[kSide + 1];
        const int32_t fx = (x >> 4) & 0xFFF;
        const int32_t fz = (z >> 4) & 0xFFF;
        const int32_t top = (h00 << 12) + (h10 - h00) * fx;
        const int32_t bottom = (h01 << 12) + (h11 - h01) * fx;
        return top + ((fz * (bottom - top)) >> 12);
    }
};

}  // namespace tarnby
