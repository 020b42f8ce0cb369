#pragma once
// The serial port on POSIX systems (termios and poll). Port names go through
// the port map (port_map.h); a name that is not a COM name is a device path.
//
// Open: O_RDWR | O_NOCTTY, non-blocking descriptor, exclusive through TIOCEXCL
// and an advisory flock(), so that a second opener fails with EBUSY even when
// it runs as root (root passes TIOCEXCL). The input queue is emptied on open:
// a port starts every exchange without bytes left over from an earlier one.
//
// Configure: the line state is read with tcgetattr and only the baud rate,
// data bits, parity and stop bits are changed, with one addition: the line is
// put into raw mode (no echo, no line editing, no character translation, no
// XON/XOFF on output), because the frames are binary and any of those would
// alter or swallow bytes. Modem control (CLOCAL, HUPCL, CRTSCTS) stays as the
// platform reports it. Queue sizes and the abort-on-error flag have no POSIX
// counterpart and are accepted as they are. An unsupported rate fails with EINVAL.
//
// Time-outs are deadlines on the steady clock, recomputed after every wait and
// retried on EINTR. A read that times out with nothing received succeeds with
// zero bytes and leaves ETIMEDOUT as the last error.
//
// An open refused for lack of permission (EACCES, EPERM) fails as any other;
// besides, the device and its group are reported to port_permission.h.

#include <memory>

#include "link/serial_port.h"

namespace corvel {

class PosixSerialPort final : public SerialPort {
public:
    PosixSerialPort() = default;
    ~PosixSerialPort() override;
    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    bool open(const std::string& name) override;
    bool configure(std::uint32_t queueSize, const LineSettings& line, const PortTimeouts& timeouts) override;
    bool write(ByteSpan bytes, std::size_t& written) override;
    bool read(MutableByteSpan buffer, std::size_t& received, const ReadCompletion& complete) override;
    void pause(std::chrono::milliseconds duration) override;
    void close() override;
    PortError lastError() const override;

private:
    bool fail(int code);
    // Waits until the descriptor is ready for `events` or the deadline passes;
    // 1 ready, 0 deadline, -1 error (recorded).
    int waitFor(short events, std::chrono::steady_clock::time_point deadline);

    int fd_ = -1;
    PortTimeouts timeouts_;
    int lastErrorCode_ = 0;
};

class PosixSerialPortFactory final : public SerialPortFactory {
public:
    std::unique_ptr<SerialPort> create() override { return std::make_unique<PosixSerialPort>(); }
};

// The system's error text for an errno value (thread-safe).
std::string SystemErrorText(int code);

}  // namespace corvel
