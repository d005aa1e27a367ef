// Random source, angles, shifts, diagnostics and data files.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "runtime/data_stamp.h"
#include "runtime/files.h"
#include "runtime/random.h"
#include "runtime/v.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

TEST(RandomTest, SequenceIsTheLaggedFibonacciOfTheTable)
{
    // Replay the generator by hand from the table for tick 5: (5 & 31) + 54
    // warm-up calls, then compare the next values.
    uint8_t table[54];
    for (int i = 0; i < 54; ++i) {
        table[i] = static_cast<uint8_t>(74 + 21 * i);
    }
    int j = 23, k = 54;
    auto next = [&] {
        j = j == 0 ? 53 : j - 1;
        k = k == 0 ? 53 : k - 1;
        table[k] = static_cast<uint8_t>(table[k] + table[j]);
        return table[k] * 128;
    };
    for (int i = 0; i < 59; ++i) {
        next();
    }
    reseedRandom(5);
    for (int i = 0; i < 500; ++i) {
        int32_t r = random();
        ASSERT_EQ(r, next()) << "call " << i;
        ASSERT_GE(r, 0);
        ASSERT_LT(r, 32768);
        ASSERT_EQ(r % 128, 0);
    }
    reseedRandom(37);  // only the low five bits of the tick matter
    int32_t a = random();
    reseedRandom(5);
    EXPECT_EQ(a, random());
}

TEST(AngleTest, Atan2QuadrantsAndEdges)
{
    EXPECT_EQ(V::atan2(0, 0), 4096) << "d is taken as 1, r = 0";
    EXPECT_EQ(V::atan2(0, -1), 16384) << "half a turn";
    EXPECT_EQ(V::atan2(0, 0x8000), 4096 - 5119 + 1023) << "r = ONE: both multiplies short-cut";
    EXPECT_EQ(V::atan2(0x8000, 0), 8192) << "a quarter turn";
    for (int32_t y : { 1, 100, 0x8000, 0x123456 }) {
        for (int32_t x : { -0x40000, -7, 0, 3, 0x8000 }) {
            EXPECT_EQ(V::atan2(-y, x), -V::atan2(y, x)) << "y " << y << " x " << x;
        }
    }
    EXPECT_EQ(V::atan2(0x8000, 0x8000), 4096) << "the diagonals are exact";
    EXPECT_EQ(V::atan2(0x8000, -0x8000), 12288);
    EXPECT_EQ(V::atan2(0x8000, 0x10000), 2427) << "26.6 degrees (true 2418) from the cubic fit";
}

TEST(AngleTest, UnsignedShift)
{
    EXPECT_EQ(V::ushr(-1, 28), 15);
    EXPECT_EQ(V::ushr(-1, 0), -1);
    EXPECT_EQ(V::ushr(-1, 32), 0);
    EXPECT_EQ(V::ushr(0x7FFFFFFF, 40), 0);
}

TEST(LogTest, ThreeFormats)
{
    testing::internal::CaptureStdout();
    V::log("score", 4, -1);
    V::log("hole", 18);
    V::log("Could not open x");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "score 4 -1\nhole 18\nCould not open x\n");
}

TEST(FilesTest, NamesPathsAndReads)
{
    test::ScratchFolder folder("files");
    {
        std::ofstream out(folder.file("data.bin"), std::ios::binary);
        out << "abcdef";
    }
    Ref<InputStream> plain = InputStream::open("data.bin");
    Ref<InputStream> slashed = InputStream::open(String::intern("/data.bin"));
    ASSERT_TRUE(plain);
    ASSERT_TRUE(slashed) << "a leading slash is ignored";
    EXPECT_EQ(slashed->read(), 'a');

    ByteArray block(4);
    EXPECT_EQ(plain->read(block, 1, 3), 3);
    EXPECT_EQ(block[1], 'a');
    EXPECT_EQ(plain->read(block, 2, 3), -1) << "a request past the array's end reads nothing";
    EXPECT_EQ(plain->read(block, 0, 4), 3) << "short read at the end of the file";
    EXPECT_EQ(plain->read(), -1);
    EXPECT_EQ(plain->read(), -1) << "stays at the end";
    plain->close();
    plain->close();
    EXPECT_EQ(plain->read(), -1);

    ByteArray four(4), ten(10);
    EXPECT_TRUE(readFile(String::intern("data.bin"), four)) << "a longer file fills the array";
    EXPECT_FALSE(readFile(String::intern("data.bin"), ten)) << "a shorter file is a failure";
    EXPECT_EQ(ten[5], 'f') << "but keeps what was read";
    EXPECT_FALSE(readFile(String::intern("missing.bin"), four));
    EXPECT_FALSE(InputStream::open("missing.bin"));

    std::string longName(300, 'x');
    EXPECT_TRUE(dataPath(longName.c_str()).empty()) << "paths over the limit are missing files";
    EXPECT_FALSE(InputStream::open(longName.c_str()));
}

