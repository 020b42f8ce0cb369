// The request frame of every command: command bytes, control byte, payload,
// route block, header route bytes, CRC, write length and first-read length.

#include <gtest/gtest.h>

#include <bit>
#include <functional>
#include <map>

#include "tests/link/crc_oracle.h"
#include "link/frame.h"
#include "link/frame_decoder.h"
#include "tests/link/scripted_port.h"

namespace corvel::test {
namespace {

struct RequestCase {
    const char* name;
    std::function<void(DeviceSession&)> call;
    std::uint8_t command1, command2, command3;
    Bytes payload;
    RouteBlock route;
    std::size_t firstRead;  // 0: not checked
    std::uint8_t control = 0;
};

Bytes Zeros(std::size_t count, Bytes leading = {}) {
    leading.resize(std::max(count, leading.size()), 0);
    return leading;
}

Bytes Le32(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value >> 16),
            static_cast<std::uint8_t>(value >> 24)};
}

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

constexpr RouteBlock R = kRoute;
constexpr ChannelMask kP1T{.p1 = true, .channel4 = true};
constexpr ChannelMask kP1P2{.p1 = true, .p2 = true};
constexpr ChannelMask kP1P2T{.p1 = true, .p2 = true, .channel4 = true};
RouteBlock RouteWithModule(std::uint8_t module) { return {R[0], R[1], R[2], R[3], R[4], module}; }

