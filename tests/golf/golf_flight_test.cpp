// How a shot ends: the cup (resting in it, passing over it fast, rolling
// through it between two steps), water and out of bounds with their penalty
// and the spot the ball is played again from, and the switch to the map.
#include "golf/holetable.h"
#include "golf/play_support.h"
#include "golf/surface_table.h"

namespace tarnby {
namespace {

class FlightTest : public test::Aiming {
protected:
    // The ball in play at (x, z) on the ground plus `lift`, moving at `vx` toward +x and `vy` up.
    void placeBall(Fixed x, Fixed z, Fixed lift, Fixed vx, Fixed vy = 0)
    {
        const Fixed y = game.terrain->heightAt(x, z) + lift;
        game.ball->setPosition(x, y, z);
        game.ball->setVelocity(vx, vy, 0);
        game.ballSprite->setPosition3d(x, y, z);
        game.restFrames = 0;
        game.lastPinDistance = 0;
        game.setGameState(Golf::BallFlight);
    }
    // One step of the flight in a frame of `ms`; false when the flight is over.
    bool step(int32_t ms = 16)
    {
        game.m_frameTime = ms;
        return game.stepBallFlight();
    }
    // Lets a ball placed in water come to rest there.
    void splash()
    {
        for (int32_t i = 0; i < 100 && step() && game.gameState == Golf::BallFlight; ++i) {}
    }

