#pragma once
// The serial line as the exchange sees it. Implementations: the POSIX backend
// (serial_port_posix.cpp), the Win32 backend (serial_port_win.cpp), the
// simulator's in-process transport, test doubles.
// A port object is opened and closed within one exchange.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "common/bytes.h"

namespace corvel {

struct LineSettings {
    std::uint32_t baudRate = 115200;
    std::uint8_t dataBits = 8;
    std::uint8_t parity = 0;    // 0 = none
    std::uint8_t stopBits = 0;  // code 0 = one stop bit
    bool abortOnError = true;   // reads and writes end on a line error
};

struct PortTimeouts {
    std::uint32_t readIntervalMs = 50;  // longest pause between two bytes once one has arrived
    std::uint32_t readTotalPerByteMs = 10;
    std::uint32_t readTotalConstantMs = 50;
    std::uint32_t writeTotalPerByteMs = 10;
    std::uint32_t writeTotalConstantMs = 50;
};

// The platform's error code and its system text, as the failure message shows them.
struct PortError {
    int code = 0;
    std::string text;
};

// Tells a read whether the bytes it has received so far form a whole reply, so
// that it can end at once instead of waiting out its time-outs.
using ReadCompletion = std::function<bool(ByteSpan received)>;

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Opens an existing port by name for reading and writing, exclusively: a
    // second opener, in this or another process, fails.
    virtual bool open(const std::string& name) = 0;
    // Sets the queue sizes, the line settings (every other item of the line
    // state stays as the platform has it) and the time-outs.
    virtual bool configure(std::uint32_t queueSize, const LineSettings& line, const PortTimeouts& timeouts) = 0;
    // Writes the bytes; `written` receives how many went out.
    virtual bool write(ByteSpan bytes, std::size_t& written) = 0;
    // Reads up to buffer.size() bytes. Ends when they have all arrived, when
    // readIntervalMs pass without a byte after at least one byte arrived, at the
    // total time-out (readTotalPerByteMs x size + readTotalConstantMs), or as soon
    // as `complete` (when given) accepts the bytes received by this call.
    // `complete` is asked before the first wait too, with nothing received: a read
    // that needs no more bytes (the rest of a reply that came whole in an earlier
    // read) ends at once. A time-out is a success
    // with whatever arrived, possibly nothing; false means an error of the line,
    // with lastError() telling which.
    virtual bool read(MutableByteSpan buffer, std::size_t& received, const ReadCompletion& complete) = 0;
    // A pause with the port open (the delayed exchange waits between write and read).
    virtual void pause(std::chrono::milliseconds duration) = 0;
    virtual void close() = 0;
    // The error of the last failed call, or of the last time-out (code and text).
    virtual PortError lastError() const = 0;
    // A remark on the exchange in progress (a damaged reply) for a protocol
    // trace; ports without a trace ignore it.
    virtual void annotate(const std::string& remark) { (void)remark; }
};

// Makes a new, closed port object for each exchange.
class SerialPortFactory {
public:
    virtual ~SerialPortFactory() = default;
    virtual std::unique_ptr<SerialPort> create() = 0;
};

}  // namespace corvel
