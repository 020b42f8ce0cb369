// The Win32 backend: its error texts and failures, and the conformance suite
// of every serial port over a pair of joined lines. The pair comes from the
// test run: CORVEL_TEST_PORT and CORVEL_TEST_PEER name two COM ports whose
// lines are joined (under Wine, two pseudo-terminals joined by a relay);
// without them the conformance suite is skipped.
#include "link/serial_port_win.h"

#include <windows.h>

#include <cstdlib>

#include "tests/link/serial_port_conformance.h"

namespace corvel::test {
namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool RunningUnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// The device's end of the line goes through the same backend.
class WinLinePair {
public:
    WinLinePair() {
        if (!skipReason().empty()) return;
        peer_.open(Environment("CORVEL_TEST_PEER"));
        peer_.configure(4096, LineSettings{}, PortTimeouts{200, 0, 2000, 10, 1000});
    }

    std::string skipReason() const {
        if (portName().empty() || Environment("CORVEL_TEST_PEER").empty())
            return "no pair of joined COM ports given (CORVEL_TEST_PORT, CORVEL_TEST_PEER)";
        return "";
    }
    std::string exclusiveOpenSkipReason() const {
        return RunningUnderWine() ? "Wine lets a second opener of a serial port in; Windows refuses it" : "";
    }

    std::unique_ptr<SerialPort> makePort() { return std::make_unique<WinSerialPort>(); }
    std::string portName() const { return Environment("CORVEL_TEST_PORT"); }
    std::string missingPortName() const { return "\\\\.\\COM99"; }
    void peerWrite(ByteSpan bytes) {
        std::size_t written = 0;
        peer_.write(bytes, written);
    }
    std::vector<std::uint8_t> peerRead(std::size_t count) {
        std::vector<std::uint8_t> got(count);
        std::size_t total = 0;
        for (int tries = 0; tries < 20 && total < count; ++tries) {
            std::size_t received = 0;
            if (!peer_.read(MutableByteSpan(got).subspan(total), received, {})) break;
            total += received;
        }
        got.resize(total);
        return got;
    }

private:
    WinSerialPort peer_;
};

using WinPorts = ::testing::Types<WinLinePair>;
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, SerialPortConformance, WinPorts);

// The texts are the system's own (Wine's differ from Windows'), one line each.
TEST(WinSerialPort, ErrorTextsAreTheSystemTextsOnOneLine) {
    for (const int code : {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_TIMEOUT}) {
        const std::string text = SystemErrorText(code);
        EXPECT_FALSE(text.empty()) << code;
        EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
        EXPECT_NE(text.back(), ' ') << text;
    }
    EXPECT_NE(SystemErrorText(ERROR_FILE_NOT_FOUND), SystemErrorText(ERROR_ACCESS_DENIED));
    EXPECT_EQ(SystemErrorText(0x2FFFFFFF), "Unknown error 805306367");
}

TEST(WinSerialPort, MissingPortFailsWithFileNotFound) {
    WinSerialPort port;
    EXPECT_FALSE(port.open("\\\\.\\COM99"));
    EXPECT_EQ(port.lastError().code, ERROR_FILE_NOT_FOUND);
}

TEST(WinSerialPort, CallsOnAClosedPortFailWithInvalidHandle) {
    WinSerialPort port;
    std::size_t count = 0;
    std::uint8_t byte = 0;
    EXPECT_FALSE(port.configure(156, LineSettings{}, PortTimeouts{}));
    EXPECT_FALSE(port.write(ByteSpan(&byte, 1), count));
    EXPECT_FALSE(port.read(MutableByteSpan(&byte, 1), count, {}));
    EXPECT_EQ(port.lastError().code, ERROR_INVALID_HANDLE);
}

}  // namespace
}  // namespace corvel::test
