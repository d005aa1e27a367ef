// Play scripts: every event read as written, every kind of bad line named
// with its line number, nothing half-read.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/play/play_script.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

TEST(PlayScriptTest, ReadsEveryEventKindWithCommentsAndBlankLines)
{
    const std::string text = "# a whole game\n"
                             "\n"
                             "0 shot startup   # the first frame\n"
                             "1500 key select\r\n"
                             "1500 key 5\n"
                             "1600 down left\n"
                             "\t1700   up left\n"
                             "1800 key 10\n"
                             "1800 key 05\n"
                             "1900 char w\n"
                             "2000 tap 239,319\n"
                             "2000 tap 0,0\n"
                             "2100 drag -12,40\n"
                             "2200 key pound\n"
                             "2300 quit\n";
    PlayScript script;
    std::string error;
    ASSERT_TRUE(script.parse(text, "game.txt", 240, 320, error)) << error;
    struct Want {
        uint32_t at;
        ScriptEvent::Kind kind;
        int32_t a, b;
        int32_t line;
    } want[] = {
        { 0, ScriptEvent::Shot, 0, 0, 3 },
        { 1500, ScriptEvent::Key, 5, 0, 4 },
        { 1500, ScriptEvent::Key, '5', 0, 5 },
        { 1600, ScriptEvent::Down, 1, 0, 6 },
        { 1700, ScriptEvent::Up, 1, 0, 7 },
        { 1800, ScriptEvent::Key, 10, 0, 8 },
        { 1800, ScriptEvent::Key, 5, 0, 9 },
        { 1900, ScriptEvent::Char, 'w', 0, 10 },
        { 2000, ScriptEvent::Tap, 239, 319, 11 },
        { 2000, ScriptEvent::Tap, 0, 0, 12 },
        { 2100, ScriptEvent::Drag, -12, 40, 13 },
        { 2200, ScriptEvent::Key, 35, 0, 14 },
        { 2300, ScriptEvent::Quit, 0, 0, 15 },
    };
    ASSERT_EQ(script.events().size(), std::size(want));
    for (size_t i = 0; i < std::size(want); ++i) {
        const ScriptEvent& e = script.events()[i];
        EXPECT_EQ(e.at, want[i].at) << "event " << i;
        EXPECT_EQ(e.kind, want[i].kind) << "event " << i;
        EXPECT_EQ(e.a, want[i].a) << "event " << i;
        EXPECT_EQ(e.b, want[i].b) << "event " << i;
        EXPECT_EQ(e.line, want[i].line) << "event " << i;
    }
    EXPECT_EQ(script.events()[0].name, "startup");
    EXPECT_EQ(script.endTime(), 2300u);
    EXPECT_TRUE(script.takesShots());

    ASSERT_TRUE(script.parse("# nothing but a comment\n\n", "empty.txt", 240, 320, error));
    EXPECT_TRUE(script.events().empty());
    EXPECT_EQ(script.endTime(), 0u);
    EXPECT_FALSE(script.takesShots());
}

TEST(PlayScriptTest, KeyNamesDigitsAndCodes)
{
    struct Row {
        const char* word;
        int32_t code;
    } rows[] = {
        { "left", 1 },
        { "right", 2 },
        { "up", 3 },
        { "down", 4 },
        { "select", 5 },
        { "soft", 6 },
        { "back", 7 },
        { "space", 32 },
        { "star", 42 },
        { "pound", 35 },
        { "0", 48 },
        { "9", 57 },
        { "10", 10 },
        { "07", 7 },
        { "127", 127 },
        // Not keys: 0 is "no key", codes are signed bytes, names are lower case.
        { "00", 0 },
        { "128", 0 },
        { "-5", 0 },
        { "Left", 0 },
        { "enter", 0 },
        { "", 0 },
        { "1x", 0 },
        { "99999999999999", 0 },
    };
    for (const Row& row : rows) {
        EXPECT_EQ(PlayScript::keyCode(row.word), row.code) << '"' << row.word << '"';
    }
}

