// golf-inspect bundle: the listing scripts read, the PNG of one picture, and
// the failures.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "bundle-writer/bundle_writer.h"
#include "platform/headless/png_writer.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

// Runs golf-inspect bundle; gives its exit status and fills `output`.
int inspect(const std::string& args, std::string& output)
{
    const test::ProgramRun run = test::runProgram("golf-inspect", "bundle " + args);
    output = run.output;
    return run.status;
}

TEST(InspectBundleTest, ListsWritesPngsAndFailsCleanly)
{
    test::ScratchFolder folder("inspect_bundle");
    bundle::BundleWriter writer;
    // 3x2 'r' picture: opaque red, alpha code 3 green, transparent; a blue row.
    const std::vector<uint8_t> run = { 248, 0, 0, 255, 0, 248, 0, 109, 9, 9, 9, 0, 0, 0, 248, 255, 0, 0, 248, 255, 0, 0,
        248, 255 };
    ASSERT_EQ(writer.addRun(run.data(), 3, 2, 1, -2), 0);
    ASSERT_EQ(writer.addJpeg(std::vector<uint8_t>(16 * 8 * 3, 128).data(), 3, 16, 8, 8, 7, 75), 1) << writer.error();
    ASSERT_TRUE(writer.writeSegments(folder.path(), "art", 64));
    const std::string prefix = folder.path() + "art", png = folder.file("zero.png");
    std::string out;
    EXPECT_EQ(inspect(prefix, out), 0) << out;
    EXPECT_NE(out.find("0 r 3x2 anchor 1,-2 bytes "), std::string::npos) << out;
    EXPECT_NE(out.find("pictures 2\n"), std::string::npos) << out;

    ASSERT_EQ(inspect(prefix + " --png 0 " + png, out), 0) << out;
    std::vector<uint8_t> rgba;
    int32_t w = 0, h = 0;
    ASSERT_TRUE(readRgbaPng(png, rgba, w, h));
    ASSERT_TRUE(w == 3 && h == 2) << w << "x" << h;
    EXPECT_EQ((std::vector<uint8_t>(rgba.begin(), rgba.begin() + 12)),
        (std::vector<uint8_t> { 248, 0, 0, 255, 0, 248, 0, 109, 0, 0, 0, 0 }))
        << "alpha = code * 255 / 7, transparent pixels all zero";

    // An index one past the last picture.
    EXPECT_EQ(inspect(prefix + " --png 2 " + png, out), 1);
    EXPECT_EQ(out, "golf-inspect: picture index 2 out of range (bundle has 2 pictures)\n");
}

TEST(InspectBundleTest, DamagedPicturesFailAndTheSheetIsCapped)
{
    test::ScratchFolder folder("inspect_bundle_damage");
    // A JPEG whose entropy data is overwritten: --png names the picture and
    // the bundle and fails instead of writing a blank picture.
    bundle::BundleWriter writer;
    ASSERT_EQ(writer.addJpeg(std::vector<uint8_t>(16 * 8 * 3, 90).data(), 3, 16, 8, 0, 0, 75), 0) << writer.error();
    std::vector<uint8_t> bytes = writer.bytes();
    std::fill(bytes.end() - 10, bytes.end(), 0xFF);
    test::writeBytes(folder.file("bad0.bin"), bytes);
    std::string out;
    EXPECT_EQ(inspect(folder.path() + "bad --png 0 " + folder.file("bad.png"), out), 1) << out;
    EXPECT_EQ(out.rfind("Picture 0 of bundle " + folder.path() + "bad: damaged JPEG: ", 0), 0u) << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
    EXPECT_FALSE(std::ifstream(folder.file("bad.png"))) << "no blank picture written";
    EXPECT_EQ(inspect(folder.path() + "bad --sheet " + folder.file("bad.png"), out), 1) << out;
    EXPECT_NE(out.find("golf-inspect: 1 damaged pictures of bundle " + folder.path() + "bad are blank on the sheet "),
        std::string::npos)
        << out;

    // Pictures whose sizes add up to far more than a sheet may hold (each
    // 2000 x 2000 'r' picture of one transparent run): the sheet shows those
    // that fit and says so, and the rest are never decoded.
    bundle::BundleWriter big;
    for (int32_t i = 0; i < 40; ++i) {
        big.addRecord('r', 2000, 2000, 0, 0, { 0x7C, 0x00 });
    }
    test::writeBytes(folder.file("big0.bin"), big.bytes());
    EXPECT_EQ(inspect(folder.path() + "big --sheet " + folder.file("big.png"), out), 1) << out;
    EXPECT_EQ(out, "golf-inspect: sheet " + folder.file("big.png") + " shows the first 4 of 40 pictures of bundle "
                       + folder.path() + "big: a sheet is at most 16777216 pixels\n");
    std::vector<uint8_t> rgba;
    int32_t w = 0, h = 0;
    ASSERT_TRUE(readRgbaPng(folder.file("big.png"), rgba, w, h));
    EXPECT_LE(static_cast<int64_t>(w) * h, 16 << 20);
}

}  // namespace
}  // namespace tarnby
