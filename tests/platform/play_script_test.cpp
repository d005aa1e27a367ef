// The headless host (the virtual clock that delivers scripted input on its
// way, the screen it keeps and the sounds it records), play scripts and the
// game's recording of them: every event read as written, every kind of bad
// line named with its line number, nothing half-read; the recording's lines in
// the script format, kept in chunks that never move and written whole to a
// file or a descriptor, and the crash report that writes it when the process
// dies of a fatal signal.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/headless/headless_host.h"
#include "platform/headless/png_writer.h"
#include "platform/play/crash_report.h"
#include "platform/play/play_script.h"
#include "platform/play/recording.h"
#include "runtime/keys.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

// A viewport that writes down every key event with the clock's time.
class KeyLog : public Viewport {
public:
    void keyDown(int32_t key) override
    {
        events.push_back("down " + std::to_string(key) + " at " + std::to_string(host().tickCount()) + " pen "
                         + std::to_string(m_penX.load()) + "," + std::to_string(m_penY.load()));
        Viewport::keyDown(key);
    }
    void keyUp(int32_t key) override
    {
        events.push_back("up " + std::to_string(key) + " at " + std::to_string(host().tickCount()));
        Viewport::keyUp(key);
    }
    std::vector<std::string> events;
};

TEST(HeadlessHostTest, DeliversScriptedKeysAndStylusInTimeKeepsTheScreenAndRecordsSounds)
{
    HeadlessHost h(8, 8);
    auto log = make<KeyLog>();
    h.attachInput(log.get());
    // Scheduled out of order; equal times keep the order they were given in.
    h.schedule({ 40, InputEvent::KeyUp, kKeyLeft, 0 });
    h.schedule({ 10, InputEvent::KeyDown, kKeyLeft, 0 });
    h.schedule({ 40, InputEvent::Key, kKeyBack, 0 });
    h.schedule({ 100, InputEvent::Char, 'a', 0 });
    EXPECT_EQ(h.pendingInput(), 4u);

    h.sleep(16);
    EXPECT_EQ(log->events, (std::vector<std::string> { "down 1 at 10 pen 0,0" })) << "delivered at its own time";
    EXPECT_TRUE(log->isKeyDown(kKeyLeft)) << "held until its key-up";
    EXPECT_EQ(h.tickCount(), 16u);
    h.sleep(16);
    EXPECT_EQ(log->events.size(), 1u) << "nothing is due before 40";
    h.sleep(16);
    EXPECT_EQ(log->events,
        (std::vector<std::string> { "down 1 at 10 pen 0,0", "up 1 at 40", "down 7 at 40 pen 0,0", "up 7 at 40" }));
    EXPECT_EQ(h.tickCount(), 48u) << "the clock ends where the sleep ends";
    h.sleep(60);
    EXPECT_EQ(log->events.back(), "up 97 at 100") << "a character is pressed and released";
    EXPECT_EQ(log->nextKey(), kKeyLeft);
    EXPECT_EQ(log->nextKey(), kKeyBack);
    EXPECT_EQ(log->nextKey(), 'a');
    EXPECT_EQ(h.pendingInput(), 0u);

    // An event already due is delivered at the next sleep or on request.
    h.schedule({ 5, InputEvent::Key, kKeyDigit0 + 3, 0 });
    h.deliverDueInput();
    EXPECT_EQ(log->nextKey(), '3');
    // Without a viewport attached, input is dropped rather than kept.
    h.attachInput(nullptr);
    h.schedule({ 120, InputEvent::Key, kKeyUp, 0 });
    h.sleep(100);
    EXPECT_EQ(h.pendingInput(), 0u);
    EXPECT_FALSE(log->hasKey());

    // The stylus: a tap, then the pen held down, dragged and lifted.
    h.attachInput(log.get());
    log->events.clear();
    h.schedule({ 220, InputEvent::Tap, 120, 200 });
    h.schedule({ 240, InputEvent::PenDown, 30, 40 });
    h.schedule({ 250, InputEvent::Drag, 5, -3 });
    h.schedule({ 255, InputEvent::Drag, 2, 1 });
    h.schedule({ 270, InputEvent::PenUp, 0, 0 });
    h.sleep(16);
    EXPECT_EQ(log->events, (std::vector<std::string> { "down 5 at 220 pen 120,200", "up 5 at 220" }))
        << "the tap's place is set before its select press";
    h.sleep(16);
    EXPECT_TRUE(log->isKeyDown(kKeySelect)) << "the pen is still down";
    h.sleep(16);
    EXPECT_EQ(std::make_pair(log->m_dragX.load(), log->m_dragY.load()), std::make_pair(7, -2));
    h.sleep(16);
    EXPECT_FALSE(log->isKeyDown(kKeySelect));
    EXPECT_EQ(log->events.back(), "up 5 at 270");

    HeadlessHost screen(4, 3);
    // A 6 x 2 frame presented at (2, 1): only the part on the screen lands.
    std::vector<uint32_t> frame(6 * 3);
    for (size_t i = 0; i < frame.size(); ++i) {
        frame[i] = 0xFF000000u | static_cast<uint32_t>(i);
    }
    screen.present(frame.data(), 6, 2, 1, 4, 2);
    EXPECT_EQ(screen.screenAt(2, 1), 0xFF000000u | 8u);
    EXPECT_EQ(screen.screenAt(3, 2), 0xFF000000u | 15u);
    EXPECT_EQ(screen.screenAt(1, 1), 0u) << "outside the rectangle";
    EXPECT_EQ(screen.screenAt(9, 9), 0u) << "off the screen reads as black";
    EXPECT_EQ(screen.presents(), 1);
    EXPECT_EQ(screen.presentedPixels(), 4) << "2 x 2 of the 4 x 2 rectangle are on the screen";
    EXPECT_EQ(screen.presented()[0], (HeadlessHost::Rect { 2, 1, 4, 2 })) << "recorded as asked";
    screen.present(frame.data(), 6, -10, -10, 5, 5);
    EXPECT_EQ(screen.presentedPixels(), 4) << "a rectangle wholly off the screen copies nothing";

    test::ScratchFolder folder("headless_host");
    ASSERT_TRUE(screen.writePng(folder.file("screen.png")));
    std::vector<uint8_t> back;
    int32_t w = 0, ht = 0;
    ASSERT_TRUE(readRgbaPng(folder.file("screen.png"), back, w, ht));
    ASSERT_EQ(w * ht, 12);
    EXPECT_EQ(back[(1 * 4 + 2) * 4 + 2], 8) << "blue byte of the pixel at (2, 1)";

    std::vector<std::string> heard;
    screen.playSound("swing");
    screen.setSoundListener([&](const std::string& name) { heard.push_back(name); });
    screen.playSound("hit");
    screen.playSound(nullptr);
    screen.playSound("incup");
    EXPECT_EQ(screen.sounds(), (std::vector<std::string> { "swing", "hit", "incup" }));
    EXPECT_EQ(heard, (std::vector<std::string> { "hit", "incup" })) << "the listener hears what follows it";
}

