// The saved game: its record (fields, the top-score table, the file and a
// damaged one), and the game writing and reading it after a hole, after the
// 18th, after the sound and player settings, resuming mid-round, keeping the
// reserved bytes, and a save that cannot be written.
#include <algorithm>
#include <tuple>

#include "golf/holetable.h"
#include "golf/play_support.h"

namespace tarnby {
namespace {

using test::bytesOf;
using test::kReservedHigh;
using test::kReservedLow;
using test::saveFields;
using test::SaveFields;
using Rows = test::TopScores;

TEST(SaveRecordTest, ShortsAreUnsignedLittleEndianAndTopScoresStaySortedWithTheNewerRoundFirstOnTies)
{
    ByteArray save = ByteArray(kSaveSize);
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

    // Rounds (total, course) in turn and the place each takes (-1: none): any in an empty table, worse below,
    // better above, a tie before the older round; a full table keeps out a worse round but takes a tie with
    // the last place, and a best round pushes the last one out. Totals that cannot be stored never get in.
    const int32_t rounds[][3] = { { 80, 1, 0 }, { 90, 2, 1 }, { 72, 0, 0 }, { 80, 2, 1 }, { 95, 0, 4 }, { 96, 0, 5 },
        { 97, 1, 6 }, { 98, 1, -1 }, { 97, 2, 6 }, { 70, 1, 0 }, { 0, 0, -1 }, { 65536, 0, -1 } };
    save = ByteArray(kSaveSize);
    for (const auto& round : rounds) {
        EXPECT_EQ(insertTopScore(save, round[0], round[1]), round[2]) << round[0] << " on course " << round[1];
    }
    EXPECT_EQ(test::topScores(save),
        (Rows { { 70, 1 }, { 72, 0 }, { 80, 2 }, { 80, 1 }, { 90, 2 }, { 95, 0 }, { 96, 0 } }));
    EXPECT_EQ(insertTopScore(ByteArray(12), 70, 0), -1) << "a record too small for the table";
}

TEST(SaveRecordTest, OnlyAFileOfExactlyFortyBytesIsASaveAndAHoleOrCourseOutOfRangeIsMended)
{
    test::ScratchFolder folder("save_record_load");
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
        { "missing", {}, false, "" },  // no save yet is a first game, not damage
        { "empty", {}, false, "holds 0 bytes, not a 40-byte save: the game starts afresh\n" },
        { "short", std::vector<uint8_t>(good.begin(), good.end() - 1), false,
            "holds 39 bytes, not a 40-byte save: the game starts afresh\n" },
        { "long", longer, false, "holds more than 40 bytes, not a 40-byte save: the game starts afresh\n" },
        { "exact", good, true, "" },
    };
    for (const Case& c : cases) {
        std::string path = folder.file(c.name);
        if (std::string(c.name) != "missing") {
            ASSERT_TRUE(test::writeBytes(path, c.bytes));
        }
        ByteArray save = ByteArray(kSaveSize);
        save[5] = 0xEE;  // loading starts from nothing, whatever the array held
        testing::internal::CaptureStdout();
        EXPECT_EQ(loadSaveFile(path, save), c.loads) << c.name;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.said.empty() ? "" : "Save file " + path + " " + c.said)
            << c.name;
        EXPECT_EQ(bytesOf(save), c.loads ? good : std::vector<uint8_t>(kSaveSize, 0)) << c.name;
    }

    // A hole or course out of range starts the round afresh. A round of a female player, and an 80 on a course out of range (the top scores stay as stored).
    auto record = [](int32_t hole, int32_t strokes, int32_t course) {
        ByteArray save = test::saveRecord(hole, strokes, kFlagFemale, course);
        insertTopScore(save, 80, 9);
        return bytesOf(save);
    };
    struct Stored {
        int32_t hole, course;
        bool mended;
    } stored[] = { { 17, 2, false }, { 18, 0, true }, { 0, 3, true }, { 0xFFFF, 0xFFFF, true } };
    for (const Stored& c : stored) {
        ASSERT_TRUE(test::writeBytes(folder.file("save"), record(c.hole, 40, c.course)));
        ByteArray save = ByteArray(kSaveSize);
        testing::internal::CaptureStdout();
        ASSERT_TRUE(loadSaveFile(folder.file("save"), save));
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
            c.mended ? "Save file " + folder.file("save") + " names hole " + std::to_string(c.hole + 1) + " of course "
                           + std::to_string(c.course) + ", which cannot be resumed: the round starts afresh\n"
                     : "");
        EXPECT_EQ(bytesOf(save), c.mended ? record(0, 0, 0) : record(c.hole, 40, c.course))
            << "hole " << c.hole << " course " << c.course;
    }
}

