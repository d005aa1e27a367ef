// The demo: a quiet main menu lets the computer golfer play, and any key brings
// the menu back exactly as it was, the saved game and the random source untouched.
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

// A save at hole 5 of the second course, 17 strokes into the round, sound off,
// and one top score.
void writeSave(const std::string& path)
{
    ByteArray save(kSaveSize);
    writeSaveShort(save, kSaveHole, 4);
    writeSaveShort(save, kSaveRoundStrokes, 17);
    writeSaveShort(save, kSaveCourse, 1);
    writeSaveShort(save, kSaveFlags, kFlagSoundOff);
    insertTopScore(save, 70, 2);
    ASSERT_TRUE(storeSaveFile(path, save));
}

// The log's lines from "demo start" to "demo end" (both included).
test::LinesLog demoLines(const test::LinesLog& log)
{
    test::LinesLog demo;
    for (const std::string& line : log.lines) {
        if (!demo.lines.empty() || line.find(" demo start") != std::string::npos) {
            demo.lines.push_back(line);
        }
        if (line.find(" demo end") != std::string::npos) {
            break;
        }
    }
    return demo;
}

TEST(GolfDemoTest, AQuietMenuPlaysTheDemoAndAKeyBringsTheSameMenuBackWithTheSaveUntouched)
{
    test::Play p(240, 320, true, "demo");
    writeSave(p.savePath());
    const std::string before = fileBytes(p.savePath());

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
    std::vector<uint32_t> playingScreen;
    p.at_(pressed - 20, [&] { playingScreen = p.screen(); });
    p.key(pressed, kKeySelect);
    p.runUntil(pressed + 500);
    const test::LinesLog whole = demoLines(p.log);
    ASSERT_FALSE(whole.lines.empty()) << "no demo after 30 s of a quiet menu";
    EXPECT_GE(whole.matching(" strike ").size(), 2u) << "the golfer should have played shots";
    EXPECT_EQ(whole.matching(" sound ").size(), 0u) << "the player has sound off: the demo is silent";
    EXPECT_EQ(whole.matching(" save").size(), 0u) << "the demo never saves";
    EXPECT_NE(playingScreen, menuScreen) << "the screen should be the demo's";

    // Select did nothing else: the same entry, no new game.
    ASSERT_TRUE(whole.lines.back().find(" demo end") != std::string::npos) << "a key must end the demo";
    EXPECT_LE(std::stoul(whole.lines.back()), pressed + 100) << "the demo ends at the next frame";
    EXPECT_GE(std::stoul(whole.lines.back()), pressed);
    EXPECT_EQ(p.golf->gameState, Golf::Menu);
    ASSERT_TRUE(p.golf->mainMenu->m_selected);
    EXPECT_EQ(p.golf->mainMenu->m_selected->getTag(), entry);
    EXPECT_EQ(p.golf->hole, 4);
    EXPECT_EQ(p.golf->course, 1);
    EXPECT_EQ(p.golf->roundStrokes, 17);
    EXPECT_EQ(p.screen(), menuScreen) << "the menu comes back exactly as it was";
    EXPECT_TRUE(randomState() == random) << "the player's next shot draws as without the demo";
    EXPECT_EQ(fileBytes(p.savePath()), before) << "the demo must leave the save file byte for byte";

    // The menu still works, and the timer starts again from the return.
    p.key(p.now() + 100, kKeyUp);
    p.key(p.now() + 200, kKeyUp);
    p.runUntil(p.now() + 400);
    EXPECT_EQ(p.golf->mainMenu->m_selected->getTag(), 'R');
    EXPECT_EQ(p.log.matching(" demo start").size(), 1u);
}

}  // namespace
}  // namespace tarnby
