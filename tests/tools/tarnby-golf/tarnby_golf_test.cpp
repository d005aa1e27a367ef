// The game program played headless by script, end to end: a new game through
// hole 1, the same game again on three threads, a resume from the save, the
// computer golfer, the program's errors, and damaged data files. (The round's
// end on the top scores is played in-process by GolfSaveTest.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "golf/save_record.h"
#include "runtime/data_stamp.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

namespace fs = std::filesystem;

using test::Damage;
using test::damageName;
using test::kDamages;
using test::ProgramRun;
using test::runProgram;

std::string script(const std::string& name) { return test::sourceFolder() + "tests/tools/tarnby-golf/scripts/" + name; }

using test::readLines;

// How many lines contain `part`.
int64_t count(const std::vector<std::string>& lines, const std::string& part)
{
    return std::count_if(lines.begin(), lines.end(),
        [&](const std::string& line) { return line.find(part) != std::string::npos; });
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

    test::ScratchFolder m_folder;
};

TEST_F(TarnbyGolfTest, ANewGameThroughHoleOnePlaysAlikeOnAnyThreadsThenResumesAtHoleTwo)
{
    ProgramRun first = play("hole1.play", "hole1.log", "--log-steps --threads 1");
    ASSERT_EQ(first.status, 0) << first.output;
    EXPECT_EQ(first.output, "") << "a clean run prints nothing";
    const std::vector<std::string> log = readLines(file("hole1.log"));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "0 state Menu hole 1 course 0 strokes 0 round 0");
    EXPECT_GT(count(log, " step "), 100) << "every flight step is logged";
    EXPECT_EQ(count(log, " strike "), 3);
    EXPECT_EQ(count(log, " holed"), 1);
    EXPECT_EQ(count(log, " state HoleOver "), 1);
    EXPECT_EQ(count(log, " state HoleOver hole 1 course 0 strokes 3 round 0"), 1);
    EXPECT_GT(count(log, " state Aiming hole 2 course 0 strokes 0 round 3"), 0) << "on to hole 2";
    EXPECT_GT(count(log, " sound incup"), 0);
    // Saved: when the female player was chosen, when the round began, after the hole.
    EXPECT_EQ(count(log, " save"), 3);
    ByteArray saved(kSaveSize);
    ASSERT_TRUE(loadSaveFile(save(), saved));
    EXPECT_EQ(readSaveShort(saved, kSaveFlags), kFlagFemale);

    // The same script on three threads (which share out the drawing) plays the same game.
    ASSERT_TRUE(std::remove(save().c_str()) == 0);
    ProgramRun again = play("hole1.play", "again.log", "--log-steps --threads 3");
    ASSERT_EQ(again.status, 0) << again.output;
    EXPECT_EQ(readLines(file("again.log")), log);

    // A new start: "Resume" goes on at hole 2 with the strokes of hole 1.
    ProgramRun second = play("resume.play", "resume.log");
    ASSERT_EQ(second.status, 0) << second.output;
    const std::vector<std::string> resumed = readLines(file("resume.log"));
    EXPECT_GT(count(resumed, " state Aiming hole 2 course 0 strokes 0 round 3"), 0);
    EXPECT_EQ(count(resumed, " state Aiming "), count(resumed, " state Aiming hole 2 course 0 strokes 0 round 3"));
    EXPECT_EQ(count(resumed, " strike "), 0);
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
        { "--headless --replay '" + file("missing.rec") + "'", 1,
            "tarnby-golf: cannot read the script " + file("missing.rec") + "\n" },
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

    // With --autoplay the computer golfer plays the holes asked for.
    ProgramRun golfer = runProgram("tarnby-golf",
        "--headless --autoplay --course 1 --holes 1-1 --save '" + save() + "' --log '" + file("autoplay.log") + "'");
    EXPECT_EQ(golfer.status, 0) << golfer.output;
    EXPECT_EQ(count(readLines(file("autoplay.log")), " autoplay holes 1 strokes "), 1);
}

// The game's start-up on a copy of the build's data files with one of every
// kind (a bundle segment, the hole file of the first holes, the wind arrow,
// the help text, a sound and a font) missing, empty, cut short or full of
// garbage. With the data generation's stamp the game names the file in one
// line and does not start; without one (hand-made data) it plays what it can,
// never crashing.
constexpr const char* kKinds[] = { "golf1.bin", "c0_holes_1-3", "arrow", "help.txt", "swing.wav", "f13.bin" };

