// The demo: a quiet main menu lets the computer golfer play, and any key or
// tap brings the menu back exactly as it was, the saved game untouched.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "golf/play_support.h"
#include "runtime/keys.h"
#include "runtime/random.h"

namespace tarnby {
namespace {

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A save at hole 5 of the second course, 17 strokes into the round, sound as
// asked, and one top score.
void writeSave(const std::string& path, bool soundOff)
{
    ByteArray save(kSaveSize);
    writeSaveShort(save, kSaveHole, 4);
    writeSaveShort(save, kSaveRoundStrokes, 17);
    writeSaveShort(save, kSaveCourse, 1);
    writeSaveShort(save, kSaveFlags, soundOff ? kFlagSoundOff : 0);
    insertTopScore(save, 70, 2);
    ASSERT_TRUE(storeSaveFile(path, save));
}

// The log's lines from "demo start" to "demo end" (both included).
std::vector<std::string> demoLines(const test::LinesLog& log)
{
    std::vector<std::string> lines;
    bool in = false;
    for (const std::string& line : log.lines) {
        in = in || line.find(" demo start") != std::string::npos;
        if (in) {
            lines.push_back(line);
        }
        if (line.find(" demo end") != std::string::npos) {
            break;
        }
    }
    return lines;
}

size_t count(const std::vector<std::string>& lines, const std::string& part)
{
    size_t n = 0;
    for (const std::string& line : lines) {
        n += line.find(part) != std::string::npos;
    }
    return n;
}

TEST(GolfDemoTest, AQuietMenuPlaysTheDemoAndAKeyBringsTheSameMenuBackWithTheSaveUntouched)
{
    test::Play p(240, 320, true, "demo");
    writeSave(p.savePath(), false);
    const std::string before = fileBytes(p.savePath());

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
    p.shot("demo_menu_before");

    // Still quiet 29.9 s after the last key: no demo yet.
    p.runUntil(1700 + Golf::kDemoAfterMs - 100);
    EXPECT_FALSE(p.log.has(" demo start"));

    // The demo plays for a minute (the game runs on, as in the window), then
    // select ends it.
    const uint32_t pressed = 1700 + Golf::kDemoAfterMs + 60000;
    std::vector<uint32_t> playingScreen;
    p.at_(pressed - 20, [&] {
        playingScreen = p.screen();
        p.shot("demo_playing");
    });
    p.key(pressed, kKeySelect);
    p.runUntil(pressed + 500);
    const std::vector<std::string> whole = demoLines(p.log);
    ASSERT_FALSE(whole.empty()) << "no demo after 30 s of a quiet menu";
    EXPECT_GE(count(whole, " strike "), 2u) << "the golfer should have played shots";
    EXPECT_GE(count(whole, " sound hit"), 1u) << "with the player's sound on, the demo has sound";
    EXPECT_EQ(count(whole, " save"), 0u) << "the demo never saves";
    EXPECT_NE(playingScreen, menuScreen) << "the screen should be the demo's";

    // Select did nothing else: the same entry, no new game.
    ASSERT_TRUE(whole.back().find(" demo end") != std::string::npos) << "a key must end the demo";
    EXPECT_LE(std::stoul(whole.back()), pressed + 100) << "the demo ends at the next frame";
    EXPECT_GE(std::stoul(whole.back()), pressed);
    EXPECT_EQ(p.golf->gameState, Golf::Menu);
    ASSERT_TRUE(p.golf->mainMenu->m_selected);
    EXPECT_EQ(p.golf->mainMenu->m_selected->getTag(), entry);
    EXPECT_EQ(p.golf->hole, 4);
    EXPECT_EQ(p.golf->course, 1);
    EXPECT_EQ(p.golf->roundStrokes, 17);
    EXPECT_EQ(p.screen(), menuScreen) << "the menu comes back exactly as it was";
    p.shot("demo_menu_after");
    EXPECT_EQ(fileBytes(p.savePath()), before) << "the demo must leave the save file byte for byte";

    // The menu still works, and the timer starts again from the return.
    p.key(p.now() + 100, kKeyUp);
    p.key(p.now() + 200, kKeyUp);
    p.runUntil(p.now() + 400);
    EXPECT_EQ(p.golf->mainMenu->m_selected->getTag(), 'R');
    EXPECT_EQ(count(p.log.lines, " demo start"), 1u);
}

TEST(GolfDemoTest, ADemoFromTheMenuOfAHoleInPlayLeavesTheHoleAndTheRandomSourceAsTheyWere)
{
    test::Play p(240, 320, true, "demo_hole");
    writeSave(p.savePath(), true);
    p.startAndResume();
    // Turn the aim, then open the menu over the hole.
    p.key(p.now() + 100, kKeyRight);
    p.key(p.now() + 200, kKeyRight);
    p.key(p.now() + 400, kKeyBack);
    ASSERT_TRUE(p.runTo(Golf::Menu, 2000));
    p.runUntil(p.now() + 500);
    const int32_t heading = p.golf->aimHeading;
    const Fixed ballX = p.golf->ballSprite->getX3d();
    const Fixed ballZ = p.golf->ballSprite->getZ3d();
    const std::vector<uint32_t> menuScreen = p.screen();
    const std::string before = fileBytes(p.savePath());
    const RandomState random = randomState();

    // A tap ends the demo after 20 s of play.
    const uint32_t tapped = p.now() + Golf::kDemoAfterMs + 20000;
    p.tap(tapped, 120, 160);
    p.runUntil(tapped + 300);
    const std::vector<std::string> whole = demoLines(p.log);
    ASSERT_FALSE(whole.empty());
    EXPECT_GE(count(whole, " strike "), 1u);
    EXPECT_EQ(count(whole, " sound "), 0u) << "the player has sound off: the demo is silent";
    ASSERT_TRUE(whole.back().find(" demo end") != std::string::npos);
    EXPECT_GE(std::stoul(whole.back()), tapped);
    EXPECT_EQ(p.screen(), menuScreen);
    EXPECT_EQ(p.golf->aimHeading, heading);
    EXPECT_EQ(p.golf->ballSprite->getX3d(), ballX);
    EXPECT_EQ(p.golf->ballSprite->getZ3d(), ballZ);
    EXPECT_EQ(fileBytes(p.savePath()), before);
    EXPECT_TRUE(randomState() == random) << "the player's next shot draws as without the demo";

    // Back in play on the same hole.
    p.key(p.now() + 100, kKeyBack);
    p.key(p.now() + 200, kKeyBack);
    ASSERT_TRUE(p.runTo(Golf::Aiming, 2000));
    EXPECT_EQ(p.golf->hole, 4);
    EXPECT_EQ(p.golf->aimHeading, heading);
}

}  // namespace
}  // namespace tarnby
