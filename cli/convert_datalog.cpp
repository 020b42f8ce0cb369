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

}  // namespace

std::function<int(const std::vector<std::string>&, std::ostream&, std::ostream&)> LogConverterCommand() {
    return [](const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
        const InterruptCatcher catcher;
        return RunLogConversionCommand(args, out, err, false,
                                       [] { return interruptedBySignal != 0; });
    };
}

}  // namespace corvel::cli