    // A point of the loaded hole file with this surface, searched on a grid.
    bool findSurface(int32_t surface, Fixed& x, Fixed& z)
    {
        for (int32_t j = 8; j < 504; j += 4) {
            for (int32_t i = 8; i < 504; i += 4) {
                if (game.terrain->surfaceAt(toFixed(i), toFixed(j)) == surface
                    && game.terrain->surfaceAt(toFixed(i + 3), toFixed(j + 3)) == surface
                    && game.terrain->surfaceAt(toFixed(i - 3), toFixed(j - 3)) == surface) {
                    x = toFixed(i);
                    z = toFixed(j);
                    return true;
                }
            }
        }
        return false;
    }
};

TEST_F(FlightTest, TheCupTakesASlowBallAndOneThatRollsThroughBetweenTwoSteps)
{
    const Fixed pinX = game.pinSprite->getX3d();
    const Fixed pinZ = game.pinSprite->getZ3d();
    struct Case {
        Fixed dx, lift, vx;  // from the pin, above the ground, speed toward +x
        int32_t ms;
        bool holed;
        const char* what;
    } cases[] = {
        { -0x1000, 0x1000, 20 * 32768, 16, false, "20 yards a second (the cup takes 11.11) passes over" },
        { 600, 0, 0, 16, true, "at rest a thirty-sixth of a yard from the pin" },
        { -0x2AAB, 0, 8 * 32768, 60, true, "from a third of a yard short to well past the pin in one step" },
    };
    size_t holed = 0;
    for (const Case& c : cases) {
        placeBall(pinX + c.dx, pinZ, c.lift, c.vx);
        EXPECT_EQ(step(c.ms), !c.holed) << c.what;
        EXPECT_EQ(game.gameState, c.holed ? Golf::HoleOver : Golf::BallFlight) << c.what;
        holed += c.holed ? 1 : 0;
        EXPECT_EQ(play.log.matching(" holed").size(), holed) << c.what;
        EXPECT_EQ(game.ballSprite->hasParent(), !c.holed) << "a holed ball leaves the view: " << c.what;
    }
    EXPECT_GT(game.ballSprite->getX3d() - pinX, 911) << "the last step ended beyond the cup";
}

TEST_F(FlightTest, WaterAndOutOfBoundsCostAStrokeAndReplayFromTheLieAndABallOffTheScreenGoesToTheMap)
{
    Fixed wx = 0;
    Fixed wz = 0;
    ASSERT_TRUE(findSurface(kSurfaceWater, wx, wz)) << "hole 1 of the first course has water";
    const HoleRow& row = holeRow(0, 0);
    // Played from the tee: back to the tee, aimed at the hole's aim point again.
    game.lastLie->set(toFixed(row.teeX), game.ballSprite->getY3d(), toFixed(row.teeZ));
    game.holeStrokes = 1;
    placeBall(wx, wz, 0, 0);
    splash();
    EXPECT_EQ(game.gameState, Golf::Splash);
    EXPECT_EQ(game.holeStrokes, 2) << "one penalty stroke";
    EXPECT_TRUE(play.log.has(" water"));
    EXPECT_EQ(std::make_pair(game.ballSprite->getX3d(), game.ballSprite->getZ3d()),
        std::make_pair(toFixed(row.teeX), toFixed(row.teeZ)));
    const Fixed viaAim = fhypot(toFixed(row.teeX - row.aimX), toFixed(row.teeZ - row.aimZ))
                         + fhypot(toFixed(row.aimX - row.pinX), toFixed(row.aimZ - row.pinZ));
    EXPECT_EQ(game.hudDistance->getNumber(), viaAim / 32766) << "the distance runs through the aim point";

    // The map ball sinks, then play returns to aiming.
    EXPECT_TRUE(play.runTo(Golf::Aiming, 3000));

    // From anywhere else, even straight ahead of the tee, the ball is aimed at the pin. (Hole 1
    // runs straight at its pin; hole 3, in the same file, bends: its aim point is not its pin.)
    game.hole = 2;
    const HoleRow& bent = holeRow(0, 2);
    const Fixed lieX = toFixed(bent.teeX);
    const Fixed lieZ = toFixed(bent.teeZ - 60);
    game.lastLie->set(lieX, game.terrain->heightAt(lieX, lieZ), lieZ);
    placeBall(wx, wz, 0, 0);
    splash();
    EXPECT_EQ(game.ballSprite->getX3d(), lieX);
    const Fixed toPin = fhypot(lieX - game.pinSprite->getX3d(), lieZ - game.pinSprite->getZ3d());
    EXPECT_EQ(game.hudDistance->getNumber(), toPin / 32766) << "aimed straight at the pin";

    // Out of bounds: 511.99 yards is still on the course; moving east across the edge is out.
    placeBall(toFixed(512) - 300, toFixed(200), toFixed(5), 0);
    EXPECT_TRUE(step());
    EXPECT_EQ(game.gameState, Golf::BallFlight);
    EXPECT_EQ(game.holeStrokes, 3);
    placeBall(toFixed(512) - 300, toFixed(200), toFixed(5), 10 * 32768);
    EXPECT_TRUE(step());
    EXPECT_EQ(game.gameState, Golf::Overhead);
    EXPECT_EQ(game.holeStrokes, 4) << "one penalty stroke";
    EXPECT_TRUE(play.log.has(" out"));
    ASSERT_TRUE(game.message);
    EXPECT_STREQ(game.message->toString()->chars(), "Out of bounds");
    EXPECT_EQ(std::make_tuple(game.ballSprite->getX3d(), game.ballSprite->getZ3d(), game.ballShadowSprite->getX3d(),
                  game.mapBallSprite->getX()),
        std::make_tuple(lieX, lieZ, lieX, lieX))
        << "the ball, its shadow and the ball on the map go back to where it was struck";
    EXPECT_TRUE(game.overheadMap->hasParent()) << "the map shows";

    // West of the course (x < 0) is out too.
    placeBall(toFixed(1), toFixed(200), toFixed(5), -40 * 32768);
    EXPECT_TRUE(step(60));
    EXPECT_EQ(game.gameState, Golf::Overhead);

    // Back to aiming with the back key; the message goes.
    play.key(play.now() + 32, 7);
    EXPECT_TRUE(play.runTo(Golf::Aiming, 2000));
    EXPECT_FALSE(game.message->hasParent());

    // Far behind the camera: neither the ball nor its shadow can be seen.
    const Fixed x = game.terrainView->getX3d() - game.terrainView->viewX(0, toFixed(-30));
    const Fixed z = game.terrainView->getZ3d() - game.terrainView->viewZ(0, toFixed(-30));
    placeBall(x, z, toFixed(3), 0, toFixed(5));
    game.ballShadowSprite->setPosition3d(x, game.terrain->heightAt(x, z), z);
    const Fixed before = game.ball->getPosition()->y();
    play.runUntil(play.now() + 100, [&] {
        game.paint();
        game.runBallFlight();
    });
    EXPECT_EQ(game.gameState, Golf::MapFlight);
    EXPECT_EQ(game.ball->getPosition()->y(), before) << "switching takes the frame: no step";
    EXPECT_TRUE(game.overheadMap->hasParent());
    EXPECT_FALSE(game.terrainView->hasParent());

    // Holed on the map: straight to the scorecard.
    placeBall(game.pinSprite->getX3d() + 300, game.pinSprite->getZ3d(), 0, 0);
    game.enterOverhead(Golf::MapFlight);
    game.m_frameTime = 16;
    game.runMapFlight();
    EXPECT_EQ(game.gameState, Golf::HoleOver);
    EXPECT_TRUE(game.scorecard->hasParent());
    EXPECT_TRUE(game.overheadMap->hasParent()) << "the map stays under the scorecard";
    play.key(play.now() + 32, 5);
    ASSERT_TRUE(play.runTo(Golf::Aiming, 3000));
    EXPECT_FALSE(game.overheadMap->hasParent()) << "and goes when play continues";
    EXPECT_TRUE(game.terrainView->hasParent());
    EXPECT_EQ(game.hole, 3) << "on from the third hole, where the water test left the game";
}

}  // namespace
}  // namespace tarnby
