// The cells' kinds the 3-D view's march reads the ground by.
#include "vector/height_field.h"

#include <algorithm>
#include <cstring>

namespace tarnby {

void HeightField::findKinds(const uint8_t* samples, uint8_t outsideLevel, uint16_t* kinds)
{
    for (int32_t j = 0; j < kSide; ++j) {
        for (int32_t i = 0; i < kSide; ++i) {
            const uint8_t* k = samples + j * kSide + i;
            // The last column and row lie outside the whole cells.
            uint32_t kind = (static_cast<uint32_t>(outsideLevel) << 8) | kFlat;
            if (i < kSide - 1 && j < kSide - 1) {
                const bool flat = k[1] == k[0] && k[kSide] == k[0] && k[kSide + 1] == k[0];
                const uint32_t top = std::max(std::max(k[0], k[1]), std::max(k[kSide], k[kSide + 1]));
                kind = flat ? (static_cast<uint32_t>(k[0]) << 8) | kFlat : (top << 8) | kSloped;
            }
            kinds[j * kSide + i] = static_cast<uint16_t>(kind);
        }
    }
    std::memcpy(kinds + kSide * kSide, samples, kSide * kSide);
    // A flat cell whose neighbours toward +x, +z and both are flat shares a
    // sample with each of them, so all four stand at one level; a point half a
    // cell further on each axis lies in one of them.
    for (int32_t j = 0; j < kSide - 2; ++j) {
        for (int32_t i = 0; i < kSide - 2; ++i) {
            uint16_t* kind = kinds + j * kSide + i;
            if (!((kind[0] | kind[1] | kind[kSide] | kind[kSide + 1]) & kSloped)) {
                kind[0] = static_cast<uint16_t>((kind[0] & 0xFF00) | kLevel);
            }
        }
    }
}

}  // namespace tarnby
