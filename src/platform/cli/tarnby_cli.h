// The command line every program of the game shares: --help and --version,
// the data folder, number lists such as X,Z and WxH, and the exit statuses.
//
// Exit statuses: 0 after the work or after --help and --version; 1 when the
// work itself fails (a file that cannot be read or written); 2 after a usage
// error, which is named on standard output with a one-line hint to --help.
#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarnby::cli {

constexpr int kWorkFailed = 1;
constexpr int kUsageError = 2;

// The game's version, "MAJOR.MINOR.PATCH".
const char* version();

// A program's command line: its name, what it does (the first line of its
// --help), and an example shown at the end of --help. Answers --help and
// --version.
std::unique_ptr<CLI::App> makeApp(const std::string& name, const std::string& description, const std::string& example);

// A subcommand (as in "golf-inspect hole"), with its own --help and example.
CLI::App* addCommand(CLI::App& parent, const std::string& name, const std::string& description,
    const std::string& example);

// --data DIR: the folder the game's data is read from. Left empty when not
// given: the program then uses its own folder, where the build puts the data.
CLI::Option* addDataFolder(CLI::App& app, std::string& folder);

// An option taking whole numbers (32-bit) separated by commas, exactly as many
// as `shape` names ("X,Z" takes two); `into` is filled when it is given.
CLI::Option* addNumbers(CLI::App& app, const std::string& name, const std::string& shape, std::vector<int32_t>& into,
    const std::string& description);

// An option taking a size WxH, both sides from 1 to `largest`.
CLI::Option* addSize(CLI::App& app, const std::string& name, int32_t& width, int32_t& height, int32_t largest,
    const std::string& description);

// `count` whole numbers split by `separator`; nothing unless every part is a
// whole number in range and there are exactly `count` of them.
std::optional<std::vector<int32_t>> parseNumbers(const std::string& text, size_t count, char separator);

// Parses a command line (the arguments after the program name). Gives nothing
// when the program should go on with its work, else the status to exit with
// at once: 0 after --help or --version (printed on standard output), or
// kUsageError after a usage error.
std::optional<int> parse(CLI::App& app, std::vector<std::string> args);
std::optional<int> parse(CLI::App& app, int argc, const char* const* argv);

}  // namespace tarnby::cli
