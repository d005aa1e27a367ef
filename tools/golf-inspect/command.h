// golf-inspect's commands: each file of the tool registers one, which adds its
// subcommand and options to the tool's command line.
#pragma once

#include <functional>
#include <string>

#include "platform/cli/tarnby_cli.h"

namespace tarnby::inspect {

// Runs a command after its arguments were read; returns the exit status.
using CommandRun = std::function<int()>;

// A command: its subcommand of the tool's command line, and what runs it.
struct Command {
    CLI::App* app;
    CommandRun run;
};

// Adds a command's subcommand (through cli::addCommand) to the tool, with its
// options bound to state that its run function shares.
using CommandSetUp = Command (*)(CLI::App& tool);

// Adds a command to the tool; used through a static RegisterCommand object.
void registerCommand(CommandSetUp setUp);

struct RegisterCommand {
    explicit RegisterCommand(CommandSetUp setUp) { registerCommand(setUp); }
};

// Prints a one-line message and gives the failure status.
int fail(const std::string& message);

}  // namespace tarnby::inspect
