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

    // The march reads the ground by the kinds of its cells, one 16-bit kind
    // for each cell (i, j) of the map at j * kSide + i, found with the map:
    // a level in the high byte and the cell's class in the low one:
    // - kLevel: a flat cell whose neighbours toward +x, +z and both are flat
    //   at the same level (no slope within half a cell);
    // - kFlat: any other flat cell, or a cell of the last column or row,
    //   which stands at the outside height's level;
    // - kSloped: any other cell, with the level of its highest sample.
    // A kind is at most (L << 8) | 0xFF exactly when its level is at most L,
    // so one compare tells whether the whole cell lies under a ray. No kind is
    // kSloped alone (a sloped cell's highest sample is above level 0), which
    // is the kind riseAbove gives beyond the map.
    // A copy of the map's samples follows the kinds (kKindsSize 16-bit words
    // in all), so that the march reaches both through one pointer.
    static constexpr uint32_t kLevel = 0;
    static constexpr uint32_t kFlat = 1;
    static constexpr uint32_t kSloped = 2;
    static constexpr int32_t kKindsSize = kSide * kSide * 3 / 2;
    // Where a sample lies in the map's 512 x 512 yards (x and z both below it).
    static constexpr uint32_t kMapEnd = 0x1000000u;

    const uint8_t* map = nullptr;  // null without a height field
    Fixed outside = 0;
    uint32_t cells = 0;               // whole cells a side: kSide - 1, or 0 without a height field
    const uint16_t* kinds = nullptr;  // the cells' kinds, or null

    HeightField() = default;
    HeightField(const uint8_t* samples, Fixed outsideHeight, const uint16_t* cellKinds = nullptr)
        : map(samples), outside(outsideHeight), cells(samples ? static_cast<uint32_t>(kSide - 1) : 0u),
          kinds(samples ? cellKinds : nullptr)
    {
    }

    // Every cell's kind and the copy of the map as it is now; the outside
    // height must be outsideLevel << 12. `kinds` holds kKindsSize.
    static void findKinds(const uint8_t* samples, uint8_t outsideLevel, uint16_t* kinds);

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
        return between(k, x, z);
    }

    // The same height by the cells' kinds (which must be set).
    Fixed atKnown(Fixed x, Fixed z) const
    {
        if ((static_cast<uint32_t>(x) | static_cast<uint32_t>(z)) >= kMapEnd) {
            return outside;
        }
        const uint32_t cell = static_cast<uint32_t>(x >> 16) + static_cast<uint32_t>(z >> 16) * kSide;
        const uint32_t kind = kinds[cell];
        if (!(kind & kSloped)) {
            return static_cast<Fixed>(kind >> 8) << 12;
        }
        return between(samplesAfter(kinds) + cell, x, z);
    }

    // How far the ground at (x, z) rises above `ray` (wrapSub(height, ray)),
    // by the cells' kinds (which must be set), or a value below 1 when it lies
    // at or under the ray; `height` is its height when it rises above. `kind`
    // is the cell's kind, kSloped beyond the map. A cell whose level is at
    // most the ray's (ray >> 12) lies wholly under it, whatever its exact
    // height: its highest sample does, and from 0 up to the ray the
    // difference cannot wrap.
    Fixed riseAbove(Fixed x, Fixed z, Fixed ray, uint32_t& kind, Fixed& height) const
    {
        if ((static_cast<uint32_t>(x) | static_cast<uint32_t>(z)) >= kMapEnd) {
            kind = kSloped;
            height = outside;
            return wrapSub(outside, ray);
        }
        const uint32_t cell = static_cast<uint32_t>(x >> 16) + static_cast<uint32_t>(z >> 16) * kSide;
        kind = kinds[cell];
        if (static_cast<int32_t>(kind) <= ((ray >> 4) | 0xFF)) {
            return 0;
        }
        height = kind & kSloped ? between(samplesAfter(kinds) + cell, x, z) : static_cast<Fixed>(kind >> 8) << 12;
        return wrapSub(height, ray);
    }

private:
    static const uint8_t* samplesAfter(const uint16_t* kinds)
    {
        return reinterpret_cast<const uint8_t*>(kinds + kSide * kSide);
    }
    // Bilinear height within the whole cell whose first sample is k[0].
    static Fixed between(const uint8_t* k, Fixed x, Fixed z)
    {
        const int32_t h00 = k[0];
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
