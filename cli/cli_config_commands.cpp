// config save FILE|-, config diff FILE, config apply FILE.

#include <CLI/App.hpp>

#include "cli/cli_commands.h"
#include "cli/cli_configuration.h"
#include "cli/corvelctl.h"

namespace corvel::cli {
namespace {

// As diff(1): 1 when they differ, 2 for trouble (the file or the transmitter
// could not be read).
constexpr int kExitDiffer = 1;
constexpr int kExitTrouble = 2;

TransmitterConfiguration LoadFile(const std::string& path) {
    LoadedConfiguration loaded = LoadConfigurationFile(path);
    if (!loaded.configuration) throw OperationError(loaded.error);
    return std::move(*loaded.configuration);
}

void RunSave(CommandCall& call) {
    const std::string path = call.args.positional("FILE");
    ToolSession tool(call);
    const TransmitterConfiguration configuration = ReadTransmitter(tool).configuration;
    if (path == "-") {
        call.environment.out << ConfigurationToJson(configuration);
        return;
    }
    if (const std::string error = SaveConfigurationFile(path, configuration); !error.empty()) throw OperationError(error);
    call.output.emit(Record()
                         .add("file", path)
                         .add("model_code", configuration.identity.modelCode)
                         .add("serial_number", configuration.identity.serialNumber));
}

void Diff(CommandCall& call) {
    const TransmitterConfiguration file = LoadFile(call.args.positional("FILE"));
    ToolSession tool(call);
    const std::vector<ComparisonRow> differing =
        Differences(CompareConfigurations(ReadTransmitter(tool).configuration, file));
    EmitRows(call, differing, "file");
    call.exitStatus = differing.empty() ? kExitSuccess : kExitDiffer;
}

void RunDiff(CommandCall& call) {
    try {
        Diff(call);
    } catch (OperationError& error) {
        error.exitStatus = kExitTrouble;
        throw;
    }
}

void RunApply(CommandCall& call) {
    const TransmitterConfiguration file = LoadFile(call.args.positional("FILE"));
    ToolSession tool(call);
    const RestoreOptions options{.acrossModelFamilies = call.args.flag("--other-model-family")};
    const RestorePlan plan = PlanRestore(ReadTransmitter(tool), file, options);
    if (!plan.refusal) EmitPlan(call, plan);
    if (call.args.flag("--dry-run")) {
        if (plan.refusal) throw OperationError(*plan.refusal);
        return;
    }
    const std::string question = "Write " + std::to_string(plan.changes.size()) +
                                 " settings to the transmitter at address " + std::to_string(call.options.address) +
                                 " on " + call.options.port + "?";
    ApplyPlan(call, tool, plan, question);
}

}  // namespace

void AddConfigCommands(CommandLine& commandLine) {
    CLI::App& config = commandLine.addGroup("config", "Saves, compares and restores the transmitter's configuration.");
    commandLine
        .addCommand(config, "save",
                    "Reads every setting of the transmitter into FILE (JSON; - for the standard output).", RunSave)
        .add_option("FILE", "the configuration file to write, or - for the standard output");
    commandLine
        .addCommand(config, "diff",
                    "Lists the settings in which the transmitter differs from FILE. Exit status: 0 the same,\n"
                    "1 they differ, 2 trouble (the file or the transmitter could not be read).",
                    RunDiff)
        .add_option("FILE", "a configuration file written by config save");
    CLI::App& apply = commandLine.addCommand(
        config, "apply",
        "Writes the settings of FILE that differ, after checking them against the transmitter's model\n"
        "and the analog output rules; prints the plan and asks first. Each setting is read back.",
        RunApply);
    apply.add_option("FILE", "a configuration file written by config save");
    apply.add_flag("--yes")->description("write without asking (needed where there is no terminal to ask on)");
    apply.add_flag("--dry-run")->description("print the plan only; nothing is written");
    apply.add_flag("--other-model-family")
        ->description("restore a file of another model family: only the settings both models have");
}

}  // namespace corvel::cli
