// Course descriptions painted and compiled: the layout promises hold, the
// painter's own checks catch a broken layout, specks never reach the traced
// map, and a painted map, traced and simplified, comes back from the game's
// shape reader exactly as painted.
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "golf-assets/course_compiler.h"
#include "golf-assets/course_painter.h"
#include "golf-assets/course_plan.h"
#include "golf-assets/hole_colours.h"
#include "golf-assets/label_grid.h"
#include "golf/hole_setup.h"
#include "runtime/files.h"
#include "runtime/string.h"
#include "support/test_support.h"
#include "vector/vpolyn.h"

namespace tarnby {
namespace {

using course::Ground;

// A painted course map with the kinds of shapes authors paint: a large slope of
// rough in bands (colourCount colours in all), a winding fairway, a round green
// on it, a bunker that touches the green, a pond, single pixels and a diagonal
// line one pixel wide.
std::vector<uint8_t> paintTestMap(int32_t colourCount)
{
    std::vector<uint8_t> rgba(512 * 512 * 4, 255);
    for (int32_t y = 0; y < 512; ++y) {
        for (int32_t x = 0; x < 512; ++x) {
            const int32_t band = std::min(colourCount - 7, (x + y) * (colourCount - 6) / 1023);
            uint32_t c = course::groundColour(Ground::Rough, 20 + band);
            if (std::fabs(x - 200 - 60 * std::sin(y / 50.0)) < 18) {
                c = course::groundColour(Ground::Fairway, 30);
            }
            if (std::hypot(x - 250.0, y - 100.0) < 12) {
                c = course::groundColour(Ground::Green, 31);
            }
            if (std::hypot(x - 266.0, y - 112.0) < 7) {
                c = course::groundColour(Ground::Sand, 27);
            }
            if (std::hypot((x - 380.0) / 40, (y - 330.0) / 22) < 1) {
                c = course::groundColour(Ground::Water, 12);
            }
            if (x == y + 40 && x > 100 && x < 160) {
                c = course::groundColour(Ground::Tee, 33);
            }
            if ((x == 7 && y == 9) || (x == 511 && y == 0) || (x == 0 && y == 511)) {
                c = course::groundColour(Ground::Heath, 40);
            }
            for (int32_t k = 0; k < 3; ++k) {
                rgba[(static_cast<size_t>(y) * 512 + x) * 4 + k] = static_cast<uint8_t>(c >> (16 - 8 * k));
            }
        }
    }
    return rgba;
}

TEST(CourseCompilerTest, PaintedMapComesBackAsPaintedDescriptionsNameTheirMistakes)
{
    test::ScratchFolder folder("course_compiler");
    const std::vector<uint8_t> map = paintTestMap(47);
    std::string error;
    ASSERT_TRUE(course::compileCourseMap(map, 512, 512, folder.file("painted"), error)) << error;
    auto drawing = make<Vpolyn>();
    ASSERT_EQ(readHoleDrawing(drawing, String::intern("painted")), HoleRead::Whole);
    EXPECT_LE(drawing->fillsUsed(), kHoleFillCount);
    int32_t wrong = 0;
    std::string first;
    for (int32_t y = 0; y < 512; ++y) {
        for (int32_t x = 0; x < 512; ++x) {
            const uint8_t* p = &map[(static_cast<size_t>(y) * 512 + x) * 4];
            const uint32_t painted = (static_cast<uint32_t>(p[0]) << 16) | (p[1] << 8) | p[2];
            if (painted != (drawing->colourAt(x * 0x8000 + 0x4000, y * 0x8000 + 0x4000) & 0xFFFFFF) && !wrong++) {
                first = std::to_string(x) + "," + std::to_string(y);
            }
        }
    }
    EXPECT_EQ(wrong, 0) << "pixels read back differently, the first at " << first;

    // Maps the game cannot read: the wrong size, more than 47 colours, one pixel short.
    EXPECT_FALSE(course::compileCourseMap(std::vector<uint8_t>(256 * 512 * 4), 256, 512, folder.file("small"), error));
    EXPECT_NE(error.find("512 x 512"), std::string::npos) << error;
    EXPECT_FALSE(course::compileCourseMap(paintTestMap(48), 512, 512, folder.file("many"), error));
    EXPECT_NE(error.find("47"), std::string::npos) << error;
    EXPECT_FALSE(
        course::compileCourseMap(std::vector<uint8_t>(512 * 512 * 4 - 4), 512, 512, folder.file("short"), error));

    course::CoursePlan plan;
    EXPECT_FALSE(course::parseCoursePlan("course 0\nhole 1 par 4 tee 1,2 pin 3,4\n", plan, error));
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    EXPECT_FALSE(course::parseCoursePlan("file holes_1-3 seed 1\nstream 4 10,10\n", plan, error));
    EXPECT_NE(error.find("two points"), std::string::npos) << error;
    course::CoursePlan good;
    ASSERT_TRUE(course::parseCoursePlan(
        "course 1\nstyle links\nfile holes_1-3 seed 3\nhole 2 par 3 tee 10,20 pin 30,40\nbunker green -30 5\n", good,
        error))
        << error;
    ASSERT_TRUE(good.files.size() == 1 && good.files[0].holes.size() == 1);
    EXPECT_EQ(good.files[0].holes[0].aim.x, 30) << "a hole without an aim point aims at the pin";
    EXPECT_EQ(good.files[0].holes[0].bunkers.size(), 1u);

    for (int32_t g = 0; g < course::kGroundKinds; ++g) {
        for (int32_t level : { 1, 37, 255 }) {
            const uint32_t colour = course::groundColour(static_cast<Ground>(g), level);
            EXPECT_EQ(course::groundOf(colour), static_cast<Ground>(g)) << course::groundName(static_cast<Ground>(g));
            EXPECT_EQ(course::levelOf(colour), level) << course::groundName(static_cast<Ground>(g));
        }
    }
    EXPECT_EQ(course::surfaceCode(0x000000, 2), 11);
    EXPECT_EQ(course::surfaceCode(0x010203, 0), 9) << "three non-zero bytes read as rough";
    EXPECT_EQ(course::surfaceCode(0x800040, 1), 5);
}

const char* const kOneFile = "course 0\nstyle parkland\nbase 30\nrelief 12 100\nwater 20\nshore 10 10 10 10\n"
                             "heath 0.3\nfile holes_1-3 seed 5\n"
                             "hole 1 par 4 tee 100,450 pin 110,90 aim 110,90 fairway 34 green 8\n"
                             "hole 2 par 3 tee 250,100 pin 260,260 aim 260,260 fairway 34 green 8\n"
                             "hole 3 par 5 tee 400,460 pin 420,60 aim 380,250 fairway 34 green 8\n";

course::CoursePlan parse(const std::string& text)
{
    course::CoursePlan plan;
    std::string error;
    EXPECT_TRUE(course::parseCoursePlan(text, plan, error)) << error;
    return plan;
}

Ground groundAt(const course::HoleDrawing& drawing, double x, double z)
{
    const int32_t label = drawing.grid.at(static_cast<int32_t>(x * course::kCellsPerYard),
        static_cast<int32_t>(z * course::kCellsPerYard));
    return course::groundOf(drawing.colours[label]);
}

TEST(CoursePainterTest, PaintsEveryHoleAsAskedRepeatablyAndItsChecksCatchMistakes)
{
    const course::CoursePlan plan = parse(kOneFile);
    const course::HoleDrawing drawing = course::paintHoleFile(plan, 0);
    EXPECT_TRUE(drawing.problems.empty()) << drawing.problems.front();
    EXPECT_LE(drawing.colours.size(), 47u);
    EXPECT_EQ(groundAt(drawing, 100, 450), Ground::Tee);
    EXPECT_EQ(groundAt(drawing, 110, 90), Ground::Green);
    EXPECT_EQ(groundAt(drawing, 380, 250), Ground::Fairway) << "the dogleg's aim point lies on the fairway";
    // The par 4's fairway begins short of the landing zone, not at the tee.
    EXPECT_NE(groundAt(drawing, 101, 420), Ground::Fairway);
    EXPECT_EQ(groundAt(drawing, 104, 230), Ground::Fairway);
    EXPECT_EQ(groundAt(drawing, 2, 256), Ground::Water) << "the lake round the map";
    const course::HoleDrawing again = course::paintHoleFile(plan, 0);
    EXPECT_TRUE(again.colours == drawing.colours && again.grid.cells() == drawing.grid.cells())
        << "the same description must give the same drawing";

    // A pond straddling the first hole's line 60 yards out, and a green far
    // too small to hold the pin with five yards all round.
    const course::CoursePlan withPond = parse(std::string(kOneFile) + "pond 102,390 12 8 0\n");
    const course::HoleDrawing wet = course::paintHoleFile(withPond, 0);
    bool water = false;
    for (const auto& problem : wet.problems) {
        water = water || problem.find("hole 1: water") != std::string::npos;
    }
    EXPECT_TRUE(water) << "the pond on the tee line went unnoticed";
    // The checks applied to a drawing without any green report every pin.
    course::HoleDrawing bare;
    bare.grid = course::LabelGrid(course::kGridCells, course::kGridCells, 0);
    bare.colours = { course::groundColour(Ground::Rough, 30) };
    const auto problems = course::checkHoles(bare, plan.files[0], 5.0);
    int32_t pins = 0;
    for (const auto& problem : problems) {
        pins += problem.find("green round the pin") != std::string::npos;
    }
    EXPECT_EQ(pins, 3);
}

TEST(CoursePainterTest, SpecksMergeIntoTheirSurroundingsButGreensStay)
{
    course::LabelGrid grid(20, 20, 0);
    grid.set(5, 5, 1);  // a one-cell speck
    for (int32_t y = 10; y < 12; ++y) {
        for (int32_t x = 10; x < 12; ++x) {
            grid.set(x, y, 2);  // a small protected patch
        }
    }
    for (int32_t y = 0; y < 20; ++y) {
        grid.set(19, y, 3);                  // a thin but long strip is large enough
        grid.set(2 + y / 10, 2 + y % 4, 4);  // a patch of 2 x 4 cells: exactly the smallest kept
    }
    std::vector<bool> keep = { false, false, true, false, false };
    EXPECT_EQ(grid.removeSpecks(8, keep), 1);
    EXPECT_EQ(grid.at(5, 5), 0);
    EXPECT_EQ(grid.at(10, 10), 2);
    EXPECT_EQ(grid.at(19, 7), 3);
    EXPECT_EQ(grid.at(3, 5), 4);
}

}  // namespace
}  // namespace tarnby
