// golf-inspect hole on a three-hole file made by the shape writer.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "golf/hole_setup.h"
#include "platform/headless/png_writer.h"
#include "shape-writer/shape_writer.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

struct InspectRun {
    int status = -1;
    std::vector<std::string> lines;
};

InspectRun inspect(const std::string& arguments)
{
    const test::ProgramRun run = test::runProgram("golf-inspect", "hole " + arguments);
    InspectRun result { run.status, {} };
    std::istringstream text(run.output);
    for (std::string line; std::getline(text, line);) {
        result.lines.push_back(line);
    }
    return result;
}

TEST(InspectHoleTest, ListsFillsSurfacesAndHeights)
{
    test::ScratchFolder folder("inspect_hole");
    // Rough everywhere, a fairway strip per hole with a green at its end, a pond.
    ShapeWriter writer(kHoleFileSize, kHoleFileSize);
    int32_t rough = writer.fill(0xFF202020);    // all three bytes set: rough, level 0x20
    int32_t fairway = writer.fill(0xFF003000);  // green byte only: code 2, level 0x30
    int32_t green = writer.fill(0xFF002838);    // cyan: the green, level 0x38
    int32_t water = writer.fill(0xFF000010);    // blue: water, level 0x10
    writer.addRectangle(0, 0, kHoleFileSize, kHoleFileSize, rough);
    for (int32_t h = 0; h < 3; ++h) {
        double x = 60 + 170 * h;
        writer.addRectangle(x, 80, x + 60, 460, fairway, rough);
        writer.addRectangle(x + 10, 100, x + 50, 140, green, fairway);
    }
    writer.addRectangle(300, 300, 340, 380, water, rough);
    std::string hole = folder.file("c1_holes_1-3");
    ASSERT_TRUE(writer.save(hole));

    std::string map = folder.file("map.png");
    std::string heights = folder.file("heights.png");
    InspectRun run = inspect(hole + " --course 1 --at 260.5,120 --at 600,10 --map " + map + " --heights " + heights);
    ASSERT_EQ(run.status, 0);
    ASSERT_EQ(run.lines.size(), 8u);
    EXPECT_EQ(run.lines[0].rfind("fills 5 ", 0), 0u) << run.lines[0];
    EXPECT_EQ(run.lines[4], "fill 3 colour 0x00002838 surface 4 level 56 friction 9830");
    // Heights in the middle of flat ground are the level in 1/8 yards: L << 12.
    EXPECT_EQ(run.lines[6], "at 260.5,120 fill 3 surface 4 height " + std::to_string(56 << 12));
    EXPECT_EQ(run.lines[7].rfind("at 600,10 fill 0 surface 7 height ", 0), 0u) << run.lines[7];

    std::vector<uint8_t> rgba;
    int32_t width = 0, height = 0;
    ASSERT_TRUE(readRgbaPng(map, rgba, width, height));
    EXPECT_EQ(width, 512);
    ASSERT_TRUE(readRgbaPng(heights, rgba, width, height));
    EXPECT_EQ(width, 256);
    EXPECT_EQ(rgba[static_cast<size_t>(4 * (10 * 256 + 10))], 32) << "the grey level is the height level";
    for (const char* point : { "12", "70000,0", "0,-65536" }) {
        EXPECT_EQ(inspect(hole + " --at " + point).status, 2) << point << ": not X,Z yards within 65535";
    }
}

}  // namespace
}  // namespace tarnby
