// golf-inspect bundle: the listing scripts read, the PNG of one picture, the
// contact sheet, and the failures.
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "bundle-writer/bundle_writer.h"
#include "platform/headless/png_writer.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

struct Result {
    int status;
    std::string output;
};

Result inspect(const std::string& args)
{
    std::string command = test::binFolder() + "golf-inspect bundle " + args + " 2>&1";
    Result result { -1, {} };
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        return result;
    }
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) {
        result.output += buffer;
    }
    int raw = pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

TEST(InspectBundleTest, ListsWritesPngsAndFailsCleanly)
{
    test::ScratchFolder folder("inspect_bundle");
    bundle::BundleWriter writer;
    // 3x2 'r' picture: opaque red, alpha code 3 green, transparent; blue row.
    std::vector<uint8_t> run
        = { 248, 0, 0, 255, 0, 248, 0, 109, 9, 9, 9, 0, 0, 0, 248, 255, 0, 0, 248, 255, 0, 0, 248, 255 };
    std::vector<uint8_t> rgb(16 * 8 * 3, 128);
    ASSERT_EQ(writer.addRun(run.data(), 3, 2, 1, -2), 0);
    ASSERT_EQ(writer.addJpeg(rgb.data(), 3, 16, 8, 8, 7, 75), 1) << writer.error();
    ASSERT_EQ(writer.addRecord('x', 2, 2, 0, 0, { 1, 2, 3 }), 2);
    ASSERT_TRUE(writer.writeSegments(folder.path(), "art", 64));
    const std::string prefix = folder.path() + "art";

    Result list = inspect(prefix);
    EXPECT_EQ(list.status, 0) << list.output;
    std::vector<uint8_t> whole = writer.bytes();
    EXPECT_NE(list.output.find("0 r 3x2 anchor 1,-2 bytes "), std::string::npos) << list.output;
    EXPECT_NE(list.output.find("pictures 3\n"), std::string::npos) << list.output;

    const std::string png = folder.file("zero.png");
    Result one = inspect(prefix + " --png 0 " + png);
    ASSERT_EQ(one.status, 0) << one.output;
    std::vector<uint8_t> rgba;
    int32_t w = 0, h = 0;
    ASSERT_TRUE(readRgbaPng(png, rgba, w, h));
    ASSERT_EQ(w, 3);
    ASSERT_EQ(h, 2);
    EXPECT_EQ((std::vector<uint8_t>(rgba.begin(), rgba.begin() + 12)),
        (std::vector<uint8_t> { 248, 0, 0, 255, 0, 248, 0, 109, 0, 0, 0, 0 }))
        << "alpha = code * 255 / 7, transparent pixels all zero";

    Result range = inspect(prefix + " --png 3 " + png);
    EXPECT_EQ(range.status, 1);
    EXPECT_EQ(std::count(range.output.begin(), range.output.end(), '\n'), 1) << range.output;
    // A truncated bundle is unreadable: one line, failure status.
    std::FILE* f = std::fopen(folder.file("cut0.bin").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(whole.data(), 1, whole.size() / 2, f);
    std::fclose(f);
    Result cut = inspect(folder.path() + "cut");
    EXPECT_EQ(cut.status, 1);
    EXPECT_EQ(std::count(cut.output.begin(), cut.output.end(), '\n'), 1) << cut.output;
}

} // namespace
} // namespace tarnby
