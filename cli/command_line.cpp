#include "cli/command_line.h"

#include <CLI/CLI.hpp>

#include <memory>

#include "cli/command_help.h"
#include "common/program_version.h"

namespace corvel::cli {

namespace {

constexpr const char* kExitStatusText =
    "Options may stand before or after the command.\n"
    "Exit status: 0 success, 1 device or file error, 2 usage error, 130 a conversion\n"
    "interrupted by Ctrl-C.";

bool IsOption(const std::string& item) { return item.size() > 1 && item[0] == '-'; }

// What the words after `group` name: "command" for the tool, "logs action"...
std::string GroupWord(const CLI::App& group) {
    return group.get_parent() ? group.get_name() + " action" : "command";
}

// "option --port needs a value" from CLI11's "--port: 1 required NAME missing".
UsageError MissingValue(const CLI::ArgumentMismatch& error) {
    const std::string text = error.what();
    return UsageError("option " + text.substr(0, text.find(':')) + " needs a value");
}

}  // namespace

CommandLine::CommandLine() : tool_("", "corvelctl") {
    // Set before the commands are added: they inherit these.
    tool_.formatter(std::make_shared<CommandHelp>());
    tool_.set_help_flag("-h,--help", "this text; COMMAND --help tells about one command");
    tool_.allow_extras();  // left-over words are reported in the tool's own words
    tool_.fallthrough();   // the tool's options also after the command
    tool_.require_subcommand(0, 1);
    tool_.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    tool_.footer(kExitStatusText);
    addGlobalOptions();
}

void CommandLine::addGlobalOptions() {
    tool_.add_option("-p,--port", texts_.port, "COM1..COM100 or a device path (default COM1)")->option_text("NAME");
    tool_.add_option("-b,--baud", texts_.baud, "line speed (default 115200)")->option_text("N");
    tool_.add_option("-a,--address", texts_.address, "network address of the transmitter, 1..254 (default 40)")
        ->option_text("A");
    tool_.add_flag("-j,--json", flags_.json, "one JSON object per result");
    tool_.add_flag("--trace", flags_.trace, "every exchange's bytes out and in, with times, on standard error");
    tool_.add_flag("--accept-damaged-replies", flags_.acceptDamagedReplies,
                   "take replies that fail their checks (start byte, length, CRC,\n"
                   "echoed command) as the transmitter sent them");
    tool_.add_flag("--version", texts_.version, "the program version");
}

CLI::App& CommandLine::addCommand(CLI::App& parent, const std::string& name, const std::string& description,
                                  CommandRun run) {
    CLI::App& command = *parent.add_subcommand(name, description);
    runs_.emplace(&command, std::move(run));
    return command;
}

CLI::App& CommandLine::addGroup(const std::string& name, const std::string& description) {
    return *tool_.add_subcommand(name, description);
}

std::optional<ChosenCommand> CommandLine::read(const std::vector<std::string>& args, std::ostream& out) {
    try {
        tool_.parse(std::vector<std::string>(args.rbegin(), args.rend()));
    } catch (const CLI::CallForHelp&) {
        refuseLeftovers(chosenCommand());
        out << tool_.help();
        return std::nullopt;
    } catch (const CLI::ArgumentMismatch& error) {
        throw MissingValue(error);
    } catch (const CLI::ParseError& error) {
        throw UsageError(error.what());
    }
    if (texts_.version) {
        out << "corvelctl " << kProgramVersion << '\n';
        return std::nullopt;
    }
    const CLI::App& command = chosenCommand();
    refuseLeftovers(command);
    requireRunnable(command);
    return ChosenCommand{checkedOptions(), command, runs_.at(&command)};
}

const CLI::App& CommandLine::chosenCommand() const {
    const CLI::App* command = &tool_;
    while (!command->get_subcommands().empty()) command = command->get_subcommands().front();
    return *command;
}

// Every word the commands did not take gathers at the tool (they fall through).
void CommandLine::refuseLeftovers(const CLI::App& command) const {
    const std::vector<std::string> rest = tool_.remaining();
    for (const std::string& item : rest)
        if (IsOption(item)) throw UsageError("unknown option \"" + item + "\"");
    if (rest.empty()) return;
    if (runs_.contains(&command)) throw UsageError("unexpected argument \"" + rest.front() + "\"");
    throw UsageError("unknown " + GroupWord(command) + " \"" + rest.front() + "\"");
}

// A group of commands ("logs") needs one of its own.
void CommandLine::requireRunnable(const CLI::App& command) const {
    if (runs_.contains(&command)) return;
    if (&command == &tool_) throw UsageError("no command given");
    std::string actions;
    for (const CLI::App* action : command.get_subcommands({}))
        actions += (actions.empty() ? "" : ", ") + action->get_name();
    throw UsageError("missing " + GroupWord(command) + " (" + actions + ")");
}

GlobalOptions CommandLine::checkedOptions() const {
    GlobalOptions options = flags_;
    options.port = ParsePortName(texts_.port);
    options.baudRate = ParseLineSpeed(texts_.baud);
    options.address = static_cast<std::uint8_t>(ParseInteger(texts_.address, 1, 254, "--address"));
    return options;
}

}  // namespace corvel::cli
