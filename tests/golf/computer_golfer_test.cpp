// The computer golfer and its caddie: the golfer plays the real game through
// its keys, every shot exactly as planned (so the planner's meter steps, presses
// and wind are the game's); on the game's own holes the shot the caddie picks
// from a tee stays dry and gets nearer the pin, and tried shots repeat exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "golf/clubs.h"
#include "golf/computer_golfer.h"
#include "golf/hole_setup.h"
#include "golf/holetable.h"
#include "golf/play_support.h"
#include "golf/shot_planner.h"
#include "golf/surface_table.h"

namespace tarnby {
namespace {

// A game whose frames each give the golfer a look before the clock moves on.
class GolferPlay : public test::Play {
public:
    GolferPlay()
        : test::Play(240, 320, true, "golfer"), golfer(*golf, [this](int32_t key) {
              golf->keyDown(key);
              golf->keyUp(key);
          })
    {
    }
    void sleep(int32_t milliseconds) override
    {
        if (playing) {
            golfer.act();
            // The shot the golfer swings at is the one it planned last.
            if (golf->gameState != lastState
                && (golf->gameState == Golf::SwingAnim || golf->gameState == Golf::PuttAnim)) {
                planned.push_back(golfer.choice());
            }
            lastState = golf->gameState;
        }
        test::Play::sleep(milliseconds);
    }
    ComputerGolfer golfer;
    bool playing = false;
    int32_t lastState = -1;
    std::vector<ShotChoice> planned;
};

TEST(ComputerGolferTest, PlaysTheFirstHoleToTheCup)
{
    GolferPlay p;
    p.startAndResume();
    p.golfer.setContinueAfterHole(false);
    p.playing = true;
    ASSERT_TRUE(p.runTo(Golf::HoleOver, 600000)) << "holed within ten minutes of play";
    std::vector<std::string> strikes = p.log.matching(" strike ");
    std::vector<std::string> ends;
    std::copy_if(p.log.lines.begin(), p.log.lines.end(), std::back_inserter(ends), [](const std::string& l) {
        return l.find(" rest ") != l.npos || l.find(" holed") != l.npos || l.find(" water") != l.npos
               || l.find(" out") != l.npos;
    });
    ASSERT_EQ(p.planned.size(), strikes.size());
    ASSERT_EQ(ends.size(), strikes.size());
    for (size_t i = 0; i < strikes.size(); ++i) {
        const ShotChoice& c = p.planned[i];
        char expect[160];
        std::snprintf(expect, sizeof expect, "strike club %d power %d heading %d ", c.club, c.power, c.heading);
        EXPECT_NE(strikes[i].find(expect), std::string::npos) << strikes[i] << " played as planned: " << expect;
        if (c.outcome.end == ShotEnd::Rest) {
            std::snprintf(expect, sizeof expect, " rest %d,%d,%d ", c.outcome.x, c.outcome.y, c.outcome.z);
        } else {
            std::snprintf(expect, sizeof expect, " %s",
                c.outcome.end == ShotEnd::Holed   ? "holed"
                : c.outcome.end == ShotEnd::Water ? "water"
                                                  : "out");
        }
        EXPECT_NE(ends[i].find(expect), std::string::npos) << ends[i] << " ends as foreseen: " << expect;
    }
    EXPECT_LE(p.golf->holeStrokes, holePar(0) + 3);
}

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

TEST(ShotPlannerTest, FromEveryTeeTheShotStaysDryAndGetsNearerByTheCostOfALie)
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
                EXPECT_EQ(std::make_tuple(again.end, again.x, again.z, again.frames),
                    std::make_tuple(c.outcome.end, c.outcome.x, c.outcome.z, c.outcome.frames));
            }
        }
    }

    // The meter's steps are the game's (ComputerGolferTest plays them); a 50 ms
    // frame counts no more than 50.
    EXPECT_EQ(ShotPlanner::powerStep(kDriver, 80), ShotPlanner::powerStep(kDriver, 50));

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
