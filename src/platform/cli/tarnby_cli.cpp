// The shared command-line helper: app set-up, number lists and exit statuses.
#include "platform/cli/tarnby_cli.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iostream>

namespace tarnby::cli {

namespace {

// "golf-inspect hole" for the hole command, so messages say where they belong.
std::string fullName(const CLI::App& app)
{
    std::string name = app.get_name();
    for (const CLI::App* up = app.get_parent(); up != nullptr; up = up->get_parent()) {
        name = up->get_name() + " " + name;
    }
    return name;
}

// The (sub)command whose arguments were being read when parsing stopped.
const CLI::App& deepestCommand(const CLI::App& app)
{
    const std::vector<const CLI::App*> chosen = app.get_subcommands([](const CLI::App* sub) { return sub->parsed(); });
    return chosen.empty() ? app : deepestCommand(*chosen.back());
}

// Names the first argument that no option or command took (there is one).
std::string unexpected(const CLI::App& command)
{
    const std::vector<std::string> left = command.remaining();
    const std::string& first = left.front();
    if (first.size() > 1 && first[0] == '-') {
        return "unknown option " + first;
    }
    const bool takesCommands = !command.get_subcommands([](const CLI::App*) { return true; }).empty();
    return (takesCommands ? "unknown command " : "unexpected argument ") + first;
}

void setUp(CLI::App& app, const std::string& example)
{
    app.footer("Example:\n  " + example);
    // Usage errors are reported by parse(), one message and one hint.
    app.failure_message([](const CLI::App*, const CLI::Error& e) { return std::string(e.what()); });
}

}  // namespace

const char* version() { return TARNBY_VERSION; }

std::unique_ptr<CLI::App> makeApp(const std::string& name, const std::string& description, const std::string& example)
{
    auto app = std::make_unique<CLI::App>(description, name);
    setUp(*app, example);
    app->set_version_flag("--version", name + " (Tarnby Golf) " + version(), "Print the game's version and exit");
    return app;
}

CLI::App* addCommand(CLI::App& parent, const std::string& name, const std::string& description,
    const std::string& example)
{
    CLI::App* command = parent.add_subcommand(name, description);
    setUp(*command, example);
    return command;
}

CLI::Option* addDataFolder(CLI::App& app, std::string& folder)
{
    return app.add_option("--data", folder, "Folder of the game's data (default: the program's own folder)")
        ->type_name("DIR");
}

std::optional<std::vector<int32_t>> parseNumbers(const std::string& text, size_t count, char separator)
{
    std::vector<int32_t> values;
    const char* at = text.data();
    const char* end = text.data() + text.size();
    while (true) {
        int32_t value = 0;
        const auto [stop, error] = std::from_chars(at, end, value);
        if (error != std::errc() || stop == at) {
            return std::nullopt;
        }
        values.push_back(value);
        if (stop == end) {
            break;
        }
        if (*stop != separator) {
            return std::nullopt;
        }
        at = stop + 1;
    }
    if (values.size() != count) {
        return std::nullopt;
    }
    return values;
}

CLI::Option* addNumbers(CLI::App& app, const std::string& name, const std::string& shape, std::vector<int32_t>& into,
    const std::string& description)
{
    const size_t count = static_cast<size_t>(std::count(shape.begin(), shape.end(), ',')) + 1;
    auto read = [name, shape, count, &into](const std::string& text) {
        std::optional<std::vector<int32_t>> values = parseNumbers(text, count, ',');
        if (!values) {
            throw CLI::ValidationError(name,
                "wants " + shape + ", " + std::to_string(count) + " whole numbers split by commas, not '" + text + "'");
        }
        into = *values;
    };
    return app.add_option_function<std::string>(name, read, description)->type_name(shape);
}

CLI::Option* addSize(CLI::App& app, const std::string& name, int32_t& width, int32_t& height, int32_t largest,
    const std::string& description)
{
    auto read = [name, largest, &width, &height](const std::string& text) {
        std::optional<std::vector<int32_t>> size = parseNumbers(text, 2, 'x');
        if (!size || (*size)[0] < 1 || (*size)[1] < 1 || (*size)[0] > largest || (*size)[1] > largest) {
            throw CLI::ValidationError(name,
                "wants WxH, width and height from 1 to " + std::to_string(largest) + ", not '" + text + "'");
        }
        width = (*size)[0];
        height = (*size)[1];
    };
    return app.add_option_function<std::string>(name, read, description)
        ->type_name("WxH")
        ->default_str(std::to_string(width) + "x" + std::to_string(height));
}

std::optional<int> parse(CLI::App& app, std::vector<std::string> args)
{
    try {
        std::reverse(args.begin(), args.end());  // CLI11 takes them last first
        app.parse(args);
        // A program made of commands needs one of them.
        const auto commands = app.get_subcommands([](const CLI::App*) { return true; });
        if (!commands.empty() && app.get_subcommands().empty()) {
            std::string names;
            for (const CLI::App* command : commands) {
                names += (names.empty() ? "" : ", ") + command->get_name();
            }
            throw CLI::RequiredError("a command is needed (" + names + ")", CLI::ExitCodes::RequiredError);
        }
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
            app.exit(e, std::cout, std::cout);  // --help or --version
            std::cout.flush();
            return 0;
        }
        const CLI::App& command = deepestCommand(app);
        const std::string name = fullName(command);
        // An argument nothing took is told first: other complaints (a required
        // option missing, say) often follow from it.
        const std::string message = command.remaining().empty() ? std::string(e.what()) : unexpected(command);
        std::printf("%s: %s\nRun '%s --help' for its options.\n", name.c_str(), message.c_str(), name.c_str());
        std::fflush(stdout);
        return kUsageError;
    }
    return std::nullopt;
}

std::optional<int> parse(CLI::App& app, int argc, const char* const* argv)
{
    return parse(app, std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
}

}  // namespace tarnby::cli