class GameDataTest : public TarnbyGolfTest {
protected:
    // A fresh copy of the build's data files (all but its programs), with or without the stamp.
    void copyData(bool withStamp)
    {
        fs::remove_all(data());
        fs::create_directories(data());
        for (const auto& entry : fs::directory_iterator(test::binFolder())) {
            const std::string name = entry.path().filename().string();
            const bool program = (entry.status().permissions() & fs::perms::owner_exec) != fs::perms::none;
            if (entry.is_regular_file() && !program && (withStamp || name != kDataStampName)) {
                fs::copy_file(entry.path(), data() + name);
            }
        }
    }
    ProgramRun start(const std::string& extra)
    {
        return runProgram("tarnby-golf", "--headless --data '" + data() + "' --save '" + save() + "' " + extra);
    }
    std::string data() const { return file("data/"); }
};

TEST_F(GameDataTest, AStampedGenerationWithAnyFileDamagedIsNamedInOneLineAndRefused)
{
    copyData(true);
    test::ProgramRun sound = start("--max-ms 300");
    ASSERT_EQ(sound.status, 0) << "the intact copy plays: " << sound.output;
    for (const char* kind : kKinds) {
        for (Damage how : kDamages) {
            copyData(true);
            ASSERT_TRUE(test::damageFile(data() + kind, how)) << kind << " must be generated";
            test::ProgramRun run = start("--max-ms 300");
            const std::string what = std::string(kind) + " " + damageName(how);
            // Fonts are made apart from the data generation: the game plays
            // without the font, and the font's reader names it.
            const bool font = std::string(kind) == "f13.bin";
            EXPECT_EQ(run.status, font ? 0 : 1) << what;
            EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << what << ": " << run.output;
            EXPECT_EQ(run.output.rfind(font ? "Font file f13.bin " : "tarnby-golf: Data file", 0), 0u)
                << what << ": " << run.output;
            EXPECT_NE(run.output.find(font ? "f13.bin" : data() + kind), std::string::npos)
                << what << ": " << run.output;
        }
    }
    // A segment of another bundle after the last one: the reader would take it on.
    copyData(true);
    ASSERT_TRUE(test::writeBytes(data() + "golf4.bin", std::vector<uint8_t>(100, 7)));
    test::ProgramRun mixed = start("--max-ms 300");
    EXPECT_EQ(mixed.status, 1);
    EXPECT_EQ(mixed.output, "tarnby-golf: Data file " + data()
                                + "golf4.bin is left from another generation (the game would read it with the "
                                  "others): build the game again\n");
    // A damaged stamp is a generation that cannot be trusted either.
    for (Damage how : { Damage::Empty, Damage::CutShort, Damage::Garbage }) {
        copyData(true);
        ASSERT_TRUE(test::damageFile(data() + kDataStampName, how));
        test::ProgramRun run = start("--max-ms 300");
        EXPECT_EQ(run.status, 1) << damageName(how);
        EXPECT_EQ(run.output.rfind("tarnby-golf: Data files incomplete: " + data() + kDataStampName, 0), 0u)
            << run.output;
    }
}

TEST_F(GameDataTest, HandMadeDataWithAnyFileDamagedStillPlays)
{
    for (const char* kind : kKinds) {
        for (Damage how : kDamages) {
            copyData(false);
            ASSERT_TRUE(test::damageFile(data() + kind, how)) << kind << " must be generated";
            const std::string log = file("game.log");
            test::ProgramRun run = start("--script '" + script("damaged.play") + "' --max-ms 7000 --log '" + log + "'");
            const std::string what = std::string(kind) + " " + damageName(how);
            EXPECT_EQ(run.status, 0) << what << ": " << run.output;
            const std::vector<std::string> lines = readLines(log);
            EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                [](const std::string& l) { return l.find(" state Aiming hole 1 ") != std::string::npos; }))
                << what << ": the game reaches hole 1";
            EXPECT_LE(std::count(run.output.begin(), run.output.end(), '\n'), 4) << what << ": " << run.output;
        }
    }
}

}  // namespace
}  // namespace tarnby
