// The game's random source: an additive lagged-Fibonacci generator over bytes.
#pragma once

#include <cstdint>

namespace tarnby {

// A fixed-point value from 0 to 255 * 128 in steps of 128 (ONE = 32768).
// The first call seeds itself from the host's tick count.
int32_t random();

// The whole state of the source, to put it back after a detour.
struct RandomState {
    uint8_t table[54];
    int32_t j;
    int32_t k;
    bool ready = false;
    bool operator==(const RandomState&) const = default;
};
RandomState randomState();
void restoreRandomState(const RandomState& state);

// Starts the sequence again as if the tick count had been `tick` at first use.
void reseedRandom(uint32_t tick);

}  // namespace tarnby
