// Deterministic noise and smoothing for the painted ground: the same seed and
// place always give the same value, on every machine.
#pragma once

#include <cstdint>

namespace tarnby::course {

// A value in [-1, 1) per lattice point (ix, iz), from a hash of the point and the seed.
double latticeValue(int32_t ix, int32_t iz, uint32_t seed);

// Lattice values blended smoothly between the points around (x, z).
double valueNoise(double x, double z, uint32_t seed);

// 0 below edge0, 1 above edge1, and a smooth S-curve between.
double smoothstep(double edge0, double edge1, double x);

}  // namespace tarnby::course
