// The caddie on the game's own holes: the shot it picks from a tee stays dry
// and gets nearer the pin, tried shots repeat exactly, and its meter steps and
// aim headings are the ones the game can give.
#include <gtest/gtest.h>

#include "golf/clubs.h"
#include "golf/hole_setup.h"
#include "golf/holetable.h"
#include "golf/shot_planner.h"
#include "golf/surface_table.h"
#include "runtime/files.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

Ref<VpolyTerrain> loadTerrain(int32_t course, int32_t hole)
{
    setDataFolder(test::binFolder());
    Ref<VpolyTerrain> terrain = make<VpolyTerrain>();
    if (loadHole(terrain, holeFileName(course, hole), course, nullptr) < 0) {
        return {};
    }
    gravity = kGameGravity;
    return terrain;
}

ShotStart teeShot(const Ref<VpolyTerrain>& terrain, int32_t course, int32_t hole, int32_t aimError)
{
    const HoleRow& row = holeRow(course, hole);
    ShotStart s;
    s.x = toFixed(row.teeX);
    s.z = toFixed(row.teeZ);
    s.y = terrain->heightAt(s.x, s.z);
    s.pinX = toFixed(row.pinX);
    s.pinZ = toFixed(row.pinZ);
    s.pinY = terrain->heightAt(s.pinX, s.pinZ);
    s.heading = ShotPlanner::headingTo(s.x, s.z, toFixed(row.aimX), toFixed(row.aimZ)) + aimError;
    s.windX = 3000;  // a light breeze toward the east
    return s;
}

Fixed pinDistance(const ShotStart& s, Fixed x, Fixed z) { return fhypot(wrapSub(s.pinX, x), wrapSub(s.pinZ, z)); }

TEST(ShotPlannerTest, FromEveryTeeTheShotStaysDryAndGetsNearer)
{
    for (int32_t course = 0; course < kCourses; ++course) {
        for (int32_t hole = 0; hole < kHolesPerCourse; ++hole) {
            Ref<VpolyTerrain> terrain = loadTerrain(course, hole);
            ASSERT_TRUE(terrain) << "course " << course << " hole " << hole + 1;
            ShotPlanner planner(terrain);
            // The aim starts off line by the game's error, up to 405 units either way.
            for (int32_t aimError : { -405, 0, 270 }) {
                const ShotStart s = teeShot(terrain, course, hole, aimError);
                const ShotChoice c = planner.plan(s);
                SCOPED_TRACE("course " + std::to_string(course) + " hole " + std::to_string(hole + 1) + " error "
                             + std::to_string(aimError));
                ASSERT_TRUE(c.outcome.end == ShotEnd::Rest || c.outcome.end == ShotEnd::Holed);
                EXPECT_LT(pinDistance(s, c.outcome.x, c.outcome.z), pinDistance(s, s.x, s.z));
                EXPECT_EQ((c.heading - s.heading) % 128, 0) << "reachable by arrow presses";
                EXPECT_GE(c.power, ShotPlanner::powerStep(c.club));
                EXPECT_LE(c.power, ShotPlanner::kFullMeter);
                // Trying the chosen shot again gives the same flight: nothing of
                // one try leaks into the next.
                const ShotOutcome again = planner.simulate(s, c.club, c.power, c.heading);
                EXPECT_EQ(again.end, c.outcome.end);
                EXPECT_EQ(again.x, c.outcome.x);
                EXPECT_EQ(again.z, c.outcome.z);
                EXPECT_EQ(again.frames, c.outcome.frames);
            }
        }
    }
}

TEST(ShotPlannerTest, PlaysEveryCourseWithinThreeOverParPerHole)
{
    // Shot after shot as planned, from where each one comes to rest (a penalty
    // counts two and plays again from the same spot).
    for (int32_t course = 0; course < kCourses; ++course) {
        int32_t strokes = 0;
        int32_t par = 0;
        for (int32_t hole = 0; hole < kHolesPerCourse; ++hole) {
            Ref<VpolyTerrain> terrain = loadTerrain(course, hole);
            ASSERT_TRUE(terrain);
            ShotPlanner planner(terrain);
            ShotStart s = teeShot(terrain, course, hole, 0);
            int32_t n = 0;
            for (bool holed = false; !holed && n < 20;) {
                const ShotChoice c = planner.plan(s);
                n += c.outcome.end == ShotEnd::Water || c.outcome.end == ShotEnd::Out ? 2 : 1;
                holed = c.outcome.end == ShotEnd::Holed;
                if (c.outcome.end == ShotEnd::Rest) {
                    s.x = c.outcome.x;
                    s.y = c.outcome.y;
                    s.z = c.outcome.z;
                    s.heading = ShotPlanner::headingTo(s.x, s.z, s.pinX, s.pinZ) + 150;
                }
            }
            EXPECT_LT(n, 20) << "course " << course << " hole " << hole + 1 << " finished";
            strokes += n;
            par += holePar(hole);
        }
        EXPECT_LE(strokes, par + 3 * kHolesPerCourse) << "course " << course;
    }
}

TEST(ShotPlannerTest, MeterStepsHeadingsAndWindAreTheGames)
{
    // The meter rises 1.5 x 2048 per millisecond with a full club, 2048 with
    // the putter, and a 50 ms frame counts no more than 50.
    EXPECT_EQ(ShotPlanner::powerStep(kDriver), 49152);
    EXPECT_EQ(ShotPlanner::powerStep(kPutter), 32768);
    EXPECT_EQ(ShotPlanner::powerStep(kDriver, 80), ShotPlanner::powerStep(kDriver, 50));
    EXPECT_EQ(ShotPlanner::maxSteps(kDriver), 134);
    EXPECT_EQ(ShotPlanner::maxSteps(kPutter), 200);
    EXPECT_EQ(ShotPlanner::powerAfter(kDriver, 133), 133 * 49152);
    EXPECT_EQ(ShotPlanner::powerAfter(kDriver, 134), ShotPlanner::kFullMeter);

    // Headings turn the short way round, in whole presses of 128.
    EXPECT_EQ(ShotPlanner::reachableHeading(100, 100 + 300), 100 + 256);
    EXPECT_EQ(ShotPlanner::reachableHeading(32700, 100), 32700 + 128);
    EXPECT_EQ(ShotPlanner::reachableHeading(100, 32700), 100 - 128);

    // Heading 0 looks toward -z, a quarter turn toward +x.
    EXPECT_EQ(ShotPlanner::headingTo(toFixed(10), toFixed(10), toFixed(10), toFixed(5)), 0);
    EXPECT_EQ(ShotPlanner::headingTo(toFixed(10), toFixed(10), toFixed(15), toFixed(10)), 8192);

    // A wind of strength 1 blowing at direction 0 pushes toward -z at 6.007
    // yards per time unit, and a quarter turn later toward +x.
    Fixed x = 1;
    Fixed z = 1;
    ShotPlanner::windVector(kOne, 0, x, z);
    EXPECT_LE(fabs(x), 8);
    EXPECT_EQ(z, -196829);
    ShotPlanner::windVector(kOne, 8192, x, z);
    EXPECT_EQ(x, 196829);
    EXPECT_LE(fabs(z), 8);

    // Fewer strokes to play the nearer the ball lies, none below one.
    int32_t last = 0;
    for (int32_t yards = 0; yards <= 600; yards += 5) {
        const int32_t cost = ShotPlanner::strokesFrom(toFixed(yards));
        EXPECT_GT(cost, last) << yards;
        last = cost;
    }
    EXPECT_EQ(ShotPlanner::strokesFrom(0), 1000);
}

}  // namespace
}  // namespace tarnby
