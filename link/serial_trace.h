#pragma once
// A protocol trace at the transport boundary: a SerialPort that passes every
// call to the real port and reports the bytes that went out and came in, with
// the time, to a sink (the command-line tool prints them, a trace window can
// list them).

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "link/serial_port.h"

namespace corvel {

// Bytes out, bytes in, or a remark on the exchange (its text as the bytes).
enum class TraceDirection { Out, In, Remark };

using TraceSink = std::function<void(TraceDirection, ByteSpan bytes, std::chrono::steady_clock::time_point)>;

class TracingSerialPort final : public SerialPort {
public:
    TracingSerialPort(std::unique_ptr<SerialPort> port, TraceSink sink);

    bool open(const std::string& name) override { return port_->open(name); }
    bool configure(std::uint32_t queueSize, const LineSettings& line, const PortTimeouts& timeouts) override {
        return port_->configure(queueSize, line, timeouts);
    }
    bool write(ByteSpan bytes, std::size_t& written) override;
    bool read(MutableByteSpan buffer, std::size_t& received, const ReadCompletion& complete) override;
    void pause(std::chrono::milliseconds duration) override { port_->pause(duration); }
    void close() override { port_->close(); }
    PortError lastError() const override { return port_->lastError(); }
    void annotate(const std::string& remark) override;

private:
    std::unique_ptr<SerialPort> port_;
    TraceSink sink_;
};

// Wraps every port that `ports` makes.
class TracingSerialPortFactory final : public SerialPortFactory {
public:
    TracingSerialPortFactory(SerialPortFactory& ports, TraceSink sink) : ports_(ports), sink_(std::move(sink)) {}
    std::unique_ptr<SerialPort> create() override;

private:
    SerialPortFactory& ports_;
    TraceSink sink_;
};

// One trace line: milliseconds since `start` with three decimals, ">" for bytes
// out or "<" for bytes in, then the bytes in hexadecimal ("12.345 > 80 01 00");
// a remark shows as "!" and its text ("12.345 ! Reply damaged: CRC mismatch").
std::string FormatTraceLine(TraceDirection direction, ByteSpan bytes, std::chrono::steady_clock::duration sinceStart);

// Trace lines of one sink, with the frames decoded after a "|": a request line
// names what it asks for ("12.345 > 80 01 ... | ReadMeasurements P1 P2 T
// min/max, to 40/64"), and the first read of its reply the reply's status
// ("13.001 < 80 01 ... | Good"). Bytes too few for a frame header stay as they are.
class TraceLineFormatter {
public:
    std::string line(TraceDirection direction, ByteSpan bytes, std::chrono::steady_clock::duration sinceStart);

private:
    bool replyStarted_ = false;  // a read since the last request brought bytes
};

}  // namespace corvel
