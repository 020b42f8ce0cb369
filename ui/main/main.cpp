// corvel-setup: the set-up utility for the Corvel T4400 transmitter.
//   corvel-setup                   finds and configures a transmitter on a serial port
//   corvel-setup --simulate [MODEL]  the same against a simulated transmitter
//   corvel-setup --version         prints the program version
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "ui/main/ct4400pc_interface_app.h"
#include "ui/main/demo_simulator.h"
#include "sim/device_config.h"
#include "common/program_version.h"
#include "ui/main/quit_on_signal.h"
#include "link/system_serial_port.h"

namespace {

constexpr const char* kUsage =
    "usage: corvel-setup [--simulate [MODEL]]\n"
    "  --simulate [MODEL]  run against a simulated transmitter (MODEL: 4400, 4402, 440D, Q710 or Q712)\n"
    "  --version           the program version\n"
    "  --help              this text\n"
    "\n"
    "Environment:\n"
    "  CORVEL_PORT_DIR     a folder of links COMn, each replacing the serial device of its COM number\n"
    "  QT_LOGGING_RULES=\"corvel.link.debug=true\"\n"
    "                      the protocol trace: every exchange's bytes out and in, with times, on standard error\n"
    "\n"
    "Settings are kept in ~/.config/Corvel/corvel-setup.ini.\n";

// Nothing when `model` is empty or a model the simulator knows, else why not.
std::optional<std::string> UnknownModel(const QString& model) {
    if (model.isEmpty() || corvel::sim::ModelConfig(model.toStdString())) return std::nullopt;
    std::string known;
    for (const std::string& code : corvel::sim::ModelCodes()) known += (known.empty() ? "" : ", ") + code;
    return "unknown model " + model.toStdString() + "; the simulated transmitters are " + known;
}

struct Options {
    bool simulate = false;
    QString model;
    bool valid = true;
};

Options ParseOptions(const QStringList& arguments) {
    Options options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == "--simulate") {
            options.simulate = true;
            if (i + 1 < arguments.size() && !arguments[i + 1].startsWith('-')) options.model = arguments[++i];
        } else {
            options.valid = false;
        }
    }
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    // Answered before the application object exists, so that it needs no display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("corvel-setup %s\n", corvel::kProgramVersion);
        return 0;
    }
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName("corvel-setup");  // ties the windows to the desktop entry
    corvel::QuitOnTerminationSignals();
    const Options options = ParseOptions(QApplication::arguments());
    if (!options.valid) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (const std::optional<std::string> unknown = UnknownModel(options.model)) {
        std::fprintf(stderr, "corvel-setup: %s\n", unknown->c_str());
        return 2;
    }
    corvel::DemoSimulator simulator;
    QString statusNote;
    if (options.simulate) {
        QString error;
        if (!simulator.start(options.model, error)) {
            std::fprintf(stderr, "corvel-setup: demo mode: %s\n", error.toLocal8Bit().constData());
            QMessageBox::critical(nullptr, "Corvel Setup Utility", "Demo mode could not start: " + error);
            return 1;
        }
        statusNote = "demo: simulated transmitter on " + simulator.portName();
        std::fprintf(stderr, "corvel-setup: %s\n", statusNote.toLocal8Bit().constData());
    }
    corvel::CT4400PCInterfaceApp app(corvel::SystemSerialPortFactory(), statusNote);
    return app.run();
}
