#include "link/serial_port_posix.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <thread>
#include <vector>

#include "link/port_map.h"
#include "link/port_permission.h"
#include "link/read_deadline.h"
#include "link/system_serial_port.h"

namespace corvel {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

std::optional<speed_t> SpeedOf(std::uint32_t baudRate) {
    static constexpr std::pair<std::uint32_t, speed_t> kSpeeds[] = {
        {300, B300},         {600, B600},         {1200, B1200},       {2400, B2400},       {4800, B4800},
        {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},     {115200, B115200},
        {230400, B230400},   {460800, B460800},   {500000, B500000},   {576000, B576000},   {921600, B921600},
        {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000}, {2000000, B2000000},
    };
    for (const auto& [rate, speed] : kSpeeds)
        if (rate == baudRate) return speed;
    return std::nullopt;
}

// Data bits 5..8, parity 0 none / 1 odd / 2 even / 3 mark / 4 space, stop-bit
// code 0 one / 2 two (1.5 stop bits do not exist here).
bool SetCharacterFormat(termios& state, const LineSettings& line) {
    static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    if (line.dataBits < 5 || line.dataBits > 8 || line.parity > 4 || line.stopBits == 1 || line.stopBits > 2)
        return false;
    state.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB);
    state.c_cflag |= kSizes[line.dataBits - 5];
    if (line.parity == 1 || line.parity == 3) state.c_cflag |= PARENB | PARODD;
    if (line.parity == 2 || line.parity == 4) state.c_cflag |= PARENB;
    if (line.parity >= 3) state.c_cflag |= CMSPAR;
    if (line.stopBits == 2) state.c_cflag |= CSTOPB;
    return true;
}

// Binary frames need the bytes exactly as they travel: no echo, no line
// editing, no translation, no XON/XOFF swallowing. Reads never block in the
// driver (VMIN = VTIME = 0); poll() does the waiting.
void MakeRaw(termios& state) {
    cfmakeraw(&state);
    state.c_cflag |= CREAD;
    state.c_cc[VMIN] = 0;
    state.c_cc[VTIME] = 0;
}

// strerror_r comes in two flavours; overloads pick the one the C library has.
[[maybe_unused]] std::string TextFrom(int result, const char* buffer) {
    return result == 0 ? std::string(buffer) : "Unknown error";
}
[[maybe_unused]] std::string TextFrom(const char* result, const char*) { return result; }

std::string GroupName(gid_t gid) {
    std::vector<char> buffer(4096);
    group entry{};
    group* found = nullptr;
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr)
        return std::to_string(gid);
    return found->gr_name;
}

// Who may open the device: its group, and whether the group's bits allow it.
DeniedPort DescribeDeniedPort(const std::string& path) {
    DeniedPort port{path, {}, false};
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return port;
    port.group = GroupName(status.st_gid);
    port.groupMayOpen = (status.st_mode & S_IRGRP) != 0 && (status.st_mode & S_IWGRP) != 0;
    return port;
}

}  // namespace

std::string SystemErrorText(int code) {
    char buffer[256] = {};
    return TextFrom(strerror_r(code, buffer, sizeof buffer), buffer);
}

PosixSerialPort::~PosixSerialPort() { close(); }

bool PosixSerialPort::fail(int code) {
    lastErrorCode_ = code;
    return false;
}

bool PosixSerialPort::open(const std::string& name) {
    close();
    const std::string path = DevicePathOf(name, CurrentPortMapEnvironment());
    if (path.empty()) return fail(ENOENT);
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == EACCES || error == EPERM) ReportPortPermissionDenied(DescribeDeniedPort(path));
        return fail(error);
    }
    // TIOCEXCL keeps other users out; the advisory lock also stops root, who
    // may pass TIOCEXCL. A lock held by someone else reads as "busy".
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno == EWOULDBLOCK ? EBUSY : errno;
        ::close(fd);
        return fail(error);
    }
    if (::ioctl(fd, TIOCEXCL) != 0) {
        const int error = errno;
        ::close(fd);
        return fail(error);
    }
    ::tcflush(fd, TCIFLUSH);
    fd_ = fd;
    return true;
}

