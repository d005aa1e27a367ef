// The height rule read through the cells' kinds agrees with the plain rule.
#include "vector/height_field.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "vector/vpolyterrain.h"

namespace tarnby {
namespace {

constexpr int32_t kSide = HeightField::kSide;

// A map with every kind of cell: a plateau, a ramp, a pit, a lone bump,
// scattered noise and a border at the outside level (the first sample's),
// smoothed as the game smooths its maps (so that neighbouring samples never
// differ by half the levels, which the blend's products need).
std::vector<uint8_t> sampleMap()
{
    std::vector<uint8_t> map(kSide * kSide, 40);
    uint32_t seed = 12345;
    for (int32_t j = 0; j < kSide; ++j) {
        for (int32_t i = 0; i < kSide; ++i) {
            uint8_t& h = map[j * kSide + i];
            if (i >= 20 && i < 60 && j >= 20 && j < 60) {
                h = 200;  // plateau
            } else if (i >= 80 && i < 140) {
                h = static_cast<uint8_t>(40 + (i - 80) * 3);  // ramp toward +x
            } else if (j >= 180 && j < 200 && i < 50) {
                h = 5;  // pit
            } else if (j >= 210) {
                seed = seed * 1103515245u + 12345u;
                h = static_cast<uint8_t>(30 + ((seed >> 16) % 40));  // noise
            }
        }
    }
    map[150 * kSide + 160] = 255;  // a lone bump
    std::vector<uint8_t> scratch(map.size());
    VpolyTerrain::smooth(map.data(), scratch.data());
    VpolyTerrain::smooth(map.data(), scratch.data());
    return map;
}

struct Field {
    std::vector<uint8_t> map = sampleMap();
    std::vector<uint16_t> kinds = std::vector<uint16_t>(HeightField::kKindsSize);
    HeightField plain;
    HeightField known;
    Field()
    {
        HeightField::findKinds(map.data(), map[0], kinds.data());
        plain = HeightField(map.data(), map[0] << 12);
        known = HeightField(map.data(), map[0] << 12, kinds.data());
    }
};

TEST(HeightFieldTest, KindsHoldEachCellsClassAndLevel)
{
    Field f;
    int32_t counts[3] = {};
    for (int32_t j = 0; j < kSide; ++j) {
        for (int32_t i = 0; i < kSide; ++i) {
            const uint32_t kind = f.kinds[j * kSide + i];
            const uint32_t level = kind >> 8;
            const uint32_t cls = kind & 0xFF;
            ASSERT_LE(cls, HeightField::kSloped) << i << ", " << j;
            ASSERT_NE(kind, HeightField::kSloped) << "the kind beyond the map, at " << i << ", " << j;
            ++counts[cls];
            if (i == kSide - 1 || j == kSide - 1) {
                EXPECT_EQ(kind, (static_cast<uint32_t>(f.map[0]) << 8) | HeightField::kFlat)
                    << "border " << i << ", " << j;
                continue;
            }
            const uint8_t* k = f.map.data() + j * kSide + i;
            const uint8_t top = std::max(std::max(k[0], k[1]), std::max(k[kSide], k[kSide + 1]));
            const bool flat = k[0] == k[1] && k[0] == k[kSide] && k[0] == k[kSide + 1];
            EXPECT_EQ(level, top) << i << ", " << j;
            EXPECT_EQ(cls == HeightField::kSloped, !flat) << i << ", " << j;
            if (cls == HeightField::kLevel) {
                // Half a cell on along either axis or both is the same level.
                for (int32_t n : { 1, kSide, kSide + 1 }) {
                    EXPECT_EQ(f.kinds[j * kSide + i + n] & HeightField::kSloped, 0u) << i << ", " << j;
                    EXPECT_EQ(f.kinds[j * kSide + i + n] >> 8, level) << i << ", " << j;
                }
            }
        }
    }
    EXPECT_GT(counts[HeightField::kLevel], 1000);
    EXPECT_GT(counts[HeightField::kFlat], 100);
    EXPECT_GT(counts[HeightField::kSloped], 1000);
    // The map's copy follows the kinds.
    EXPECT_EQ(std::memcmp(f.kinds.data() + kSide * kSide, f.map.data(), f.map.size()), 0);
}

// Points on and around the map: cell corners, cell middles, odd fractions,
// the edges of the whole cells and far beyond the map on every side.
std::vector<Fixed> coordinates()
{
    std::vector<Fixed> out;
    for (int32_t yards = -4; yards < 516; yards += 3) {
        out.push_back(yards * kOne);
        out.push_back(yards * kOne + 0x4321);
        out.push_back(yards * kOne + 0xFFFF);
    }
    for (Fixed edge : { 0x1000000 - 0x20000, 0x1000000 - 1, 0x1000000, -1, INT32_MIN, INT32_MAX }) {
        out.push_back(edge);
    }
    return out;
}

TEST(HeightFieldTest, TheKindsGiveThePlainRulesHeight)
{
    Field f;
    ASSERT_NE(f.known.kinds, nullptr);
    const std::vector<Fixed> at = coordinates();
    for (Fixed z : at) {
        for (Fixed x : at) {
            ASSERT_EQ(f.known.atKnown(x, z), f.plain.at(x, z)) << x << ", " << z;
        }
    }
}

TEST(HeightFieldTest, RiseAboveAnswersAsTheExactHeightWouldForEveryRay)
{
    Field f;
    ASSERT_NE(f.known.kinds, nullptr);
    const std::vector<Fixed> at = coordinates();
    int32_t under = 0;
    int32_t above = 0;
    for (size_t zi = 0; zi < at.size(); zi += 2) {
        for (size_t xi = 0; xi < at.size(); ++xi) {
            const Fixed x = at[xi];
            const Fixed z = at[zi];
            const Fixed h = f.plain.at(x, z);
            // Rays just under, at and over the ground and its level, and at
            // the ends of the range, where the wrapped difference turns over.
            for (Fixed ray : { h - 1, h, h + 1, (h & ~0xFFF) - 1, h | 0xFFF, (h | 0xFFF) + 1, INT32_MIN, INT32_MIN + 1,
                     INT32_MAX, wrapSub(h, INT32_MAX), wrapSub(h, INT32_MIN), wrapAdd(wrapSub(h, INT32_MAX), 1),
                     wrapSub(wrapSub(h, INT32_MAX), 1) }) {
                uint32_t kind = 0;
                Fixed height = 0;
                const Fixed rise = f.known.riseAbove(x, z, ray, kind, height);
                const Fixed exact = wrapSub(h, ray);
                const bool onMap = (static_cast<uint32_t>(x) | static_cast<uint32_t>(z)) < HeightField::kMapEnd;
                ASSERT_EQ(kind == HeightField::kSloped, !onMap) << x << ", " << z;
                if (exact >= 1) {
                    ++above;
                    ASSERT_EQ(rise, exact) << x << ", " << z << " ray " << ray;
                    ASSERT_EQ(height, h) << x << ", " << z << " ray " << ray;
                } else {
                    ++under;
                    ASSERT_LT(rise, 1) << x << ", " << z << " ray " << ray;
                }
            }
        }
    }
    EXPECT_GT(under, 1000);
    EXPECT_GT(above, 1000);
}

}  // namespace
}  // namespace tarnby
