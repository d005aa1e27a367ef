// The saved game's record: its fields, the top-score table and the file.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "golf/save_record.h"
#include "runtime/files.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

ByteArray newRecord() { return ByteArray(kSaveSize); }

std::vector<uint8_t> bytesOf(const ByteArray& save) { return std::vector<uint8_t>(save.begin(), save.end()); }

// The table as (total, course) pairs, best first.
std::vector<std::pair<int32_t, int32_t>> table(const ByteArray& save)
{
    std::vector<std::pair<int32_t, int32_t>> rows;
    for (int32_t i = 0; i < kTopScoreCount; ++i) {
        rows.emplace_back(readSaveShort(save, kSaveTopScores + 4 * i), readSaveShort(save, kSaveTopScores + 4 * i + 2));
    }
    return rows;
}

TEST(SaveRecordTest, ShortsAreUnsignedLittleEndianAndStayInsideTheRecord)
{
    ByteArray save = newRecord();
    writeSaveShort(save, kSaveRoundStrokes, 0x1234);
    EXPECT_EQ(save[2], 0x34);
    EXPECT_EQ(save[3], 0x12);
    writeSaveShort(save, kSaveCourse, 0xFFFF);
    EXPECT_EQ(readSaveShort(save, kSaveCourse), 65535) << "unsigned, never negative";
    writeSaveShort(save, kSaveHole, 0x10005);
    EXPECT_EQ(readSaveShort(save, kSaveHole), 5) << "only the low 16 bits are kept";
    writeSaveShort(save, kSaveHole, -1);
    EXPECT_EQ(readSaveShort(save, kSaveHole), 0xFFFF);

    writeSaveShort(save, kSaveSize - 2, 0x0102);  // the last field: the seventh place's course
    EXPECT_EQ(save[kSaveSize - 1], 0x01);
    EXPECT_EQ(readSaveShort(save, kSaveSize - 2), 0x0102);

    std::vector<uint8_t> before = bytesOf(save);
    writeSaveShort(save, kSaveSize - 1, 0x7777);  // would spill past the end
    writeSaveShort(save, -1, 0x7777);
    EXPECT_EQ(bytesOf(save), before);
    EXPECT_EQ(readSaveShort(save, kSaveSize - 1), 0);
    EXPECT_EQ(readSaveShort(save, -2), 0);
    EXPECT_EQ(readSaveShort(ByteArray(), 0), 0);
}

TEST(SaveRecordTest, TopScoresStaySortedWithTheNewerRoundFirstOnTies)
{
    ByteArray save = newRecord();
    EXPECT_EQ(insertTopScore(save, 80, 1), 0) << "an empty table takes any round";
    EXPECT_EQ(insertTopScore(save, 90, 2), 1) << "worse goes below";
    EXPECT_EQ(insertTopScore(save, 72, 0), 0) << "better goes above";
    EXPECT_EQ(insertTopScore(save, 80, 2), 1) << "a tie goes before the older round";
    using Rows = std::vector<std::pair<int32_t, int32_t>>;
    EXPECT_EQ(table(save), (Rows { { 72, 0 }, { 80, 2 }, { 80, 1 }, { 90, 2 }, { 0, 0 }, { 0, 0 }, { 0, 0 } }));

    EXPECT_EQ(insertTopScore(save, 95, 0), 4);
    EXPECT_EQ(insertTopScore(save, 96, 0), 5);
    EXPECT_EQ(insertTopScore(save, 97, 1), 6);
    EXPECT_EQ(insertTopScore(save, 98, 1), -1) << "a full table keeps out a worse round";
    EXPECT_EQ(insertTopScore(save, 97, 2), 6) << "a tie with the last place still gets in";
    EXPECT_EQ(insertTopScore(save, 70, 1), 0) << "a best round pushes the last one out";
    EXPECT_EQ(table(save), (Rows { { 70, 1 }, { 72, 0 }, { 80, 2 }, { 80, 1 }, { 90, 2 }, { 95, 0 }, { 96, 0 } }));

    // Totals that cannot be stored never touch the table.
    std::vector<uint8_t> before = bytesOf(save);
    EXPECT_EQ(insertTopScore(save, 0, 0), -1);
    EXPECT_EQ(insertTopScore(save, 65536, 0), -1);
    EXPECT_EQ(bytesOf(save), before);
    EXPECT_EQ(insertTopScore(ByteArray(12), 70, 0), -1) << "a record too small for the table";

    // The rest of the record is not part of the table.
    ByteArray other = newRecord();
    for (int32_t i = 0; i < kSaveTopScores; ++i) {
        other[i] = static_cast<uint8_t>(0xA0 + i);
    }
    insertTopScore(other, 77, 2);
    for (int32_t i = 0; i < kSaveTopScores; ++i) {
        EXPECT_EQ(other[i], 0xA0 + i) << "byte " << i;
    }
}

