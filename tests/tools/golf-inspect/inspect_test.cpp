// golf-inspect run as a user runs it, on files made by the game's writers:
// hole files, saves, fonts and bundles listed and drawn, and damaged copies
// of each kind of file it reads failing in one line that names the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "bundle-writer/bundle_writer.h"
#include "golf/hole_setup.h"
#include "golf/save_record.h"
#include "platform/headless/png_writer.h"
#include "shape-writer/shape_writer.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

namespace fs = std::filesystem;

using test::Damage;

test::ProgramRun inspect(const std::string& arguments) { return test::runProgram("golf-inspect", arguments); }

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
    const test::ProgramRun run = inspect(
        "hole " + hole + " --course 1 --at 260.5,120 --at 600,10 --map " + map + " --heights " + heights);
    ASSERT_EQ(run.status, 0);
    ASSERT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 8) << run.output;
    EXPECT_EQ(run.output.rfind("fills 5 ", 0), 0u) << run.output;
    // Heights in the middle of flat ground are the level in 1/8 yards: L << 12.
    for (const std::string& line : { std::string("fill 3 colour 0x00002838 surface 4 level 56 friction 9830\n"),
             "at 260.5,120 fill 3 surface 4 height " + std::to_string(56 << 12) + "\n",
             std::string("at 600,10 fill 0 surface 7 height ") }) {
        EXPECT_NE(run.output.find("\n" + line), std::string::npos) << line << " in " << run.output;
    }

    std::vector<uint8_t> rgba;
    int32_t width = 0, height = 0;
    ASSERT_TRUE(readRgbaPng(map, rgba, width, height));
    EXPECT_EQ(width, 512);
    ASSERT_TRUE(readRgbaPng(heights, rgba, width, height));
    EXPECT_EQ(width, 256);
    EXPECT_EQ(rgba[static_cast<size_t>(4 * (10 * 256 + 10))], 32) << "the grey level is the height level";
    for (const char* point : { "12", "70000,0", "0,-65536" }) {
        EXPECT_EQ(inspect("hole " + hole + " --at " + point).status, 2) << point << ": not X,Z yards within 65535";
    }
}

TEST(InspectSaveAndFontTest, PrintsEveryFieldOfASaveRefusesOtherFilesAndListsAndDrawsAFont)
{
    test::ScratchFolder folder("inspect_save");
    ByteArray save(kSaveSize);
    writeSaveShort(save, kSaveHole, 17);  // the 18th hole is next
    writeSaveShort(save, kSaveRoundStrokes, 301);
    writeSaveShort(save, kSaveFlags, kFlagSoundOff | kFlagFemale);
    save[6] = 0x00;
    save[7] = 0x0A;
    save[8] = 0xBC;
    save[9] = 0xFF;
    writeSaveShort(save, kSaveCourse, 7);  // out of range: shown as stored, not as the game mends it
    insertTopScore(save, 75, 1);
    insertTopScore(save, 75, 0);
    insertTopScore(save, 70, 2);
    ASSERT_TRUE(storeSaveFile(folder.file("tarnbygolf"), save));
    test::ProgramRun run = inspect("save '" + folder.file("tarnbygolf") + "'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "next hole 18\n"
                          "round strokes 301\n"
                          "flags 3 sound off player female\n"
                          "reserved 00 0A BC FF\n"
                          "course 7\n"
                          "top 1 70 2\n"
                          "top 2 75 0\n"
                          "top 3 75 1\n"
                          "top 4 - -\n"
                          "top 5 - -\n"
                          "top 6 - -\n"
                          "top 7 - -\n");
    writeSaveShort(save, kSaveFlags, 0);
    ASSERT_TRUE(storeSaveFile(folder.file("tarnbygolf"), save));
    run = inspect("save '" + folder.file("tarnbygolf") + "'");
    EXPECT_NE(run.output.find("\nflags 0 sound on player male\n"), std::string::npos) << run.output;

    // A file of any other size, a missing one and a folder are refused in one line.
    for (size_t size : { size_t(0), size_t(39), size_t(41), size_t(4000) }) {
        std::string path = folder.file("save" + std::to_string(size));
        ASSERT_TRUE(test::writeBytes(path, std::vector<uint8_t>(size, 1)));
        run = inspect("save '" + path + "'");
        EXPECT_EQ(run.status, 1) << size;
        EXPECT_EQ(run.output,
            "golf-inspect: " + path + " is " + std::to_string(size) + " bytes, not a 40-byte save file\n");
    }
    for (const std::string& path : { folder.file("missing"), folder.path() }) {
        run = inspect("save '" + path + "'");
        EXPECT_EQ(run.status, 1) << path;
        EXPECT_EQ(run.output, "golf-inspect: cannot read save file " + path + "\n");
    }

    // Space 4 (tab stops every 32), lines of 10, baseline 7; 'a'..'c' one run
    // of 5 full-coverage pixels each, 5 wide; 3 data bytes.
    const std::string font = folder.file("five.bin");
    ASSERT_TRUE(test::writeBytes(font, { 4, 10, 7, 'a', 'c', 1, 5, 1, 5, 1, 5, 3, 0x5F, 0x5F, 0x5F }));
    test::ProgramRun listed = inspect("font " + font);
    EXPECT_EQ(listed.status, 0) << listed.output;
    EXPECT_EQ(listed.output, "space 4 line 10 first 97 last 99 glyphs 3\n"
                             "char 97 width 5 bytes 1\nchar 98 width 5 bytes 1\nchar 99 width 5 bytes 1\n");

    // \t and \n in the argument are a tab and a line break: one margin pixel,
    // two letters, the tab to 32 and one more letter; or two lines.
    const std::string png = folder.file("text.png");
    for (auto [text, width, height] : { std::make_tuple("ab\\tc", 37, 10), std::make_tuple("ab\\nc", 11, 20) }) {
        ASSERT_EQ(inspect("font " + font + " --render '" + text + "' " + png).status, 0) << text;
        std::vector<uint8_t> rgba;
        int32_t w = 0, h = 0;
        ASSERT_TRUE(readRgbaPng(png, rgba, w, h)) << text;
        EXPECT_EQ(w, width) << text;
        EXPECT_EQ(h, height) << text;
    }
}

