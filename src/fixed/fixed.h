// The engine's one number format: `Fixed`, a signed 32-bit value with 15
// fraction bits (ONE = 0x8000 = one yard), and its arithmetic.
//
// Every operation is bit-exact: products and quotients go through 64 bits and
// keep the low 32 bits of the result, sums wrap, shifts are arithmetic.
#pragma once

#include <cstdint>

namespace tarnby {

using Fixed = int32_t;

constexpr Fixed kOne = 0x8000;
constexpr Fixed kHalf = 0x4000;

// Angles: a full turn is 0x8000; heading 0 looks toward -z, 0x2000 toward +x.
constexpr int32_t kFullTurn = 0x8000;
constexpr int32_t kHalfTurn = 0x4000;
constexpr int32_t kQuarterTurn = 0x2000;

constexpr Fixed toFixed(int32_t whole) { return static_cast<Fixed>(static_cast<uint32_t>(whole) << 15); }

// Whole pixels or yards from a Fixed value, rounding toward minus infinity.
constexpr int32_t fixedToInt(Fixed value) { return value >> 15; }

// Wrapping 32-bit sum and difference (the engine's sums never trap on overflow).
constexpr int32_t wrapAdd(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
constexpr int32_t wrapSub(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// Product; 0 and ONE short-cut the 64-bit multiply and give the same value.
constexpr Fixed fmul(Fixed a, Fixed b)
{
    if (a == 0 || b == 0) {
        return 0;
    }
    if (a == kOne) {
        return b;
    }
    if (b == kOne) {
        return a;
    }
    return static_cast<Fixed>(static_cast<uint64_t>((static_cast<int64_t>(a) * b) >> 15));
}

// Quotient, truncating toward zero. The divisor must not be 0.
constexpr Fixed fdiv(Fixed a, Fixed b)
{
    return static_cast<Fixed>(static_cast<uint64_t>((static_cast<int64_t>(a) * 32768) / b));
}

// Square root of a 64-bit Fixed value (Newton's method on s * 32768); a
// negative argument gives the root of its magnitude.
constexpr Fixed fsqrt(int64_t s)
{
    if (s == 0) {
        return 0;
    }
    if (s < 0) {
        s = s == INT64_MIN ? INT64_MAX : -s;
    }
    // From 2^48 on, s * 32768 no longer fits in 64 bits (the iteration would
    // run on wrapped values and may divide by zero), and the root is beyond
    // the largest Fixed anyway: give the largest Fixed.
    if (s >= (int64_t { 1 } << 48)) {
        return 0x7FFFFFFF;
    }
    int64_t g = (s + 32768) >> 1;
    const int64_t scaled = s << 15;
    int64_t p;
    do {
        p = g;
        g = (p + scaled / p) >> 1;
    } while (p - g >= 4);
    return static_cast<Fixed>(static_cast<uint64_t>(g));
}

// Root of a*a + b*b; the 64-bit sum of the two squares wraps like the hardware's.
constexpr Fixed fhypot(Fixed a, Fixed b)
{
    const uint64_t sum = static_cast<uint64_t>(static_cast<int64_t>(a) * a)
                         + static_cast<uint64_t>(static_cast<int64_t>(b) * b);
    return fsqrt(static_cast<int64_t>(sum) >> 15);
}

constexpr Fixed fabs(Fixed a)
{
    Fixed negated = wrapSub(0, a);
    return a > negated ? a : negated;
}

// Sine from a quadratic fitted over each quarter wave; only the low 15 bits of
// the angle matter. fsin(0x2000) is 32767, not quite ONE.
constexpr Fixed fsin(int32_t angle)
{
    int32_t q = angle & 0x1FFF;
    if (angle & 0x2000) {
        q = 0x2000 - q;
    }
    Fixed t = (q - 0x1000) * 4;
    Fixed r = fmul(fmul(t, t), -27861) + t + 23349;
    return (angle & 0x4000) ? -r : r;
}

constexpr Fixed fcos(int32_t angle) { return fsin(angle + 0x2000); }

// Squared ground distance from P to the segment AB, or 0x7FFFFFFF when the foot
// of the perpendicular lies outside the segment (or the segment is a point).
constexpr Fixed segmentDistanceSq(Fixed px, Fixed pz, Fixed ax, Fixed az, Fixed bx, Fixed bz)
{
    Fixed ex = wrapSub(bx, ax);
    Fixed ez = wrapSub(bz, az);
    Fixed l2 = wrapAdd(fmul(ex, ex), fmul(ez, ez));
    if (l2 == 0) {
        return 0x7FFFFFFF;
    }
    Fixed inv = static_cast<Fixed>(0x40000000 / l2);
    Fixed d = wrapAdd(fmul(wrapSub(px, ax), ex), fmul(wrapSub(pz, az), ez));
    Fixed t = 0;
    if (d != 0) {
        t = fmul(inv, d);
        if (t < 0 || t > kOne) {
            return 0x7FFFFFFF;
        }
    }
    Fixed fx = wrapSub(wrapAdd(ax, fmul(t, ex)), px);
    Fixed fz = wrapAdd(wrapSub(fmul(t, ez), pz), az);
    return wrapAdd(fmul(fx, fx), fmul(fz, fz));
}

}  // namespace tarnby