TEST(SaveRecordTest, OnlyAFileOfExactlyFortyBytesIsASave)
{
    test::ScratchFolder folder("save_record_load");
    ByteArray save = newRecord();
    save[5] = 0xEE;  // loading starts from nothing, whatever the array held
    testing::internal::CaptureStdout();
    EXPECT_FALSE(loadSaveFile(folder.file("missing"), save));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "no save yet is a first game, not damage";
    EXPECT_EQ(bytesOf(save), std::vector<uint8_t>(kSaveSize, 0));

    // Next hole 7, 29 strokes, female and sound off, reserved bytes, course 2, a 71 on course 2.
    std::vector<uint8_t> good = { 6, 0, 0x1D, 0, 3, 0, 0xDE, 0xAD, 0xBE, 0xEF, 2, 0, 71, 0, 2 };
    good.resize(kSaveSize);

    std::vector<uint8_t> longer(kSaveSize + 1, 0);
    std::copy(good.begin(), good.end(), longer.begin());
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        bool loads;
        std::string said;  // after "Save file PATH "
    } cases[] = {
        { "empty", {}, false, "holds 0 bytes, not a 40-byte save: the game starts afresh\n" },
        { "short", std::vector<uint8_t>(good.begin(), good.end() - 1), false,
            "holds 39 bytes, not a 40-byte save: the game starts afresh\n" },
        { "long", longer, false, "holds more than 40 bytes, not a 40-byte save: the game starts afresh\n" },
        { "exact", good, true, "" },
    };
    for (const Case& c : cases) {
        std::string path = folder.file(c.name);
        ASSERT_TRUE(test::writeBytes(path, c.bytes));
        save[5] = 0xEE;
        testing::internal::CaptureStdout();
        EXPECT_EQ(loadSaveFile(path, save), c.loads) << c.name;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.said.empty() ? "" : "Save file " + path + " " + c.said)
            << c.name;
        EXPECT_EQ(bytesOf(save), c.loads ? good : std::vector<uint8_t>(kSaveSize, 0)) << c.name;
    }
}

TEST(SaveRecordTest, AHoleOrCourseOutOfRangeStartsTheRoundAfresh)
{
    test::ScratchFolder folder("save_record_mend");
    // 40 strokes of a round that cannot be resumed, female, a reserved byte, and
    // an 80 on a course out of range (the top scores stay as stored).
    std::vector<uint8_t> stored = { 0, 0, 40, 0, 2, 0, 0, 0x5A, 0, 0, 0, 0, 80, 0, 9 };
    stored.resize(kSaveSize);
    struct Case {
        int32_t hole, course;
        bool mended;
    } cases[] = { { 17, 2, false }, { 18, 0, true }, { 0, 3, true }, { 0xFFFF, 0xFFFF, true } };
    for (const Case& c : cases) {
        stored[0] = static_cast<uint8_t>(c.hole & 0xFF);
        stored[1] = static_cast<uint8_t>(c.hole >> 8);
        stored[10] = static_cast<uint8_t>(c.course & 0xFF);
        stored[11] = static_cast<uint8_t>(c.course >> 8);
        ASSERT_TRUE(test::writeBytes(folder.file("save"), stored));
        ByteArray save = newRecord();
        testing::internal::CaptureStdout();
        ASSERT_TRUE(loadSaveFile(folder.file("save"), save));
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
            c.mended ? "Save file " + folder.file("save") + " names hole " + std::to_string(c.hole + 1) + " of course "
                           + std::to_string(c.course) + ", which cannot be resumed: the round starts afresh\n"
                     : "");
        std::vector<uint8_t> expected = stored;
        if (c.mended) {
            expected[0] = expected[1] = expected[2] = expected[3] = expected[10] = expected[11] = 0;
        }
        EXPECT_EQ(bytesOf(save), expected) << "hole " << c.hole << " course " << c.course;
    }
}

TEST(SaveRecordTest, StoringReplacesTheFileAndReportsAFailureInOneLine)
{
    test::ScratchFolder folder("save_record_store");
    ByteArray save = newRecord();
    writeSaveShort(save, kSaveHole, 4);
    writeSaveShort(save, kSaveFlags, kFlagFemale | kFlagSoundOff);
    save[9] = 0x42;
    insertTopScore(save, 75, 1);
    std::string path = folder.file("tarnbygolf");
    ASSERT_TRUE(test::writeBytes(path, std::vector<uint8_t>(100, 0x11)));  // something older and longer
    EXPECT_TRUE(storeSaveFile(path, save));
    ByteArray back = newRecord();
    ASSERT_TRUE(loadSaveFile(path, back)) << "the longer old file was replaced, not overwritten in place";
    EXPECT_EQ(bytesOf(back), bytesOf(save));

    std::string nowhere = folder.file("no-such-folder/tarnbygolf");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(storeSaveFile(nowhere, save));
    std::string message = testing::internal::GetCapturedStdout();
    EXPECT_NE(message.find(nowhere), std::string::npos) << message;
    EXPECT_EQ(message.find('\n'), message.size() - 1) << "one line: " << message;

    testing::internal::CaptureStdout();
    EXPECT_FALSE(storeSaveFile(path, ByteArray(8))) << "a record too small is never written";
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(loadSaveFile(path, back));
    EXPECT_EQ(bytesOf(back), bytesOf(save)) << "the file on disk is untouched";
}

}  // namespace
}  // namespace tarnby