TEST(PlayScriptTest, ReadsEveryEventKindWithCommentsAndBlankLinesAndKeyNamesDigitsAndCodes)
{
    // Each line and the event it gives (at, kind, a, b); the script opens with a comment and a blank line.
    const struct {
        const char* line;
        uint32_t at;
        ScriptEvent::Kind kind;
        int32_t a, b;
    } want[] = {
        { "0 shot startup   # the first frame", 0, ScriptEvent::Shot, 0, 0 },
        { "1500 key select\r", 1500, ScriptEvent::Key, 5, 0 },
        { "1500 key 5", 1500, ScriptEvent::Key, '5', 0 },
        { "1600 down left", 1600, ScriptEvent::Down, 1, 0 },
        { "\t1700   up left", 1700, ScriptEvent::Up, 1, 0 },
        { "1800 key 10", 1800, ScriptEvent::Key, 10, 0 },
        { "1800 key 05", 1800, ScriptEvent::Key, 5, 0 },
        { "1900 char w", 1900, ScriptEvent::Char, 'w', 0 },
        { "2000 tap 239,319", 2000, ScriptEvent::Tap, 239, 319 },
        { "2000 tap 0,0", 2000, ScriptEvent::Tap, 0, 0 },
        { "2100 drag -12,40", 2100, ScriptEvent::Drag, -12, 40 },
        { "2200 key pound", 2200, ScriptEvent::Key, 35, 0 },
        { "2250 frame 17", 2250, ScriptEvent::Frame, 17, 0 },
        { "2260 pen -3,400", 2260, ScriptEvent::Pen, -3, 400 },  // a recorded stylus place may lie off the screen
        { "2300 quit", 2300, ScriptEvent::Quit, 0, 0 },
    };
    std::string text = "# a whole game\n\n";
    for (const auto& w : want) {
        text += std::string(w.line) + "\n";
    }
    PlayScript script;
    std::string error;
    ASSERT_TRUE(script.parse(text, "game.txt", 240, 320, error)) << error;
    ASSERT_EQ(script.events().size(), std::size(want));
    for (size_t i = 0; i < std::size(want); ++i) {
        const ScriptEvent& e = script.events()[i];
        EXPECT_EQ(std::make_tuple(e.at, e.kind, e.a, e.b, e.line),
            std::make_tuple(want[i].at, want[i].kind, want[i].a, want[i].b, static_cast<int32_t>(i) + 3))
            << want[i].line;
    }
    EXPECT_EQ(script.events()[0].name, "startup");
    EXPECT_EQ(script.endTime(), 2300u);
    EXPECT_TRUE(script.takesShots());

    ASSERT_TRUE(script.parse("# nothing but a comment\n\n", "empty.txt", 240, 320, error));
    EXPECT_TRUE(script.events().empty());
    EXPECT_EQ(script.endTime(), 0u);
    EXPECT_FALSE(script.takesShots());

    struct Row {
        const char* word;
        int32_t code;
    } rows[] = { { "left", 1 }, { "right", 2 }, { "up", 3 }, { "down", 4 }, { "select", 5 }, { "soft", 6 },
        { "back", 7 }, { "space", 32 }, { "star", 42 }, { "pound", 35 }, { "0", 48 }, { "9", 57 }, { "10", 10 },
        { "07", 7 }, { "127", 127 },
        // Not keys: 0 is "no key", codes are signed bytes, names are lower case.
        { "00", 0 }, { "128", 0 }, { "-5", 0 }, { "Left", 0 }, { "enter", 0 }, { "", 0 }, { "1x", 0 },
        { "99999999999999", 0 } };
    for (const Row& row : rows) {
        EXPECT_EQ(PlayScript::keyCode(row.word), row.code) << '"' << row.word << '"';
    }
}

