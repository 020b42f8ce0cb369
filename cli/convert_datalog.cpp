// "convert" runs the data log converter's command line. Ctrl-C (or a
// termination signal) during the conversion ends it cleanly: the partial
// output is removed and nothing is left behind.
#include <array>
#include <csignal>

#include "cli/cli_commands.h"
#include "datalog/log_conversion_command.h"

namespace corvel::cli {

namespace {

volatile std::sig_atomic_t interruptedBySignal = 0;

extern "C" void NoteInterrupt(int) { interruptedBySignal = 1; }

// Catches the interrupting signals for as long as it lives.
class InterruptCatcher {
public:
    InterruptCatcher() {
        interruptedBySignal = 0;
        for (std::size_t i = 0; i < kSignals.size(); ++i) previous_[i] = std::signal(kSignals[i], NoteInterrupt);
    }
    ~InterruptCatcher() {
        for (std::size_t i = 0; i < kSignals.size(); ++i) std::signal(kSignals[i], previous_[i]);
    }
    InterruptCatcher(const InterruptCatcher&) = delete;
    InterruptCatcher& operator=(const InterruptCatcher&) = delete;

private:
    static constexpr std::array<int, 2> kSignals = {SIGINT, SIGTERM};
    std::array<void (*)(int), 2> previous_{};
};

// Hands the arguments to the data log converter's own command line, which
// reports its own errors and gives the exit status.
void RunConvert(CommandCall& call) {
    std::vector<std::string> args{call.args.positional("IN.bin"), call.args.positional("OUT.csv")};
    if (call.args.flag("--accept-short")) args.emplace_back("--accept-short");
    const CliEnvironment& environment = call.environment;
    call.exitStatus = environment.convert(args, environment.out, environment.err);
}

}  // namespace

void AddConvertCommand(CommandLine& commandLine) {
    CLI::App& convert = commandLine.addCommand(
        commandLine.tool(), "convert",
        "Converts a data log file into a comma-separated file. A log whose headers are short is\n"
        "refused unless --accept-short is given.",
        RunConvert);
    convert.add_option("IN.bin", "the data log file, as logs download writes it");
    convert.add_option("OUT.csv", "the comma-separated file to write");
    convert.add_flag("--accept-short")->description("convert a log whose headers are short");
}

std::function<int(const std::vector<std::string>&, std::ostream&, std::ostream&)> LogConverterCommand() {
    return [](const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
        const InterruptCatcher catcher;
        return RunLogConversionCommand(args, out, err, false,
                                       [] { return interruptedBySignal != 0; });
    };
}

}  // namespace corvel::cli