std::vector<RequestCase> Cases() {
    return {
        {"SendEmptyCommand", [](DeviceSession& s) { s.SendEmptyCommand(R); }, 0, 0, 0, {}, R, 12},
        {"SendEmptyCommandToAddress",
         [](DeviceSession& s) {
             s.discovery.currentNetworkAddress = 7;
             s.discovery.foundModuleNumber = 0x28;
             s.SendEmptyCommandToAddress();
         },
         0, 0, 0, {}, {0x80, 0x80, 0x80, 7, 0x80, 0x28}, 18},
        {"SendEmptyCommandFlag40",
         [](DeviceSession& s) {
             s.discovery.foundNetworkAddress = 9;
             s.SendEmptyCommandFlag40();
         },
         0, 0, 0, {}, {0x80, 0x80, 0x80, 9, 0x80, 0x00}, 18, 0x40},
        {"ReadIdentity", [](DeviceSession& s) { s.ReadIdentity(R, 0x41); }, 2, 0x00, 0x00, {}, RouteWithModule(0x41), 18},
        {"ReadSensorInfoP1", [](DeviceSession& s) { s.ReadSensorInfoP1(R); }, 2, 0x00, 0x11, Zeros(32), R, 18},
        {"ReadSensorInfoP2", [](DeviceSession& s) { s.ReadSensorInfoP2(R); }, 2, 0x00, 0x21, Zeros(32), R, 50},
        {"ReadDescription", [](DeviceSession& s) { s.ReadDescription(R, 0x41); }, 2, 0x00, 0xC0, {},
         RouteWithModule(0x41), 152},
        {"ReadTagAndAsset", [](DeviceSession& s) { s.ReadTagAndAsset(R, 0x41); }, 2, 0x00, 0xC1, {},
         RouteWithModule(0x41), 84},
        {"ReadManufacturingRecord", [](DeviceSession& s) { s.ReadManufacturingRecord(R, 0x41); }, 2, 0x00, 0x80, {},
         RouteWithModule(0x41), 142},
        {"ReadManufacturingLimits", [](DeviceSession& s) { s.ReadManufacturingLimits(R); }, 2, 0x00, 0x80, {}, R, 136},
        {"ReadUnitRecord P2", [](DeviceSession& s) { s.ReadUnitRecord(R, PressureInput::P2, 9); }, 3, 0x22, 0, {9}, R, 30},
        {"ReadUnitRecordP1Selected",
         [](DeviceSession& s) {
             s.context().shared.selectedUnitCode = 5;
             s.ReadUnitRecordP1Selected(R);
         },
         3, 0x12, 0, {5}, R, 30},
        {"ReadEngineeringUnits P1 P2 T", [](DeviceSession& s) { s.ReadEngineeringUnits(kP1P2T, R); }, 3,
         0xB0, 0, {}, R, 12 + 3 * 18},
        {"WriteEngineeringUnits P1 T",
         [](DeviceSession& s) {
             s.p1.unitCode = 4;
             s.temperature.unitCode = 32;
             s.WriteEngineeringUnits(kP1T, R);
         },
         3, 0x91, 0, {4, 32}, R, 12 + 2 * 18},
        {"ReadMeasurements P1 T", [](DeviceSession& s) { s.ReadMeasurements(kP1T, R, MinMax::Without, 1, 1); },
         4, 0x90, 0, {}, R, 28},
        {"ReadMeasurements P1 P2 T min/max",
         [](DeviceSession& s) { s.ReadMeasurements(kP1P2T, R, MinMax::With, 1, 1); }, 4, 0xB2, 0, {}, R, 60},
        {"ReadMeasurementsForOutput P1 T",
         [](DeviceSession& s) { s.ReadMeasurementsForOutput(kP1T, R, MinMax::With, 1, 1); }, 4, 0x91, 0, {},
         R, 50},
        {"ReadOutputKind", [](DeviceSession& s) { s.ReadOutputKind(R); }, 5, 0, 0, {}, R, 22},
        {"ZeroChannels P1 T", [](DeviceSession& s) { s.ZeroChannels(kP1T, R); }, 6, 0x90, 0, {}, R, 20},
        {"RestoreFactoryCalibration P1 P2", [](DeviceSession& s) { s.RestoreFactoryCalibration(kP1P2, R); },
         6, 0x31, 0, {}, R, 20},
        {"StartRecalibration channel 2",
         [](DeviceSession& s) {
             s.recalibration.recalChannel = 2;
             s.recalibration.recalContext1 = 5;
             s.recalibration.recalContext2 = 6;
             s.StartRecalibration(R);
         },
         6, 0x23, 0, {5, 6}, R, 40},
        {"ReadCalibrationPoint",
         [](DeviceSession& s) {
             s.recalibration.recalContext1 = 5;
             s.recalibration.recalContext2 = 6;
             s.recalibration.currentPoint = 2;
             s.recalibration.numberOfPoints = 3;
             s.ReadCalibrationPoint(R);
         },
         6, 0x15, 0, {5, 6, 2, 3}, R, 40},
        {"SaveCalibrationPoint",
         [](DeviceSession& s) {
             s.recalibration.recalContext1 = 5;
             s.recalibration.recalContext2 = 6;
             s.recalibration.currentPoint = 2;
             s.recalibration.applyValueText = "  12.5";
             s.SaveCalibrationPoint(R);
         },
         6, 0x14, 0, Concat({5, 6, 2, 2}, Le32(std::bit_cast<std::uint32_t>(12.5f))), R, 40},
        {"FinishRecalibration channel 4",
         [](DeviceSession& s) {
             s.recalibration.recalChannel = 4;
             s.FinishRecalibration(R);
         },
         6, 0x86, 0, {0, 0, 1, 1}, R, 24},
        {"ReadSensorRange P1 P2", [](DeviceSession& s) { s.ReadSensorRange(kP1P2, R); }, 8, 0x30, 0,
         {}, R, 28},
        {"WriteMemoryByte", [](DeviceSession& s) { s.WriteMemoryByte(R, 0x5A, 0x2811); }, 0x62, 0x88, 0,
         {1, 0, 0x11, 0x28, 0, 0, 0x5A}, R, 20},
        {"WriteMemoryByteAt", [](DeviceSession& s) { s.WriteMemoryByteAt(R, 0x2811, 1); }, 0x62, 0x88, 0,
         {1, 0, 0x11, 0x28, 0, 0, 1}, R, 20},
        {"WriteMemoryDword", [](DeviceSession& s) { s.WriteMemoryDword(R, 0x2830, 0x3FC00000); }, 0x62, 0x88, 0,
         {4, 0, 0x30, 0x28, 0, 0, 0x00, 0x00, 0xC0, 0x3F}, R, 20},
        {"ReadMemoryByte", [](DeviceSession& s) { s.ReadMemoryByte(R, 0x12345678); }, 0x62, 0x08, 0,
         {6, 0, 0x78, 0x56, 0x34, 0x12}, R, 18},
        {"ReadMemoryWord", [](DeviceSession& s) { s.ReadMemoryWord(R, 0x2900); }, 0x62, 0x08, 0, {6, 0, 0, 0x29, 0, 0}, R,
         18},
        {"ReadMemoryDword", [](DeviceSession& s) { s.ReadMemoryDword(R, 0x2A30); }, 0x62, 0x08, 0,
         {6, 0, 0x30, 0x2A, 0, 0}, R, 44},
        {"ReadMemoryBlock", [](DeviceSession& s) { s.ReadMemoryBlock(R, 0x0100); }, 0x62, 0x08, 0,
         {119, 0, 0, 1, 0, 0}, R, 139},
        {"ReadLowerRangeValue", [](DeviceSession& s) { s.ReadLowerRangeValue(R); }, 0x62, 0x08, 0,
         {6, 0, 0x30, 0x28, 0, 0}, R, 12},
        {"ReadUpperRangeValue", [](DeviceSession& s) { s.ReadUpperRangeValue(R); }, 0x62, 0x08, 0,
         {6, 0, 0x34, 0x28, 0, 0}, R, 12},
        {"ReadDampingEnabledP1", [](DeviceSession& s) { s.ReadDampingEnabledP1(R); }, 0x62, 0x08, 0,
         {6, 0, 0x10, 0x28, 0, 0}, R, 28},
        {"ReadDampingEnabledP2", [](DeviceSession& s) { s.ReadDampingEnabledP2(R); }, 0x62, 0x08, 0,
         {6, 0, 0x10, 0x2A, 0, 0}, R, 28},
        {"ReadDampingTimeP1", [](DeviceSession& s) { s.ReadDampingTimeP1(R); }, 0x62, 0x08, 0, {6, 0, 0x12, 0x28, 0, 0},
         R, 30},
        {"ReadDampingTimeP2", [](DeviceSession& s) { s.ReadDampingTimeP2(R); }, 0x62, 0x08, 0, {6, 0, 0x12, 0x2A, 0, 0},
         R, 30},
        {"WriteDampingEnabledP1", [](DeviceSession& s) { s.WriteDampingEnabledP1(R, 1); }, 0x62, 0x88, 0,
         {1, 0, 0x10, 0x28, 0, 0, 1}, R, 20},
        {"WriteNetworkAddress",
         [](DeviceSession& s) { s.WriteNetworkAddress({R[0], R[1], R[2], R[3], 0x80, R[5]}, 12, 0x28); }, 0x62, 0x88, 0,
         {1, 0, 0x01, 0x08, 0, 0, 12}, {R[0], R[1], R[2], R[3], 0xF0, 0x28}, 154},
        {"WriteDampingEnabledP2", [](DeviceSession& s) { s.WriteDampingEnabledP2(R, 1); }, 0x62, 0x88, 0,
         {1, 0, 0x10, 0x2A, 0, 0, 1}, R, 20},
        {"WriteDampingTimeP1 2.5",
         [](DeviceSession& s) {
             s.memory.dampingTextP1 = "2.5";
             s.WriteDampingTimeP1(R);
         },
         0x62, 0x88, 0, Concat({32, 0, 0x12, 0x28, 0, 0, 0x00, 0x00, 0x20, 0x40}, Zeros(28)), R, 30},
        {"WriteDampingTimeP2 text not a number",
         [](DeviceSession& s) {
             s.memory.dampingTextP2 = "abc";
             s.WriteDampingTimeP2(R);
         },
         0x62, 0x88, 0, Concat({32, 0, 0x12, 0x2A, 0, 0}, Zeros(32)), R, 30},
        {"ReadDeviceStrings",
         [](DeviceSession& s) {
             s.discovery.foundNetworkAddress = 0x11;
             s.ReadDeviceStrings(R, 0x28);
         },
         0x62, 0x08, 0, {119, 0, 0x62, 0, 0, 0}, {0x80, R[1], R[2], 0x11, R[4], 0x28}, 145},
        {"ReadDeviceStringsXmtr", [](DeviceSession& s) { s.ReadDeviceStringsXmtr(R, 0x40, 0x22); }, 0x62, 0x08, 0,
         {119, 0, 0x62, 0, 0, 0}, {0x80, R[1], R[2], 0x22, R[4], 0x40}, 145},
        {"ReadFirmwareVersion", [](DeviceSession& s) { s.ReadFirmwareVersion(R); }, 0x62, 0x08, 0,
         {6, 0, 0xD2, 0, 0, 0}, R, 0},
        {"ReadLogState", [](DeviceSession& s) { s.ReadLogState(R, 255); }, 0x09, 0x8F, 0, {255}, R, 15},
        {"ReadLogFileCount", [](DeviceSession& s) { s.ReadLogFileCount(R); }, 0x51, 0x41, 0, Zeros(16, {0xFF}), R, 156},
        {"ReadLogDirectory", [](DeviceSession& s) { s.ReadLogDirectory(R, 3); }, 0x51, 0x41, 0, Zeros(16, {3}), R, 156},
        {"OpenLogFile", [](DeviceSession& s) { s.OpenLogFile(R, 2); }, 0x51, 0x42, 0, Zeros(16, {2}), R, 36},
        {"CloseLogFile", [](DeviceSession& s) { s.CloseLogFile(R, 2); }, 0x51, 0x44, 0, Zeros(16, {2}), R, 36},
        {"EraseAllLogFiles", [](DeviceSession& s) { s.EraseAllLogFiles(R); }, 0x51, 0xC5, 0, Zeros(16, {0xFF}), R, 36},
        {"ReadLogBlock", [](DeviceSession& s) { s.ReadLogBlock(R, 4); }, 0x52, 0x00, 0, {0x80, 4, 0, 0, 0, 0}, R, 154},
        {"ReadIdentityAtAddress",
         [](DeviceSession& s) {
             s.discovery.foundNetworkAddress = 0x15;
             s.discovery.foundModuleNumber = 0x28;
             s.ReadIdentityAtAddress();
         },
         2, 0, 0, {}, {0x80, 0x80, 0x80, 0x15, 0xF0, 0x28}, 18},
        {"ReadDeviceKind", [](DeviceSession& s) { s.ReadDeviceKind(R); }, 4, 0x20, 0, {}, R, 50},
    };
}

