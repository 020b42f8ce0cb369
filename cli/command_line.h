#pragma once
// The command line of corvelctl: the options every command knows and the
// commands themselves. Each command file adds its commands, with their own
// options and arguments, through AddCommand; the tool then reads the command
// line once and runs the command chosen.

#include <CLI/App.hpp>

#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_arguments.h"

namespace corvel::cli {

struct CommandCall;
using CommandRun = std::function<void(CommandCall&)>;

// The command the command line chose, with its options and arguments.
struct ChosenCommand {
    GlobalOptions options;
    const CLI::App& command;
    const CommandRun& run;
};

class CommandLine {
public:
    CommandLine();
    CommandLine(const CommandLine&) = delete;
    CommandLine& operator=(const CommandLine&) = delete;

    // The tool itself, to which the commands are added.
    CLI::App& tool() { return tool_; }

    // Adds the command `name` to `parent` (the tool, or a group of commands
    // such as "logs"); `run` does its work once the whole line is read.
    CLI::App& addCommand(CLI::App& parent, const std::string& name, const std::string& description, CommandRun run);
    // Adds a group of commands ("logs list", "logs erase"...).
    CLI::App& addGroup(const std::string& name, const std::string& description);

    // Reads the arguments after the program name. Help and the version are
    // written to `out` and give nothing; mistakes throw UsageError.
    std::optional<ChosenCommand> read(const std::vector<std::string>& args, std::ostream& out);

private:
    struct OptionTexts {
        std::string port = "COM1";
        std::string baud = "115200";
        std::string address = "40";
        bool version = false;
    };

    void addGlobalOptions();
    const CLI::App& chosenCommand() const;
    void refuseLeftovers(const CLI::App& command) const;
    void requireRunnable(const CLI::App& command) const;
    GlobalOptions checkedOptions() const;

    CLI::App tool_;
    OptionTexts texts_;
    GlobalOptions flags_;
    std::map<const CLI::App*, CommandRun> runs_;
};

}  // namespace corvel::cli
