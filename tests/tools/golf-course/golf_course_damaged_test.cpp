// golf-course on damaged input: a painted map, and the hole files and picture
// bundle of a data folder, each missing, empty, cut short or full of garbage,
// and a map of the wrong size. It makes nothing of them, fails and says in one
// line what is wrong.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/headless/png_writer.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

namespace fs = std::filesystem;

using test::Damage;

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
