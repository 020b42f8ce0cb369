// A long run of the Configuration window's reading loop, offscreen, with the
// trend plot and the bus monitor open, against the in-process simulated
// transmitter: one reply in 50 damaged, and a silent stretch of a few seconds
// every minute. Prints the readings per second; the resident memory at the
// start, when the bus monitor's store first holds all it keeps, and at the
// end; and the longest time the event loop was kept waiting.
//
//   bench_soak [--minutes N]     (default 30)

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>

#include "common/number_format.h"
#include "sim/inprocess_port.h"
#include "ui/main/bus_monitor_view.h"
#include "bench/tool_window_parts.h"
#include "ui/tools/measurement/measurement_view.h"

namespace corvel {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kCom = 7;
constexpr int kDamagedOneIn = 50;
constexpr auto kSilenceEvery = std::chrono::minutes(1);
constexpr auto kSilenceFor = std::chrono::seconds(4);

// The resident memory of this process in kB (Linux), 0 where unknown.
long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == "VmRSS:") {
            long kilobytes = 0;
            status >> kilobytes;
            return kilobytes;
        }
    }
    return 0;
}

std::string Megabytes(long kilobytes) { return FormatFixed(static_cast<double>(kilobytes) / 1024.0, 0, 1) + " MB"; }
std::string Decimal(double value) { return FormatFixed(value, 0, 1); }

double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The simulated transmitter's line: counts the readings it answers and
// damages the reply to every 50th request.
void DisturbLine(sim::SimLine& line, sim::SimDevice& device, long& readings) {
    line.onHeard = [&device, &readings, requests = 0L](ByteSpan bytes) mutable {
        if (!device.faults.silent && bytes.size() > 5 && bytes[5] == kClassMeasurements) ++readings;
        device.faults.corruptReplyCrc = ++requests % kDamagedOneIn == 0;
    };
}

// The longest stretch between two turns of the event loop, in wall-clock time,
// and the longest in this thread's CPU time (on a busy machine the two differ
// by the time the thread waited for a processor).
class LoopWatch {
public:
    LoopWatch() {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] { turn(); });
        timer_.start();
    }
    double longestMs() const { return longestMs_; }
    double longestAtSeconds() const { return longestAtMs_ / 1000.0; }
    double longestCpuMs() const { return longestCpuMs_; }

private:
    void turn() {
        const double now = std::chrono::duration<double, std::milli>(Clock::now() - started_).count();
        const double cpu = ThreadCpuMs();
        if (lastMs_ >= 0.0 && now - lastMs_ > longestMs_) {
            longestMs_ = now - lastMs_;
            longestAtMs_ = lastMs_;
        }
        if (lastMs_ >= 0.0) longestCpuMs_ = std::max(longestCpuMs_, cpu - lastCpuMs_);
        lastMs_ = now;
        lastCpuMs_ = cpu;
    }

    QTimer timer_;
    Clock::time_point started_ = Clock::now();
    double lastMs_ = -1.0;
    double lastCpuMs_ = 0.0;
    double longestMs_ = 0.0;
    double longestAtMs_ = 0.0;
    double longestCpuMs_ = 0.0;
};

// The resident memory once the exchange log first holds all it keeps.
class FullLogWatch {
public:
    explicit FullLogWatch(const ExchangeLog& log) {
        QObject::connect(&timer_, &QTimer::timeout, [this, &log] {
            if (log.endSequence() - log.firstSequence() < ExchangeLog::kDefaultCapacity) return;
            kilobytes_ = ResidentKilobytes();
            timer_.stop();
        });
        timer_.start(std::chrono::seconds(1));
    }
    long kilobytes() const { return kilobytes_; }

private:
    QTimer timer_;
    long kilobytes_ = 0;
};

void Report(int minutes, long readings, double seconds, const ExchangeLog& log) {
    const ExchangeCounters& c = log.counters();
    std::printf("%d min: %ld readings, %s readings/s; %s exchanges, %s time-outs, %s damaged replies, %s repeats\n",
                minutes, readings, Decimal(static_cast<double>(readings) / seconds).c_str(),
                std::to_string(c.exchanges).c_str(), std::to_string(c.timeOuts).c_str(),
                std::to_string(c.damagedReplies).c_str(), std::to_string(c.automaticRepeats).c_str());
}

int Run(int minutes) {
    sim::InProcessBus bus;
    sim::SimDevice& device = bus.attach(kCom, *sim::ModelConfig("4402"));
    long readings = 0;
    DisturbLine(bus.line(kCom), device, readings);
    sim::InProcessPortFactory ports(bus);
    bench::ToolWindowParts parts(kCom, 115200);
    ExchangeLog log;
    const ToolContext context = parts.context(ports, &log);

    cConfigDlg window(context);
    window.findChild<QCheckBox*>("plotCheck")->setChecked(true);
    window.show();
    BusMonitor monitor(log, parts.files, parts.prompter);
    monitor.show();

    QTimer silence;
    QObject::connect(&silence, &QTimer::timeout, [&] {
        device.faults.silent = true;
        QTimer::singleShot(kSilenceFor, [&] { device.faults.silent = false; });
    });
    silence.start(kSilenceEvery);
    QTimer::singleShot(std::chrono::minutes(minutes),
                       [&] { window.findChild<QAbstractButton*>("readStopButton")->click(); });
    const FullLogWatch full(log);
    const LoopWatch watch;

    const long atStart = ResidentKilobytes();
    const auto start = Clock::now();
    window.findChild<QAbstractButton*>("readButton")->click();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    monitor.refresh();
    const long atEnd = ResidentKilobytes();

    Report(minutes, readings, seconds, log);
    std::printf("resident memory: %s at the start, %s at the end: growth %s (target under 5 MB)\n",
                Megabytes(atStart).c_str(), Megabytes(atEnd).c_str(), Megabytes(atEnd - atStart).c_str());
    if (full.kilobytes() > 0)
        std::printf("the bus monitor's store filled (%zu exchanges) at %s; growth since: %s\n",
                    ExchangeLog::kDefaultCapacity, Megabytes(full.kilobytes()).c_str(),
                    Megabytes(atEnd - full.kilobytes()).c_str());
    std::printf("longest event-loop block: %s ms wall clock, %s s into the run; the longest on this thread's CPU: "
                "%s ms (target under 100 ms)\n",
                Decimal(watch.longestMs()).c_str(), Decimal(watch.longestAtSeconds()).c_str(),
                Decimal(watch.longestCpuMs()).c_str());
    return 0;
}

}  // namespace
}  // namespace corvel

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const bool shorter = argc == 3 && std::string(argv[1]) == "--minutes";
    return corvel::Run(shorter ? std::stoi(argv[2]) : 30);
}
