// Time of a log download (open, 128-byte blocks until the last, close) from a
// simulated transmitter on a pseudo-terminal that keeps the pace of a
// 115200-baud line (10 bits a byte), through the POSIX serial port, as a ratio
// to the wire time of every byte exchanged (requests and replies).
//
//   bench_logdownload [--kib N]     (default 1024: a 1 MiB log file)

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "link/device_addresses.h"
#include "link/device_session.h"
#include "link/owned_link_context.h"
#include "sim/log_builder.h"
#include "sim/pty_server.h"
#include "link/serial_port_posix.h"

namespace corvel {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint32_t kBaudRate = 115200;
constexpr double kBitsPerByte = 10.0;
constexpr int kCom = 7;

std::string Fixed(double value, int decimals) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals).ptr;
    return std::string(text, end);
}

// The POSIX port, counting the bytes that go out and come in.
class CountingPort final : public SerialPort {
public:
    CountingPort(std::size_t& sent, std::size_t& received) : sent_(sent), received_(received) {}
    bool open(const std::string& name) override { return port_.open(name); }
    bool configure(std::uint32_t queueSize, const LineSettings& line, const PortTimeouts& timeouts) override {
        return port_.configure(queueSize, line, timeouts);
    }
    bool write(ByteSpan bytes, std::size_t& written) override {
        const bool ok = port_.write(bytes, written);
        sent_ += written;
        return ok;
    }
    bool read(MutableByteSpan buffer, std::size_t& received, const ReadCompletion& complete) override {
        const bool ok = port_.read(buffer, received, complete);
        received_ += received;
        return ok;
    }
    void pause(std::chrono::milliseconds duration) override { port_.pause(duration); }
    void close() override { port_.close(); }
    PortError lastError() const override { return port_.lastError(); }

private:
    PosixSerialPort port_;
    std::size_t& sent_;
    std::size_t& received_;
};

class CountingPorts final : public SerialPortFactory {
public:
    std::unique_ptr<SerialPort> create() override { return std::make_unique<CountingPort>(sent, received); }
    std::size_t sent = 0;
    std::size_t received = 0;
};

// A one-module pressure log of at least `bytes` bytes (two 12-byte records a sample).
sim::LogDescription LogOfSize(std::size_t bytes) {
    const std::size_t headers = sim::kLogFileHeaderSize + sim::kLogModuleHeaderSize;
    const auto samples = static_cast<std::uint32_t>((bytes - std::min(bytes, headers)) / (2 * sim::kLogSampleRecordSize) + 1);
    return sim::PressureLogDescription("BENCH.BIN", samples, 100);
}

int Run(std::size_t logBytes) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("bench-logdownload-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    ::setenv("CORVEL_PORT_DIR", folder.c_str(), 1);

    sim::DeviceConfig config = *sim::ModelConfig("Q712");
    config.logs = {LogOfSize(logBytes)};
    const std::vector<std::uint8_t> logFile = sim::BuildLogFile(config.logs.front());
    const std::size_t fileSize = logFile.size();
    sim::PtyServer server;
    server.line().add(config);
    server.line().timing.wireTime = true;
    server.line().timing.baudRate = kBaudRate;
    if (const auto error = server.start(folder, kCom)) {
        std::fprintf(stderr, "cannot start the simulator: %s\n", error->c_str());
        return 1;
    }

    CountingPorts ports;
    OwnedLinkContext link;
    link.comm.setBaudText(std::to_string(kBaudRate));
    DeviceSession session(link.with(ports));
    link.comm.portName = "COM" + std::to_string(kCom);
    const RouteBlock route{kCom, 0xF0, 0x80, 40, 0xF0, kLogStoreModule};

    const auto start = Clock::now();
    std::size_t blocks = 0;
    std::vector<std::uint8_t> downloaded;
    bool complete = session.OpenLogFile(route, 1);
    while (complete) {
        const bool more = session.ReadLogBlock(route, 1);
        if (!session.logTransfer.logBlockReceived) {
            complete = false;
            break;
        }
        ++blocks;
        downloaded.insert(downloaded.end(), session.logTransfer.logBuffer.begin(), session.logTransfer.logBuffer.end());
        if (!more) break;
    }
    complete = complete && session.CloseLogFile(route, 1);
    const std::chrono::duration<double> took = Clock::now() - start;
    server.stop();
    std::filesystem::remove_all(folder);
    if (!complete) {
        std::fprintf(stderr, "download failed after %zu blocks: %s\n", blocks, session.statusText.c_str());
        return 1;
    }
    // A download that is timed must also be the file: every block, every byte.
    const std::size_t expectedBlocks = (fileSize + 127) / 128;
    downloaded.resize(std::max(downloaded.size(), fileSize));
    if (blocks != expectedBlocks || !std::equal(logFile.begin(), logFile.end(), downloaded.begin())) {
        std::fprintf(stderr, "the download is not the log file: %zu of %zu blocks\n", blocks, expectedBlocks);
        return 1;
    }

    const std::size_t exchanged = ports.sent + ports.received;
    const double wire = static_cast<double>(exchanged) * kBitsPerByte / kBaudRate;
    std::printf("log file %zu bytes, %zu blocks, %zu bytes exchanged (%zu out, %zu in)\n", fileSize, blocks, exchanged,
                ports.sent, ports.received);
    std::printf("download %s s, wire time %s s, ratio %s (target at most 1.3)\n", Fixed(took.count(), 2).c_str(),
                Fixed(wire, 2).c_str(), Fixed(took.count() / wire, 3).c_str());
    return 0;
}

}  // namespace
}  // namespace corvel

int main(int argc, char** argv) {
    std::size_t kib = 1024;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--kib" && i + 1 < argc) {
            const std::string_view value = argv[++i];
            std::from_chars(value.data(), value.data() + value.size(), kib);
        } else {
            std::fprintf(stderr, "usage: bench_logdownload [--kib N]\n");
            return 2;
        }
    }
    return corvel::Run(kib * 1024);
}
