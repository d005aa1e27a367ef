// The stylus and the screen: taps and drags while aiming, folding the key
// help, a size change applied by the game loop, leaving by "Exit", and the
// exact form of the log lines the program writes.
#include <regex>

#include "golf/play_support.h"

namespace tarnby {
namespace {

TEST(GolfInputTest, TapsAndDragsWhileAiming)
{
    test::Play play(240, 320, true, "taps");
    play.startAndResume();
    Golf& game = *play.golf;
    play.runUntil(play.now() + 100);
    const int32_t heading = game.aimHeading;

    // A tap left of the ball turns the aim left; one on the right turns it right.
    // Above the golfer (whose picture reaches well beside the ball) and below the panel.
    const int32_t ballLeft = game.ballSprite->m_left;
    const int32_t y = game.golferSprite->m_top - 10;
    ASSERT_GT(y, game.hudPanel->m_bottom);
    play.tap(play.now() + 16, std::max(ballLeft - 30, 1), y);
    play.runUntil(play.now() + 100);
    EXPECT_EQ(game.aimHeading, heading - 128);
    EXPECT_TRUE(game.stylusOnView);
    play.tap(play.now() + 16, std::min(game.ballSprite->m_right + 30, 239), y);
    play.runUntil(play.now() + 100);
    EXPECT_EQ(game.aimHeading, heading);

    // After a tap in the view, a sideways drag turns the aim by 64 units a pixel.
    play.drag(play.now() + 16, 3, 0);
    play.runUntil(play.now() + 100);
    EXPECT_EQ(game.aimHeading, heading + 192);
    // An upward drag lifts the camera, never below its lowest height.
    const Fixed cameraY = game.terrainView->getY3d();
    play.drag(play.now() + 16, 0, 6);
    play.runUntil(play.now() + 100);
    EXPECT_EQ(game.terrainView->getY3d(), cameraY + 6 * 0x1555);
    play.drag(play.now() + 16, 0, -100);
    play.runUntil(play.now() + 100);
    EXPECT_EQ(game.terrainView->getY3d(), game.minCameraHeight);

    // A tap on the golfer swings.
    const Vsprite& golfer = *game.golferSprite;
    play.tap(play.now() + 16, (golfer.m_left + golfer.m_right) / 2 + golfer.getHeight() / 4,
        (golfer.m_top + golfer.m_bottom) / 2);
    ASSERT_TRUE(play.runTo(Golf::SwingMeter, 500));
    EXPECT_FALSE(game.keyHelpMenu->hasParent()) << "the help leaves for the swing";
}

TEST(GolfInputTest, FoldingTheKeyHelp)
{
    test::Play play(240, 320, true, "fold");
    play.startAndResume();
    Golf& game = *play.golf;
    play.runUntil(play.now() + 100);
    ASSERT_TRUE(game.keyHelpMenu->hasParent());

    // The soft key folds the help: the panel goes, the bar shrinks to a corner square.
    play.key(play.now() + 16, 6);
    play.runUntil(play.now() + 100);
    EXPECT_TRUE(game.keyHelpFolded);
    EXPECT_FALSE(game.hudPanel->hasParent());
    EXPECT_TRUE(game.keyHelpMenu->hasParent());
    EXPECT_EQ(game.keyHelpMenu->getHeight(), game.keyHelpMenu->m_tileSize);
    play.shot("golf-240x320-touch-folded");

    // It stays folded through a visit to the map.
    play.key(play.now() + 16, '7');
    ASSERT_TRUE(play.runTo(Golf::Overhead, 500));
    play.key(play.now() + 100, '9');
    ASSERT_TRUE(play.runTo(Golf::Aiming, 2000));
    EXPECT_TRUE(game.keyHelpFolded);
    EXPECT_FALSE(game.hudPanel->hasParent());

    // A tap on the corner square unfolds it.
    play.tap(play.now() + 16, 10, 320 - 10);
    play.runUntil(play.now() + 100);
    EXPECT_FALSE(game.keyHelpFolded);
    EXPECT_TRUE(game.hudPanel->hasParent());
    EXPECT_GT(game.keyHelpMenu->getHeight(), game.keyHelpMenu->m_tileSize) << "laid out in full again";
}

TEST(GolfInputTest, TheSoftKeyInTheMeterSFirstFrameCancels)
{
    test::Play play(176, 220, false, "firstframe");
    play.startAndResume();
    Golf& game = *play.golf;
    // Both keys are queued before the frame that starts the swing runs.
    play.at_(play.now() + 16, [&] {
        game.keyDown(5);
        game.keyUp(5);
        game.keyDown(6);
        game.keyUp(6);
    });
    play.runUntil(play.now() + 300);
    EXPECT_EQ(game.gameState, Golf::Aiming) << "the cancel stands";
    EXPECT_FALSE(game.swingMeter->hasParent());
    EXPECT_EQ(game.holeStrokes, 0);
}

TEST(GolfInputTest, ASizeChangeIsAppliedByTheGameLoop)
{
    test::Play play(240, 320, true, "resize");
    play.startAndResume();
    Golf& game = *play.golf;
    play.at_(play.now() + 16, [&] {
        game.setSize(320, 240);
        EXPECT_EQ(game.getWidth(), 240) << "not yet: only the game loop resizes";
        EXPECT_EQ(game.pendingWidth, 320);
    });
    play.runUntil(play.now() + 200);
    EXPECT_EQ(game.getWidth(), 320);
    EXPECT_EQ(game.getHeight(), 240);
    EXPECT_EQ(game.terrainView->getWidth(), 320);
    EXPECT_EQ(game.wholeMapScale, 320 * 64);
    EXPECT_TRUE(game.keyHelpMenu->hasParent()) << "the icon bar comes back";
    EXPECT_EQ(game.cameraHeight, (240 >> 2) * 1706);

    // Asking for the old size again before the loop ran is not lost.
    play.at_(play.now() + 16, [&] {
        game.setSize(240, 320);
        game.setSize(320, 240);
    });
    play.runUntil(play.now() + 100);
    EXPECT_EQ(game.getWidth(), 320);
}

TEST(GolfInputTest, ExitEndsTheRun)
{
    test::Play play(240, 320, true, "exit");
    play.key(1500, 7);  // Back moves to "Exit"...
    play.key(1550, 5);  // ... which ends the game
    play.runUntil(60000);
    EXPECT_LT(play.now(), 3000u) << "run returned when Exit was chosen";
    EXPECT_FALSE(play.golf->isRunning());
}

TEST(GolfInputTest, LogLines)
{
    test::Play play(240, 320, true, "loglines");
    play.startAndResume();
    play.key(play.now() + 16, 5);
    play.key(play.now() + 700, 5);
    ASSERT_TRUE(play.runTo(Golf::BallFlight, 3000));
    ASSERT_TRUE(play.runTo(Golf::Aiming, 30000));

    const std::regex state(R"(\d+ state (BallFlight|HoleStart|Overhead|Splash|Aiming|MapFlight|Menu|HoleOver|)"
                           R"(SwingMeter|SwingAnim|PuttAnim) hole ([1-9]|1[0-8]) course [0-2] strokes \d+ round \d+)");
    const std::regex strike(R"(\d+ strike club \d+ power \d+ heading -?\d+ windstrength \d+ winddir -?\d+ )"
                            R"(wind -?\d+,0,-?\d+ from \d+,-?\d+,\d+ launch -?\d+,\d+,-?\d+)");
    const std::regex rest(R"(\d+ rest -?\d+,-?\d+,-?\d+ surface \d+)");
    int32_t states = 0;
    for (const std::string& line : play.log.lines) {
        if (line.find(" state ") != std::string::npos) {
            EXPECT_TRUE(std::regex_match(line, state)) << line;
            ++states;
        } else if (line.find(" strike ") != std::string::npos) {
            EXPECT_TRUE(std::regex_match(line, strike)) << line;
        } else if (line.find(" rest ") != std::string::npos) {
            EXPECT_TRUE(std::regex_match(line, rest)) << line;
        }
    }
    EXPECT_GE(states, 5);
    // The swing in order: meter, animation, flight, rest, aiming.
    const std::vector<std::string> order = { "state SwingMeter", "state SwingAnim", "sound swing", "state BallFlight",
        "sound hit", " strike ", " rest ", "state Aiming" };
    size_t at = 0;
    for (const std::string& line : play.log.lines) {
        if (at < order.size() && line.find(order[at]) != std::string::npos) {
            ++at;
        }
    }
    EXPECT_EQ(at, order.size()) << "the events of one shot come in order";
    EXPECT_EQ(play.log.lines.front().rfind("0 ", 0), 0u) << "the clock starts at 0: " << play.log.lines.front();
}

}  // namespace
}  // namespace tarnby
