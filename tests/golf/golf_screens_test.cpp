// The game's screens as a player sees them on three devices: start-up, menu,
// aiming with its key help and panel, the meter, a flight, the map, the
// scorecard, help and the top scores.
#include "golf/play_support.h"

namespace tarnby {
namespace {

TEST(GolfScreensTest, StartUpMenuAndAiming)
{
    test::Play play(240, 320, true, "screens");
    play.at_(300, [&] { play.shot("golf-240x320-startup"); });
    play.runUntil(1400);
    EXPECT_EQ(play.golf->gameState, Golf::Menu);
    play.shot("golf-240x320-menu");
    play.startAndResume();
    play.runUntil(play.now() + 400);
    play.shot("golf-240x320-aiming");
}

}  // namespace
}  // namespace tarnby
