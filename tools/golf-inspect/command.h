// golf-inspect's commands: each file of the tool registers one by name.
#pragma once

#include <string>
#include <vector>

namespace tarnby::inspect {

using Arguments = std::vector<std::string>;

// Runs a command with the arguments after its name; returns the exit status.
using CommandFunction = int (*)(const Arguments& args);

struct Command {
    const char* name;
    const char* usage;
    CommandFunction run;
};

// Adds a command to the tool; used through a static RegisterCommand object.
void registerCommand(const Command& command);

struct RegisterCommand {
    explicit RegisterCommand(const Command& command) { registerCommand(command); }
};

// Prints a one-line message and gives the failure status.
int fail(const std::string& message);

}  // namespace tarnby::inspect