TEST(PlayScriptTest, ABadLineIsNamedWithItsNumberAndNothingIsKeptAndTheLongestScriptsStayWithinTheirLimits)
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
    PlayScript script;
    std::string error;
    for (const Row& row : rows) {
        // The bad line comes third, after a comment and a good event at 100 ms.
        const std::string text = std::string("# start\n100 key select\n") + row.line + "\n200 quit\n";
        EXPECT_FALSE(script.parse(text, "bad.txt", 240, 320, error)) << row.line;
        EXPECT_EQ(error.rfind(std::string("bad.txt:3: ") + row.error, 0), 0u) << row.line << " gave: " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << "one line: " << error;
        EXPECT_TRUE(script.events().empty()) << row.line;
    }

    // As many events as a script may hold, then one more.
    std::string text;
    text.reserve(PlayScript::kMaxEvents * 7 + 16);
    for (size_t i = 0; i < PlayScript::kMaxEvents; ++i) {
        text += "9 quit\n";
    }
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

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Dies of `how` with a recording of two lines and an armed report.
void crashWith(const std::string& path, int how)
{
    Recording r;
    r.frame(0, 16);
    r.keyDown(16, 53);
    const CrashReport report(r, path);
    if (how == 0) {
        // Thrown on a thread of its own, where nothing catches it.
        std::thread([] { throw std::runtime_error("an exception nobody catches"); }).join();
    }
    std::raise(how);
}

TEST(RecordingTest, EventsAreScriptLinesInChunksWrittenWholeToAFileOrADescriptorAndByTheCrashReport)
{
    test::ScratchFolder folder("recording");
    Recording r;
    r.line("# a game");
    r.frame(0, 16);
    r.keyDown(16, 5);
    r.keyUp(16, 5);
    r.pen(33, 120, 7);
    r.drag(33, -3, 12);
    r.keyDown(50, 97);
    r.frame(50, 17);
    std::string expected =
        "# a game\n0 frame 16\n16 down 05\n16 up 05\n33 pen 120,7\n33 drag -3,12\n50 down 97\n50 frame 17\n";
    EXPECT_EQ(r.text(), expected);
    // Then lines of varying length, well past three chunks, so that lines straddle chunk edges.
    for (uint32_t i = 0; expected.size() < 3 * Recording::kChunkSize + 777; ++i) {
        r.frame(i * 16, static_cast<int32_t>(i % 40));
        expected += std::to_string(i * 16) + " frame " + std::to_string(i % 40) + "\n";
    }
    EXPECT_EQ(r.size(), expected.size());
    EXPECT_EQ(r.text(), expected);
    ASSERT_TRUE(r.save(folder.file("whole.play")));
    EXPECT_EQ(fileText(folder.file("whole.play")), expected);
    const int fd = ::open(folder.file("fd.play").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    EXPECT_TRUE(r.writeTo(fd));
    ::close(fd);
    EXPECT_EQ(fileText(folder.file("fd.play")), expected);
    // A folder that is not there: the save fails and says so by its result.
    EXPECT_FALSE(r.save(folder.file("missing/x.play")));

    // A fatal signal or an uncaught exception writes the recording beside the save.
    const std::string path = CrashReport::pathFor(folder.file("tarnbygolf"));
    EXPECT_EQ(path, folder.file("tarnbygolf.crash.play"));
    for (int how : { SIGSEGV, SIGABRT, SIGFPE, 0 }) {
        std::remove(path.c_str());
        EXPECT_DEATH(crashWith(path, how), "") << "signal " << how;
        EXPECT_EQ(fileText(path), "0 frame 16\n16 down 53\n") << "signal " << how;
    }
}

}  // namespace
}  // namespace tarnby