class CommandRequest : public testing::TestWithParam<RequestCase> {};

// The first exchange of the command on a line that answers "Good".
Exchange FirstExchange(const RequestCase& c) {
    SessionFixture f;
    f.line.responder = [](const std::string&, const Bytes&) { return ReplyFrame(0, {}); };
    c.call(f.session);
    return f.line.exchanges.empty() ? Exchange{} : f.line.exchanges.front();
}

TEST_P(CommandRequest, FrameHasHeaderPayloadRouteAndCrc) {
    const RequestCase& c = GetParam();
    const Exchange exchange = FirstExchange(c);
    ASSERT_FALSE(exchange.request.empty());
    const Bytes& r = exchange.request;
    const std::size_t n = c.payload.size();
    ASSERT_EQ(r.size(), 18 + n) << "write length";
    EXPECT_EQ(r[0], 0x80);
    EXPECT_EQ(r[1], 0x01);
    EXPECT_EQ(r[2], n);
    EXPECT_EQ(r[3], c.route[0]);
    EXPECT_EQ(r[4], c.route[3]);
    EXPECT_EQ(r[5], c.command1);
    EXPECT_EQ(r[6], c.command2);
    EXPECT_EQ(r[7], c.command3);
    EXPECT_EQ(r[8], c.control);
    EXPECT_EQ(r[9], 0);
    EXPECT_EQ(Bytes(r.begin() + 12, r.begin() + 12 + static_cast<std::ptrdiff_t>(n)), c.payload);
    EXPECT_EQ(Bytes(r.begin() + 12 + static_cast<std::ptrdiff_t>(n), r.end()), Bytes(c.route.begin(), c.route.end()));
    const std::uint16_t crc = BitwiseFrameCrc(r);
    EXPECT_EQ(r[10], static_cast<std::uint8_t>(crc));
    EXPECT_EQ(r[11], static_cast<std::uint8_t>(crc >> 8));
    if (c.firstRead) {
        ASSERT_FALSE(exchange.readSizes.empty());
        EXPECT_EQ(exchange.readSizes.front(), c.firstRead) << "first-read length";
    }
}

