#include "cli/corvelctl.h"

#include <array>

#include "common/program_version.h"

namespace corvel::cli {

namespace {

struct CommandInfo {
    const char* name;
    const char* usage;
    const char* help;
    void (*run)(CommandCall&);
};

// Hands the arguments to the data log converter's own command line, which
// reports its own errors and gives the exit status.
void RunConvert(CommandCall& call) {
    const CliEnvironment& environment = call.environment;
    call.exitStatus = environment.convert(call.args.takeRest(), environment.out, environment.err);
}

constexpr std::array kCommands = {
    CommandInfo{"identify", "identify",
                "Reads the serial number, model code and name, version, and the label, limits and unit\n"
                "of each pressure input.",
                RunIdentify},
    CommandInfo{"read", "read [--count N] [--interval SECONDS]",
                "Reads P1, P2 (when present) and the temperature N times (default once), SECONDS apart\n"
                "(default 0), with the status text of each pressure input and the unit names.",
                RunRead},
    CommandInfo{"info", "info",
                "Reads the identity, firmware version, tag, asset number, description and sensor limits.",
                RunInfo},
    CommandInfo{"set-tag", "set-tag TEXT", "Stores the tag number (at most 32 characters); the asset number stays.",
                RunSetTag},
    CommandInfo{"set-asset", "set-asset TEXT", "Stores the asset number (at most 32 characters); the tag stays.",
                RunSetAsset},
    CommandInfo{"set-description", "set-description TEXT", "Stores the description (at most 128 characters).",
                RunSetDescription},
    CommandInfo{"logs", "logs list | logs download NUMBER FILE.bin | logs erase [--yes]",
                "list: the log files kept in the transmitter, with the NUMBER of each.\n"
                "download: copies log file NUMBER into FILE.bin; the file appears only when the copy\n"
                "is complete (a progress line shows on a terminal).\n"
                "erase: erases all log files in the transmitter.",
                RunLogs},
    CommandInfo{"scan", "scan [--rs485 [--from A]]",
                "Finds transmitters: on every serial port COM1..COM100 (USB, RS-232), or with --rs485 at\n"
                "every network address from A (default 1) to 254 on the port of --port.",
                RunScan},
    CommandInfo{"convert", "convert IN.bin OUT.csv [--accept-short]",
                "Converts a data log file into a comma-separated file. A log whose headers are short is\n"
                "refused unless --accept-short is given.",
                RunConvert},
};

const char* kToolUsage =
    "usage: corvelctl [--port NAME] [--baud N] [--address A] [--json] [--trace] [--accept-damaged-replies] COMMAND [ARGUMENTS]\n";

const char* kToolOptions =
    "\n"
    "Options:\n"
    "  --port NAME    COM1..COM100 or a device path (default COM1)\n"
    "  --baud N       line speed (default 115200)\n"
    "  --address A    network address of the transmitter, 1..254 (default 40)\n"
    "  --json         one JSON object per result\n"
    "  --trace        every exchange's bytes out and in, with times, on standard error\n"
    "  --accept-damaged-replies\n"
    "                 take replies that fail their checks (start byte, length, CRC,\n"
    "                 echoed command) as the transmitter sent them\n"
    "  --help         this text; COMMAND --help tells about one command\n"
    "  --version      the program version\n"
    "\n"
    "Exit status: 0 success, 1 device or file error, 2 usage error, 130 a conversion\n"
    "interrupted by Ctrl-C.\n";

const CommandInfo* FindCommand(const std::string& name, const CliEnvironment& environment) {
    for (const CommandInfo& command : kCommands) {
        if (name != command.name) continue;
        if (name == "convert" && !environment.convert) return nullptr;
        return &command;
    }
    return nullptr;
}

void PrintToolHelp(const CliEnvironment& environment) {
    environment.out << kToolUsage << "\nCommands:\n";
    for (const CommandInfo& command : kCommands)
        if (FindCommand(command.name, environment)) environment.out << "  " << command.usage << '\n';
    environment.out << kToolOptions;
}

void PrintCommandHelp(const CommandInfo& command, std::ostream& out) {
    out << "usage: corvelctl [OPTIONS] " << command.usage << "\n\n" << command.help << '\n';
}

int RunCommand(std::vector<std::string> args, const CliEnvironment& environment) {
    const GlobalOptions options = TakeGlobalOptions(args);
    if (options.version) {
        environment.out << "corvelctl " << kProgramVersion << '\n';
        return kExitSuccess;
    }
    if (args.empty()) {
        if (!options.help) throw UsageError("no command given");
        PrintToolHelp(environment);
        return kExitSuccess;
    }
    const CommandInfo* command = FindCommand(args.front(), environment);
    if (!command && args.front().starts_with('-')) throw UsageError("unknown option \"" + args.front() + "\"");
    if (!command) throw UsageError("unknown command \"" + args.front() + "\"");
    if (options.help) {
        PrintCommandHelp(*command, environment.out);
        return kExitSuccess;
    }
    Arguments arguments(std::vector<std::string>(args.begin() + 1, args.end()));
    Output output(environment.out, options.json);
    CommandCall call{options, arguments, environment, output};
    command->run(call);
    return call.exitStatus;
}

}  // namespace

int RunCorvelctl(std::vector<std::string> args, const CliEnvironment& environment) {
    try {
        return RunCommand(std::move(args), environment);
    } catch (const UsageError& error) {
        environment.err << "corvelctl: " << error.what() << '\n' << kToolUsage << "Try 'corvelctl --help'.\n";
        return kExitUsage;
    } catch (const OperationError& error) {
        environment.err << "corvelctl: " << error.what() << '\n';
        if (!error.hint.empty()) environment.err << "corvelctl: " << error.hint << '\n';
        return kExitFailure;
    }
}

}  // namespace corvel::cli