bool PosixSerialPort::configure(std::uint32_t /*queueSize*/, const LineSettings& line, const PortTimeouts& timeouts) {
    if (fd_ < 0) return fail(EBADF);
    termios state{};
    if (::tcgetattr(fd_, &state) != 0) return fail(errno);
    const std::optional<speed_t> speed = SpeedOf(line.baudRate);
    if (!speed) return fail(EINVAL);
    MakeRaw(state);
    if (!SetCharacterFormat(state, line)) return fail(EINVAL);
    if (::cfsetispeed(&state, *speed) != 0 || ::cfsetospeed(&state, *speed) != 0) return fail(errno);
    if (::tcsetattr(fd_, TCSANOW, &state) != 0) return fail(errno);
    timeouts_ = timeouts;
    return true;
}

int PosixSerialPort::waitFor(short events, Clock::time_point deadline) {
    for (;;) {
        const auto left = std::max(std::chrono::ceil<milliseconds>(deadline - Clock::now()), milliseconds(0));
        pollfd watched{fd_, events, 0};
        const int ready = ::poll(&watched, 1, static_cast<int>(left.count()));
        if (ready > 0) return 1;
        if (ready == 0 && Clock::now() >= deadline) return 0;
        if (ready < 0 && errno != EINTR) {
            fail(errno);
            return -1;
        }
    }
}

bool PosixSerialPort::write(ByteSpan bytes, std::size_t& written) {
    written = 0;
    if (fd_ < 0) return fail(EBADF);
    const auto deadline =
        Clock::now() + TotalTimeout(timeouts_.writeTotalPerByteMs, timeouts_.writeTotalConstantMs, bytes.size());
    while (written < bytes.size()) {
        const ssize_t count = ::write(fd_, bytes.data() + written, bytes.size() - written);
        if (count > 0) {
            written += static_cast<std::size_t>(count);
            continue;
        }
        if (count < 0 && errno == EINTR) continue;
        if (count < 0 && errno != EAGAIN) return fail(errno);
        const int ready = waitFor(POLLOUT, deadline);
        if (ready < 0) return false;
        if (ready == 0) return fail(ETIMEDOUT);
    }
    return true;
}

bool PosixSerialPort::read(MutableByteSpan buffer, std::size_t& received, const ReadCompletion& complete) {
    received = 0;
    if (fd_ < 0) return fail(EBADF);
    const auto started = Clock::now();
    auto lastByte = started;
    const auto isComplete = [&] { return complete && complete(ByteSpan(buffer.data(), received)); };
    while (received < buffer.size() && !isComplete()) {
        const auto deadline = ReadDeadline(timeouts_, buffer.size(), started, received, lastByte);
        const int ready = waitFor(POLLIN, deadline);
        if (ready < 0) return false;
        if (ready == 0) {
            lastErrorCode_ = ETIMEDOUT;
            return true;
        }
        const ssize_t count = ::read(fd_, buffer.data() + received, buffer.size() - received);
        if (count > 0) {
            received += static_cast<std::size_t>(count);
            lastByte = Clock::now();
        } else if (count == 0) {
            return fail(EIO);  // ready yet empty: the line has hung up
        } else if (errno != EINTR && errno != EAGAIN) {
            return fail(errno);
        }
    }
    return true;
}

void PosixSerialPort::pause(milliseconds duration) { std::this_thread::sleep_for(duration); }

void PosixSerialPort::close() {
    if (fd_ < 0) return;
    // What the exchange left unread or unsent goes with the port; flushing the
    // output also keeps close() from waiting on a line held by flow control.
    ::tcflush(fd_, TCIOFLUSH);
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
}

PortError PosixSerialPort::lastError() const { return {lastErrorCode_, SystemErrorText(lastErrorCode_)}; }

SerialPortFactory& SystemSerialPortFactory() {
    static PosixSerialPortFactory factory;
    return factory;
}

std::optional<std::string> SystemDeviceOf(const std::string& portName) {
    return DevicePathOf(portName, CurrentPortMapEnvironment());
}

}  // namespace corvel