TEST(SaveRecordTest, StoringReplacesTheFileAndReportsAFailureInOneLine)
{
    test::ScratchFolder folder("save_record_store");
    ByteArray save = test::saveRecord(4, 0, kFlagFemale | kFlagSoundOff, 0);
    insertTopScore(save, 75, 1);
    std::string path = folder.file("tarnbygolf");
    ASSERT_TRUE(test::writeBytes(path, std::vector<uint8_t>(100, 0x11)));  // something older and longer
    EXPECT_TRUE(storeSaveFile(path, save));
    ByteArray back = ByteArray(kSaveSize);
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

TEST(GolfSaveTest, ResumingMidRoundAndSavingAfterAHole)
{
    test::Play play(240, 320, true, "resume");
    // Hole 7 of the second course, 25 strokes for holes 1 to 6, female, sound off.
    play.writeSave(test::saveRecord(6, 25, kFlagSoundOff | kFlagFemale, 1));
    play.startAndResume();
    Golf& game = *play.golf;
    EXPECT_EQ(std::make_tuple(game.hole, game.course, game.roundStrokes, game.holeStrokes, game.soundOff,
                  game.golferFrameBase, game.hudScore->getNumber()),
        std::make_tuple(6, 1, 25, 0, true, Golf::kFemaleGolfer, 25))
        << "the unfinished hole restarts from the tee";
    EXPECT_EQ(game.ballSprite->getX3d(), toFixed(holeRow(1, 6).teeX));
    EXPECT_FALSE(play.log.has(" sound ")) << "nothing plays with the sound off";
    EXPECT_TRUE(play.sounds().empty());

    play.holeOut(3);
    ASSERT_EQ(game.gameState, Golf::HoleOver);
    EXPECT_STREQ(game.scoreTitle->toString()->chars(), "Birdie!") << "3 on the par-4 seventh";
    EXPECT_STREQ(game.scoreRound->toString()->chars(), "Round:\t+0") << "28 on the first seven holes, par 28";
    EXPECT_EQ(saveFields(play.readSave()),
        (SaveFields { 7, 28, kFlagSoundOff | kFlagFemale, 1, kReservedLow, kReservedHigh }))
        << "the next hole to play";
    EXPECT_EQ(play.log.matching(" save").size(), 1u);

    // A save that cannot be written is named in one line, and play goes on.
    game.setSavePath("/nonexistent-folder/tarnbygolf");
    testing::internal::CaptureStdout();
    play.holeOut(4);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << "one line: " << out;
    EXPECT_EQ(play.log.matching(" save").size(), 1u) << "no save was written";
    EXPECT_EQ(game.hole, 8) << "the game goes on";
}

TEST(GolfSaveTest, TheEighteenthHoleEndsTheRoundInTheTopScores)
{
    test::Play play(240, 320, true, "eighteenth");
    ByteArray save = test::saveRecord(17, 70, 0, 2);
    // Places: 70, 75, 75, 80 (on a course that does not exist), then empty.
    const int32_t totals[] = { 70, 75, 75, 80 };
    for (int32_t i = 0; i < 4; ++i) {
        writeSaveShort(save, kSaveTopScores + 4 * i, totals[i]);
        writeSaveShort(save, kSaveTopScores + 4 * i + 2, i == 3 ? 9 : i % 3);
    }
    play.writeSave(save);
    play.startAndResume();
    Golf& game = *play.golf;
    ASSERT_EQ(game.hole, 17);
    play.holeOut(5);  // par 5: a round of 75
    EXPECT_STREQ(game.scoreTitle->toString()->chars(), "Par");
    EXPECT_EQ(std::make_pair(game.hole, game.roundStrokes), std::make_pair(0, 0));

    const ByteArray after = play.readSave();
    EXPECT_EQ(saveFields(after), (SaveFields { 0, 0, 0, 2, kReservedLow, kReservedHigh }))
        << "a new round on the course just played";
    EXPECT_EQ(test::topScores(after),
        (Rows { { 70, 0 }, { 75, 2 }, { 75, 1 }, { 75, 2 }, { 80, 9 }, { 0, 0 }, { 0, 0 } }))
        << "the new 75 goes above the two older 75s";

    // A key shows the table; it stays until dismissed, then the next course begins.
    play.key(play.now() + 32, 32);
    play.key(play.now() + 100, 2);
    play.at_(play.now() + 400, [&] { EXPECT_EQ(game.gameState, Golf::HoleOver) << "still showing the top scores"; });
    play.key(play.now() + 500, 5);
    ASSERT_TRUE(play.runTo(Golf::Aiming, 3000));
    EXPECT_EQ(std::make_pair(game.course, game.hole), std::make_pair(0, 0)) << "course 2 is followed by course 0";
}

TEST(GolfSaveTest, SoundAndPlayerAreSavedWhenChanged)
{
    test::Play play(240, 320, true, "settings");
    play.writeSave(test::saveRecord(3, 14, 0, 0));
    play.runUntil(1400);
    Golf& game = *play.golf;
    ASSERT_EQ(game.gameState, Golf::Menu);

    // 'S' switches the sound off; the round in progress is kept.
    play.key(play.now() + 16, 'S');
    play.runUntil(play.now() + 100);
    EXPECT_TRUE(game.soundOff);
    EXPECT_EQ(saveFields(play.readSave()), (SaveFields { 3, 14, kFlagSoundOff, 0, kReservedLow, kReservedHigh }));

    // New game, then 'P' twice in the course menu: female, then male again.
    play.key(play.now() + 16, 'N');
    play.key(play.now() + 100, 'P');
    play.at_(play.now() + 150, [&] {
        EXPECT_EQ(readSaveShort(play.readSave(), kSaveFlags), kFlagSoundOff | kFlagFemale);
        EXPECT_EQ(game.golferFrameBase, Golf::kFemaleGolfer);
    });
    play.key(play.now() + 200, 'P');
    play.at_(play.now() + 250, [&] { EXPECT_EQ(readSaveShort(play.readSave(), kSaveFlags), kFlagSoundOff); });
    // Choosing the third course starts a new round there.
    play.key(play.now() + 300, '3');
    ASSERT_TRUE(play.runTo(Golf::Aiming, 3000));
    EXPECT_EQ(saveFields(play.readSave()), (SaveFields { 0, 0, kFlagSoundOff, 2, kReservedLow, kReservedHigh }));
    EXPECT_EQ(game.course, 2);
}

}  // namespace
}  // namespace tarnby
