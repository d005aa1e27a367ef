// golf-inspect hole on a three-hole file made by the shape writer.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

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
    InspectRun run;
    std::string command = test::binFolder() + "golf-inspect hole " + arguments + " 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        return run;
    }
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) {
        std::string line(buffer);
        if (!line.empty() && line.back() == '\n') {
            line.pop_back();
        }
        run.lines.push_back(line);
    }
    int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(InspectHoleTest, ListsFillsSurfacesAndHeights)
{
    test::ScratchFolder folder("inspect_hole");
    // Three holes in one file: rough everywhere, a fairway strip per hole with
    // a green at its end, a pond beside the middle hole.
    ShapeWriter writer(512, 512);
    int32_t rough = writer.fill(0xFF202020);    // all three bytes set: rough, level 0x20
    int32_t fairway = writer.fill(0xFF003000);  // green byte only: code 2, level 0x30
    int32_t green = writer.fill(0xFF002838);    // cyan: the green, level 0x38
    int32_t water = writer.fill(0xFF000010);    // blue: water, level 0x10
    writer.addRectangle(0, 0, 512, 512, rough);
    for (int32_t h = 0; h < 3; ++h) {
        double x = 60 + 170 * h;
        writer.addRectangle(x, 80, x + 60, 460, fairway, rough);
        writer.moveTo(x + 30, 100, green, fairway);  // a round green, counter-clockwise
        writer.curveTo(x + 10, 100, x + 10, 120);
        writer.curveTo(x + 10, 140, x + 30, 140);
        writer.curveTo(x + 50, 140, x + 50, 120);
        writer.curveTo(x + 50, 100, x + 30, 100);
    }
    writer.addRectangle(300, 300, 340, 380, water, rough);
    std::string hole = folder.file("c1_holes_1-3");
    ASSERT_TRUE(writer.save(hole));

    std::string map = folder.file("map.png");
    std::string heights = folder.file("heights.png");
    InspectRun run = inspect(hole + " --course 1 --at 20,20 --at 260,200 --at 260.5,120 --at 320,340 --at 600,10"
                      + " --map " + map + " --heights " + heights);
    ASSERT_EQ(run.status, 0);
    ASSERT_GE(run.lines.size(), 10u);
    std::istringstream head(run.lines[0]);
    std::string word;
    int32_t fills = 0, crossings = 0;
    head >> word >> fills >> word >> crossings;
    EXPECT_EQ(fills, 5) << run.lines[0];
    EXPECT_GT(crossings, 3 * 2 * 380) << "two sides of three fairways in every row, and more";
    const char* expected[] = {
        "fill 0 colour 0x00000000 surface 7 level 0 friction 16384",  // the background: black
        "fill 1 colour 0x00202020 surface 7 level 32 friction 16384",
        "fill 2 colour 0x00003000 surface 2 level 48 friction 9830",
        "fill 3 colour 0x00002838 surface 4 level 56 friction 9830",
        "fill 4 colour 0x00000010 surface 3 level 16 friction 32768",
    };
    for (int32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(run.lines[static_cast<size_t>(1 + i)], expected[i]);
    }
    (void)rough, (void)fairway, (void)green, (void)water;
    // Heights in the middle of flat ground are the level in 1/8 yards: L << 12.
    EXPECT_EQ(run.lines[6], "at 20,20 fill 1 surface 7 height " + std::to_string(32 << 12));
    EXPECT_EQ(run.lines[7], "at 260,200 fill 2 surface 2 height " + std::to_string(48 << 12));
    EXPECT_EQ(run.lines[8], "at 260.5,120 fill 3 surface 4 height " + std::to_string(56 << 12));
    EXPECT_EQ(run.lines[9], "at 320,340 fill 4 surface 3 height " + std::to_string(16 << 12));
    ASSERT_EQ(run.lines.size(), 11u);
    EXPECT_EQ(run.lines[10].rfind("at 600,10 fill 0 surface 7 height ", 0), 0u) << run.lines[10];

    std::vector<uint8_t> rgba;
    int32_t width = 0, height = 0;
    ASSERT_TRUE(readRgbaPng(map, rgba, width, height));
    EXPECT_EQ(width, 512);
    EXPECT_EQ(height, 512);
    ASSERT_TRUE(readRgbaPng(heights, rgba, width, height));
    EXPECT_EQ(width, 256);
    EXPECT_EQ(rgba[static_cast<size_t>(4 * (10 * 256 + 10))], 32) << "the grey level is the height level";

    // Unreadable and corrupt files: status 1, one line.
    run = inspect(folder.file("no-such-hole"));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.lines.size(), 1u);
    std::FILE* bad = std::fopen(folder.file("bad").c_str(), "wb");
    std::fputs("GIF89a not a hole", bad);
    std::fclose(bad);
    run = inspect(folder.file("bad"));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.lines.size(), 1u);
    run = inspect(hole + " --at 12");
    EXPECT_EQ(run.status, 1);
}

}  // namespace
}  // namespace tarnby
