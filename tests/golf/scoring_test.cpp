// Score names against par and the scorecard's lines.
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

}  // namespace
}  // namespace tarnby
