// The generated hole files and wind arrow, loaded the way the game loads them.
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "golf/hole_setup.h"
#include "golf/holetable.h"
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

Fixed yards(double v) { return static_cast<Fixed>(v * kYard); }

// Every hole file of the three courses, loaded once as the game loads it: the
// crossing table and fills the game sets aside, the surfaces and pictures.
class HoleFilesTest : public ::testing::Test {
protected:
    struct HoleFile {
        std::string name;
        int32_t course, firstHole, waterFill;
        bool read;
        Ref<VpolyTerrain> terrain;
    };
    static void SetUpTestSuite()
    {
        setDataFolder(test::binFolder());
        Ref<Vilib> pictures = make<Vilib>(String::intern("golf"));
        s_files = new std::vector<HoleFile>;
        for (int32_t course = 0; course < kCourses; ++course) {
            for (int32_t hole = 0; hole < kHolesPerCourse; hole += 3) {
                HoleFile f { holeFileName(course, hole)->chars(), course, hole, -1, false, make<VpolyTerrain>() };
                f.waterFill = loadHole(f.terrain, holeFileName(course, hole), course, pictures);
                f.read = f.waterFill >= 0;
                s_files->push_back(f);
            }
        }
    }
    static void TearDownTestSuite()
    {
        delete s_files;
        s_files = nullptr;
    }
    static std::vector<HoleFile>* s_files;
};

std::vector<HoleFilesTest::HoleFile>* HoleFilesTest::s_files = nullptr;

TEST_F(HoleFilesTest, EveryHoleIsPlayableWhereTheHoleTableSaysItIs)
{
    for (const HoleFile& file : *s_files) {
        VpolyTerrain& t = *file.terrain;
        ASSERT_TRUE(file.read) << file.name << " could not be read";
        EXPECT_LE(t.fillsUsed(), kHoleFillCount) << file.name << " has more fills than the game reads";
        EXPECT_LE(t.crossingCount(), kHoleEdgeCapacity)
            << file.name << " outgrows the crossing table the game sets aside";
        EXPECT_EQ(t.frame(file.waterFill), kSurfaceWater) << file.name << " has no water to show beyond the map";
        for (int32_t h = file.firstHole; h < file.firstHole + 3; ++h) {
            const HoleRow& row = holeRow(file.course, h);
            const std::string hole = file.name + " hole " + std::to_string(h + 1);
            EXPECT_EQ(t.surfaceAt(row.teeX * kYard, row.teeZ * kYard), 1) << hole << ": the tee is not on a tee box";
            const int32_t aim = t.surfaceAt(row.aimX * kYard, row.aimZ * kYard);
            EXPECT_TRUE(aim == kSurfaceGreenEdge || aim == kSurfaceGreen) << hole << ": the aim lies on " << aim;
            // The pin with at least five yards of green on every side, and the
            // ground within four yards of it rising or falling no more than a
            // sixteenth of a yard per yard.
            int32_t offGreen = 0;
            Fixed highest = INT32_MIN, lowest = INT32_MAX;
            for (int32_t a = 0; a < 32; ++a) {
                for (int32_t r = 0; r <= 5; ++r) {
                    const double angle = a * 3.14159265358979 / 16;
                    const Fixed x = yards(row.pinX + r * std::cos(angle)), z = yards(row.pinZ + r * std::sin(angle));
                    offGreen += t.surfaceAt(x, z) != kSurfaceGreen;
                    highest = r <= 4 ? std::max(highest, t.heightAt(x, z)) : highest;
                    lowest = r <= 4 ? std::min(lowest, t.heightAt(x, z)) : lowest;
                }
            }
            EXPECT_EQ(offGreen, 0) << hole << ": less than five yards of green round the pin";
            EXPECT_LE(highest - lowest, kYard / 2) << hole << ": the green round the pin is too steep";
            // Along the line of play (tee, aim point, pin): no water on the
            // first hundred yards, the fairway begun within a carry on the
            // longer holes, and the dry land within 20 yards of the line rising
            // and falling at least three yards.
            const double line[3][2] = { { 1.0 * row.teeX, 1.0 * row.teeZ }, { 1.0 * row.aimX, 1.0 * row.aimZ },
                { 1.0 * row.pinX, 1.0 * row.pinZ } };
            double fairwayAt = -1;
            Fixed low = INT32_MAX, high = INT32_MIN;
            for (int32_t leg = 0; leg < 2; ++leg) {
                const double dx = line[leg + 1][0] - line[leg][0], dz = line[leg + 1][1] - line[leg][1];
                const double length = std::hypot(dx, dz);
                for (int32_t half = 0; length > 0 && half <= 2 * length; ++half) {
                    const double s = half / 2.0;
                    const double x = line[leg][0] + dx * s / length, z = line[leg][1] + dz * s / length;
                    const int32_t surface = t.surfaceAt(yards(x), yards(z));
                    ASSERT_TRUE(leg > 0 || s > 100 || surface != kSurfaceWater)
                        << hole << ": water " << s << " yards out on the line of play";
                    fairwayAt = leg == 0 && fairwayAt < 0 && surface == kSurfaceGreenEdge ? s : fairwayAt;
                    for (int32_t side = -20; side <= 20; side += 4) {
                        const Fixed sx = yards(x - dz * side / length), sz = yards(z + dx * side / length);
                        if (t.surfaceAt(sx, sz) != kSurfaceWater) {
                            low = std::min(low, t.heightAt(sx, sz));
                            high = std::max(high, t.heightAt(sx, sz));
                        }
                    }
                }
            }
            EXPECT_TRUE(holePar(h) < 4 || (fairwayAt >= 0 && fairwayAt <= 70))
                << hole << ": the fairway begins " << fairwayAt << " yards out";
            EXPECT_GE(high - low, 3 * kYard)
                << hole << ": the land along the hole rises and falls only " << (high - low) / 32768.0 << " yards";
        }
    }
}