INSTANTIATE_TEST_SUITE_P(EveryCommand, CommandRequest, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<RequestCase>& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

// The frame decoder of the trace and the bus monitor names each request after
// its command; commands that send the same bytes as another share its name.
std::string DecodedName(const std::string& caseName) {
    static const std::map<std::string, std::string> kSameRequestAs{
        {"SendEmptyCommandToAddress", "SendEmptyCommand"}, {"ReadManufacturingLimits", "ReadManufacturingRecord"},
        {"ReadUnitRecordP1Selected", "ReadUnitRecord"},   {"ReadIdentityAtAddress", "ReadIdentity"},
        {"ReadDeviceKind", "ReadMeasurements"},           {"ReadDeviceStringsXmtr", "ReadDeviceStrings"},
        {"ReadMemoryByte", "ReadMemory"},                 {"ReadMemoryWord", "ReadMemory"},
        {"ReadMemoryDword", "ReadMemory"},                {"ReadMemoryBlock", "ReadMemory"},
        {"WriteMemoryByte", "WriteMemory"},               {"WriteMemoryByteAt", "WriteMemory"},
        {"WriteMemoryDword", "WriteMemory"}};
    const std::string command = caseName.substr(0, caseName.find(' '));
    const auto same = kSameRequestAs.find(command);
    return same == kSameRequestAs.end() ? command : same->second;
}

TEST_P(CommandRequest, DecodesToItsCommandChannelsAndRoute) {
    const RequestCase& c = GetParam();
    const DecodedRequest decoded = DecodeRequest(FirstExchange(c).request);
    EXPECT_EQ(decoded.operation, DecodedName(c.name));
    const bool channelCommand = c.command1 == 3 || c.command1 == 4 || c.command1 == 6 || c.command1 == 8;
    EXPECT_EQ(decoded.channelMask, channelCommand ? (c.command2 & 0xF0) : 0);
    EXPECT_EQ(decoded.route, c.route);
}

// The identity request of the address scan for network address 1, byte for byte.
TEST(CommandRequestGolden, AddressScanIdentityRequestForAddressOne) {
    SessionFixture f;
    f.line.responder = [](const std::string&, const Bytes&) { return ReplyFrame(0, Bytes(40, 0)); };
    EXPECT_EQ(f.session.ScanNetworkAddresses(1), 1);
    ASSERT_FALSE(f.line.exchanges.empty());
    EXPECT_EQ(f.line.exchanges.front().request,
              (Bytes{0x80, 0x01, 0x00, 0x80, 0x01, 0x02, 0x00, 0x00, 0x00, 0x00, 0xB8, 0x1A, 0x80, 0x80, 0x80, 0x01, 0xF0,
                     0x28}));
}

// The sequence sent before leaving a Modbus line: the fixed 56-byte frame, then
// "restart communications" to address 0.
TEST(CommandRequestGolden, ModbusExitSequence) {
    SessionFixture f;
    f.comm.protocol = kProtocolModbus;
    f.session.SendModbusExitSequence();
    ASSERT_EQ(f.line.exchanges.size(), 2u);
    const Bytes expected = {
        0x80, 0x01, 0x26, 0x01, 0x28, 0x62, 0x88, 0x00, 0x00, 0x00, 0xC0, 0xBB, 0x20, 0x00, 0x0B, 0x08, 0x00, 0x00, 0x10,
        0x00, 0xFF, 0xFF, 0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x52, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
        0xFF, 0x30, 0x30, 0x2E, 0x39, 0x30, 0x41, 0x20, 0x00, 0xFF, 0xFF, 0xFF, 0x01, 0x80, 0x80, 0x28, 0xE7, 0x7A};
    EXPECT_EQ(f.line.exchanges[0].request, expected);
    EXPECT_EQ(f.line.exchanges[1].request, (Bytes{0x00, 0x08, 0x00, 0x01, 0xFF, 0x00, 0xF1, 0xEA}));
    EXPECT_EQ(f.line.exchanges[0].readSizes.front(), 26u);
    EXPECT_EQ(f.line.exchanges[1].readSizes.front(), 156u) << "a first read of 255 keeps to the buffer";
}

TEST(CommandRequestGolden, ModbusExitSequenceSendsNothingOnTheNativeProtocol) {
    SessionFixture f;
    f.comm.protocol = kProtocolNative;
    f.session.SendModbusExitSequence();
    EXPECT_TRUE(f.line.exchanges.empty());
}

}  // namespace
}  // namespace corvel::test
