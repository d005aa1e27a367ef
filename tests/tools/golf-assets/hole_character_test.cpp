// What a golfer meets on every hole of the three courses: the view from the
// tee, where the fairway begins, and how the land rises and falls along the hole.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "course-preview/preview_scene.h"
#include "golf/holetable.h"
#include "golf/surface_table.h"
#include "runtime/files.h"
#include "support/test_frames.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

constexpr Fixed kYard = 0x8000;
constexpr int32_t kViewWidth = 240;
constexpr int32_t kViewHeight = 320;

Fixed yards(double v) { return static_cast<Fixed>(v * kYard); }

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The kinds of ground a golfer tells apart in the view. Each is drawn in a
// solid colour whose set of lit channels names it: slope shading scales the
// channels but never turns one on or off, and the black sky lights none.
enum Kind { kTee, kFairway, kWater, kGreen, kSand, kRough, kSecondRough, kKinds };
constexpr uint32_t kKindColour[kKinds] = { 0x800000, 0x008000, 0x000080, 0x008080, 0x808000, 0x808080, 0x800080 };
const char* const kKindName[kKinds] = { "tee", "fairway", "water", "green", "sand", "rough", "second rough" };

int32_t kindOfCode(int32_t code)
{
    switch (code) {
    case 1: return kTee;
    case 2: return kFairway;
    case 3: return kWater;
    case 4: return kGreen;
    case 6: return kSand;
    case 7:
    case 9:
    case 11: return kRough;
    default: return kSecondRough;  // 5, 8, 10: woods, dunes, heather
    }
}

int32_t kindOfPixel(uint32_t pixel)
{
    const uint32_t lit = ((pixel >> 16) & 0xFF ? 4u : 0u) | ((pixel >> 8) & 0xFF ? 2u : 0u) | (pixel & 0xFF ? 1u : 0u);
    for (int32_t k = 0; k < kKinds; ++k) {
        const uint32_t c = kKindColour[k];
        if (lit == (((c >> 16) & 0xFF ? 4u : 0u) | ((c >> 8) & 0xFF ? 2u : 0u) | (c & 0xFF ? 1u : 0u))) {
            return k;
        }
    }
    return -1;  // sky
}

struct HoleMeasure {
    std::string name;
    int32_t par = 0;
    int32_t pixels[kKinds] = {};
    double fairwayStart = 1e9;  // yards from the tee along the line to the aim point
    double corridorRange = 0;   // yards
};

