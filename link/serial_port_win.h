#pragma once
// The serial port on Windows (Win32 communications functions). Port names are
// opened as they are given: "COM3", "\\.\COM12".
//
// Open: CreateFile with read and write access and no sharing, so that a second
// opener, in this or another process, fails with the system's code. The input
// and output queues are purged on open: a port starts every exchange without
// bytes left over from an earlier one.
//
// Configure: SetupComm sets the queue sizes; the DCB read with GetCommState
// gets the baud rate, data bits, parity, stop bits and abort-on-error, with
// binary mode; every other item of the line state stays as the driver has it.
//
// Time-outs: the write's total time-out (per byte and constant) goes to
// COMMTIMEOUTS as it is. A read takes what the input queue holds at once and
// otherwise waits for one byte, with the wait set through COMMTIMEOUTS: the
// first wait up to the total deadline, later ones up to the inter-byte gap
// (never past the total). So a read sees every arrival as it comes and ends
// as soon as the reply is whole. A line error (framing, parity, overrun) ends
// the read with ERROR_OPERATION_ABORTED, as abort-on-error does. A read that
// times out with nothing received succeeds with zero bytes and leaves
// ERROR_TIMEOUT as the last error.

#include <memory>

#include "link/serial_port.h"

namespace corvel {

class WinSerialPort final : public SerialPort {
public:
    WinSerialPort() = default;
    ~WinSerialPort() override;
    WinSerialPort(const WinSerialPort&) = delete;
    WinSerialPort& operator=(const WinSerialPort&) = delete;

    bool open(const std::string& name) override;
    bool configure(std::uint32_t queueSize, const LineSettings& line, const PortTimeouts& timeouts) override;
    bool write(ByteSpan bytes, std::size_t& written) override;
    bool read(MutableByteSpan buffer, std::size_t& received, const ReadCompletion& complete) override;
    void pause(std::chrono::milliseconds duration) override;
    void close() override;
    PortError lastError() const override;

private:
    bool fail(unsigned long code);
    bool failWithLastError();
    // Reads what arrives within `wait` (returning at the first bytes); false on a line error.
    bool readSome(MutableByteSpan buffer, std::chrono::milliseconds wait, std::size_t& count);
    // Sets the read's total time-out when it differs from the one in force.
    bool setReadWait(unsigned long waitMs);

    void* handle_ = nullptr;  // a HANDLE; null when closed
    PortTimeouts timeouts_;
    unsigned long lastErrorCode_ = 0;
    unsigned long readWaitMs_ = 0;  // the read time-out in force; 0 before the first is set
};

class WinSerialPortFactory final : public SerialPortFactory {
public:
    std::unique_ptr<SerialPort> create() override { return std::make_unique<WinSerialPort>(); }
};

// The system's text for a Win32 error code, without the trailing line end.
std::string SystemErrorText(int code);

}  // namespace corvel
