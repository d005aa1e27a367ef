// Playing by keys: what each state does with a key, the swing from meter to
// strike, the first stroke of a round on line, and the distance display.
#include <cstdlib>
#include <set>

#include "golf/clubs.h"
#include "golf/holetable.h"
#include "golf/play_support.h"
#include "golf/surface_table.h"

namespace tarnby {
namespace {

// Holes the ball at once from wherever it lies.
void holeOut(Golf& game)
{
    const Fixed x = game.pinSprite->getX3d();
    const Fixed z = game.pinSprite->getZ3d();
    game.ball->setPosition(x, game.terrain->heightAt(x, z), z);
    game.ball->setVelocity(0, 0, 0);
    game.ballSprite->setPosition3d(x, game.terrain->heightAt(x, z), z);
    game.setGameState(Golf::BallFlight);
    game.m_frameTime = 16;
    game.stepBallFlight();
}

TEST(GolfPlayTest, KeysInEachState)
{
    test::Play play(240, 320, true, "keys");
    play.startAndResume();
    Golf& game = *play.golf;

    // Select starts the meter; the soft key cancels it without a stroke.
    play.key(play.now() + 32, 5);
    ASSERT_TRUE(play.runTo(Golf::SwingMeter, 500));
    play.key(play.now() + 200, 6);
    ASSERT_TRUE(play.runTo(Golf::Aiming, 500));
    EXPECT_EQ(game.holeStrokes, 0) << "a cancelled swing is no stroke";
    EXPECT_FALSE(play.log.has(" strike "));
    EXPECT_FALSE(game.swingMeter->hasParent()) << "the meter goes away";

    // A swing released by a second press strikes the ball once.
    play.key(play.now() + 32, 5);
    play.key(play.now() + 800, 5);
    ASSERT_TRUE(play.runTo(Golf::BallFlight, 3000));
    EXPECT_EQ(game.holeStrokes, 1);
    ASSERT_EQ(play.log.matching(" strike ").size(), 1u);
    EXPECT_GT(game.swingPower, 0);
    EXPECT_LT(game.swingPower, 6553600) << "released before the meter was full";

    // During the flight an arrow does nothing; select only switches to the map.
    play.key(play.now() + 16, 2);
    play.runUntil(play.now() + 100);
    EXPECT_EQ(game.gameState, Golf::BallFlight);
    play.key(play.now() + 16, 5);
    ASSERT_TRUE(play.runTo(Golf::MapFlight, 500));
    EXPECT_EQ(game.holeStrokes, 1) << "the shot goes on";
    EXPECT_TRUE(game.overheadMap->hasParent());
    ASSERT_TRUE(play.runTo(Golf::Aiming, 20000)) << "the ball comes to rest";
    EXPECT_TRUE(play.log.has(" rest "));
    EXPECT_EQ(play.log.matching(" strike ").size(), 1u);

    // The scorecard waits: arrows do not end it, another key does.
    holeOut(game);
    ASSERT_EQ(game.gameState, Golf::HoleOver);
    EXPECT_TRUE(game.scorecard->hasParent());
    for (int32_t arrow = 1; arrow <= 4; ++arrow) {
        play.key(play.now() + 20 * arrow, arrow);
    }
    play.runUntil(play.now() + 200);
    EXPECT_EQ(game.gameState, Golf::HoleOver);
    play.key(play.now() + 16, 32);
    ASSERT_TRUE(play.runTo(Golf::Aiming, 3000));
    EXPECT_EQ(game.hole, 1) << "on to the second hole";
    EXPECT_FALSE(game.scorecard->hasParent());
    EXPECT_EQ(game.hudHole->getNumber(), 2);
}

TEST(GolfPlayTest, AHoleFileServesThreeHoles)
{
    test::Play play(240, 320, true, "holefiles");
    play.startAndResume();
    Golf& game = *play.golf;
    EXPECT_STREQ(game.loadedHoleFile->chars(), "c0_holes_1-3");
    const Vsprite* map = game.overheadMap.get();
    holeOut(game);
    play.key(play.now() + 32, 5);
    ASSERT_TRUE(play.runTo(Golf::Aiming, 3000));
    EXPECT_EQ(game.hole, 1);
    EXPECT_EQ(game.overheadMap.get(), map) << "hole 2 lies in the same file: nothing is loaded";
    EXPECT_TRUE(game.terrain->hasParent()) << "the drawing is back on the map";

    game.hole = 2;
    holeOut(game);
    play.key(play.now() + 32, 5);
    ASSERT_TRUE(play.runTo(Golf::Aiming, 3000));
    EXPECT_EQ(game.hole, 3);
    EXPECT_STREQ(game.loadedHoleFile->chars(), "c0_holes_4-6") << "hole 4 starts the next file";
    EXPECT_NE(game.overheadMap.get(), map);
    EXPECT_EQ(game.ballSprite->getX3d(), toFixed(holeRow(0, 3).teeX));
}

TEST(GolfPlayTest, HalfASwingWithTheSevenIron)
{
    test::Play play(240, 320, true, "seveniron");
    play.startAndResume();
    Golf& game = *play.golf;
    game.windStrength = 0;
    game.selectClub(6);
    game.swingPower = 50 << 16;
    const Fixed x0 = game.ballSprite->getX3d();
    const Fixed z0 = game.ballSprite->getZ3d();
    game.strikeBall();
    EXPECT_EQ(game.gameState, Golf::BallFlight);
    EXPECT_EQ(game.holeStrokes, 1);
    EXPECT_EQ(game.lastLie->x(), x0);
    // Fly to the first touch of the ground: a 70-yard target carries about
    // 63 yards (90 %), a little less through the air's drag.
    game.m_frameTime = 16;
    int32_t steps = 0;
    while (!game.ball->onGround() && steps < 1000) {
        game.stepBallFlight();
        ++steps;
    }
    const Fixed carry = fhypot(game.ball->getPosition()->x() - x0, game.ball->getPosition()->z() - z0);
    EXPECT_GT(carry, toFixed(50));
    EXPECT_LT(carry, toFixed(70));
    // Straight along the aim.
    const int32_t direction = V::atan2(game.ball->getPosition()->x() - x0, z0 - game.ball->getPosition()->z());
    EXPECT_LT(std::abs(static_cast<int16_t>((direction - game.aimHeading) << 1) >> 1), 64);
}

TEST(GolfPlayTest, TheWindDrifts)
{
    test::Play play(240, 320, true, "wind");
    play.startAndResume();
    Golf& game = *play.golf;
    int32_t lowest = 99;
    int32_t highest = -1;
    int32_t last = game.windStrength;
    for (int32_t frame = 0; frame < 20000; ++frame) {
        play.advance(37);
        game.updateWind();
        const int32_t shown = game.hudWind->getNumber();
        lowest = std::min(lowest, shown);
        highest = std::max(highest, shown);
        EXPECT_LE(std::abs(game.windStrength - last), 128) << "the strength drifts, it does not jump";
        last = game.windStrength;
    }
    EXPECT_GE(lowest, 0);
    EXPECT_LE(highest, 8);
    EXPECT_GT(highest, lowest) << "the wind changes over time";
}

TEST(GolfPlayTest, AFullMeterOverswings)
{
    test::Play play(240, 320, true, "overswing");
    play.startAndResume();
    Golf& game = *play.golf;
    const int32_t heading = game.aimHeading;
    play.key(play.now() + 32, 5);
    // No second press: the meter fills (about 2.1 s) and releases itself.
    ASSERT_TRUE(play.runTo(Golf::BallFlight, 5000));
    EXPECT_EQ(game.swingPower, 6553600);
    EXPECT_TRUE(play.log.has(" sound bad"));
    const int32_t off = std::abs(game.aimHeading - heading);
    EXPECT_GE(off, 910) << "at least 10 degrees off line";
    EXPECT_LE(off, 1364) << "at most 15 degrees off line";
}

TEST(GolfPlayTest, TheFirstStrokeOfARoundIsOnLine)
{
    test::Play play(240, 320, true, "online");
    play.startAndResume();
    Golf& game = *play.golf;
    const HoleRow& row = holeRow(0, 0);
    const int32_t exact = V::atan2(toFixed(row.aimX - row.teeX), toFixed(row.teeZ - row.aimZ)) & 0x7FFF;
    EXPECT_EQ(game.aimHeading, exact) << "no aiming error on the first stroke";

    // Later strokes start up to 405 units off, in steps of 45.
    game.holeStrokes = 1;
    std::set<int32_t> errors;
    for (int32_t i = 0; i < 16; ++i) {
        play.advance(static_cast<uint32_t>(i * 7 + 1));
        game.setUpLie(toFixed(row.aimX), toFixed(row.aimZ));
        const int32_t error = static_cast<int16_t>((game.aimHeading - exact) << 1) >> 1;
        EXPECT_EQ(error % 45, 0);
        EXPECT_GE(error, -405);
        EXPECT_LE(error, 270);
        errors.insert(error);
    }
    EXPECT_GT(errors.size(), 4u) << "the error varies with the clock";
}

TEST(GolfPlayTest, FeetAndYards)
{
    test::Play play(240, 320, true, "distance");
    play.startAndResume();
    Golf& game = *play.golf;
    const Fixed pinX = game.pinSprite->getX3d();
    const Fixed pinZ = game.pinSprite->getZ3d();
    // Walk out from the pin while the ground is green: a putt is shown in feet.
    Fixed x = pinX;
    while (game.terrain->surfaceAt(x - toFixed(1), pinZ) == kSurfaceGreen && pinX - x < toFixed(30)) {
        x -= toFixed(1);
    }
    ASSERT_GT(pinX - x, toFixed(3)) << "the first green is wider than three yards";
    game.ballSprite->setPosition3d(x, game.terrain->heightAt(x, pinZ), pinZ);
    game.aimAtPin();
    EXPECT_EQ(game.club, kPutter);
    EXPECT_STREQ(game.hudDistance->toString()->chars(), "Feet ");
    EXPECT_EQ(game.hudDistance->getNumber(), fhypot(pinX - x, 0) / 10922);

    // From the tee, yards.
    const HoleRow& row = holeRow(0, 0);
    game.ballSprite->setPosition3d(toFixed(row.teeX), 0, toFixed(row.teeZ));
    game.aimAtPin();
    EXPECT_STREQ(game.hudDistance->toString()->chars(), "Yards ");
    EXPECT_EQ(game.hudDistance->getNumber(),
        fhypot(toFixed(row.teeX - row.pinX), toFixed(row.teeZ - row.pinZ)) / 32766);
    EXPECT_EQ(game.club, kDriver) << "a par 4 starts with the driver";
}

TEST(GolfPlayTest, ClubMenuAndMapByKeys)
{
    test::Play play(176, 220, false, "clubmenu");
    play.startAndResume();
    Golf& game = *play.golf;
    EXPECT_EQ(game.keyHelpMenu->m_tileSize, 0) << "a keypad shows text help";
    // '1' opens the club menu; '7' picks the 7-iron there.
    play.key(play.now() + 32, '1');
    play.at_(play.now() + 150, [&] {
        EXPECT_TRUE(game.clubMenu->hasParent());
        EXPECT_FALSE(game.keyHelpMenu->hasParent()) << "the key help steps aside for the club list";
        play.shot("golf-176x220-keypad-clubs");
    });
    play.key(play.now() + 200, '7');
    play.runUntil(play.now() + 500);
    EXPECT_EQ(game.club, 6);
    EXPECT_STREQ(game.hudClub->toString()->chars(), "7i-140");
    EXPECT_FALSE(game.clubMenu->hasParent());
    EXPECT_TRUE(game.keyHelpMenu->hasParent()) << "and comes back";
    EXPECT_TRUE(game.hudPanel->hasParent());
    // '7' opens the map, '9' returns.
    play.key(play.now() + 32, '7');
    ASSERT_TRUE(play.runTo(Golf::Overhead, 1000));
    EXPECT_TRUE(game.overheadMap->hasParent());
    EXPECT_FALSE(game.terrainView->hasParent());
    play.key(play.now() + 32, '9');
    ASSERT_TRUE(play.runTo(Golf::Aiming, 2000));
    EXPECT_TRUE(game.terrainView->hasParent());
}

}  // namespace
}  // namespace tarnby
