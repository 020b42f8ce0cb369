#include "cli/corvelctl.h"

#include "cli/command_line.h"

namespace corvel::cli {

namespace {

const char* kUsageAndHelp = "usage: corvelctl [OPTIONS] COMMAND [ARGUMENTS]\nTry 'corvelctl --help'.\n";

int RunCommand(const std::vector<std::string>& args, const CliEnvironment& environment) {
    CommandLine commandLine;
    AddDeviceCommands(commandLine);
    AddLogCommands(commandLine);
    AddScanCommand(commandLine);
    AddConfigCommands(commandLine);
    AddSettingCommands(commandLine);
    AddReportCommand(commandLine);
    if (environment.convert) AddConvertCommand(commandLine);
    const std::optional<ChosenCommand> chosen = commandLine.read(args, environment.out);
    if (!chosen) return kExitSuccess;
    const Arguments arguments(chosen->command);
    Output output(environment.out, chosen->options.json);
    CommandCall call{chosen->options, arguments, environment, output};
    chosen->run(call);
    return call.exitStatus;
}

}  // namespace

int RunCorvelctl(std::vector<std::string> args, const CliEnvironment& environment) {
    try {
        return RunCommand(args, environment);
    } catch (const UsageError& error) {
        environment.err << "corvelctl: " << error.what() << '\n' << kUsageAndHelp;
        return kExitUsage;
    } catch (const OperationError& error) {
        environment.err << "corvelctl: " << error.what() << '\n';
        if (!error.hint.empty()) environment.err << "corvelctl: " << error.hint << '\n';
        return error.exitStatus;
    }
}

}  // namespace corvel::cli
