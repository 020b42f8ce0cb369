#pragma once
// The simulator as a serial port inside the process: COM numbers map to
// simulated lines, each with its transmitters. Time is a simulated clock: a
// read that would wait for a reply that never comes returns at once with
// nothing and moves the clock on by the time-out it would have cost, so that
// time-out paths cost no real time.
//
// Opening a COM number with no line fails with ENOENT; opening one that is
// already open fails with EBUSY. A read that times out leaves ETIMEDOUT as
// the last error.

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "sim/line.h"
#include "link/serial_port.h"
#include "sim/sim_clock.h"

namespace corvel::sim {

class InProcessBus {
public:
    // The line on COM `number`, made on first use.
    SimLine& line(int number);
    // The line on COM `number`, or nullptr.
    SimLine* findLine(int number);
    // Shorthand: a transmitter of `config` on COM `number`.
    SimDevice& attach(int number, DeviceConfig config) { return line(number).add(std::move(config)); }

    SimulatedClock& clock() { return clock_; }
    std::unique_ptr<SerialPort> createPort();

    // Exclusive use of a COM number (used by the ports).
    bool claim(int number) { return claimed_.insert(number).second; }
    void release(int number) { claimed_.erase(number); }

private:
    SimulatedClock clock_;
    std::map<int, std::unique_ptr<SimLine>> lines_;
    std::set<int> claimed_;
};

class InProcessPort : public SerialPort {
public:
    explicit InProcessPort(InProcessBus& bus) : bus_(bus) {}
    ~InProcessPort() override { close(); }

    bool open(const std::string& name) override;
    bool configure(std::uint32_t queueSize, const LineSettings& line, const PortTimeouts& timeouts) override;
    bool write(ByteSpan bytes, std::size_t& written) override;
    bool read(MutableByteSpan buffer, std::size_t& received, const ReadCompletion& complete) override;
    void pause(std::chrono::milliseconds duration) override;
    void close() override;
    PortError lastError() const override { return error_; }

private:
    struct Arrival {
        std::uint8_t byte;
        Micros at;
    };

    bool fail(int code);
    void schedule(const std::vector<Transmission>& replies, Micros from);
    std::size_t collect(MutableByteSpan buffer, const ReadCompletion& complete, Micros deadline,
                        std::optional<Micros>& timedOut);

    InProcessBus& bus_;
    SimLine* line_ = nullptr;
    int number_ = 0;
    LineSettings settings_;
    PortTimeouts timeouts_;
    std::deque<Arrival> incoming_;
    PortError error_;
};

class InProcessPortFactory : public SerialPortFactory {
public:
    explicit InProcessPortFactory(InProcessBus& bus) : bus_(bus) {}
    std::unique_ptr<SerialPort> create() override { return bus_.createPort(); }

private:
    InProcessBus& bus_;
};

}  // namespace corvel::sim
