// Playing by keys and stylus: what each state does with a key and the log it
// writes, the swing from meter to strike, the first stroke of a round on line,
// the distance display, folding the key help, taps and drags while aiming,
// what the waiting aiming screen redraws, a size change applied by the game
// loop; the demo a quiet main menu plays, after which a key brings the menu back
// exactly as it was (the saved game and the random source untouched); "Exit".
#include <algorithm>
#include <cstdlib>
#include <regex>
#include <set>
#include <tuple>

#include "golf/clubs.h"
#include "golf/holetable.h"
#include "golf/play_support.h"
#include "golf/surface_table.h"
#include "runtime/keys.h"

namespace tarnby {
namespace {

using GolfPlayTest = test::Aiming;

TEST_F(GolfPlayTest, KeysInEachState)
{
    // A first start: hole 1 of the first course, the male player, sound on through the host.
    EXPECT_EQ(std::make_tuple(game.hole, game.course, game.roundStrokes, game.soundOff, game.golferFrameBase),
        std::make_tuple(0, 0, 0, false, Golf::kMaleGolfer));
    ASSERT_FALSE(play.sounds().empty());
    EXPECT_EQ(play.sounds().front(), "music") << "the start-up music";

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
    EXPECT_TRUE(std::any_of(game.trailDots.begin(), game.trailDots.end(), [](const Ref<Vsprite>& dot) {
        return dot && dot->hasParent();
    })) << "a ball high in the air leaves a trail";
    play.key(play.now() + 16, 5);
    ASSERT_TRUE(play.runTo(Golf::MapFlight, 500));
    EXPECT_EQ(game.holeStrokes, 1) << "the shot goes on";
    EXPECT_TRUE(game.overheadMap->hasParent());
    ASSERT_TRUE(play.runTo(Golf::Aiming, 20000)) << "the ball comes to rest";
    EXPECT_TRUE(play.log.has(" rest "));
    EXPECT_EQ(play.log.matching(" strike ").size(), 1u);

    // The scorecard waits: arrows do not end it, another key does.
    EXPECT_STREQ(game.loadedHoleFile->chars(), "c0_holes_1-3");
    const Vsprite* map = game.overheadMap.get();
    play.holeOut();
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
    EXPECT_EQ(game.overheadMap.get(), map) << "hole 2 lies in the same file: nothing is loaded";
    EXPECT_TRUE(game.terrain->hasParent()) << "the drawing is back on the map";
    // Hole 4 starts the next file.
    game.hole = 2;
    play.holeOut();
    play.key(play.now() + 32, 5);
    ASSERT_TRUE(play.runTo(Golf::Aiming, 3000));
    EXPECT_EQ(game.hole, 3);
    EXPECT_STREQ(game.loadedHoleFile->chars(), "c0_holes_4-6");
    EXPECT_NE(game.overheadMap.get(), map);
    EXPECT_EQ(game.ballSprite->getX3d(), toFixed(holeRow(0, 3).teeX));

    // Without a second press the meter fills (about 2.1 s) and overswings, 10 to 15 degrees off line.
    const int32_t heading = game.aimHeading;
    play.key(play.now() + 32, 5);
    ASSERT_TRUE(play.runTo(Golf::BallFlight, 5000));
    EXPECT_EQ(game.swingPower, 6553600);
    EXPECT_TRUE(play.log.has(" sound bad"));
    EXPECT_GE(std::abs(game.aimHeading - heading), 910);
    EXPECT_LE(std::abs(game.aimHeading - heading), 1364);

    // The log: every line of these kinds in its exact form, and the events of
    // the swing in order (TarnbyGolfTest checks the clock starts at 0).
    const std::regex state(R"(\d+ state (BallFlight|HoleStart|Overhead|Splash|Aiming|MapFlight|Menu|HoleOver|)"
                           R"(SwingMeter|SwingAnim|PuttAnim) hole ([1-9]|1[0-8]) course [0-2] strokes \d+ round \d+)");
    const std::regex strike(R"(\d+ strike club \d+ power \d+ heading -?\d+ windstrength \d+ winddir -?\d+ )"
                            R"(wind -?\d+,0,-?\d+ from \d+,-?\d+,\d+ launch -?\d+,\d+,-?\d+)");
    const std::regex rest(R"(\d+ rest -?\d+,-?\d+,-?\d+ surface \d+)");
    const std::vector<std::string> order = { "state SwingMeter", "state SwingAnim", "sound swing", "state BallFlight",
        "sound hit", " strike ", " rest ", "state Aiming", "state HoleOver" };
    size_t at = 0;
    for (const std::string& line : play.log.lines) {
        const bool isState = line.find(" state ") != std::string::npos;
        const bool isStrike = line.find(" strike ") != std::string::npos;
        if (isState || isStrike || line.find(" rest ") != std::string::npos) {
            EXPECT_TRUE(std::regex_match(line, isState ? state : isStrike ? strike : rest)) << line;
        }
        at += at < order.size() && line.find(order[at]) != std::string::npos;
    }
    EXPECT_EQ(at, order.size()) << "the events of one shot come in order";
}

TEST_F(GolfPlayTest, TheFirstStrokeOfARoundIsOnLineAndNearThePinTheDistanceIsInFeet)
{
    const HoleRow& row = holeRow(0, 0);
    const int32_t exact = V::atan2(toFixed(row.aimX - row.teeX), toFixed(row.teeZ - row.aimZ)) & 0x7FFF;
    EXPECT_EQ(game.aimHeading, exact) << "no aiming error on the first stroke";

    // Later strokes, and the first of a later hole, start up to 405 units off, in steps of 45.
    std::set<int32_t> errors[2];
    for (int32_t i = 0; i < 32; ++i) {
        game.hole = i % 2;
        game.holeStrokes = 1 - i % 2;
        play.setNow(play.now() + static_cast<uint32_t>(i * 7 + 1));
        game.setUpLie(toFixed(row.aimX), toFixed(row.aimZ));
        const int32_t error = static_cast<int16_t>((game.aimHeading - exact) << 1) >> 1;
        EXPECT_EQ(error % 45, 0);
        EXPECT_GE(error, -405);
        EXPECT_LE(error, 270);
        errors[i % 2].insert(error);
    }
    EXPECT_GT(errors[0].size(), 4u) << "the error varies with the clock";
    EXPECT_GT(errors[1].size(), 4u) << "on the first stroke of the second hole too";

    // Feet and yards: the distance shown from near the first pin.
    game.hole = 0;
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

    // A chip from five yards off the green, as near as a putt, is shown in yards.
    x -= toFixed(5);
    game.ballSprite->setPosition3d(x, game.terrain->heightAt(x, pinZ), pinZ);
    game.aimAtPin();
    EXPECT_EQ(game.club, kPitchingWedge);
    EXPECT_STREQ(game.hudDistance->toString()->chars(), "Yards ");
    EXPECT_EQ(game.hudDistance->getNumber(), fhypot(pinX - x, 0) / 32766);
}

TEST(GolfInputTest, AKeypadPicksClubsAndCancelsASwingInItsFirstFrame)
{
    test::Play play(176, 220, false, "clubmenu");
    play.startAndResume();
    Golf& game = *play.golf;
    EXPECT_EQ(game.keyHelpMenu->m_tileSize, 0) << "a keypad shows text help";
    // The soft key cancels a swing even when it comes before the frame that starts the meter.
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

    // '1' opens the club menu; '7' picks the 7-iron there.
    play.key(play.now() + 32, '1');
    play.at_(play.now() + 150, [&] {
        EXPECT_TRUE(game.clubMenu->hasParent());
        EXPECT_FALSE(game.keyHelpMenu->hasParent()) << "the key help steps aside for the club list";
    });
    play.key(play.now() + 200, '7');
    play.runUntil(play.now() + 500);
    EXPECT_EQ(game.club, 6);
    EXPECT_STREQ(game.hudClub->toString()->chars(), "7i-140");
    EXPECT_FALSE(game.clubMenu->hasParent());
    EXPECT_TRUE(game.keyHelpMenu->hasParent()) << "and comes back";
    EXPECT_TRUE(game.hudPanel->hasParent());
}

TEST_F(GolfPlayTest, TheKeyHelpFoldsAndTapsAndDragsAimAndSwing)
{
    play.runUntil(play.now() + 100);
    ASSERT_TRUE(game.keyHelpMenu->hasParent());

    // The soft key folds the help: the panel goes, the bar shrinks to a corner square.
    play.key(play.now() + 16, 6);
    play.runUntil(play.now() + 100);
    EXPECT_TRUE(game.keyHelpFolded);
    EXPECT_FALSE(game.hudPanel->hasParent());
    EXPECT_TRUE(game.keyHelpMenu->hasParent());
    EXPECT_EQ(game.keyHelpMenu->getHeight(), game.keyHelpMenu->m_tileSize);

    // It stays folded through a visit to the map ('7' opens it, '9' returns).
    play.key(play.now() + 16, '7');
    ASSERT_TRUE(play.runTo(Golf::Overhead, 500));
    EXPECT_TRUE(game.overheadMap->hasParent());
    EXPECT_FALSE(game.terrainView->hasParent());
    play.key(play.now() + 100, '9');
    ASSERT_TRUE(play.runTo(Golf::Aiming, 2000));
    EXPECT_TRUE(game.terrainView->hasParent());
    EXPECT_TRUE(game.keyHelpFolded);
    EXPECT_FALSE(game.hudPanel->hasParent());

    // A tap on the corner square unfolds it.
    play.tap(10, 320 - 10);
    EXPECT_FALSE(game.keyHelpFolded);
    EXPECT_TRUE(game.hudPanel->hasParent());
    EXPECT_GT(game.keyHelpMenu->getHeight(), game.keyHelpMenu->m_tileSize) << "laid out in full again";
    const int32_t heading = game.aimHeading;

    // A tap left of the ball turns the aim left; one on the right turns it right.
    // Above the golfer (whose picture reaches well beside the ball) and below the panel.
    const int32_t ballLeft = game.ballSprite->m_left;
    const int32_t y = game.golferSprite->m_top - 10;
    ASSERT_GT(y, game.hudPanel->m_bottom);
    play.tap(std::max(ballLeft - 30, 1), y);
    EXPECT_EQ(game.aimHeading, heading - 128);
    EXPECT_TRUE(game.stylusOnView);
    play.tap(std::min(game.ballSprite->m_right + 30, 239), y);
    EXPECT_EQ(game.aimHeading, heading);

    // After a tap in the view, a sideways drag turns the aim by 64 units a pixel.
    play.drag(3, 0);
    EXPECT_EQ(game.aimHeading, heading + 192);
    // An upward drag lifts the camera, never below its lowest height.
    const Fixed cameraY = game.terrainView->getY3d();
    play.drag(0, 6);
    EXPECT_EQ(game.terrainView->getY3d(), cameraY + 6 * 0x1555);
    play.drag(0, -100);
    EXPECT_EQ(game.terrainView->getY3d(), game.minCameraHeight);

    // A tap on the golfer swings.
    const Vsprite& golfer = *game.golferSprite;
    play.tap((golfer.m_left + golfer.m_right) / 2 + golfer.getHeight() / 4, (golfer.m_top + golfer.m_bottom) / 2);
    ASSERT_TRUE(play.runTo(Golf::SwingMeter, 500));
    EXPECT_FALSE(game.keyHelpMenu->hasParent()) << "the help leaves for the swing";
}

TEST_F(GolfPlayTest, TheWaitingAimingScreenRedrawsOnlyTheMarkerEverySecondFrame)
{
    play.runUntil(play.now() + 200);
    // Two and a half runs of the marker out along the aim line.
    play.clearPresented();
    const uint32_t start = play.now();
    play.runUntil(start + 80 * 16);
    const int32_t frames = static_cast<int32_t>(play.now() - start) / 16;
    std::vector<int32_t> tops;
    int32_t windChanges = 0;  // the wind drifts: its strength and arrow change on the panel
    for (const HeadlessHost::Rect& r : play.presented()) {
        auto within = [&r](const Vsprite& s) {
            return s.m_left <= r.x && r.x + r.w <= s.m_right && s.m_top <= r.y && r.y + r.h <= s.m_bottom;
        };
        if (within(*game.hudPanel) || within(*game.windArrow)) {
            ++windChanges;
            continue;
        }
        EXPECT_LE(r.w * r.h, 8 * 16) << "only the marker's old and new place are drawn, not " << r.w << " x " << r.h;
        tops.push_back(r.y);
    }
    // Each placement is one area (two when the marker jumps back to the ball).
    const int32_t placements = static_cast<int32_t>(tops.size());
    EXPECT_GE(placements, frames / 2 - 1) << "the marker runs on";
    EXPECT_LE(placements, frames / 2 + 4) << "the frames between placements show nothing";
    EXPECT_LE(windChanges, 4);
    ASSERT_FALSE(tops.empty());
    EXPECT_GE(*std::max_element(tops.begin(), tops.end()) - *std::min_element(tops.begin(), tops.end()), 30)
        << "the marker covers its path along the aim line";
    EXPECT_EQ(game.gameState, Golf::Aiming);
}

TEST_F(GolfPlayTest, ASizeChangeIsAppliedByTheGameLoop)
{
    play.at_(play.now() + 16, [&] {
        game.setSize(320, 240);
        EXPECT_EQ(game.getWidth(), 240) << "not yet: only the game loop resizes";
        EXPECT_EQ(game.pendingWidth, 320);
    });
    play.runUntil(play.now() + 200);
    EXPECT_EQ(std::make_tuple(game.getWidth(), game.getHeight(), game.terrainView->getWidth(), game.wholeMapScale),
        std::make_tuple(320, 240, 320, 320 * 64));
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

TEST(GolfDemoTest, AQuietMenuPlaysTheDemoAndAKeyBringsTheSameMenuBackWithTheSaveUntouched)
{
    test::Play p(240, 320, true, "demo");
    // A save at hole 5 of the second course, 17 strokes into the round, sound off, and one top score.
    ByteArray save = test::saveRecord(4, 17, kFlagSoundOff, 1);
    insertTopScore(save, 70, 2);
    p.writeSave(save);

    p.at_(300, [&] { EXPECT_EQ(p.screenAt(0, 0) & 0xFFFFFF, 0x005995u) << "the start-up screen's deep blue"; });
    p.runUntil(1500);
    ASSERT_EQ(p.golf->gameState, Golf::Menu);
    // Down twice: the highlight leaves the menu's own choice.
    p.key(1600, kKeyDown);
    p.key(1700, kKeyDown);
    p.runUntil(2000);
    ASSERT_TRUE(p.golf->mainMenu->m_selected);
    const int32_t entry = p.golf->mainMenu->m_selected->getTag();
    EXPECT_NE(entry, 'R');
    const std::vector<uint32_t> menuScreen = p.screen();
    const RandomState random = randomState();

    // Still quiet 29.9 s after the last key: no demo yet.
    p.runUntil(1700 + Golf::kDemoAfterMs - 100);
    EXPECT_FALSE(p.log.has(" demo start"));

    // The demo plays for a minute (the game runs on, as in the window), then
    // select ends it.
    const uint32_t pressed = 1700 + Golf::kDemoAfterMs + 60000;
    p.key(pressed, kKeySelect);
    p.runUntil(pressed + 500);
    // The log's lines from "demo start" to "demo end".
    auto says = [](const char* part) { return [part](const std::string& l) { return l.find(part) != l.npos; }; };
    const auto start = std::find_if(p.log.lines.begin(), p.log.lines.end(), says(" demo start"));
    const auto end = std::find_if(start, p.log.lines.end(), says(" demo end"));
    ASSERT_NE(end, p.log.lines.end()) << "a demo after 30 s of a quiet menu, ended by a key";
    test::LinesLog whole;
    whole.lines.assign(start, end + 1);
    EXPECT_GE(whole.matching(" strike ").size(), 2u) << "the golfer should have played shots";
    EXPECT_EQ(whole.matching(" sound ").size(), 0u) << "the player has sound off: the demo is silent";
    EXPECT_EQ(whole.matching(" save").size(), 0u) << "the demo never saves";

    // Select did nothing else: the same entry, no new game.
    EXPECT_LE(std::stoul(whole.lines.back()), pressed + 100) << "the demo ends at the next frame";
    EXPECT_GE(std::stoul(whole.lines.back()), pressed);
    EXPECT_EQ(p.golf->gameState, Golf::Menu);
    ASSERT_TRUE(p.golf->mainMenu->m_selected);
    EXPECT_EQ(p.golf->mainMenu->m_selected->getTag(), entry);
    EXPECT_EQ(std::make_tuple(p.golf->hole, p.golf->course, p.golf->roundStrokes), std::make_tuple(4, 1, 17));
    EXPECT_EQ(p.screen(), menuScreen) << "the menu comes back exactly as it was";
    EXPECT_TRUE(randomState() == random) << "the player's next shot draws as without the demo";
    EXPECT_EQ(test::bytesOf(p.readSave()), test::bytesOf(save)) << "the demo must leave the save file byte for byte";

    // The menu still works, and the timer starts again from the return.
    p.key(p.now() + 100, kKeyUp);
    p.key(p.now() + 200, kKeyUp);
    p.runUntil(p.now() + 400);
    EXPECT_EQ(p.golf->mainMenu->m_selected->getTag(), 'R');
    EXPECT_EQ(p.log.matching(" demo start").size(), 1u);

    // Back moves to "Exit", which ends the game's run.
    p.key(p.now() + 100, kKeyBack);
    p.key(p.now() + 200, kKeySelect);
    p.runUntil(p.now() + 60000);
    EXPECT_LT(p.now(), pressed + 3000) << "run returned when Exit was chosen";
    EXPECT_FALSE(p.golf->isRunning());
}

}  // namespace
}  // namespace tarnby
