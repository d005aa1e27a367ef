// golf-inspect on damaged copies of every kind of file it reads: the game's
// own hole file, picture bundle and font, and a save, each missing, empty, cut
// short or full of garbage. Whatever it could not show fails in one line that
// names the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace tarnby {
namespace {

namespace fs = std::filesystem;

using test::Damage;

TEST(InspectDamagedTest, EveryKindOfFileDamagedFailsInOneLineNamingIt)
{
    test::ScratchFolder folder("inspect_damaged");
    const std::string bin = test::binFolder();
    // A round saved at hole 4 on the second course, one top score.
    std::vector<uint8_t> save(40, 0);
    save[0] = 3;
    save[2] = 12;
    save[8] = 1;
    save[10] = 72;
    save[12] = 1;

    struct Case {
        const char* command;
        std::vector<std::string> files;  // copied from the build; the first one is damaged
        std::string argument;            // what the command is given (the copy's name or prefix)
        Damage how;
        int status;  // 1, or 0 where the damaged file is still a file of its kind
    };
    std::vector<Case> cases;
    for (Damage how : test::kDamages) {
        cases.push_back({ "hole", { "c0_holes_1-3" }, "c0_holes_1-3", how, 1 });
        cases.push_back({ "bundle", { "golf0.bin", "golf1.bin", "golf2.bin", "golf3.bin" }, "golf", how, 1 });
        cases.push_back({ "font", { "f13.bin" }, "f13.bin", how, 1 });
        // Any 40 bytes are a save to show as stored; the game mends them.
        cases.push_back({ "save", { "tarnbygolf" }, "tarnbygolf", how, how == Damage::Garbage ? 0 : 1 });
    }
    // The bundle's later segments: one lost, one cut short.
    cases.push_back({ "bundle", { "golf1.bin", "golf0.bin", "golf2.bin", "golf3.bin" }, "golf", Damage::Missing, 1 });
    cases.push_back({ "bundle", { "golf3.bin", "golf0.bin", "golf1.bin", "golf2.bin" }, "golf", Damage::CutShort, 1 });

    for (const Case& c : cases) {
        const std::string what = std::string(c.command) + " " + c.files.front() + " " + test::damageName(c.how);
        fs::remove_all(folder.file("copy"));
        fs::create_directories(folder.file("copy"));
        for (const std::string& name : c.files) {
            const std::string copy = folder.file("copy/" + name);
            if (name == "tarnbygolf") {
                ASSERT_TRUE(test::writeBytes(copy, save));
            } else {
                fs::copy_file(bin + name, copy);
            }
        }
        ASSERT_TRUE(test::damageFile(folder.file("copy/" + c.files.front()), c.how)) << what;
        const std::string argument = folder.file("copy/" + c.argument);
        const test::ProgramRun run = test::runProgram("golf-inspect", std::string(c.command) + " '" + argument + "'");
        EXPECT_EQ(run.status, c.status) << what << ": " << run.output;
        if (c.status != 0) {
            EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << what << ": " << run.output;
            EXPECT_NE(run.output.find(argument), std::string::npos) << what << ": " << run.output;
        }
    }
}

}  // namespace
}  // namespace tarnby