TEST(FilesTest, WriteReplacesTheWholeFileOrNothing)
{
    test::ScratchFolder folder("write");
    ByteArray save(40);
    for (int i = 0; i < 40; ++i) {
        save[i] = static_cast<uint8_t>(i * 3);
    }
    ASSERT_TRUE(writeFile(String::intern("tarnbygolf"), save));
    ByteArray back(40);
    ASSERT_TRUE(readFile(String::intern("tarnbygolf"), back));
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(back[i], save[i]);
    }
    EXPECT_FALSE(std::filesystem::exists(folder.file("tarnbygolf.tmp"))) << "no temporary file is left behind";

    // A folder that does not exist: failure is reported and nothing is written.
    EXPECT_FALSE(writeFile(String::intern("no-such-folder/tarnbygolf"), save));

    // A failed write leaves the old file whole: a folder in the way of the
    // temporary file makes the write fail before anything is replaced.
    std::filesystem::create_directory(folder.file("tarnbygolf.tmp"));
    ByteArray other(40);
    EXPECT_FALSE(writeFile(String::intern("tarnbygolf"), other));
    ASSERT_TRUE(readFile(String::intern("tarnbygolf"), back));
    EXPECT_EQ(back[39], save[39]);

    // What a kill during a save leaves: the old file whole and a temporary
    // beside it, which the next reader removes.
    std::filesystem::remove(folder.file("tarnbygolf.tmp"));
    std::ofstream(folder.file("tarnbygolf.tmp")) << "half a save";
    EXPECT_TRUE(removeStaleTemporary(folder.file("tarnbygolf")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("tarnbygolf.tmp")));
    EXPECT_FALSE(removeStaleTemporary(folder.file("tarnbygolf")));
    EXPECT_TRUE(std::filesystem::exists(folder.file("tarnbygolf")));
}

TEST(DataStampTest, AnUnfinishedOrMixedGenerationIsNamed)
{
    test::ScratchFolder folder("stamp");
    const std::string dir = folder.path();
    auto put = [&](const char* name, const std::string& text) { std::ofstream(dir + name) << text; };
    put("golf0.bin", "first segment");
    put("golf1.bin", "second segment");
    put("help.txt", "Aim with left and right.");
    EXPECT_NE(checkDataStamp(dir).find("golf-assets.stamp is missing"), std::string::npos);
    ASSERT_TRUE(writeDataStamp(dir, { "golf0.bin", "golf1.bin", "help.txt" }));
    EXPECT_EQ(checkDataStamp(dir), "");

    // A segment from another generation (same size, other bytes), a file cut
    // short, a missing file: each is named.
    put("golf1.bin", "second segmenT");
    EXPECT_NE(checkDataStamp(dir).find("golf1.bin is not the one generated with the others"), std::string::npos);
    put("golf1.bin", "second segment");
    put("help.txt", "Aim");
    EXPECT_NE(checkDataStamp(dir).find("help.txt is not the one"), std::string::npos);
    std::filesystem::remove(dir + "help.txt");
    EXPECT_NE(checkDataStamp(dir).find("Data file missing: " + dir + "help.txt"), std::string::npos);

    // A damaged stamp, and a generation starting over: no stamp at all.
    put("golf-assets.stamp", "generated\n");
    EXPECT_NE(checkDataStamp(dir).find("is damaged"), std::string::npos);
    EXPECT_TRUE(clearDataStamp(dir));
    EXPECT_NE(checkDataStamp(dir).find("is missing"), std::string::npos);
    EXPECT_FALSE(writeDataStamp(dir, { "help.txt" })) << "a file that is not there cannot be stamped";
    EXPECT_FALSE(std::filesystem::exists(dir + "golf-assets.stamp"));
}

}  // namespace
}  // namespace tarnby
