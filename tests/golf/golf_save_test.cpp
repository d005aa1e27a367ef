// The saved game as the game writes and reads it: after a hole, after the
// 18th, after the sound and player settings, resuming mid-round, the
// reserved bytes, the top-score table and a save that cannot be written.
#include <algorithm>

#include "golf/holetable.h"
#include "golf/play_support.h"

namespace tarnby {
namespace {

ByteArray record(int32_t hole, int32_t strokes, int32_t flags, int32_t course)
{
    ByteArray save(kSaveSize);
    writeSaveShort(save, kSaveHole, hole);
    writeSaveShort(save, kSaveRoundStrokes, strokes);
    writeSaveShort(save, kSaveFlags, flags);
    writeSaveShort(save, kSaveCourse, course);
    // Bytes the game must never touch.
    for (int32_t i = 0; i < 4; ++i) {
        save[kSaveReserved + i] = static_cast<uint8_t>(0xA1 + i);
    }
    return save;
}

void writeRecord(const test::Play& play, const ByteArray& save)
{
    ASSERT_TRUE(writeWholeFile(play.savePath(), save.data(), static_cast<size_t>(save.length())));
}

ByteArray readRecord(const test::Play& play)
{
    ByteArray bytes = readWholeFile(play.savePath());
    EXPECT_EQ(bytes.length(), kSaveSize) << "the save is always 40 bytes";
    return bytes.length() == kSaveSize ? bytes : ByteArray(kSaveSize);
}

void expectReservedKept(const ByteArray& save)
{
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(save[kSaveReserved + i], 0xA1 + i) << "reserved byte " << kSaveReserved + i;
    }
}

TEST(GolfSaveTest, ResumingMidRoundAndSavingAfterAHole)
{
    test::Play play(240, 320, true, "resume");
    // Hole 7 of the second course, 25 strokes for holes 1 to 6, female, sound off.
    writeRecord(play, record(6, 25, kFlagSoundOff | kFlagFemale, 1));
    play.startAndResume();
    Golf& game = *play.golf;
    EXPECT_EQ(game.hole, 6);
    EXPECT_EQ(game.course, 1);
    EXPECT_EQ(game.roundStrokes, 25);
    EXPECT_EQ(game.holeStrokes, 0) << "the unfinished hole restarts from the tee";
    EXPECT_TRUE(game.soundOff);
    EXPECT_EQ(game.golferFrameBase, Golf::kFemaleGolfer);
    EXPECT_EQ(game.hudScore->getNumber(), 25);
    EXPECT_EQ(game.ballSprite->getX3d(), toFixed(holeRow(1, 6).teeX));
    EXPECT_FALSE(play.log.has(" sound ")) << "nothing plays with the sound off";
    EXPECT_TRUE(play.sounds().empty());

    play.holeOut(3);
    ASSERT_EQ(game.gameState, Golf::HoleOver);
    EXPECT_STREQ(game.scoreTitle->toString()->chars(), "Birdie!") << "3 on the par-4 seventh";
    EXPECT_STREQ(game.scoreRound->toString()->chars(), "Round:\t+0") << "28 on the first seven holes, par 28";
    const ByteArray save = readRecord(play);
    EXPECT_EQ(readSaveShort(save, kSaveHole), 7) << "the next hole to play";
    EXPECT_EQ(readSaveShort(save, kSaveRoundStrokes), 28);
    EXPECT_EQ(readSaveShort(save, kSaveFlags), kFlagSoundOff | kFlagFemale);
    EXPECT_EQ(readSaveShort(save, kSaveCourse), 1);
    expectReservedKept(save);
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
    ByteArray save = record(17, 70, 0, 2);
    // Places: 70, 75, 75, 80 (on a course that does not exist), then empty.
    const int32_t totals[] = { 70, 75, 75, 80 };
    for (int32_t i = 0; i < 4; ++i) {
        writeSaveShort(save, kSaveTopScores + 4 * i, totals[i]);
        writeSaveShort(save, kSaveTopScores + 4 * i + 2, i == 3 ? 9 : i % 3);
    }
    writeRecord(play, save);
    play.startAndResume();
    Golf& game = *play.golf;
    ASSERT_EQ(game.hole, 17);
    play.holeOut(5);  // par 5: a round of 75
    EXPECT_STREQ(game.scoreTitle->toString()->chars(), "Par");
    EXPECT_EQ(game.hole, 0);
    EXPECT_EQ(game.roundStrokes, 0);

    const ByteArray after = readRecord(play);
    EXPECT_EQ(readSaveShort(after, kSaveHole), 0);
    EXPECT_EQ(readSaveShort(after, kSaveRoundStrokes), 0);
    EXPECT_EQ(readSaveShort(after, kSaveCourse), 2) << "the course of the round just played";
    // The new 75 goes above the two older 75s.
    const int32_t expected[][2] = { { 70, 0 }, { 75, 2 }, { 75, 1 }, { 75, 2 }, { 80, 9 }, { 0, 0 }, { 0, 0 } };
    for (int32_t i = 0; i < kTopScoreCount; ++i) {
        EXPECT_EQ(readSaveShort(after, kSaveTopScores + 4 * i), expected[i][0]) << "place " << i;
        EXPECT_EQ(readSaveShort(after, kSaveTopScores + 4 * i + 2), expected[i][1]) << "place " << i;
    }
    expectReservedKept(after);

    // A key shows the table; it stays until dismissed, then the next course begins.
    play.key(play.now() + 32, 32);
    play.key(play.now() + 100, 2);
    play.at_(play.now() + 400, [&] { EXPECT_EQ(game.gameState, Golf::HoleOver) << "still showing the top scores"; });
    play.key(play.now() + 500, 5);
    ASSERT_TRUE(play.runTo(Golf::Aiming, 3000));
    EXPECT_EQ(game.course, 0) << "course 2 is followed by course 0";
    EXPECT_EQ(game.hole, 0);
}

TEST(GolfSaveTest, SoundAndPlayerAreSavedWhenChanged)
{
    test::Play play(240, 320, true, "settings");
    writeRecord(play, record(3, 14, 0, 0));
    play.runUntil(1400);
    Golf& game = *play.golf;
    ASSERT_EQ(game.gameState, Golf::Menu);

    // 'S' switches the sound off.
    play.key(play.now() + 16, 'S');
    play.runUntil(play.now() + 100);
    EXPECT_TRUE(game.soundOff);
    EXPECT_EQ(readSaveShort(readRecord(play), kSaveFlags), kFlagSoundOff);
    EXPECT_EQ(readSaveShort(readRecord(play), kSaveHole), 3) << "the round in progress is kept";

    // New game, then 'P' twice in the course menu: female, then male again.
    play.key(play.now() + 16, 'N');
    play.key(play.now() + 100, 'P');
    play.at_(play.now() + 150, [&] {
        EXPECT_EQ(readSaveShort(readRecord(play), kSaveFlags), kFlagSoundOff | kFlagFemale);
        EXPECT_EQ(game.golferFrameBase, Golf::kFemaleGolfer);
    });
    play.key(play.now() + 200, 'P');
    play.at_(play.now() + 250, [&] { EXPECT_EQ(readSaveShort(readRecord(play), kSaveFlags), kFlagSoundOff); });
    // Choosing the third course starts a new round there.
    play.key(play.now() + 300, '3');
    ASSERT_TRUE(play.runTo(Golf::Aiming, 3000));
    const ByteArray save = readRecord(play);
    EXPECT_EQ(readSaveShort(save, kSaveHole), 0);
    EXPECT_EQ(readSaveShort(save, kSaveRoundStrokes), 0);
    EXPECT_EQ(readSaveShort(save, kSaveCourse), 2);
    expectReservedKept(save);
    EXPECT_EQ(game.course, 2);
}

}  // namespace
}  // namespace tarnby
