// Painting courses from descriptions: the layout promises hold, the painter's
// own checks catch a broken layout, and specks never reach the traced map.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "golf-assets/course_painter.h"
#include "golf-assets/course_plan.h"
#include "golf-assets/hole_colours.h"
#include "golf-assets/label_grid.h"

namespace tarnby {
namespace {

using course::Ground;

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

TEST(CoursePainterTest, PaintsEveryHoleAsItsDescriptionAsks)
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
}

TEST(CoursePainterTest, PaintingIsRepeatable)
{
    const course::CoursePlan plan = parse(kOneFile);
    const course::HoleDrawing first = course::paintHoleFile(plan, 0);
    const course::HoleDrawing second = course::paintHoleFile(plan, 0);
    EXPECT_EQ(first.colours, second.colours);
    EXPECT_TRUE(first.grid.cells() == second.grid.cells()) << "the same description must give the same drawing";
}

TEST(CoursePainterTest, ChecksCatchWaterOnTheTeeLineAndAPinOffTheGreen)
{
    // A pond straddling the first hole's line 60 yards out, and a green far
    // too small to hold the pin with five yards all round.
    const course::CoursePlan plan = parse(std::string(kOneFile) + "pond 102,390 12 8 0\n");
    const course::HoleDrawing drawing = course::paintHoleFile(plan, 0);
    bool water = false;
    for (const auto& problem : drawing.problems) {
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