// Every hole measured once: its tee view rendered as the game places the
// camera with one solid colour per kind of ground, its line of play walked
// from the tee and its corridor sampled.
class HoleCharacterTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        setDataFolder(test::binFolder());
        s_holes = new std::vector<HoleMeasure>;
        for (int32_t course = 0; course < kCourses; ++course) {
            for (int32_t hole = 0; hole < kHolesPerCourse; ++hole) {
                s_holes->push_back(measure(course, hole));
            }
        }
    }
    static void TearDownTestSuite()
    {
        delete s_holes;
        s_holes = nullptr;
    }

    static HoleMeasure measure(int32_t course, int32_t hole)
    {
        HoleMeasure m;
        m.name = "course " + std::to_string(course) + " hole " + std::to_string(hole + 1);
        m.par = holePar(hole);
        preview::Scene scene;
        if (!scene.load(holeFileName(course, hole), course, kViewWidth, kViewHeight)) {
            ADD_FAILURE() << m.name << ": the hole file could not be read";
            return m;
        }
        for (int32_t code = 1; code < 12; ++code) {
            Ref<Vpicture> texture = scene.pictures()->getPicture(code);
            if (texture) {
                std::fill(texture->m_pixels.begin(), texture->m_pixels.end(),
                    static_cast<int32_t>(0xFF000000u | kKindColour[kindOfCode(code)]));
            }
        }
        scene.standAtTee(hole);
        Vterrain& view = *scene.view();
        view.setSky(0xFF000000u, 0xFF000000u);
        view.update(0, 0, kOne);
        std::vector<uint32_t> frame(static_cast<size_t>(kViewWidth) * kViewHeight, 0);
        view.renderTerrain(frame.data(), kViewWidth, kViewHeight, 0, 0, kViewWidth, kViewHeight);
        for (uint32_t pixel : frame) {
            const int32_t kind = kindOfPixel(pixel);
            m.pixels[kind < 0 ? 0 : kind] += kind >= 0;
        }
        test::saveFrame("tee_kinds_c" + std::to_string(course) + "_" + std::to_string(hole + 1), frame.data(),
            kViewWidth, kViewHeight, kViewWidth);

        VpolyTerrain& t = *scene.terrain();
        const HoleRow& row = holeRow(course, hole);
        const double dx = row.aimX - row.teeX, dz = row.aimZ - row.teeZ, length = std::hypot(dx, dz);
        for (double s = 0; s <= length; s += 0.5) {
            if (t.surfaceAt(yards(row.teeX + dx * s / length), yards(row.teeZ + dz * s / length))
                == kSurfaceGreenEdge) {
                m.fairwayStart = s;
                break;
            }
        }
        // The corridor: tee to aim point to pin, 20 yards either side, dry ground only.
        const double path[3][2] = { { 1.0 * row.teeX, 1.0 * row.teeZ }, { 1.0 * row.aimX, 1.0 * row.aimZ },
            { 1.0 * row.pinX, 1.0 * row.pinZ } };
        Fixed lowest = INT32_MAX, highest = INT32_MIN;
        for (int32_t leg = 0; leg < 2; ++leg) {
            const double ex = path[leg + 1][0] - path[leg][0], ez = path[leg + 1][1] - path[leg][1];
            const double legLength = std::hypot(ex, ez);
            if (legLength == 0) {
                continue;  // the aim point is the pin: a straight hole has one leg
            }
            for (double s = 0; s <= legLength; s += 2) {
                for (double side = -20; side <= 20; side += 2) {
                    const double x = path[leg][0] + (ex * s - ez * side) / legLength;
                    const double z = path[leg][1] + (ez * s + ex * side) / legLength;
                    if (t.surfaceAt(yards(x), yards(z)) != kSurfaceWater) {
                        const Fixed y = t.heightAt(yards(x), yards(z));
                        lowest = std::min(lowest, y);
                        highest = std::max(highest, y);
                    }
                }
            }
        }
        m.corridorRange = static_cast<double>(highest - lowest) / kYard;
        return m;
    }

    static std::vector<HoleMeasure>* s_holes;
};

std::vector<HoleMeasure>* HoleCharacterTest::s_holes = nullptr;

TEST_F(HoleCharacterTest, TeeViewsShowVariedGroundWithTheFairwayInIt)
{
    for (const HoleMeasure& m : *s_holes) {
        // A kind counts when it covers at least a two-hundredth of the view.
        int32_t kinds = 0;
        std::string seen;
        for (int32_t k = 0; k < kKinds; ++k) {
            if (m.pixels[k] * 200 >= kViewWidth * kViewHeight) {
                ++kinds;
                seen += std::string(seen.empty() ? "" : ", ") + kKindName[k];
            }
        }
        EXPECT_GE(kinds, 4) << m.name << ": the tee view shows only " << seen;
        if (m.par >= 4) {
            int32_t ground = 0;
            for (int32_t k = 0; k < kKinds; ++k) {
                ground += k == kTee ? 0 : m.pixels[k];
            }
            EXPECT_GE(m.pixels[kFairway] * 5, ground)
                << m.name << ": fairway covers " << m.pixels[kFairway] << " of " << ground << " ground pixels";
        }
    }
}

TEST_F(HoleCharacterTest, FairwaysBeginWithinACarryAndTheLandRollsAlongTheHole)
{
    std::vector<double> starts, ranges;
    for (const HoleMeasure& m : *s_holes) {
        if (m.par >= 4) {
            EXPECT_LE(m.fairwayStart, 70) << m.name << ": the fairway begins " << m.fairwayStart << " yards out";
            starts.push_back(m.fairwayStart);
        }
        EXPECT_GE(m.corridorRange, 3) << m.name << ": the corridor rises and falls only " << m.corridorRange
                                      << " yards";
        ranges.push_back(m.corridorRange);
    }
    std::printf("median fairway start on par 4 and 5: %.1f yards; median corridor height range: %.2f yards\n",
        median(starts), median(ranges));
}

}  // namespace
}  // namespace tarnby
