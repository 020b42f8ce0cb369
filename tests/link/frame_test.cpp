#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/crc.h"
#include "tests/link/crc_oracle.h"
#include "link/frame.h"

namespace corvel {
namespace {

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
    return std::vector<std::uint8_t>(values.begin(), values.end());
}

TEST(Crc, CheckValuesOfBothPolynomials) {
    const std::string digits = "123456789";
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(digits.data());
    EXPECT_EQ(Crc16Update(0, bytes, digits.size()), 0x31C3);
    const auto restart = Bytes({0x00, 0x08, 0x00, 0x01, 0xFF, 0x00});
    EXPECT_EQ(ModbusCrc16(restart.data()), 0xEAF1);
    // The table holds the frame polynomial's entries, then the Modbus ones.
    EXPECT_EQ(CrcTable()[1], 0x1021);
    EXPECT_EQ(CrcTable()[256 + 128], 0xA001);
}

TEST(Crc, TheTableAgreesWithABitwiseCrcForEveryPayloadLength) {
    const std::string digits = "123456789";
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(digits.data());
    EXPECT_EQ(test::BitwiseCrc(0, std::span(bytes, digits.size())), 0x31C3);  // the oracle's own check value
    std::vector<std::uint8_t> frame(12 + 255 + 6);
    std::uint32_t state = 7;
    for (std::uint8_t& byte : frame) byte = static_cast<std::uint8_t>((state = state * 1103515245u + 12345u) >> 24);
    for (int n = 0; n <= 255; ++n) {
        frame[2] = static_cast<std::uint8_t>(n);
        EXPECT_EQ(FrameCrc(frame), test::BitwiseFrameCrc(frame)) << n;  // n >= 250 wraps the 8-bit count
    }
}

TEST(Frame, AddressScanIdentityRequestIsGolden) {
    // GIVEN the identity request of the address scan for network address 1
    FrameBuffer frame;
    const std::size_t length = BuildFrame(frame, {.command1 = 2, .route = {0x80, 0x80, 0x80, 0x01, 0xF0, 0x28}});
    // THEN it is these 18 bytes, CRC 0x1AB8 low byte first
    const auto expected = Bytes({0x80, 0x01, 0x00, 0x80, 0x01, 0x02, 0x00, 0x00, 0x00, 0x00, 0xB8, 0x1A,
                                 0x80, 0x80, 0x80, 0x01, 0xF0, 0x28});
    ASSERT_EQ(length, 18u);
    EXPECT_EQ(std::vector<std::uint8_t>(frame.begin(), frame.begin() + 18), expected);
    for (std::size_t i = 18; i < frame.size(); ++i) EXPECT_EQ(frame[i], 0) << i;
}

TEST(Frame, RouteBlockFollowsThePayload) {
    FrameBuffer frame;
    const auto payload = Bytes({1, 2, 3, 4, 5, 6, 7});
    const std::size_t length = BuildFrame(frame, {.command1 = 0x62, .payload = payload, .route = {9, 8, 7, 6, 5, 4}});
    EXPECT_EQ(length, 25u);
    EXPECT_EQ(std::vector<std::uint8_t>(frame.begin() + 19, frame.begin() + 25), Bytes({9, 8, 7, 6, 5, 4}));
    EXPECT_EQ(frame[3], 9);
    EXPECT_EQ(frame[4], 6);
    EXPECT_EQ(FrameRoute(frame), (RouteBlock{9, 8, 7, 6, 5, 4}));
}

TEST(Frame, ShortFormRouteTakesBytesTwoAndFiveAndAppendsNothing) {
    FrameBuffer frame{};
    frame[offset::kFlags] = 0;
    frame[offset::kPayloadLength] = 0;
    SetFrameRoute(frame, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(frame[3], 3);
    EXPECT_EQ(frame[4], 6);
    EXPECT_EQ(frame[12], 0);
}

TEST(Frame, ModbusRestartRequestIsGolden) {
    const auto request = ModbusRestartRequest(0);
    EXPECT_EQ(std::vector<std::uint8_t>(request.begin(), request.end()),
              Bytes({0x00, 0x08, 0x00, 0x01, 0xFF, 0x00, 0xF1, 0xEA}));
}

// Every code of the reply status table, as the transmitter's documentation
// words it, and codes outside it.
TEST(StatusTable, EveryCodeHasItsText) {
    const std::pair<std::uint8_t, const char*> table[] = {
        {0x00, "Good"},
        {0x01, "Instrument busy, message discarded"},
        {0x02, "Message CRC invalid, message discarded"},
        {0x03, "Message incomplete after timeout, message discarded"},
        {0x10, "Command 1 not supported or invalid"},
        {0x11, "Command 2 not supported or invalid"},
        {0x12, "Command 3 not supported or invalid"},
        {0x13, "Command 1 not supported in current mode"},
        {0x14, "Command 2 not supported in current mode"},
        {0x15, "Command 3 not supported in current mode"},
        {0xF0, "POST failed"},
        {0xF1, "Hardware missing / incomplete / failed"},
        {0xF2, "Main program not loaded, bootloader only"},
        {0xF3, "Memory map blank / not loaded"},
        {0xF4, "Memory map type / version unsupported"},
    };
    for (const auto& [code, text] : table) EXPECT_EQ(StatusText(code), text) << int(code);
    // The recalibration range and everything else: "Error unknown"
    for (const int code : {0x04, 0x0F, 0x16, 0x40, 0x41, 0x46, 0xEF, 0xF5, 0xFF})
        EXPECT_EQ(StatusText(static_cast<std::uint8_t>(code)), "Error unknown") << code;
}

}  // namespace
}  // namespace corvel
