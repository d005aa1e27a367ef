// The packed unsigned numbers of the game's picture bundles and fonts, shared
// by their writers: big-endian 7-bit groups, the top bit set on every byte but
// the last (so 300 is 0x82 0x2C).
#pragma once

#include <cstdint>
#include <vector>

namespace tarnby {

inline void appendPackedNumber(std::vector<uint8_t>& out, uint32_t value)
{
    uint8_t groups[5];
    int32_t n = 0;
    do {
        groups[n++] = static_cast<uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (n > 1) {
        out.push_back(static_cast<uint8_t>(groups[--n] | 0x80));
    }
    out.push_back(groups[0]);
}

}  // namespace tarnby
