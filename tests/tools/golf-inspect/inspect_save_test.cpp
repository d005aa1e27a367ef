// golf-inspect save on records written by the game's own save functions.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "golf/save_record.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

test::ProgramRun inspectSave(const std::string& path)
{
    return test::runProgram("golf-inspect", "save '" + path + "'");
}

TEST(InspectSaveTest, PrintsEveryFieldOfARecord)
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
    writeSaveShort(save, kSaveCourse, 2);
    insertTopScore(save, 75, 1);
    insertTopScore(save, 75, 0);
    insertTopScore(save, 70, 2);
    ASSERT_TRUE(storeSaveFile(folder.file("tarnbygolf"), save));
    test::ProgramRun run = inspectSave(folder.file("tarnbygolf"));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "next hole 18\n"
                          "round strokes 301\n"
                          "flags 3 sound off player female\n"
                          "reserved 00 0A BC FF\n"
                          "course 2\n"
                          "top 1 70 2\n"
                          "top 2 75 0\n"
                          "top 3 75 1\n"
                          "top 4 - -\n"
                          "top 5 - -\n"
                          "top 6 - -\n"
                          "top 7 - -\n");

    // A new record: hole 1 is next, sound on, male player. Out-of-range values
    // are shown as stored, not as the game would mend them.
    ByteArray fresh(kSaveSize);
    writeSaveShort(fresh, kSaveCourse, 7);
    writeSaveShort(fresh, kSaveTopScores + 2, 9);
    writeSaveShort(fresh, kSaveTopScores, 66);
    ASSERT_TRUE(storeSaveFile(folder.file("fresh"), fresh));
    run = inspectSave(folder.file("fresh"));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output.substr(0, run.output.find("top 2")), "next hole 1\n"
                                                              "round strokes 0\n"
                                                              "flags 0 sound on player male\n"
                                                              "reserved 00 00 00 00\n"
                                                              "course 7\n"
                                                              "top 1 66 9\n");
}

TEST(InspectSaveTest, AFileOfAnyOtherSizeIsRefusedInOneLine)
{
    test::ScratchFolder folder("inspect_save_bad");
    for (size_t size : { size_t(0), size_t(39), size_t(41), size_t(4000) }) {
        std::string path = folder.file("save" + std::to_string(size));
        ASSERT_TRUE(test::writeBytes(path, std::vector<uint8_t>(size, 1)));
        test::ProgramRun run = inspectSave(path);
        EXPECT_EQ(run.status, 1) << size;
        EXPECT_EQ(run.output,
            "golf-inspect: " + path + " is " + std::to_string(size) + " bytes, not a 40-byte save file\n");
    }
    for (const std::string& path : { folder.file("missing"), folder.path() }) {
        test::ProgramRun run = inspectSave(path);
        EXPECT_EQ(run.status, 1) << path;
        EXPECT_EQ(run.output, "golf-inspect: cannot read save file " + path + "\n");
    }
}

}  // namespace
}  // namespace tarnby
