// The club choice by distance and surface, the carry target of a swing and the
// launch of a putt.
#include <gtest/gtest.h>

#include "golf/clubs.h"
#include "golf/surface_table.h"
#include "terrain/vphob.h"

namespace tarnby {
namespace {

// Club distances count a yard as 32766.
constexpr Fixed yards(int32_t n) { return n * 32766; }

TEST(ClubsTest, ChoiceByDistanceAndSurface)
{
    struct Case {
        Fixed distance;
        int32_t surface;
        int32_t club;
        const char* what;
    } cases[] = {
        { yards(255), 0, kDriver, "beyond every club: the driver" },
        { yards(240), 0, kDriver, "between the 3-wood and the driver" },
        { yards(230), 0, kThreeWood, "exactly the 3-wood's distance" },
        { yards(230) + 1, 0, kDriver, "just beyond the 3-wood" },
        { yards(201), 0, kThreeWood, "just beyond the 3-iron" },
        { yards(140), 0, 6, "exactly the 7-iron" },
        { yards(100), 0, kNineIron, "short of every full club: the 9-iron" },
        { yards(60), 0, kNineIron, "60 yards is still a full shot" },
        { yards(60) - 1, 0, kPitchingWedge, "59.99 yards off the green: the wedge" },
        { yards(60) - 1, kSurfaceGreen, kPutter, "59.99 yards on the green: the putter" },
        { yards(2), kSurfaceGreenEdge, kPutter, "two yards on the collar: the putter" },
        { yards(4), kSurfaceGreenEdge, kPitchingWedge, "four yards on the collar: the wedge" },
        { 109219, kSurfaceGreenEdge, kPutter, "just inside 3 1/3 yards" },
        { 109220, kSurfaceGreenEdge, kPitchingWedge, "exactly 3 1/3 yards" },
        { yards(2), kSurfaceWater, kPitchingWedge, "other surfaces chip" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(clubForDistance(c.distance, c.surface), c.club) << c.what;
    }
}

TEST(ClubsTest, HalfPowerWithTheSevenIronCarriesSeventyYards)
{
    EXPECT_EQ(carryTarget(6, 50 << 16), yards(70));
    EXPECT_EQ(carryTarget(6, 100 << 16), clubAt(6).distance);
    EXPECT_EQ(carryTarget(kDriver, 0), 0);
    EXPECT_EQ(carryTarget(kPutter, 100 << 16), 1092200) << "a full putt is 100 feet";
}

TEST(ClubsTest, APuttRollsFromTheGround)
{
    const Launch putt = launchFor(kPutter, yards(10));
    EXPECT_EQ(putt.vertical, 0);
    EXPECT_EQ(putt.horizontal, fsqrt(static_cast<int64_t>(yards(10)) * 12));
    EXPECT_GT(launchFor(kPutter, yards(20)).horizontal, putt.horizontal);
}

}  // namespace
}  // namespace tarnby
