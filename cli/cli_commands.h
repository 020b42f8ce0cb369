#pragma once
// The commands of corvelctl. Each command file adds its commands to the
// command line, with their own options and arguments. A command talks to the
// transmitter through the tool's session and emits its results; failures
// throw OperationError (exit 1), mistakes in the arguments UsageError (exit 2).

#include <chrono>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_arguments.h"
#include "cli/cli_output.h"
#include "cli/command_line.h"
#include "link/serial_port.h"

namespace corvel::cli {

// What the tool gets from its surroundings; tests hand in the simulator.
struct CliEnvironment {
    SerialPortFactory& ports;
    std::ostream& out;
    std::ostream& err;
    // Whether a progress line may be drawn on the error stream (a terminal).
    bool progressOnTerminal = false;
    // Waits between two readings of "read --interval".
    std::function<void(std::chrono::duration<double>)> wait;
    // The data log converter's command line ("convert IN OUT"); empty where the
    // caller offers no conversion (the tool then has no "convert").
    std::function<int(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)> convert;
    // Asks the operator a yes/no question on the terminal; empty when there
    // is no terminal to ask on.
    std::function<bool(const std::string& question)> confirm;
    // The device a port name reaches, named when the port cannot be opened
    // (empty: no device has that number); empty function or nothing: not named.
    std::function<std::optional<std::string>(const std::string& portName)> deviceOf;
};

struct CommandCall {
    const GlobalOptions& options;
    const Arguments& args;
    const CliEnvironment& environment;
    Output& output;
    int exitStatus = 0;  // set by a command that reports its own failures
};

// identify, read, info, set-tag, set-asset, set-description.
void AddDeviceCommands(CommandLine& commandLine);
// logs list, logs download, logs erase.
void AddLogCommands(CommandLine& commandLine);
void AddScanCommand(CommandLine& commandLine);
// config save, config diff, config apply.
void AddConfigCommands(CommandLine& commandLine);
// get, set, zero.
void AddSettingCommands(CommandLine& commandLine);
// report, the commissioning report as Markdown.
void AddReportCommand(CommandLine& commandLine);
// convert, which hands its arguments to the environment's converter.
void AddConvertCommand(CommandLine& commandLine);

// The data log converter for "convert".
std::function<int(const std::vector<std::string>&, std::ostream&, std::ostream&)> LogConverterCommand();

}  // namespace corvel::cli
