// The computer golfer plays the real game through its keys.
#include <gtest/gtest.h>

#include <cstdio>

#include "golf/computer_golfer.h"
#include "golf/holetable.h"
#include "golf/play_support.h"

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
    for (const std::string& line : p.log.lines) {
        if (line.find(" rest ") != std::string::npos || line.find(" holed") != std::string::npos
            || line.find(" water") != std::string::npos || line.find(" out") != std::string::npos) {
            ends.push_back(line);
        }
    }
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

}  // namespace
}  // namespace tarnby
