// The game's start-up with damaged data files: every kind of data file
// missing, empty, cut short or full of garbage. With the data generation's
// stamp the game names the file in one line and does not start; without one
// (hand-made data) it plays what it can, never crashing.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "runtime/data_stamp.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

namespace fs = std::filesystem;

using test::Damage;
using test::damageName;
using test::kDamages;

// One data file of each kind the game reads: a bundle segment, the hole file
// of the first holes, the wind arrow, the help text, a sound and a font.
constexpr const char* kKinds[] = { "golf1.bin", "c0_holes_1-3", "arrow", "help.txt", "swing.wav", "f13.bin" };

using test::readLines;

class GameDataTest : public testing::Test {
protected:
    GameDataTest() : m_folder(testing::UnitTest::GetInstance()->current_test_info()->name()) {}

    // A fresh copy of the build's data files, with or without the stamp.
    void copyData(bool withStamp)
    {
        fs::remove_all(data());
        fs::create_directories(data());
        // Every file of the build's data folder but its programs.
        for (const auto& entry : fs::directory_iterator(test::binFolder())) {
            const std::string name = entry.path().filename().string();
            const bool program = (entry.status().permissions() & fs::perms::owner_exec) != fs::perms::none;
            if (entry.is_regular_file() && !program && (withStamp || name != kDataStampName)) {
                fs::copy_file(entry.path(), data() + name);
            }
        }
    }

    void damage(const std::string& name, Damage how)
    {
        ASSERT_TRUE(test::damageFile(data() + name, how)) << name << " must be generated";
    }

    test::ProgramRun start(const std::string& extra)
    {
        return test::runProgram("tarnby-golf",
            "--headless --data '" + data() + "' --save '" + m_folder.file("save") + "' " + extra);
    }

    std::string data() const { return m_folder.file("data/"); }

    test::ScratchFolder m_folder;
};

TEST_F(GameDataTest, AStampedGenerationWithAnyFileDamagedIsNamedInOneLineAndRefused)
{
    copyData(true);
    test::ProgramRun sound = start("--max-ms 300");
    ASSERT_EQ(sound.status, 0) << "the intact copy plays: " << sound.output;
    for (const char* kind : kKinds) {
        for (Damage how : kDamages) {
            copyData(true);
            damage(kind, how);
            test::ProgramRun run = start("--max-ms 300");
            const std::string what = std::string(kind) + " " + damageName(how);
            if (std::string(kind) == "f13.bin") {
                // Fonts are made apart from the data generation: the game
                // plays without the font, and the font's reader names it.
                EXPECT_EQ(run.status, 0) << what << ": " << run.output;
                EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << what << ": " << run.output;
                EXPECT_NE(run.output.find("f13.bin"), std::string::npos) << what << ": " << run.output;
                continue;
            }
            EXPECT_EQ(run.status, 1) << what;
            EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << what << ": " << run.output;
            EXPECT_EQ(run.output.rfind("tarnby-golf: Data file", 0), 0u) << what << ": " << run.output;
            EXPECT_NE(run.output.find(data() + kind), std::string::npos) << what << ": " << run.output;
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
        damage(kDataStampName, how);
        test::ProgramRun run = start("--max-ms 300");
        EXPECT_EQ(run.status, 1) << damageName(how);
        EXPECT_EQ(run.output.rfind("tarnby-golf: Data files incomplete: " + data() + kDataStampName, 0), 0u)
            << run.output;
    }
}

TEST_F(GameDataTest, HandMadeDataWithAnyFileDamagedStillPlays)
{
    const std::string script = test::sourceFolder() + "tests/platform/scripts/damaged.play";
    for (const char* kind : kKinds) {
        for (Damage how : kDamages) {
            copyData(false);
            damage(kind, how);
            const std::string log = m_folder.file("game.log");
            test::ProgramRun run = start("--script '" + script + "' --max-ms 7000 --log '" + log + "'");
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
