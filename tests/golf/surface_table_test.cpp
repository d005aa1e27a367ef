// Fill colours of hole files to surfaces, and a hole set up from them.
#include <gtest/gtest.h>

#include "golf/hole_setup.h"
#include "golf/surface_table.h"
#include "shape-writer/shape_writer.h"

namespace tarnby {
namespace {

TEST(SurfaceTableTest, ColourKindsAndCourses)
{
    struct Row {
        uint32_t colour;
        int32_t course;
        int32_t code;
        Fixed friction;
        int32_t level;
    } rows[] = {
        { 0xFF000000, 0, 9, 0x4000, 0 },      // black: rough, per course
        { 0xFF000000, 2, 11, 0x4000, 0x40 },  // the highland course lifts pure black
        { 0x00000000, 2, 11, 0x4000, 0x40 },  // alpha does not count
        { 0xFF000050, 1, 3, 0x8000, 0x50 },   // blue: water, level from blue
        { 0xFF003000, 2, 2, 0x2666, 0x30 },   // green: round the green, level from green
        { 0xFF001020, 0, 4, 0x2666, 0x20 },   // cyan: the green, level from blue
        { 0xFF700000, 0, 1, 0x4CCC, 0x70 },   // red, level from red
        { 0xFF110022, 0, 8, 0x4000, 0x22 },   // magenta, per course, level from blue
        { 0xFF110022, 2, 10, 0x4000, 0x22 }, { 0xFF443300, 1, 6, 0x5999, 0x44 },  // yellow, level from red
        { 0xFF010203, 0, 9, 0x4000, 3 },     // all three set: as black, level from blue
        { 0xFF010203, 2, 11, 0x4000, 3 },    // ... but not lifted like pure black
        { 0xFF000000, 7, 9, 0x4000, 0 },     // an unknown course reads as course 0
        { 0xFF110022, 3, 8, 0x4000, 0x22 },  // ... also the one just past the last
    };
    for (const Row& row : rows) {
        Surface s = surfaceForColour(row.course, row.colour);
        EXPECT_EQ(s.code, row.code) << std::hex << row.colour << " course " << row.course;
        EXPECT_EQ(s.friction, row.friction) << std::hex << row.colour << " course " << row.course;
        EXPECT_EQ(s.level, row.level) << std::hex << row.colour << " course " << row.course;
    }
}

TEST(SurfaceTableTest, AHoleFileBecomesTerrain)
{
    ShapeWriter writer(kHoleFileSize, kHoleFileSize);
    int32_t rough = writer.fill(0xFF000000);
    int32_t water = writer.fill(0xFF000020);
    int32_t green = writer.fill(0xFF003040);
    int32_t pond = writer.fill(0xFF000010);
    writer.addRectangle(0, 0, kHoleFileSize, kHoleFileSize, rough);
    writer.addRectangle(100, 100, 200, 200, water, rough);
    writer.addRectangle(300, 100, 400, 200, green, rough);
    writer.addRectangle(300, 300, 400, 400, pond, rough);
    std::vector<uint8_t> bytes = writer.bytes();
    ByteArray array(static_cast<int32_t>(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), array.begin());

    Ref<VpolyTerrain> terrain = make<VpolyTerrain>();
    EXPECT_EQ(loadHoleBytes(terrain, array, 2, nullptr), 3) << "the last water fill is drawn beyond the map";
    ASSERT_EQ(terrain->fillsUsed(), 4) << "black without alpha is fill 0";
    auto yards = [](int32_t v) { return toFixed(v); };
    EXPECT_EQ(terrain->surfaceAt(yards(150), yards(150)), kSurfaceWater);
    EXPECT_EQ(terrain->surfaceAt(yards(350), yards(150)), kSurfaceGreen);
    EXPECT_EQ(terrain->surfaceAt(yards(600), yards(20)), 11) << "outside: the background's surface";
    EXPECT_EQ(terrain->friction(terrain->fillAt(yards(150), yards(150))), 0x8000);
    EXPECT_EQ(terrain->heightAt(yards(20), yards(20)), 0x40 << 12) << "lifted rough on course 2";
    EXPECT_EQ(terrain->heightAt(yards(350), yards(150)), 0x40 << 12) << "green level from its blue byte";
    EXPECT_EQ(terrain->heightAt(yards(150), yards(150)), 0x20 << 12);
}

}  // namespace
}  // namespace tarnby
