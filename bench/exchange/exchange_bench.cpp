// Time of one exchange (18-byte request, 50-byte reply) over a pseudo-terminal
// whose far end keeps the pace of a 115200-baud line: it takes the request's
// wire time to "receive" it and sends each reply byte one byte-time after the
// previous one (10 bits a byte, 86.8 us). Prints the median and the 95th
// percentile and their ratio to the wire time of both frames (68 bytes).
//
//   bench_exchange [--samples N] [--without-completion]
//
// Two first-read lengths are measured: 18, where every read ends on its byte
// count, and 255 (as the longest first read of the command set), where the
// reads end because the frame is complete. --without-completion repeats both
// with reads that ignore frame completion, as a plain port would.

#include <pty.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "link/device_addresses.h"
#include "link/device_session.h"
#include "link/owned_link_context.h"
#include "link/port_map.h"
#include "link/serial_port_posix.h"

namespace corvel {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::nanoseconds kByteTime{86'806};  // 10 bits at 115200 baud
constexpr std::size_t kRequestLength = 18;
constexpr std::uint8_t kReplyPayload = 32;            // 12 + 32 + 6 = 50 bytes
constexpr std::size_t kReplyLength = 12 + kReplyPayload + 6;
constexpr RouteBlock kRoute{1, 0x80, 0x80, 40, 0xF0, kPressureModule};
constexpr std::uint8_t kReadCommand = 0x62;

// An 18-byte request, and the sealed reply a transmitter sends for it, so
// that the exchange's reply checks run as they do with a real transmitter.
std::vector<std::uint8_t> Request() {
    FrameBuffer frame{};
    const std::size_t length = BuildFrame(frame, FrameRequest{kReadCommand, 0x08, 0, {}, kRoute, 0});
    return std::vector<std::uint8_t>(frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(length));
}

std::vector<std::uint8_t> Reply() {
    FrameBuffer frame{};
    const std::vector<std::uint8_t> payload(kReplyPayload, 0x5A);
    const std::size_t length = BuildFrame(frame, FrameRequest{kReadCommand, 0x08, 0, payload, kRoute, 0});
    return std::vector<std::uint8_t>(frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(length));
}

std::string Fixed(double value, int decimals) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals).ptr;
    return std::string(text, end);
}

void WaitUntil(Clock::time_point deadline) {
    std::this_thread::sleep_until(deadline - std::chrono::microseconds(80));
    while (Clock::now() < deadline) {
    }
}

// The far end of the line: answers every request at the line's pace.
class PacedDevice {
public:
    explicit PacedDevice(int fd) : fd_(fd), thread_([this] { run(); }) {}
    ~PacedDevice() {
        stop_ = true;
        thread_.join();
    }

private:
    void run() {
        const std::vector<std::uint8_t> reply = Reply();
        while (!stop_) {
            if (!readRequest()) continue;
            const auto start = Clock::now() + kRequestLength * kByteTime;
            for (std::size_t i = 0; i < reply.size(); ++i) {
                WaitUntil(start + (i + 1) * kByteTime);
                if (::write(fd_, &reply[i], 1) != 1) return;
            }
        }
    }

    bool readRequest() {
        std::uint8_t buffer[kRequestLength];
        std::size_t received = 0;
        while (received < kRequestLength && !stop_) {
            pollfd watched{fd_, POLLIN, 0};
            if (::poll(&watched, 1, 50) <= 0) continue;
            const ssize_t count = ::read(fd_, buffer + received, kRequestLength - received);
            if (count > 0) received += static_cast<std::size_t>(count);
        }
        return received == kRequestLength;
    }

