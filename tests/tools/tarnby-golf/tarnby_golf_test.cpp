// The game program played headless by script, end to end: a new game through
// hole 1 and a resume from the save, the same script giving the same game, the
// computer golfer, and the program's errors. (The round's end on the top
// scores is played in-process by GolfSaveTest.)
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "golf/save_record.h"
#include "runtime/files.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

using test::ProgramRun;
using test::runProgram;

std::string script(const std::string& name) { return test::sourceFolder() + "tests/tools/tarnby-golf/scripts/" + name; }

using test::readLines;

// Lines that contain `part`, in order.
std::vector<std::string> matching(const std::vector<std::string>& lines, const std::string& part)
{
    std::vector<std::string> found;
    for (const std::string& line : lines) {
        if (line.find(part) != std::string::npos) {
            found.push_back(line);
        }
    }
    return found;
}

// The width and height a PNG file declares, or 0 x 0 when it is not one.
std::pair<int, int> pngSize(const std::string& path)
{
    ByteArray bytes = readWholeFile(path);
    static const uint8_t kSignature[8] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    if (bytes.length() < 24 || std::memcmp(bytes.data(), kSignature, 8) != 0) {
        return { 0, 0 };
    }
    auto word = [&](int at) {
        return (bytes[at] << 24) | (bytes[at + 1] << 16) | (bytes[at + 2] << 8) | bytes[at + 3];
    };
    return { word(16), word(20) };
}

class TarnbyGolfTest : public testing::Test {
protected:
    TarnbyGolfTest() : m_folder(testing::UnitTest::GetInstance()->current_test_info()->name()) {}

    // Plays a script headless on this test's save, log and frames.
    ProgramRun play(const std::string& scriptName, const std::string& log, const std::string& extra = "")
    {
        return runProgram("tarnby-golf", "--headless --script '" + script(scriptName) + "' --save '" + save()
                                             + "' --log '" + file(log) + "' --frames '" + file("frames") + "' "
                                             + extra);
    }
    std::string file(const std::string& name) const { return m_folder.file(name); }
    std::string save() const { return file("tarnbygolf"); }
    std::string frame(const std::string& name) const { return file("frames/" + name + ".png"); }

    test::ScratchFolder m_folder;
};

TEST_F(TarnbyGolfTest, ANewGameThroughHoleOneThenResumesAtHoleTwo)
{
    ProgramRun first = play("hole1.play", "hole1.log");
    ASSERT_EQ(first.status, 0) << first.output;
    EXPECT_EQ(first.output, "") << "a clean run prints nothing";
    const std::vector<std::string> log = readLines(file("hole1.log"));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "0 state Menu hole 1 course 0 strokes 0 round 0");
    EXPECT_EQ(matching(log, " strike ").size(), 3u);
    ASSERT_EQ(matching(log, " holed").size(), 1u);
    const std::vector<std::string> over = matching(log, " state HoleOver ");
    ASSERT_EQ(over.size(), 1u);
    EXPECT_NE(over[0].find(" state HoleOver hole 1 course 0 strokes 3 round 0"), std::string::npos) << over[0];
    EXPECT_FALSE(matching(log, " state Aiming hole 2 course 0 strokes 0 round 3").empty()) << "on to hole 2";
    EXPECT_FALSE(matching(log, " sound incup").empty());
    // Saved: when the female player was chosen, when the round began, after the hole.
    EXPECT_EQ(matching(log, " save").size(), 3u);

    ByteArray saved(kSaveSize);
    ASSERT_TRUE(loadSaveFile(save(), saved));
    EXPECT_EQ(readSaveShort(saved, kSaveHole), 1) << "hole 2 is next";
    EXPECT_EQ(readSaveShort(saved, kSaveRoundStrokes), 3);
    EXPECT_EQ(readSaveShort(saved, kSaveFlags), kFlagFemale);
    EXPECT_EQ(readSaveShort(saved, kSaveCourse), 0);
    ProgramRun inspected = runProgram("golf-inspect", "save '" + save() + "'");
    EXPECT_EQ(inspected.output.substr(0, inspected.output.find("reserved")),
        "next hole 2\nround strokes 3\nflags 2 sound on player female\n");

    for (const char* name : { "startup", "menu", "aiming", "meter", "flight", "scorecard", "hole2" }) {
        EXPECT_EQ(pngSize(frame(name)), std::make_pair(240, 320)) << name;
    }

    // A new start: "Resume" goes on at hole 2 with the strokes of hole 1.
    ProgramRun second = play("resume.play", "resume.log");
    ASSERT_EQ(second.status, 0) << second.output;
    const std::vector<std::string> resumed = readLines(file("resume.log"));
    const std::vector<std::string> aiming = matching(resumed, " state Aiming ");
    ASSERT_FALSE(aiming.empty());
    EXPECT_NE(aiming.back().find(" state Aiming hole 2 course 0 strokes 0 round 3"), std::string::npos)
        << aiming.back();
    EXPECT_TRUE(matching(resumed, " strike ").empty());
}

