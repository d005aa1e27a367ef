// The game's screens as a player sees them on three devices: start-up, menu,
// aiming with its key help and panel, the meter, a flight with its trail, the
// map, the scorecard, help and the top scores. Each is written as a PNG to
// look at, and checked for what must be on it.
#include "golf/play_support.h"

namespace tarnby {
namespace {

struct Device {
    int32_t width;
    int32_t height;
    bool touch;
    const char* name;
};

class GolfScreensTest : public ::testing::TestWithParam<Device> {};

std::string shotName(const Device& d, const char* what)
{
    return std::string("golf-") + std::to_string(d.width) + "x" + std::to_string(d.height) + "-" + d.name + "-" + what;
}

// Pixels of the screen that differ from a colour.
int32_t pixelsNotOf(const test::Play& play, const Device& d, uint32_t colour)
{
    int32_t n = 0;
    for (int32_t y = 0; y < d.height; ++y) {
        for (int32_t x = 0; x < d.width; ++x) {
            n += (play.pixel(x, y) & 0xFFFFFF) != colour ? 1 : 0;
        }
    }
    return n;
}

TEST_P(GolfScreensTest, EveryScreen)
{
    const Device d = GetParam();
    test::Play play(d.width, d.height, d.touch, std::string("screens-") + d.name);
    Golf& game = *play.golf;

    play.at_(300, [&] {
        play.shot(shotName(d, "1-startup"));
        // The start-up gradient runs from deep to light blue.
        EXPECT_EQ(play.pixel(0, 0) & 0xFFFFFF, 0x005995u);
        EXPECT_GT(pixelsNotOf(play, d, 0x3399FF), d.width * d.height / 4) << "the title and the About text show";
    });
    play.runUntil(1400);
    ASSERT_EQ(game.gameState, Golf::Menu);
    play.shot(shotName(d, "2-menu"));
    EXPECT_TRUE(game.mainMenu->hasParent());

    play.key(play.now() + 16, 'R');
    ASSERT_TRUE(play.runTo(Golf::Aiming, 2000));
    play.runUntil(play.now() + 300);
    play.shot(shotName(d, "3-aiming"));
    EXPECT_TRUE(game.hudPanel->hasParent()) << "the heads-up panel shows while aiming";
    EXPECT_TRUE(game.keyHelpMenu->hasParent()) << "so does the key help";
    EXPECT_EQ(game.keyHelpMenu->m_tileSize != 0, d.touch) << "touch screens get an icon bar";

    // The meter rises; a shot of it, then the release.
    play.key(play.now() + 16, 5);
    play.at_(play.now() + 900, [&] { play.shot(shotName(d, "4-swingmeter")); });
    play.key(play.now() + 1500, 5);
    ASSERT_TRUE(play.runTo(Golf::BallFlight, 4000));
    EXPECT_GT(game.swingMeterBar->getHeight(), 40) << "the bar rose before the release";
    play.runUntil(play.now() + 500);
    if (game.gameState == Golf::BallFlight) {
        play.shot(shotName(d, "5-flight"));
        int32_t dots = 0;
        for (const Ref<Vsprite>& dot : game.trailDots) {
            dots += dot && dot->hasParent() ? 1 : 0;
        }
        EXPECT_GT(dots, 0) << "a ball high in the air leaves a trail";
        play.key(play.now() + 16, 5);
    }
    ASSERT_TRUE(play.runTo(Golf::MapFlight, 3000));
    play.runUntil(play.now() + 200);
    play.shot(shotName(d, "6-map"));
    ASSERT_TRUE(play.runTo(Golf::Aiming, 20000)) << "the ball comes to rest";

    // Hole out: the scorecard.
    const Fixed x = game.pinSprite->getX3d();
    const Fixed z = game.pinSprite->getZ3d();
    game.ball->setPosition(x, game.terrain->heightAt(x, z), z);
    game.ball->setVelocity(0, 0, 0);
    game.setGameState(Golf::BallFlight);
    game.m_frameTime = 16;
    game.stepBallFlight();
    ASSERT_EQ(game.gameState, Golf::HoleOver);
    play.runUntil(play.now() + 100);
    play.shot(shotName(d, "7-scorecard"));
    EXPECT_TRUE(game.scorecard->hasParent());

    // Help from the menu, a page down, then closed.
    play.key(play.now() + 16, 5);
    ASSERT_TRUE(play.runTo(Golf::Aiming, 3000));
    play.key(play.now() + 16, 7);
    ASSERT_TRUE(play.runTo(Golf::Menu, 1000));
    play.key(play.now() + 32, 'H');
    play.at_(play.now() + 400, [&] { play.shot(shotName(d, "8-help")); });
    play.key(play.now() + 600, 4);
    play.at_(play.now() + 1200, [&] { play.shot(shotName(d, "8-help-page2")); });
    play.key(play.now() + 1300, 5);
    play.runUntil(play.now() + 1600);
    EXPECT_EQ(game.gameState, Golf::Menu);

    // The top scores of a saved table.
    writeSaveShort(game.saveData, kSaveTopScores, 71);
    writeSaveShort(game.saveData, kSaveTopScores + 2, 1);
    writeSaveShort(game.saveData, kSaveTopScores + 4, 84);
    writeSaveShort(game.saveData, kSaveTopScores + 6, 9);  // a course that does not exist
    play.at_(play.now() + 200, [&] { play.shot(shotName(d, "9-topscores")); });
    play.key(play.now() + 300, 5);
    play.runScreen(play.now() + 2000, [&] { game.showTopScores(); });
}

INSTANTIATE_TEST_SUITE_P(Devices, GolfScreensTest,
    ::testing::Values(Device { 240, 320, true, "touch" }, Device { 176, 220, false, "keypad" },
        Device { 480, 640, true, "touch" }),
    [](const ::testing::TestParamInfo<Device>& param) {
        return std::to_string(param.param.width) + "x" + std::to_string(param.param.height);
    });

}  // namespace
}  // namespace tarnby
