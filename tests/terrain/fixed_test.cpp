// Fixed-point arithmetic and vectors at their edges.
#include <gtest/gtest.h>
#include <utility>

#include "fixed/fixed.h"
#include "terrain/vector.h"

namespace tarnby {
namespace {

TEST(FixedTest, MultiplyAndDivide)
{
    EXPECT_EQ(fmul(kOne, 12345), 12345);
    EXPECT_EQ(fmul(-777, kOne), -777);
    EXPECT_EQ(fmul(0x4000, 0x4000), 0x2000);    // 0.5 * 0.5
    EXPECT_EQ(fmul(-0x8000, 0x8000), -0x8000);  // -1 * 1
    EXPECT_EQ(fmul(-1, 1), -1) << "the shift rounds toward minus infinity";
    EXPECT_EQ(fmul(0x7FFFFFFF, 0x10000), -2) << "overflow keeps the low 32 bits";
    EXPECT_EQ(fdiv(0x8000, 0x10000), 0x4000);  // 1 / 2
    EXPECT_EQ(fdiv(-0x8000, 0x10000), -0x4000) << "truncates toward zero";
    EXPECT_EQ(fdiv(-1, 0x10000), 0);
    EXPECT_EQ(fdiv(0x40000000, 1), 0) << "2^45 keeps its low 32 bits";
    EXPECT_EQ(fixedToInt(-1), -1) << "whole yards round down, also below zero";
    EXPECT_EQ(fixedToInt(-0x8001), -2);
    EXPECT_EQ(fixedToInt(0xFFFF), 1);
    EXPECT_EQ(fabs(-5), 5);
    EXPECT_EQ(fabs(INT32_MIN), INT32_MIN) << "the larger of a and -a wraps";
}

TEST(FixedTest, SquareRootHypotSineCosineAndSegmentDistance)
{
    EXPECT_EQ(fsqrt(0), 0);
    EXPECT_EQ(fsqrt(0x20000), 0x10000);  // sqrt 4 = 2
    EXPECT_EQ(fsqrt(-0x20000), 0x10000) << "negative: root of the magnitude";
    EXPECT_EQ(fsqrt(kOne), kOne);
    EXPECT_EQ(fhypot(3 * kOne, 4 * kOne), 5 * kOne);

    // Newton from above, run until a step is below 4 units, lands on the
    // integer root of s * 32768 for every small argument (one step fewer is a
    // unit high around 2048 and 8192) and for a spread of large ones...
    auto isqrt = [](uint64_t n) {
        uint64_t lo = 0, hi = uint64_t { 1 } << 32;
        while (hi - lo > 1) {
            uint64_t mid = (lo + hi) / 2;
            (mid * mid <= n ? lo : hi) = mid;
        }
        return lo;
    };
    for (int64_t s = 1; s < 20000; ++s) {
        ASSERT_EQ(static_cast<uint32_t>(fsqrt(s)), isqrt(static_cast<uint64_t>(s) << 15)) << "s " << s;
    }
    for (int64_t s = 1; s < (int64_t { 1 } << 47); s = s * 3 + 7) {
        ASSERT_EQ(static_cast<uint32_t>(fsqrt(s)), isqrt(static_cast<uint64_t>(s) << 15)) << "s " << s;
    }
    // ...but not always: these stop one unit above it.
    EXPECT_EQ(fsqrt(100345), 57342);  // root 57341
    EXPECT_EQ(fsqrt(294900), 98302);  // root 98301

    // Beyond 2^48 the product s * 32768 leaves 64 bits; the root is no Fixed
    // any more and the largest one is given (no wrapped iteration, no division by 0).
    EXPECT_EQ(fsqrt(int64_t { 1 } << 48), 0x7FFFFFFF);
    EXPECT_EQ(fsqrt(INT64_MAX), 0x7FFFFFFF);
    EXPECT_EQ(fsqrt(INT64_MIN), 0x7FFFFFFF);
    EXPECT_EQ(static_cast<uint32_t>(fsqrt((int64_t { 1 } << 48) - 1)), 3037000499u)
        << "still the low 32 bits below 2^48";
    // The sums of squares wrap in 64 bits instead of overflowing.
    EXPECT_EQ(fhypot(INT32_MIN, INT32_MIN), fsqrt(INT64_MIN >> 15));
    EXPECT_EQ(Vector(INT32_MIN, INT32_MIN, INT32_MIN).length(), fsqrt(-(int64_t { 1 } << 47)));
    // Sines and cosines: a half turn apart the sine repeats, a quarter turn on it is the cosine.
    for (auto [angle, sine] :
        { std::pair { 0, -1 }, { 0x1000, 23349 }, { 0x2000, 32767 }, { 0x4000, 1 }, { 0x6000, -32767 } }) {
        EXPECT_EQ(fsin(angle), sine) << angle;
    }
    EXPECT_EQ(fcos(0), 32767);
    for (int32_t a = -0x9000; a < 0x9000; a += 0x123) {
        ASSERT_EQ(fsin(a), fsin(a + 0x8000)) << "angle " << a;
        ASSERT_EQ(fcos(a), fsin(a + 0x2000));
        ASSERT_LE(fabs(fsin(a)), kOne);
    }

    // Segment from (0,0) to (10,0) yards.
    // The reciprocal 1/|AB|^2 is truncated, so the foot lands a hair short.
    EXPECT_EQ(segmentDistanceSq(5 * kOne, 3 * kOne, 0, 0, 10 * kOne, 0), 9 * kOne + 3);
    EXPECT_EQ(segmentDistanceSq(-kOne, 0, 0, 0, 10 * kOne, 0), 0x7FFFFFFF) << "foot before A";
    EXPECT_EQ(segmentDistanceSq(11 * kOne, 0, 0, 0, 10 * kOne, 0), 0x7FFFFFFF) << "foot past B";
    EXPECT_EQ(segmentDistanceSq(0, 2 * kOne, 0, 0, 10 * kOne, 0), 4 * kOne) << "d = 0 takes t = 0";
    EXPECT_EQ(segmentDistanceSq(kOne, kOne, 3, 3, 3, 3), 0x7FFFFFFF) << "a point is no segment";
    // A one-yard segment has an exact reciprocal: the foot lands on B itself, which belongs to it.
    EXPECT_EQ(segmentDistanceSq(kOne, kHalf, 0, 0, kOne, 0), 0x2000) << "foot exactly at B";
}

TEST(VectorTest, LengthsNormalizeAndProducts)
{
    EXPECT_EQ(Vector(3 * kOne, 4 * kOne, 0).fastLength(), 0x28400);  // 5.03125
    EXPECT_EQ(Vector(0, 0, 2 * kOne).fastLength(), 0x5800);          // 0.6875: z alone is short
    EXPECT_EQ(Vector(0, -7 * kOne, 0).fastLength(), 7 * kOne);
    EXPECT_EQ(Vector(kOne, -2 * kOne, 4 * kOne).fastLength(), 0x1D000) << "2 + 11/32 of 4 + a quarter of 1";

    Vector tiny(1, 0, 1);
    tiny.normalize();
    EXPECT_TRUE(tiny.x() == 0 && tiny.z() == 0);

    Vector v(3 * kOne, 0, 4 * kOne);
    v.normalize();
    EXPECT_NEAR(v.x(), 0x4CCC, 2);  // 0.6
    EXPECT_NEAR(v.z(), 0x6666, 2);  // 0.8
    EXPECT_NEAR(v.length(), kOne, 4) << "the root stops once a step is below 4 units";

    Vector x(kOne, 0, 0), y(0, kOne, 0), c;
    c.cross(x, y);
    EXPECT_TRUE(c.x() == 0 && c.y() == 0 && c.z() == kOne);
    c.cross(c, x);  // the receiver may be an argument
    EXPECT_EQ(c.y(), kOne);

    Vector big(INT32_MAX, 0, 0);
    big.add(1, 0, 0);
    EXPECT_EQ(big.x(), INT32_MIN) << "sums wrap in 32 bits";
}

}  // namespace
}  // namespace tarnby