TEST(PlayScriptTest, ABadLineIsNamedWithItsNumberAndNothingIsKept)
{
    struct Row {
        const char* line;
        const char* error;
    } rows[] = {
        { "100 key lft", "unknown key \"lft\"" },
        { "100 key", "\"key\" needs a value" },
        { "100 key select now", "unexpected \"now\" after the event" },
        { "100 quit now", "unexpected \"now\" after the event" },
        { "100", "an event must follow the time" },
        { "-5 key select", "\"-5\" is not a time in milliseconds" },
        { "1.5 key select", "\"1.5\" is not a time in milliseconds" },
        { "2147483648 quit", "\"2147483648\" is not a time in milliseconds" },
        { "select 100", "\"select\" is not a time in milliseconds" },
        { "100 press select", "unknown event \"press\"" },
        { "100 KEY select", "unknown event \"KEY\"" },
        { "100 \x1b[2J\x07\xff now", "unknown event \"?[2J??\"" },
        { "100 char ab", "\"ab\" is not one printable character" },
        { "100 tap 240,10", "tap \"240,10\" is not X,Y on the 240x320 screen" },
        { "100 tap 10,320", "tap \"10,320\" is not X,Y on the 240x320 screen" },
        { "100 tap -1,10", "tap \"-1,10\" is not X,Y on the 240x320 screen" },
        { "100 tap 10", "tap \"10\" is not X,Y on the 240x320 screen" },
        { "100 tap 10,", "tap \"10,\" is not X,Y on the 240x320 screen" },
        { "100 drag 10,20,30", "drag \"10,20,30\" is not DX,DY" },
        { "100 drag 10001,0", "drag \"10001,0\" is not DX,DY" },
        { "100 shot ../escape", "shot name \"../escape\" must be" },
        { "100 shot .hidden", "shot name \".hidden\" must be" },
        { "99 key select", "time 99 is before the time of the line above (100)" },
    };
    for (const Row& row : rows) {
        // The bad line comes third, after a comment and a good event at 100 ms.
        const std::string text = std::string("# start\n100 key select\n") + row.line + "\n200 quit\n";
        PlayScript script;
        std::string error;
        EXPECT_FALSE(script.parse(text, "bad.txt", 240, 320, error)) << row.line;
        EXPECT_EQ(error.rfind(std::string("bad.txt:3: ") + row.error, 0), 0u) << row.line << " gave: " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << "one line: " << error;
        EXPECT_TRUE(script.events().empty()) << row.line;
    }
}

TEST(PlayScriptTest, LoadsAFileAndNamesOneThatCannotBeRead)
{
    test::ScratchFolder folder("play_script");
    ASSERT_TRUE(test::writeBytes(folder.file("ok.txt"), { '5', ' ', 'q', 'u', 'i', 't' }));
    PlayScript script;
    std::string error;
    ASSERT_TRUE(script.load(folder.file("ok.txt"), 176, 220, error)) << error;
    ASSERT_EQ(script.events().size(), 1u);
    EXPECT_EQ(script.events()[0].kind, ScriptEvent::Quit);
    EXPECT_EQ(script.endTime(), 5u);

    for (const std::string& path : { folder.file("missing.txt"), folder.path() }) {
        EXPECT_FALSE(script.load(path, 176, 220, error));
        EXPECT_EQ(error, "cannot read the script " + path);
    }
    ASSERT_TRUE(test::writeBytes(folder.file("bad.txt"), { '1', ' ', 't', 'a', 'p', ' ', '1', '7', '6', ',', '0' }));
    EXPECT_FALSE(script.load(folder.file("bad.txt"), 176, 220, error));
    EXPECT_EQ(error, folder.file("bad.txt") + ":1: tap \"176,0\" is not X,Y on the 176x220 screen");
}

TEST(PlayScriptTest, TheLongestScriptsAndLinesStayWithinTheirLimits)
{
    // As many events as a script may hold, then one more.
    std::string text;
    text.reserve(PlayScript::kMaxEvents * 7 + 16);
    for (size_t i = 0; i < PlayScript::kMaxEvents; ++i) {
        text += "9 quit\n";
    }
    PlayScript script;
    std::string error;
    ASSERT_TRUE(script.parse(text, "long", 176, 220, error)) << error;
    EXPECT_EQ(script.events().size(), PlayScript::kMaxEvents);
    text += "10 key 5\n";
    EXPECT_FALSE(script.parse(text, "long", 176, 220, error));
    EXPECT_EQ(error, "long:1048577: more than 1048576 events");
    EXPECT_TRUE(script.events().empty());

    // A word of a megabyte is quoted in part: the message stays one short line.
    const std::string word(1 << 20, '7');
    for (const std::string& line : { word + " quit", "1 " + word + " 5", "1 key " + word, "1 quit " + word }) {
        EXPECT_FALSE(script.parse(line, "wide", 176, 220, error));
        EXPECT_LT(error.size(), 200u) << error.substr(0, 200);
        EXPECT_NE(error.find("7777..."), std::string::npos) << error.substr(0, 200);
    }

    // A file beyond the limit is refused before it is parsed.
    test::ScratchFolder folder("play_script_large");
    std::vector<uint8_t> large(PlayScript::kMaxFileBytes + 1, '\n');
    ASSERT_TRUE(test::writeBytes(folder.file("large.txt"), large));
    EXPECT_FALSE(script.load(folder.file("large.txt"), 176, 220, error));
    EXPECT_EQ(error, "the script " + folder.file("large.txt") + " is larger than 16777216 bytes");
}

}  // namespace
}  // namespace tarnby