TEST_F(HoleFilesTest, GroundRollsGentlyWaterLiesLowestAndTheMapIsPainted)
{
    std::vector<uint32_t> frame(512 * 512);
    for (const HoleFile& file : *s_files) {
        VpolyTerrain& t = *file.terrain;
        Fixed lowestLand = INT32_MAX, highestWater = INT32_MIN;
        int32_t steep = 0, samples = 0;
        for (int32_t z = 4; z < 508; z += 2) {
            for (int32_t x = 4; x < 508; x += 2) {
                const int32_t surface = t.surfaceAt(x * kYard, z * kYard);
                const Fixed y = t.heightAt(x * kYard, z * kYard);
                if (surface == kSurfaceWater) {
                    highestWater = std::max(highestWater, y);
                    continue;
                }
                lowestLand = std::min(lowestLand, y);
                // Fairways and greens at most 1 in 6 over two yards, but for
                // the lips of bunkers (6) and the banks of water.
                bool nearHazard = false;
                for (int32_t k = -5; k <= 5; k += 5) {
                    for (int32_t m = -5; m <= 5; m += 5) {
                        const int32_t s = t.surfaceAt((x + k) * kYard, (z + m) * kYard);
                        nearHazard = nearHazard || s == kSurfaceWater || s == 6;
                    }
                }
                if ((surface == kSurfaceGreenEdge || surface == kSurfaceGreen) && !nearHazard) {
                    ++samples;
                    steep += std::abs(t.heightAt((x + 2) * kYard, z * kYard) - y) > kYard / 3
                             || std::abs(t.heightAt(x * kYard, (z + 2) * kYard) - y) > kYard / 3;
                }
            }
        }
        EXPECT_EQ(steep, 0) << file.name << ": " << steep << " of " << samples << " fairway samples are steep";
        EXPECT_LE(t.outsideHeight(), lowestLand) << file.name << ": the sea beyond the map stands above the land";
        EXPECT_LT(highestWater - kYard, lowestLand + kYard) << file.name << ": water lies above the land";
        // The course map, textured, leaves nothing undrawn.
        t.layout(0, 0, 0x8000);
        std::fill(frame.begin(), frame.end(), 0xFF00FFu);
        t.render(frame.data(), 512, 512, 0, 0, 512, 512);
        EXPECT_EQ(std::count(frame.begin(), frame.end(), 0xFF00FFu), 0) << file.name;
    }
}

TEST_F(HoleFilesTest, WindArrowPointsUpAndStaysInsideAtEveryAngle)
{
    Vswf reader;
    for (int32_t step = 0; step < 32; ++step) {
        auto arrow = make<Vpolyn>();
        ASSERT_TRUE(reader.load(arrow, String::intern("arrow"), 24, 24, 48, 2, step * 1024));
        EXPECT_EQ(arrow->fillsUsed(), 2) << "the arrow is one filled shape";
        auto filled = [&](int32_t x, int32_t y) { return arrow->fillAt(x * 0x8000 + 0x4000, y * 0x8000 + 0x4000); };
        int32_t inside = 0;
        for (int32_t y = 0; y < 24; ++y) {
            for (int32_t x = 0; x < 24; ++x) {
                inside += filled(x, y) == 1;
                if (x == 0 || y == 0 || x == 23 || y == 23) {
                    EXPECT_EQ(filled(x, y), 0) << "angle step " << step << " reaches the edge at " << x << "," << y;
                }
            }
        }
        EXPECT_GT(inside, 60) << "angle step " << step;
    }
    // Unturned, the head (wide) is in the upper half, the shaft (narrow) below,
    // and the tip at the top.
    auto arrow = make<Vpolyn>();
    ASSERT_TRUE(reader.load(arrow, String::intern("arrow"), 24, 24, 48, 2, 0));
    int32_t upper = 0, lower = 0;
    for (int32_t x = 0; x < 24; ++x) {
        upper += arrow->fillAt(x * 0x8000 + 0x4000, 9 * 0x8000) == 1;
        lower += arrow->fillAt(x * 0x8000 + 0x4000, 18 * 0x8000) == 1;
    }
    EXPECT_GT(upper, lower + 4) << "the arrow should point up the drawing";
    EXPECT_EQ(arrow->fillAt(12 * 0x8000, 3 * 0x8000), 1) << "the tip is at the top";
}

}  // namespace
}  // namespace tarnby