    int fd_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// A port whose reads ignore frame completion: ends on count or time-out only.
class PlainReadPort final : public SerialPort {
public:
    bool open(const std::string& name) override { return port_.open(name); }
    bool configure(std::uint32_t queueSize, const LineSettings& line, const PortTimeouts& timeouts) override {
        return port_.configure(queueSize, line, timeouts);
    }
    bool write(ByteSpan bytes, std::size_t& written) override { return port_.write(bytes, written); }
    bool read(MutableByteSpan buffer, std::size_t& received, const ReadCompletion&) override {
        return port_.read(buffer, received, {});
    }
    void pause(std::chrono::milliseconds duration) override { port_.pause(duration); }
    void close() override { port_.close(); }
    PortError lastError() const override { return port_.lastError(); }

private:
    PosixSerialPort port_;
};

class PlainReadPorts final : public SerialPortFactory {
public:
    std::unique_ptr<SerialPort> create() override { return std::make_unique<PlainReadPort>(); }
};

struct Figures {
    double medianMs = 0;
    double p95Ms = 0;
};

Figures Measure(SerialPortFactory& ports, std::uint8_t firstRead, int samples) {
    OwnedLinkContext link;
    DeviceSession session(link.with(ports));
    const std::vector<std::uint8_t> request = Request();
    const std::vector<std::uint8_t> expected = Reply();
    FrameBuffer reply{};
    std::vector<double> times;
    for (int i = -samples / 10 - 1; i < samples; ++i) {  // the first tenth warms up
        const auto start = Clock::now();
        reply.fill(0);
        const bool replied = session.SerialTransact(request, kRequestLength, reply, firstRead);
        const std::chrono::duration<double, std::milli> took = Clock::now() - start;
        if (!replied || !std::equal(expected.begin(), expected.end(), reply.begin())) {
            std::fprintf(stderr, "exchange failed: %s\n", session.statusText.c_str());
            std::exit(1);
        }
        if (i >= 0) times.push_back(took.count());
    }
    std::sort(times.begin(), times.end());
    const std::size_t p95 = (times.size() * 95 + 99) / 100 - 1;
    return {times[times.size() / 2], times[p95]};
}

void Report(std::string_view label, const Figures& figures) {
    const double wireMs = std::chrono::duration<double, std::milli>((kRequestLength + kReplyLength) * kByteTime).count();
    std::printf("%-40s median %8s ms  p95 %8s ms  ratio median %7s  p95 %7s\n", std::string(label).c_str(),
                Fixed(figures.medianMs, 3).c_str(), Fixed(figures.p95Ms, 3).c_str(),
                Fixed(figures.medianMs / wireMs, 2).c_str(), Fixed(figures.p95Ms / wireMs, 2).c_str());
}

int Run(int samples, bool compare) {
    int peer = -1;
    int portSide = -1;
    char name[128] = {};
    if (::openpty(&peer, &portSide, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    const auto folder = std::filesystem::temp_directory_path() / ("corvel-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::filesystem::create_symlink(name, folder / "COM1");
    ::setenv(std::string(kPortDirVariable).c_str(), folder.c_str(), 1);
    {
        PacedDevice device(peer);
        const double wireMs =
            std::chrono::duration<double, std::milli>((kRequestLength + kReplyLength) * kByteTime).count();
        std::printf("wire time of 18 + 50 bytes at 115200 baud: %s ms, %d samples\n", Fixed(wireMs, 3).c_str(),
                    samples);
        PosixSerialPortFactory ports;
        Report("first read 18, frame-aware", Measure(ports, 18, samples));
        Report("first read 255, frame-aware", Measure(ports, 255, samples));
        if (compare) {
            PlainReadPorts plain;
            const int fewer = std::max(3, samples / 20);  // each costs the idle time-outs
            Report("first read 18, time-outs only", Measure(plain, 18, samples));
            Report("first read 255, time-outs only", Measure(plain, 255, fewer));
        }
    }
    std::filesystem::remove_all(folder);
    ::close(peer);
    ::close(portSide);
    return 0;
}

}  // namespace
}  // namespace corvel

int main(int argc, char** argv) {
    int samples = 200;
    bool compare = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--without-completion") {
            compare = true;
        } else if (argument == "--samples" && i + 1 < argc) {
            const std::string_view value = argv[++i];
            std::from_chars(value.data(), value.data() + value.size(), samples);
            samples = std::max(samples, 1);
        } else {
            std::fprintf(stderr, "usage: %s [--samples N] [--without-completion]\n", argv[0]);
            return 2;
        }
    }
    return corvel::Run(samples, compare);
}
