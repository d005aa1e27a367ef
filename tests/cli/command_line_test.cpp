// Every program's command line as a user meets it: --help and --version on the
// program and each of its commands, usage errors, and the README's copy of
// each --help.
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace tarnby {
namespace {

using Outcome = test::ProgramRun;

// Runs a program of the build with arguments, e.g. "golf-inspect hole --help".
Outcome run(const std::string& commandLine)
{
    const size_t space = commandLine.find(' ');
    return test::runProgram(commandLine.substr(0, space),
        space == std::string::npos ? "" : commandLine.substr(space + 1));
}

// The commands a --help lists under "Subcommands:", as "PROGRAM COMMAND".
std::vector<std::string> commandsOf(const std::string& program, const std::string& help)
{
    std::vector<std::string> commands;
    std::istringstream lines(help);
    bool listing = false;
    for (std::string line; std::getline(lines, line);) {
        if (line == "Subcommands:") {
            listing = true;
        } else if (line.empty()) {
            listing = false;
        } else if (listing && line.size() > 2 && line[2] != ' ') {
            commands.push_back(program + " " + line.substr(2, line.find(' ', 2) - 2));
        }
    }
    return commands;
}

// The text the README shows after "$ build/bin/COMMAND --help", up to the end
// of its code block; empty when it shows none.
std::string readmeHelp(const std::string& readme, const std::string& command)
{
    const std::string prompt = "$ build/bin/" + command + " --help\n";
    const size_t at = readme.find(prompt);
    if (at == std::string::npos) {
        return "";
    }
    const size_t start = at + prompt.size();
    return readme.substr(start, readme.find("```", start) - start);
}

TEST(CommandLineTest, EveryProgramAnswersHelpVersionAndUsageErrorsAsTheReadmeShows)
{
    std::ifstream file(test::sourceFolder() + "README.md");
    std::ostringstream text;
    text << file.rdbuf();
    const std::string readme = text.str();
    ASSERT_FALSE(readme.empty());
    std::istringstream list(TARNBY_PROGRAMS);
    const std::vector<std::string> names { std::istream_iterator<std::string>(list), {} };
    ASSERT_GE(names.size(), 5u) << TARNBY_PROGRAMS;
    for (const std::string& program : names) {
        SCOPED_TRACE(program);
        const Outcome version = run(program + " --version");
        EXPECT_EQ(version.status, 0);
        EXPECT_EQ(version.output, program + " (Tarnby Golf) " TARNBY_VERSION "\n");

        const Outcome help = run(program + " --help");
        std::vector<std::string> commands = commandsOf(program, help.output);
        commands.insert(commands.begin(), program);
        for (const std::string& command : commands) {
            SCOPED_TRACE(command);
            const Outcome answer = command == program ? help : run(command + " --help");
            EXPECT_EQ(answer.status, 0);
            EXPECT_NE(answer.output.find("\nUsage: " + command + " [OPTIONS]"), std::string::npos) << answer.output;
            EXPECT_NE(answer.output.find("\n  -h,--help "), std::string::npos) << answer.output;
            EXPECT_NE(answer.output.find("\nExample:\n  " + program + " "), std::string::npos) << answer.output;
            EXPECT_EQ(readmeHelp(readme, command), answer.output)
                << "README.md should show the output of build/bin/" << command << " --help";

            const Outcome wrong = run(command + " --no-such-option");
            EXPECT_EQ(wrong.status, 2);
            EXPECT_EQ(wrong.output,
                command + ": unknown option --no-such-option\nRun '" + command + " --help' for its options.\n");
        }
        if (commands.size() > 1) {
            const Outcome none = run(program);
            EXPECT_EQ(none.status, 2) << "a program of commands needs one";
            EXPECT_EQ(none.output.rfind(program + ": a command is needed (", 0), 0u) << none.output;
            const Outcome unknown = run(program + " no-such-command");
            EXPECT_EQ(unknown.status, 2);
            EXPECT_EQ(unknown.output.rfind(program + ": unknown command no-such-command\n", 0), 0u) << unknown.output;
        }
    }
}

}  // namespace
}  // namespace tarnby
