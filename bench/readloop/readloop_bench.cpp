// The Configuration window's reading loop, offscreen, against the simulated
// transmitter on a pseudo-terminal that keeps the pace of a 115200-baud line:
// 2,000 readings with the trend plot on, then off. Prints the readings per
// second, the ratio of the wire-limited rate (request and reply at 10 bits a
// byte) to the measured rate, and the main thread's CPU time per reading.
// With --monitor every exchange goes to a bus monitor's exchange log.
//
//   bench_readloop [--readings N] [--monitor]     (default 2000 readings)

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QTimer>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "link/exchange_log.h"
#include "ui/tools/measurement/measurement_view.h"
#include "sim/pty_server.h"
#include "bench/tool_window_parts.h"
#include "link/serial_port_posix.h"

namespace corvel {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint32_t kBaudRate = 115200;
constexpr int kCom = 7;
// One reading of P1, P2 and temperature with minimum and maximum: an 18-byte
// request and a reply of 12 header bytes, three 16-byte records and the route.
constexpr double kBytesPerReading = 18 + 12 + 3 * 16 + 6;

std::string Fixed(double value, int decimals) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals).ptr;
    return std::string(text, end);
}

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

struct Result {
    double seconds = 0.0;
    double cpuSeconds = 0.0;
};

Result Measure(const ToolContext& context, bool plotOn, int readings) {
    cConfigDlg window(context);
    window.findChild<QCheckBox*>("plotCheck")->setChecked(plotOn);
    window.show();
    // A zero-time timer fires once for every turn of the reading loop.
    int turns = 0;
    QTimer counter;
    counter.setInterval(0);
    QObject::connect(&counter, &QTimer::timeout, [&] {
        if (++turns == readings) window.findChild<QAbstractButton*>("readStopButton")->click();
    });
    counter.start();
    const auto start = Clock::now();
    const double cpuStart = ThreadCpuSeconds();
    window.findChild<QAbstractButton*>("readButton")->click();
    return Result{std::chrono::duration<double>(Clock::now() - start).count(), ThreadCpuSeconds() - cpuStart};
}

int Run(int readings, bool monitor) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("bench-readloop-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    ::setenv("CORVEL_PORT_DIR", folder.c_str(), 1);
    sim::PtyServer server;
    server.line().add(*sim::ModelConfig("4402"));
    server.line().timing.wireTime = true;
    server.line().timing.baudRate = kBaudRate;
    // The transmitter's own think time is not the utility's: the wire alone is the limit.
    server.line().timing.turnaround = std::chrono::microseconds(0);
    if (const auto error = server.start(folder, kCom)) {
        std::fprintf(stderr, "cannot start the simulator: %s\n", error->c_str());
        return 1;
    }

    PosixSerialPortFactory ports;
    bench::ToolWindowParts parts(kCom, kBaudRate);
    ExchangeLog exchanges;
    const ToolContext context = parts.context(ports, monitor ? &exchanges : nullptr);

    const double wireRate = kBaudRate / (kBytesPerReading * 10.0);
    Result on = Measure(context, true, readings);
    Result off = Measure(context, false, readings);
    server.stop();
    std::filesystem::remove_all(folder);
    for (const auto& [name, result] : {std::pair{"plot on ", on}, std::pair{"plot off", off}}) {
        const double rate = readings / result.seconds;
        std::printf("%s: %d readings in %s s, %s readings/s, wire-limited %s/s, ratio %s (target at most 1.15), "
                    "CPU %s ms a reading\n",
                    name, readings, Fixed(result.seconds, 2).c_str(), Fixed(rate, 1).c_str(),
                    Fixed(wireRate, 1).c_str(), Fixed(wireRate / rate, 3).c_str(),
                    Fixed(result.cpuSeconds * 1000.0 / readings, 3).c_str());
    }
    std::printf("the plot adds %s %% to the CPU time a reading (target at most 5 %%)\n",
                Fixed((on.cpuSeconds / off.cpuSeconds - 1.0) * 100.0, 1).c_str());
    return parts.prompter.shown().empty() ? 0 : 1;
}

}  // namespace
}  // namespace corvel

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    int readings = 2000;
    bool monitor = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--readings" && i + 1 < argc) readings = std::stoi(argv[i + 1]);
        if (std::string(argv[i]) == "--monitor") monitor = true;
    }
    return corvel::Run(readings, monitor);
}
