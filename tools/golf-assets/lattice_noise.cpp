// Deterministic noise and smoothing for the painted ground.
#include "golf-assets/lattice_noise.h"

#include <algorithm>
#include <cmath>

namespace tarnby::course {

namespace {

double fade(double t) { return t * t * (3 - 2 * t); }

}  // namespace

double latticeValue(int32_t ix, int32_t iz, uint32_t seed)
{
    uint32_t h = static_cast<uint32_t>(ix) * 0x8DA6B343u ^ static_cast<uint32_t>(iz) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 13;
    h *= 0x5BD1E995u;
    h ^= h >> 15;
    return (h & 0xFFFFFF) / static_cast<double>(0x800000) - 1.0;
}

double valueNoise(double x, double z, uint32_t seed)
{
    const double fx = std::floor(x);
    const double fz = std::floor(z);
    const auto ix = static_cast<int32_t>(fx);
    const auto iz = static_cast<int32_t>(fz);
    const double tx = fade(x - fx);
    const double tz = fade(z - fz);
    const double a = latticeValue(ix, iz, seed);
    const double b = latticeValue(ix + 1, iz, seed);
    const double c = latticeValue(ix, iz + 1, seed);
    const double d = latticeValue(ix + 1, iz + 1, seed);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * tz;
}

double smoothstep(double edge0, double edge1, double x)
{
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

}  // namespace tarnby::course
