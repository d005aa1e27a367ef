// The course authors' tool: contact sheets with cells laid out six to a row
// under their labels, one sheet of tee views and one of maps for every course.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "golf-course/contact_sheet.h"
#include "platform/headless/png_writer.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

using course::SheetImage;

TEST(ContactSheetTest, LaysCellsOutSixToARowUnderTheirLabels)
{
    std::vector<SheetImage> cells;
    std::vector<std::string> labels;
    for (uint32_t k = 0; k < 7; ++k) {
        cells.push_back({ 10, 8, std::vector<uint32_t>(80, 0x010203u * (k + 1)) });
        labels.push_back(k == 6 ? "" : "HOLE " + std::to_string(k + 1));
    }
    const SheetImage sheet = course::assembleSheet(cells, labels);
    ASSERT_EQ(sheet.width, 4 + 6 * (10 + 4));
    ASSERT_EQ(sheet.height, 4 + 2 * (22 + 8 + 4));
    auto at = [&](int32_t x, int32_t y) { return sheet.pixels[static_cast<size_t>(y) * sheet.width + x]; };
    // Cell k's picture sits under its 22-row label strip, column k % 6, row k / 6.
    for (int32_t k = 0; k < 7; ++k) {
        const int32_t left = 4 + (k % 6) * 14, top = 4 + (k / 6) * 34 + 22;
        EXPECT_EQ(at(left, top), 0x010203u * (k + 1)) << "cell " << k;
        EXPECT_EQ(at(left + 9, top + 7), 0x010203u * (k + 1)) << "cell " << k;
        EXPECT_NE(at(left + 10, top), 0x010203u * (k + 1)) << "cell " << k << " spills over its right edge";
    }
    // Labelled cells have ink in their strip; the unlabelled one has none.
    auto inked = [&](int32_t k) {
        int32_t ink = 0;
        const int32_t left = 4 + (k % 6) * 14, top = 4 + (k / 6) * 34;
        for (int32_t y = top; y < top + 22; ++y) {
            for (int32_t x = left; x < left + 14 && x < sheet.width; ++x) {
                ink += at(x, y) == 0xF0F0F0u;
            }
        }
        return ink;
    };
    EXPECT_GT(inked(0), 20);
    EXPECT_EQ(inked(6), 0);
    EXPECT_EQ(course::assembleSheet({}, {}).pixels.size(), 0u);
}

TEST(ContactSheetTest, WritesATeeSheetAndAMapSheetPerCourse)
{
    test::ScratchFolder scratch("contact_sheet");
    std::string error;
    ASSERT_TRUE(course::writeCourseSheets(test::binFolder(), scratch.path() + "sheets", error)) << error;
    for (const char* name : { "c0_tees", "c0_maps", "c1_tees", "c1_maps", "c2_tees", "c2_maps" }) {
        std::vector<uint8_t> rgba;
        int32_t width = 0, height = 0;
        ASSERT_TRUE(readRgbaPng(scratch.path() + "sheets/" + name + ".png", rgba, width, height)) << name;
        const bool tees = std::string(name).find("tees") != std::string::npos;
        const int32_t cellWidth = tees ? course::kSheetViewWidth : course::kSheetViewHeight;
        const int32_t cellHeight = course::kSheetViewHeight;
        EXPECT_EQ(width, 4 + 6 * (cellWidth + 4)) << name;
        EXPECT_EQ(height, 4 + 3 * (22 + cellHeight + 4)) << name;
    }
}

}  // namespace
}  // namespace tarnby
