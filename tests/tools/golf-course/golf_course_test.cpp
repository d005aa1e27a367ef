// golf-course: contact sheets with cells laid out six to a row under their
// labels, one sheet of tee views and one of maps for every course; and on a
// painted map or a data folder that is damaged (each file missing, empty, cut
// short or full of garbage) or a map of the wrong size, it makes nothing of
// them, fails and says in one line what is wrong.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "golf-course/contact_sheet.h"
#include "platform/headless/png_writer.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

namespace fs = std::filesystem;

using course::SheetImage;
using test::Damage;

TEST(ContactSheetTest, LaysCellsOutSixToARowAndWritesTwoSheetsPerCourse)
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

TEST(GolfCourseDamagedTest, ADamagedMapOrDataFolderFailsInOneLine)
{
    test::ScratchFolder folder("golf_course_damaged");
    // A map of three colours with noisy pixels, so its PNG is long enough to cut.
    std::vector<uint8_t> rgba(512 * 512 * 4, 255);
    uint32_t x = 5;
    for (size_t i = 0; i < rgba.size(); i += 4) {
        x = x * 1103515245u + 12345u;
        rgba[i] = static_cast<uint8_t>(x >> 24);
        rgba[i + 1] = static_cast<uint8_t>(i / 2048 < 256 ? 32 : 200);
    }
    const std::string map = folder.file("map.png");
    const std::string bin = test::binFolder();
    const std::string data = folder.file("data/");
    const std::string sheet = "sheet --data '" + data + "' --out '" + folder.file("sheets") + "'";
    struct Case {
        std::string damaged;  // the file damaged
        Damage how;
        std::string arguments;
        std::string named;  // what the one line names: the file, or the bundle's prefix
    };
    std::vector<Case> cases;
    for (Damage how : test::kDamages) {
        cases.push_back({ map, how, "compile '" + map + "' '" + folder.file("out") + "'", map });
        cases.push_back({ data + "c0_holes_1-3", how, sheet, data + "c0_holes_1-3" });
        cases.push_back({ data + "golf0.bin", how, sheet, data + "golf" });
    }
    for (const Case& c : cases) {
        ASSERT_TRUE(writeRgbaPng(map, rgba.data(), 512, 512));
        fs::remove_all(data);
        fs::create_directories(data);
        for (const char* name : { "c0_holes_1-3", "golf0.bin", "golf1.bin", "golf2.bin", "golf3.bin" }) {
            fs::copy_file(bin + name, data + name);
        }
        ASSERT_TRUE(test::damageFile(c.damaged, c.how)) << c.damaged;
        const test::ProgramRun run = test::runProgram("golf-course", c.arguments);
        const std::string what = c.damaged + " " + test::damageName(c.how);
        EXPECT_EQ(run.status, 1) << what << ": " << run.output;
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << what << ": " << run.output;
        EXPECT_NE(run.output.find(c.named), std::string::npos) << what << ": " << run.output;
        if (c.damaged == map) {
            EXPECT_EQ(run.output.rfind("golf-course: cannot read the map " + map + ": ", 0), 0u) << run.output;
        }
        EXPECT_FALSE(fs::exists(folder.file("out"))) << what;
        EXPECT_FALSE(fs::exists(folder.file("sheets/c0_tees.png"))) << what;
    }
    // A sound picture of the wrong size: read, but not compiled.
    ASSERT_TRUE(writeRgbaPng(map, rgba.data(), 10, 10));
    const test::ProgramRun small = test::runProgram("golf-course",
        "compile '" + map + "' '" + folder.file("out") + "'");
    EXPECT_EQ(small.status, 1);
    EXPECT_EQ(small.output,
        "golf-course: " + map + ": the map must be 512 x 512 pixels (one pixel a yard), not 10 x 10\n");
}

}  // namespace
}  // namespace tarnby
