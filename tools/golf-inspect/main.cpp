// golf-inspect: a command-line inspector for art and course authors.
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "golf-inspect/command.h"

namespace tarnby::inspect {

namespace {
std::map<std::string, Command>& commands()
{
    static std::map<std::string, Command> table;
    return table;
}

int usage()
{
    std::printf("usage: golf-inspect COMMAND ARGS...\n");
    for (const auto& [name, command] : commands()) {
        std::printf("  golf-inspect %s\n", command.usage);
    }
    return 1;
}
}  // namespace

void registerCommand(const Command& command) { commands()[command.name] = command; }

int fail(const std::string& message)
{
    std::printf("golf-inspect: %s\n", message.c_str());
    return 1;
}

}  // namespace tarnby::inspect

int main(int argc, char** argv)
{
    using namespace tarnby::inspect;
    if (argc < 2) {
        return usage();
    }
    auto found = commands().find(argv[1]);
    if (found == commands().end()) {
        fail(std::string("unknown command ") + argv[1]);
        return usage();
    }
    Arguments args(argv + 2, argv + argc);
    return found->second.run(args);
}
