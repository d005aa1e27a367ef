// Score names against par, the scorecard's lines and the hole table's bounds.
#include <gtest/gtest.h>

#include "golf/holetable.h"
#include "golf/scoring.h"

namespace tarnby {
namespace {

TEST(ScoringTest, NamesAgainstPar)
{
    EXPECT_STREQ(scoreName(3, 1), "Eagle!") << "a hole in one on a par 3";
    EXPECT_STREQ(scoreName(4, 1), "Double Eagle!") << "a hole in one on a par 4";
    EXPECT_STREQ(scoreName(5, 1), "Scorecard") << "four under has no name";
    EXPECT_STREQ(scoreName(4, 3), "Birdie!");
    EXPECT_STREQ(scoreName(5, 5), "Par");
    EXPECT_STREQ(scoreName(3, 4), "Scorecard") << "a bogey";
}

TEST(ScoringTest, HoleAndRoundLines)
{
    EXPECT_EQ(holeLine(4, holePar(4), 4), "Hole 5:\t+1") << "a bogey on the par-3 fifth";
    EXPECT_EQ(holeLine(0, 4, 4), "Hole 1:\t+0") << "even par is +0";
    EXPECT_EQ(holeLine(17, 5, 3), "Hole 18:\t-2");
    EXPECT_EQ(roundLine(0), "Round:\t+0");
    EXPECT_EQ(roundLine(-3), "Round:\t-3");
    EXPECT_EQ(roundLine(12), "Round:\t+12");
    EXPECT_EQ(parThrough(0), 4);
    EXPECT_EQ(parThrough(2), 12);
    EXPECT_EQ(parThrough(17), 72) << "every course is a par 72";
}

TEST(ScoringTest, HoleAndCourseNumbersOutsideTheTableAreHeldToIt)
{
    EXPECT_EQ(&holeRow(0, 18), &holeRow(0, 17)) << "not the next course's first hole";
    EXPECT_EQ(&holeRow(2, 99), &holeRow(2, 17)) << "not past the table's end";
    EXPECT_EQ(&holeRow(1, -1), &holeRow(1, 0));
    EXPECT_EQ(&holeRow(3, 0), &holeRow(2, 0));
    EXPECT_EQ(&holeRow(-1, 5), &holeRow(0, 5));
    EXPECT_EQ(holePar(18), 5);
    EXPECT_STREQ(holeFileName(2, 18)->chars(), "c2_holes_16-18");
    EXPECT_STREQ(holeFileName(5, -3)->chars(), "c2_holes_1-3");
}

}  // namespace
}  // namespace tarnby
