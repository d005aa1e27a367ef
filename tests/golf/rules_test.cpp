// The game's rules as tables: the club choice by distance and surface, the
// carry target of a swing and the launch of a putt; score names against par,
// the scorecard's lines and the hole table's bounds; fill colours of hole
// files to surfaces, and the ground beyond a hole.
#include <gtest/gtest.h>

#include <tuple>

#include "golf/clubs.h"
#include "golf/hole_setup.h"
#include "golf/holetable.h"
#include "golf/scoring.h"
#include "golf/shot_planner.h"
#include "golf/surface_table.h"
#include "shape-writer/shape_writer.h"
#include "terrain/vphob.h"

namespace tarnby {
namespace {

// Club distances count a yard as 32766.
constexpr Fixed yards(int32_t n) { return n * 32766; }

TEST(ClubsTest, ChoiceByDistanceAndSurface)
{
    struct Case {
        Fixed distance;
        int32_t surface, club;
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

TEST(ClubsTest, HalfPowerWithTheSevenIronCarriesSeventyYardsAndAPuttRollsFromTheGround)
{
    EXPECT_EQ(carryTarget(6, 50 << 16), yards(70));
    EXPECT_EQ(carryTarget(6, 100 << 16), clubAt(6).distance);
    EXPECT_EQ(carryTarget(kDriver, 0), 0);
    EXPECT_EQ(carryTarget(kPutter, 100 << 16), 1092200) << "a full putt is 100 feet";

    const Launch putt = launchFor(kPutter, yards(10));
    EXPECT_EQ(putt.vertical, 0);
    EXPECT_EQ(putt.horizontal, fsqrt(static_cast<int64_t>(yards(10)) * 12));
    EXPECT_GT(launchFor(kPutter, yards(20)).horizontal, putt.horizontal);
}

TEST(ScoringTest, NamesAgainstParAndTheScorecardsLines)
{
    EXPECT_STREQ(scoreName(3, 1), "Eagle!") << "a hole in one on a par 3";
    EXPECT_STREQ(scoreName(4, 1), "Double Eagle!") << "a hole in one on a par 4";
    EXPECT_STREQ(scoreName(5, 1), "Scorecard") << "four under has no name";
    EXPECT_STREQ(scoreName(4, 3), "Birdie!");
    EXPECT_STREQ(scoreName(5, 5), "Par");
    EXPECT_STREQ(scoreName(3, 4), "Scorecard") << "a bogey";

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

TEST(SurfaceTableTest, ColourKindsAndCourses)
{
    struct Row {
        uint32_t colour;
        int32_t course;
        int32_t code;
        Fixed friction;
        int32_t level;
    } rows[] = {
        { 0xFF000000, 0, 9, 0x4000, 0 },      // black: rough, per course
        { 0xFF000000, 2, 11, 0x4000, 0x40 },  // the highland course lifts pure black
        { 0x00000000, 2, 11, 0x4000, 0x40 },  // alpha does not count
        { 0xFF000050, 1, 3, 0x8000, 0x50 },   // blue: water, level from blue
        { 0xFF003000, 2, 2, 0x2666, 0x30 },   // green: round the green, level from green
        { 0xFF001020, 0, 4, 0x2666, 0x20 },   // cyan: the green, level from blue
        { 0xFF700000, 0, 1, 0x4CCC, 0x70 },   // red, level from red
        { 0xFF110022, 0, 8, 0x4000, 0x22 },   // magenta, per course, level from blue
        { 0xFF110022, 2, 10, 0x4000, 0x22 }, { 0xFF443300, 1, 6, 0x5999, 0x44 },  // yellow, level from red
        { 0xFF010203, 0, 9, 0x4000, 3 },     // all three set: as black, level from blue
        { 0xFF010203, 2, 11, 0x4000, 3 },    // ... but not lifted like pure black
        { 0xFF000000, 7, 9, 0x4000, 0 },     // an unknown course reads as course 0
        { 0xFF110022, 3, 8, 0x4000, 0x22 },  // ... also the one just past the last
    };
    for (const Row& row : rows) {
        Surface s = surfaceForColour(row.course, row.colour);
        EXPECT_EQ(std::make_tuple(s.code, s.friction, s.level), std::make_tuple(row.code, row.friction, row.level))
            << std::hex << row.colour << " course " << row.course;
    }
}

TEST(SurfaceTableTest, TheGroundBeyondAHoleFileIsItsLastWaterAndAFullShotOnItsRoughGoesItsLength)
{
    // (Each fill's surface, level and friction on a loaded hole: InspectHoleTest.)
    ShapeWriter writer(kHoleFileSize, kHoleFileSize);
    const int32_t rough = writer.fill(0xFF000000);
    writer.addRectangle(0, 0, kHoleFileSize, kHoleFileSize, rough);
    writer.addRectangle(100, 100, 200, 200, writer.fill(0xFF000020), rough);
    writer.addRectangle(300, 100, 400, 200, writer.fill(0xFF003040), rough);
    writer.addRectangle(300, 300, 400, 400, writer.fill(0xFF000010), rough);
    const std::vector<uint8_t> bytes = writer.bytes();
    ByteArray array(static_cast<int32_t>(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), array.begin());
    Ref<VpolyTerrain> terrain = make<VpolyTerrain>();
    EXPECT_EQ(loadHoleBytes(terrain, array, 2, nullptr), 3) << "the second pond, not the first";
    EXPECT_EQ(terrain->surfaceAt(toFixed(600), toFixed(20)), 11) << "outside: the background's surface";
    EXPECT_EQ(terrain->surfaceAt(toFixed(150), toFixed(150)), kSurfaceWater);

    // Full swings from (256, 500) up its flat rough (toward -z) without wind rest where a player learns to
    // expect them, 222.8, 131.2 and 58.9 yards on: each launch carries nine tenths of its club's target.
    gravity = kGameGravity;
    ShotPlanner planner(terrain);
    ShotStart s;
    s.x = toFixed(256);
    s.z = toFixed(500);
    s.y = terrain->heightAt(s.x, s.z);
    s.pinX = s.x;
    for (const auto& [club, length] : { std::pair { kDriver, 7302170 }, { 6, 4299111 }, { kPitchingWedge, 1928825 } }) {
        EXPECT_EQ(s.z - planner.simulate(s, club, ShotPlanner::kFullMeter, 0).z, length) << "club " << club + 1;
    }
}

}  // namespace
}  // namespace tarnby
