// corvel-sim: simulated transmitters on a pseudo-terminal, reachable as a COM
// port through the port-map folder, until SIGTERM or SIGINT.

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "common/number_format.h"
#include "common/program_version.h"
#include "sim/pty_server.h"
#include "sim/script.h"

namespace {

constexpr const char* kUsage = R"(usage: corvel-sim --port-dir DIR --com N [--model CODE] [--address A] [options]

Serves simulated transmitters on a pseudo-terminal and links DIR/COMn to it,
until SIGTERM or SIGINT; then removes the link. Prints "COMn DEVICE-PATH".
SIGHUP reads the options and the script again and rebuilds the transmitters.

Program options:
  --port-dir DIR          port-map folder (default: $CORVEL_PORT_DIR)
  --com N                 COM number of the link, 1-100 (default 1)
  --script FILE           apply the settings of FILE, one a line (see below)
  --help                  this text
  --version               (without TEXT) the program version

Every other option is a setting, "--NAME ARGS..." being the setting "NAME ARGS..."
(an option without arguments means "on"). Settings apply to the current
transmitter: the first one, until --device adds another.
  --model CODE            4400, 4402 (default), 440D, Q710 or Q712; resets the
                          transmitter to that model's preset (give it first)
  --address A             network address 1-254 (default 40)
  --device CODE A         add another transmitter on the same line
  --serial TEXT           serial number
  --version TEXT          version text, e.g. 01.00
  --model-code TEXT       model code text of the identification block
  --model-name TEXT       model name text
  --third-id TEXT         third identification text (5 characters to be offered)
  --description TEXT, --tag TEXT, --asset TEXT, --manufacturing TEXT
  --p1 V [NOISE [DRIFT]]  P1 value in PSI, noise amplitude, drift per second
  --p2 V [NOISE [DRIFT]]  the same for P2
  --temperature V [NOISE [DRIFT]]   the same for the temperature, degrees C
  --p1-limits LO HI       sensor limits of P1 in PSI; --p2-limits likewise
  --pressure-unit CODE    selected pressure unit code (1 PSI ... 15 torr)
  --temperature-unit CODE 32 Celsius, 33 Fahrenheit
  --status CH CODE        status code of channel p1, p2 or temperature
  --seed N                seed of the noise
  --recal-points N        points of the field recalibration (default 3)
  --recal-allowed on|off  --smart-damping on|off  --collecting on|off
  --output-kind volts|milliamps
  --log NAME SAMPLES INTERVAL   add a pressure log file (interval in 1/100 s)
  --logs-clear            remove the model's preset log files
  --fault silent | bad-crc | cut N | overstate N | delay MS |
          garbage B... | status CMD1[:CMD2] CODE | drop-after-blocks N | none
  --wire-time [on|off]    emulate the wire time of the baud rate (10 bits a byte)
  --baud N                baud rate of the wire time (default 115200)
  --turnaround MS         wait before each reply (default 1)

Numbers may be decimal or 0x-prefixed hexadecimal. See docs/simulator.md.
)";

struct Options {
    std::string portDir;
    int com = 1;
    corvel::sim::LineSpec lineSpec;
};

bool Fail(const std::string& message) {
    std::cerr << "corvel-sim: " << message << "\n";
    return false;
}

// The words of an option: its arguments up to the next "--" option.
std::string SettingAt(const std::vector<std::string>& args, std::size_t& i) {
    std::string setting = args[i].substr(2);
    std::size_t taken = 0;
    while (i + 1 < args.size() && !args[i + 1].starts_with("--")) {
        setting += " " + args[++i];
        ++taken;
    }
    return taken == 0 ? setting + " on" : setting;
}

bool ApplyScriptFile(Options& options, const std::string& path) {
    std::ifstream file(path);
    if (!file) return Fail("cannot read " + path);
    if (auto error = corvel::sim::ApplyScript(options.lineSpec, file)) return Fail(path + ": " + *error);
    return true;
}

bool Parse(const std::vector<std::string>& args, Options& options) {
    if (const char* dir = std::getenv("CORVEL_PORT_DIR")) options.portDir = dir;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--port-dir" && hasValue) options.portDir = args[++i];
        else if (arg == "--com" && hasValue) {
            options.com = corvel::ParseWholeText<int>(args[++i]).value_or(0);
        }
        else if (arg == "--script" && hasValue) {
            if (!ApplyScriptFile(options, args[++i])) return false;
        } else if (arg.starts_with("--") && arg.size() > 2) {
            if (auto error = corvel::sim::ApplySetting(options.lineSpec, SettingAt(args, i))) return Fail(*error);
        } else return Fail("unexpected argument " + arg + " (see --help)");
    }
    if (options.com < 1 || options.com > 100) return Fail("--com takes 1 to 100");
    if (options.portDir.empty()) return Fail("no port-map folder: give --port-dir or set CORVEL_PORT_DIR");
    if (!std::filesystem::is_directory(options.portDir))
        return Fail("the port-map folder " + options.portDir + " does not exist");
    return true;
}

// SIGHUP: the options and the script are read again and the line rebuilt
// from them; a script with an error leaves the line as it was.
void Reload(corvel::sim::PtyServer& server, const std::vector<std::string>& args) {
    Options options;
    if (!Parse(args, options)) return;
    const auto held = server.lock();
    server.line().removeAll();
    corvel::sim::Populate(server.line(), options.lineSpec);
    std::cerr << "corvel-sim: settings reloaded\n";
}

// "--version" with a TEXT is the transmitter's version setting; alone it asks
// for the program's version.
bool AsksForProgramVersion(const std::vector<std::string>& args) {
    for (std::size_t i = 0; i < args.size(); ++i)
        if (args[i] == "--version" && (i + 1 == args.size() || args[i + 1].starts_with("--"))) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& arg : args)
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        }
    if (AsksForProgramVersion(args)) {
        std::cout << "corvel-sim " << corvel::kProgramVersion << '\n';
        return 0;
    }
    Options options;
    if (!Parse(args, options)) return 2;

    // Signals go to sigwait below, not to the serving thread.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    corvel::sim::PtyServer server;
    if (auto error = corvel::sim::StartPtyServer(server, options.lineSpec, options.portDir, options.com)) {
        Fail(*error);
        return 1;
    }
    std::cout << "COM" << options.com << " " << server.devicePath() << std::endl;
    for (int received = 0; sigwait(&stopSignals, &received) == 0 && received == SIGHUP;) Reload(server, args);
    server.stop();
    return 0;
}
