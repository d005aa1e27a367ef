// The generated hole files and wind arrow, loaded the way the game loads them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "golf/surface_table.h"
#include "image/vilib.h"
#include "runtime/files.h"
#include "runtime/string.h"
#include "support/test_support.h"
#include "vector/vpolyterrain.h"
#include "vector/vswf.h"

namespace tarnby {
namespace {

constexpr Fixed kYard = 0x8000;

// The game's hole table (yards): tee x, z, pin x, z, aim x, z per course and hole.
const int32_t kHoles[3][18][6] = {
    { { 89, 436, 75, 76, 75, 76 }, { 178, 95, 187, 252, 187, 252 }, { 291, 461, 472, 56, 300, 167 },
        { 89, 441, 94, 71, 94, 71 }, { 193, 150, 190, 332, 190, 332 }, { 282, 450, 459, 57, 303, 251 },
        { 175, 449, 88, 134, 161, 202 }, { 272, 268, 279, 380, 279, 380 }, { 426, 444, 307, 61, 411, 304 },
        { 88, 436, 92, 94, 92, 94 }, { 176, 196, 184, 386, 184, 386 }, { 447, 465, 236, 67, 427, 183 },
        { 75, 447, 150, 138, 90, 215 }, { 191, 252, 190, 428, 203, 432 }, { 289, 460, 462, 62, 288, 169 },
        { 90, 402, 84, 97, 84, 97 }, { 165, 152, 175, 385, 175, 388 }, { 442, 457, 199, 56, 452, 216 } },
    { { 79, 465, 58, 60, 58, 60 }, { 170, 158, 174, 343, 174, 343 }, { 409, 463, 187, 64, 420, 209 },
        { 62, 455, 127, 67, 127, 67 }, { 199, 230, 212, 418, 212, 418 }, { 294, 454, 446, 64, 298, 225 },
        { 79, 464, 102, 63, 102, 63 }, { 175, 189, 168, 400, 168, 400 }, { 408, 464, 198, 95, 404, 203 },
        { 66, 452, 134, 74, 50, 293 }, { 203, 172, 197, 382, 197, 382 }, { 304, 449, 417, 59, 281, 204 },
        { 59, 448, 158, 71, 71, 192 }, { 268, 291, 288, 449, 288, 449 }, { 409, 465, 269, 60, 406, 262 },
        { 79, 461, 194, 69, 83, 202 }, { 170, 164, 179, 398, 179, 398 }, { 266, 446, 430, 68, 260, 167 } },
    { { 93, 461, 212, 60, 77, 179 }, { 192, 151, 163, 307, 163, 307 }, { 223, 463, 449, 61, 273, 248 },
        { 182, 465, 74, 79, 152, 180 }, { 276, 154, 280, 333, 280, 333 }, { 444, 469, 215, 46, 398, 86 },
        { 69, 455, 74, 72, 99, 219 }, { 227, 247, 225, 384, 225, 384 }, { 438, 470, 185, 63, 418, 105 },
        { 58, 400, 64, 63, 76, 196 }, { 144, 200, 137, 457, 137, 457 }, { 232, 464, 457, 48, 215, 106 },
        { 76, 460, 259, 102, 82, 154 }, { 197, 247, 196, 463, 196, 463 }, { 283, 462, 155, 48, 386, 153 },
        { 65, 457, 63, 127, 64, 231 }, { 151, 231, 158, 366, 158, 366 }, { 445, 453, 157, 93, 440, 120 } },
};

const char* const kGroups[6] = { "holes_1-3", "holes_4-6", "holes_7-9", "holes_10-12", "holes_13-15", "holes_16-18" };

struct LoadedHole {
    Ref<VpolyTerrain> terrain;
    int32_t waterFill = -1;
    bool read = false;
};

LoadedHole loadHole(int32_t course, int32_t group)
{
    setModuleFolder(test::binFolder());
    LoadedHole hole;
    hole.terrain = make<VpolyTerrain>();
    Vswf reader;
    const std::string name = "c" + std::to_string(course) + "_" + kGroups[group];
    hole.read = reader.load(hole.terrain, String::intern(name.c_str()), 512, 512, 0x4204, 0x30, 0);
    hole.waterFill = applySurfaces(*hole.terrain, Ref<Vilib>(), course);
    hole.terrain->makeHeightField();
    return hole;
}

Fixed yards(double v) { return static_cast<Fixed>(v * kYard); }

TEST(HoleFilesTest, EveryHoleIsPlayableWhereTheHoleTableSaysItIs)
{
    for (int32_t course = 0; course < 3; ++course) {
        for (int32_t group = 0; group < 6; ++group) {
            LoadedHole loaded = loadHole(course, group);
            VpolyTerrain& t = *loaded.terrain;
            const std::string file = "c" + std::to_string(course) + "_" + kGroups[group];
            ASSERT_TRUE(loaded.read) << file << " could not be read";
            EXPECT_LE(t.fillsUsed(), 48) << file << " has more fills than the game reads";
            EXPECT_LE(t.crossingCount(), 0x4204) << file << " outgrows the crossing table the game sets aside";
            EXPECT_GE(loaded.waterFill, 0) << file << " has no water to show beyond the map";
            for (int32_t h = group * 3; h < group * 3 + 3; ++h) {
                const int32_t* row = kHoles[course][h];
                const std::string hole = file + " hole " + std::to_string(h + 1);
                EXPECT_EQ(t.surfaceAt(row[0] * kYard, row[1] * kYard), 1) << hole << ": the tee is not on a tee box";
                // The pin with at least five yards of green on every side.
                int32_t offGreen = 0;
                for (int32_t a = 0; a < 32; ++a) {
                    for (int32_t r = 0; r <= 5; ++r) {
                        const double angle = a * 3.14159265358979 / 16;
                        const Fixed x = yards(row[2] + r * std::cos(angle));
                        const Fixed z = yards(row[3] + r * std::sin(angle));
                        offGreen += t.surfaceAt(x, z) != 4;
                    }
                }
                EXPECT_EQ(offGreen, 0) << hole << ": less than five yards of green round the pin";
                const int32_t aim = t.surfaceAt(row[4] * kYard, row[5] * kYard);
                EXPECT_TRUE(aim == 2 || aim == 4) << hole << ": the aim point lies on surface " << aim;
                // No water on the first hundred yards of the line from the tee.
                const double dx = row[4] - row[0];
                const double dz = row[5] - row[1];
                const double length = std::sqrt(dx * dx + dz * dz);
                for (double s = 0; s <= std::min(100.0, length); s += 0.5) {
                    const int32_t surface = t.surfaceAt(yards(row[0] + dx * s / length), yards(row[1] + dz * s / length));
                    ASSERT_NE(surface, 3) << hole << ": water " << s << " yards from the tee on the line of play";
                }
                // Greens nearly flat: within four yards of the pin the ground
                // rises or falls no more than a sixteenth of a yard per yard.
                Fixed highest = INT32_MIN;
                Fixed lowest = INT32_MAX;
                for (int32_t dzy = -4; dzy <= 4; ++dzy) {
                    for (int32_t dxy = -4; dxy <= 4; ++dxy) {
                        if (dxy * dxy + dzy * dzy > 16) {
                            continue;
                        }
                        const Fixed y = t.heightAt((row[2] + dxy) * kYard, (row[3] + dzy) * kYard);
                        highest = std::max(highest, y);
                        lowest = std::min(lowest, y);
                    }
                }
                EXPECT_LE(highest - lowest, kYard / 2) << hole << ": the green round the pin is too steep";
            }
        }
    }
}

TEST(HoleFilesTest, GroundRollsGentlyAndWaterLiesLowest)
{
    for (int32_t course = 0; course < 3; ++course) {
        for (int32_t group = 0; group < 6; ++group) {
            LoadedHole loaded = loadHole(course, group);
            VpolyTerrain& t = *loaded.terrain;
            const std::string file = "c" + std::to_string(course) + "_" + kGroups[group];
            Fixed lowestLand = INT32_MAX;
            Fixed highestWater = INT32_MIN;
            int32_t steep = 0;
            int32_t samples = 0;
            for (int32_t z = 4; z < 508; z += 2) {
                for (int32_t x = 4; x < 508; x += 2) {
                    const int32_t surface = t.surfaceAt(x * kYard, z * kYard);
                    const Fixed y = t.heightAt(x * kYard, z * kYard);
                    if (surface == 3) {
                        highestWater = std::max(highestWater, y);
                        continue;
                    }
                    lowestLand = std::min(lowestLand, y);
                    // Slope over two yards; fairways and greens at most 1 in 6.
                    const Fixed dx = t.heightAt((x + 2) * kYard, z * kYard) - y;
                    const Fixed dz = t.heightAt(x * kYard, (z + 2) * kYard) - y;
                    // Lips of bunkers and banks of water may be steeper.
                    bool nearHazard = false;
                    for (int32_t k = -5; k <= 5 && !nearHazard; k += 5) {
                        for (int32_t m = -5; m <= 5; m += 5) {
                            const int32_t s = t.surfaceAt((x + k) * kYard, (z + m) * kYard);
                            nearHazard = nearHazard || s == 3 || s == 6;
                        }
                    }
                    if ((surface == 2 || surface == 4) && !nearHazard) {
                        ++samples;
                        const bool isSteep = std::abs(dx) > kYard / 3 || std::abs(dz) > kYard / 3;
                        steep += isSteep;
                    }
                }
            }
            EXPECT_EQ(steep, 0) << file << ": " << steep << " of " << samples << " fairway samples are steep";
            EXPECT_LE(t.outsideHeight(), lowestLand) << file << ": the sea beyond the map stands above the land";
            EXPECT_LT(highestWater - kYard, lowestLand + kYard) << file << ": water lies above the land";
        }
    }
}

TEST(HoleFilesTest, WindArrowPointsUpAndStaysInsideAtEveryAngle)
{
    setModuleFolder(test::binFolder());
    Vswf reader;
    for (int32_t step = 0; step < 32; ++step) {
        auto arrow = make<Vpolyn>();
        ASSERT_TRUE(reader.load(arrow, String::intern("arrow"), 24, 24, 48, 2, step * 1024));
        EXPECT_EQ(arrow->fillsUsed(), 2) << "the arrow is one filled shape";
        int32_t inside = 0;
        for (int32_t y = 0; y < 24; ++y) {
            for (int32_t x = 0; x < 24; ++x) {
                inside += arrow->fillAt(x * 0x8000 + 0x4000, y * 0x8000 + 0x4000) == 1;
                const bool rim = x == 0 || y == 0 || x == 23 || y == 23;
                if (rim) {
                    EXPECT_EQ(arrow->fillAt(x * 0x8000 + 0x4000, y * 0x8000 + 0x4000), 0)
                        << "angle step " << step << " reaches the edge at " << x << "," << y;
                }
            }
        }
        EXPECT_GT(inside, 60) << "angle step " << step;
        if (step == 0) {
            // The head (wide) is in the upper half, the shaft (narrow) below.
            int32_t upper = 0;
            int32_t lower = 0;
            for (int32_t x = 0; x < 24; ++x) {
                upper += arrow->fillAt(x * 0x8000 + 0x4000, 9 * 0x8000) == 1;
                lower += arrow->fillAt(x * 0x8000 + 0x4000, 18 * 0x8000) == 1;
            }
            EXPECT_GT(upper, lower + 4) << "the arrow should point up the drawing";
            EXPECT_EQ(arrow->fillAt(12 * 0x8000, 3 * 0x8000), 1) << "the tip is at the top";
        }
    }
}

TEST(HoleFilesTest, OverheadMapsRenderWithTheirTextures)
{
    // Writes each hole file's course map to test-output for a person to look at,
    // and checks that no part of the map is left undrawn.
    setModuleFolder(test::binFolder());
    auto pictures = make<Vilib>(String::intern("golf"));
    ASSERT_EQ(pictures->count(), 78);
    std::vector<uint32_t> frame(512 * 512);
    for (int32_t course = 0; course < 3; ++course) {
        for (int32_t group = 0; group < 6; ++group) {
            auto terrain = make<VpolyTerrain>();
            Vswf reader;
            const std::string name = "c" + std::to_string(course) + "_" + kGroups[group];
            ASSERT_TRUE(reader.load(terrain, String::intern(name.c_str()), 512, 512, 0x4204, 0x30, 0));
            applySurfaces(*terrain, pictures, course);
            terrain->makeHeightField();
            terrain->layout(0, 0, 0x8000);
            std::fill(frame.begin(), frame.end(), 0xFF00FFu);
            terrain->render(frame.data(), 512, 512, 0, 0, 512, 512);
            const auto unpainted = std::count(frame.begin(), frame.end(), 0xFF00FFu);
            EXPECT_EQ(unpainted, 0) << name;
            test::saveFrame("map_" + name, frame.data(), 512, 512, 512);
        }
    }
}

}  // namespace
}  // namespace tarnby
