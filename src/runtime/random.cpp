// Lagged-Fibonacci random source.
#include "runtime/random.h"

#include "runtime/host.h"

namespace tarnby {

namespace {

RandomState g_random;

int32_t next()
{
    RandomState& r = g_random;
    r.j = r.j == 0 ? 53 : r.j - 1;
    r.k = r.k == 0 ? 53 : r.k - 1;
    r.table[r.k] = static_cast<uint8_t>(r.table[r.k] + r.table[r.j]);
    return r.table[r.k] * 128;
}

}  // namespace

void reseedRandom(uint32_t tick)
{
    RandomState& r = g_random;
    for (int i = 0; i < 54; ++i) {
        r.table[i] = static_cast<uint8_t>(74 + 21 * i);
    }
    r.j = 23;
    r.k = 54;
    r.ready = true;
    // Warm up by a tick-dependent amount so that each run plays differently.
    uint32_t warmUp = (tick & 31) + 54;
    for (uint32_t i = 0; i < warmUp; ++i) {
        next();
    }
}

RandomState randomState() { return g_random; }

void restoreRandomState(const RandomState& state) { g_random = state; }

int32_t random()
{
    if (!g_random.ready) {
        reseedRandom(host().tickCount());
    }
    return next();
}

}  // namespace tarnby