TEST_F(TarnbyGolfTest, TheSameScriptPlaysTheSameGame)
{
    ProgramRun a = play("hole1.play", "a.log", "--log-steps --max-ms 26000 --threads 1");
    ASSERT_EQ(a.status, 0) << a.output;
    ASSERT_TRUE(std::remove(save().c_str()) == 0);
    std::filesystem::rename(file("frames"), file("frames-a"));
    ProgramRun b = play("hole1.play", "b.log", "--log-steps --max-ms 26000 --threads 3");
    ASSERT_EQ(b.status, 0) << b.output;
    const std::vector<std::string> first = readLines(file("a.log"));
    EXPECT_GT(matching(first, " step ").size(), 100u) << "every flight step is logged";
    EXPECT_EQ(first, readLines(file("b.log")));
    for (const char* name : { "aiming", "meter", "flight", "scorecard" }) {
        const ByteArray one = readWholeFile(file(std::string("frames-a/") + name + ".png"));
        const ByteArray three = readWholeFile(frame(name));
        ASSERT_GT(one.length(), 0) << name;
        EXPECT_TRUE(one.length() == three.length() && std::memcmp(one.data(), three.data(), one.length()) == 0)
            << name << " differs between one thread and three";
    }
}

TEST_F(TarnbyGolfTest, ProblemsAreNamedInOneLine)
{
    auto write = [&](const std::string& name, const std::string& text) {
        std::ofstream(file(name)) << text;
        return file(name);
    };
    struct Case {
        std::string arguments;
        int status;
        std::string output;
    } cases[] = {
        { "--headless --script '" + write("bad.play", "100 key select\n50 key select\n") + "'", 2,
            "tarnby-golf: " + file("bad.play") + ":2: time 50 is before the time of the line above (100)\n" },
        { "--headless --script '" + write("shots.play", "100 shot x\n") + "'", 2,
            "tarnby-golf: the script takes shots: give --frames DIR for them\n" },
        { "--headless --script '" + file("missing.play") + "'", 1,
            "tarnby-golf: cannot read the script " + file("missing.play") + "\n" },
        { "--headless --max-ms 100 --log '" + file("no/such/folder.log") + "'", 1,
            "tarnby-golf: cannot write the log " + file("no/such/folder.log") + "\n" },
        // The window checks its script before it opens, with the same words.
        { "--script '" + file("bad.play") + "'", 2,
            "tarnby-golf: " + file("bad.play") + ":2: time 50 is before the time of the line above (100)\n" },
        { "--headless --device phone", 2,
            "tarnby-golf: --device: \"phone\" is not touch, keypad or letters\n"
            "Run 'tarnby-golf --help' for its options.\n" },
    };
    for (const Case& c : cases) {
        ProgramRun run = runProgram("tarnby-golf", c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments;
        EXPECT_EQ(run.output, c.output) << c.arguments;
    }

    // With nothing to play the game just runs to its time limit.
    ProgramRun idle = runProgram("tarnby-golf",
        "--headless --max-ms 500 --save '" + save() + "' --log '" + file("idle.log") + "'");
    EXPECT_EQ(idle.status, 0) << idle.output;
    EXPECT_EQ(idle.output, "");
    const std::vector<std::string> log = readLines(file("idle.log"));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "0 state Menu hole 1 course 0 strokes 0 round 0");

    // With --autoplay the computer golfer plays the holes asked for.
    ProgramRun golfer = runProgram("tarnby-golf",
        "--headless --autoplay --course 1 --holes 1-1 --save '" + save() + "' --log '" + file("autoplay.log") + "'");
    EXPECT_EQ(golfer.status, 0) << golfer.output;
    const std::vector<std::string> played = readLines(file("autoplay.log"));
    ASSERT_FALSE(played.empty());
    EXPECT_NE(played.back().find(" autoplay holes 1 strokes "), std::string::npos) << played.back();
}

}  // namespace
}  // namespace tarnby
