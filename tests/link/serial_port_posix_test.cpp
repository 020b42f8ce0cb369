#include "link/serial_port_posix.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "link/port_permission.h"
#include "tests/link/pseudo_terminal.h"
#include "tests/link/serial_port_conformance.h"

namespace corvel::test {
namespace {

// The POSIX backend over a pseudo-terminal, opened by its device path.
class PosixPtyHarness {
public:
    std::unique_ptr<SerialPort> makePort() { return std::make_unique<PosixSerialPort>(); }
    std::string portName() const { return line_.devicePath(); }
    std::string missingPortName() const { return "/dev/corvel-no-such-port"; }
    void peerWrite(ByteSpan bytes) { line_.writeToPort(bytes); }
    std::vector<std::uint8_t> peerRead(std::size_t count) { return line_.readFromPort(count, std::chrono::seconds(5)); }

private:
    PseudoTerminal line_;
};

using PosixPorts = ::testing::Types<PosixPtyHarness>;
INSTANTIATE_TYPED_TEST_SUITE_P(Posix, SerialPortConformance, PosixPorts);

termios LineStateOf(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios state{};
    ::tcgetattr(fd, &state);
    ::close(fd);
    return state;
}

TEST(PosixSerialPort, ConfigureSetsTheCharacterFormatAndKeepsModemControl) {
    PseudoTerminal line;
    // GIVEN a line whose modem-control flags are not the defaults
    termios before = LineStateOf(line.devicePath());
    const int fd = ::open(line.devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    before.c_cflag |= CLOCAL;
    before.c_cflag &= ~HUPCL;
    before.c_cflag |= PARENB | CSTOPB;
    ::tcsetattr(fd, TCSANOW, &before);
    ::close(fd);

    PosixSerialPort port;
    ASSERT_TRUE(port.open(line.devicePath()));
    ASSERT_TRUE(port.configure(156, LineSettings{.baudRate = 9600}, {}));
    const termios after = LineStateOf(line.devicePath());
    // THEN 9600 8N1 in raw mode, and CLOCAL/HUPCL as they were
    EXPECT_EQ(::cfgetospeed(&after), B9600);
    EXPECT_EQ(after.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(after.c_cflag & (PARENB | CSTOPB), 0u);
    EXPECT_EQ(after.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(after.c_cflag & CLOCAL, static_cast<tcflag_t>(CLOCAL));
    EXPECT_EQ(after.c_cflag & HUPCL, 0u);
}

TEST(PosixSerialPort, UnsupportedLineSettingsFailWithEinval) {
    PseudoTerminal line;
    PosixSerialPort port;
    ASSERT_TRUE(port.open(line.devicePath()));
    EXPECT_FALSE(port.configure(156, LineSettings{.baudRate = 12345}, {}));
    EXPECT_EQ(port.lastError().code, EINVAL);
    EXPECT_FALSE(port.configure(156, LineSettings{.stopBits = 1}, {}));  // 1.5 stop bits
    EXPECT_EQ(port.lastError().code, EINVAL);
    for (std::uint32_t rate : {1200u, 9600u, 115200u, 230400u, 921600u})
        EXPECT_TRUE(port.configure(156, LineSettings{.baudRate = rate}, {})) << rate;
}

TEST(PosixSerialPort, CallsOnAClosedPortFailWithoutTouchingAnything) {
    PosixSerialPort port;
    std::size_t count = 7;
    std::uint8_t byte = 0;
    EXPECT_FALSE(port.write(ByteSpan(&byte, 1), count));
    EXPECT_EQ(count, 0u);
    EXPECT_FALSE(port.read(MutableByteSpan(&byte, 1), count, {}));
    EXPECT_EQ(port.lastError().code, EBADF);
    port.close();
}

TEST(PosixSerialPort, ErrorTextsAreTheSystemTexts) {
    EXPECT_EQ(SystemErrorText(ENOENT), "No such file or directory");
    EXPECT_EQ(SystemErrorText(EBUSY), "Device or resource busy");
}

// Root opens everything; the same case runs as an ordinary user in
// tests/cli/permission_hint_test.sh.
TEST(PosixSerialPort, OpenDeniedForPermissionReportsTheDeviceAndItsGroup) {
    if (::geteuid() == 0) GTEST_SKIP() << "root is never denied; run as an ordinary user";
    // The owner's bits deny, the group's allow: as a device of a group the user is not in.
    const std::string path = std::filesystem::temp_directory_path() / ("corvel-denied-" + std::to_string(::getpid()));
    std::FILE* file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    ::chmod(path.c_str(), 0060);
    std::optional<DeniedPort> reported;
    {
        const ScopedPortPermissionListener listener([&reported](const DeniedPort& port) { reported = port; });
        PosixSerialPort port;
        EXPECT_FALSE(port.open(path));
        EXPECT_EQ(port.lastError().code, EACCES);
    }
    std::filesystem::remove(path);
    ASSERT_TRUE(reported);
    EXPECT_EQ(reported->devicePath, path);
    EXPECT_EQ(reported->group, ::getgrgid(::getegid())->gr_name);
    EXPECT_TRUE(reported->groupMayOpen);
}

}  // namespace
}  // namespace corvel::test
