// golf-inspect: a command-line inspector for art and course authors.
#include <cstdio>
#include <string>
#include <vector>

#include "golf-inspect/command.h"

namespace tarnby::inspect {

namespace {
std::vector<CommandSetUp>& setUps()
{
    static std::vector<CommandSetUp> table;
    return table;
}
}  // namespace

void registerCommand(CommandSetUp setUp) { setUps().push_back(setUp); }

int fail(const std::string& message)
{
    std::printf("golf-inspect: %s\n", message.c_str());
    return cli::kWorkFailed;
}

}  // namespace tarnby::inspect

int main(int argc, char** argv)
{
    using namespace tarnby;
    auto app = cli::makeApp("golf-inspect", "Looks into the game's data files: picture bundles, fonts, hole files.",
        "golf-inspect hole build/bin/c0_holes_1-3 --at 100,200 --map map.png");
    std::vector<inspect::Command> commands;
    for (inspect::CommandSetUp setUp : inspect::setUps()) {
        commands.push_back(setUp(*app));
    }
    if (auto status = cli::parse(*app, argc, argv)) {
        return *status;
    }
    for (const inspect::Command& command : commands) {
        if (command.app->parsed()) {
            return command.run();
        }
    }
    return cli::kUsageError;  // parse() has made sure that a command was given
}