TEST(InspectBundleTest, ListsWritesPngsFailsOnDamageAndCapsTheSheet)
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
    std::string out;  // what the last bundle command said
    auto inspectBundle = [&out](const std::string& arguments) {
        const test::ProgramRun r = inspect("bundle " + arguments);
        out = r.output;
        return r.status;
    };
    EXPECT_EQ(inspectBundle(prefix), 0) << out;
    EXPECT_NE(out.find("0 r 3x2 anchor 1,-2 bytes "), std::string::npos) << out;
    EXPECT_NE(out.find("pictures 2\n"), std::string::npos) << out;

    ASSERT_EQ(inspectBundle(prefix + " --png 0 " + png), 0) << out;
    std::vector<uint8_t> rgba;
    int32_t w = 0, h = 0;
    ASSERT_TRUE(readRgbaPng(png, rgba, w, h));
    ASSERT_TRUE(w == 3 && h == 2) << w << "x" << h;
    EXPECT_EQ((std::vector<uint8_t>(rgba.begin(), rgba.begin() + 12)),
        (std::vector<uint8_t> { 248, 0, 0, 255, 0, 248, 0, 109, 0, 0, 0, 0 }))
        << "alpha = code * 255 / 7, transparent pixels all zero";

    // An index one past the last picture.
    EXPECT_EQ(inspectBundle(prefix + " --png 2 " + png), 1);
    EXPECT_EQ(out, "golf-inspect: picture index 2 out of range (bundle has 2 pictures)\n");

    // A JPEG whose entropy data is overwritten: --png names the picture and
    // the bundle and fails instead of writing a blank picture.
    bundle::BundleWriter jpeg;
    ASSERT_EQ(jpeg.addJpeg(std::vector<uint8_t>(16 * 8 * 3, 90).data(), 3, 16, 8, 0, 0, 75), 0) << jpeg.error();
    std::vector<uint8_t> bytes = jpeg.bytes();
    std::fill(bytes.end() - 10, bytes.end(), 0xFF);
    test::writeBytes(folder.file("bad0.bin"), bytes);
    EXPECT_EQ(inspectBundle(folder.path() + "bad --png 0 " + folder.file("bad.png")), 1) << out;
    EXPECT_EQ(out.rfind("Picture 0 of bundle " + folder.path() + "bad: damaged JPEG: ", 0), 0u) << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
    EXPECT_FALSE(std::ifstream(folder.file("bad.png"))) << "no blank picture written";
    EXPECT_EQ(inspectBundle(folder.path() + "bad --sheet " + folder.file("bad.png")), 1) << out;
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
    EXPECT_EQ(inspectBundle(folder.path() + "big --sheet " + folder.file("big.png")), 1) << out;
    EXPECT_EQ(out, "golf-inspect: sheet " + folder.file("big.png") + " shows the first 4 of 40 pictures of bundle "
                       + folder.path() + "big: a sheet is at most 16777216 pixels\n");
    ASSERT_TRUE(readRgbaPng(folder.file("big.png"), rgba, w, h));
    EXPECT_LE(static_cast<int64_t>(w) * h, 16 << 20);
}

// The game's own files damaged (a save damaged is any other size, or any 40
// bytes, which are shown as stored: InspectSaveTest).
TEST(InspectDamagedTest, EveryKindOfFileDamagedFailsInOneLineNamingIt)
{
    test::ScratchFolder folder("inspect_damaged");
    struct Case {
        const char* command;
        std::vector<std::string> files;  // copied from the build; the first one is damaged
        std::string argument;            // what the command is given (the copy's name or prefix)
        Damage how;
    };
    std::vector<Case> cases;
    for (Damage how : test::kDamages) {
        cases.push_back({ "hole", { "c0_holes_1-3" }, "c0_holes_1-3", how });
        cases.push_back({ "bundle", { "golf0.bin", "golf1.bin", "golf2.bin", "golf3.bin" }, "golf", how });
        cases.push_back({ "font", { "f13.bin" }, "f13.bin", how });
    }
    // The bundle's later segments: one lost, one cut short.
    cases.push_back({ "bundle", { "golf1.bin", "golf0.bin", "golf2.bin", "golf3.bin" }, "golf", Damage::Missing });
    cases.push_back({ "bundle", { "golf3.bin", "golf0.bin", "golf1.bin", "golf2.bin" }, "golf", Damage::CutShort });

    for (const Case& c : cases) {
        const std::string what = std::string(c.command) + " " + c.files.front() + " " + test::damageName(c.how);
        fs::remove_all(folder.file("copy"));
        fs::create_directories(folder.file("copy"));
        for (const std::string& name : c.files) {
            fs::copy_file(test::binFolder() + name, folder.file("copy/" + name));
        }
        ASSERT_TRUE(test::damageFile(folder.file("copy/" + c.files.front()), c.how)) << what;
        const std::string argument = folder.file("copy/" + c.argument);
        const test::ProgramRun run = inspect(std::string(c.command) + " '" + argument + "'");
        EXPECT_EQ(run.status, 1) << what << ": " << run.output;
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << what << ": " << run.output;
        EXPECT_NE(run.output.find(argument), std::string::npos) << what << ": " << run.output;
    }
}

}  // namespace
}  // namespace tarnby
