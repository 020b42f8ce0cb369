// Request/reply round trips of the command families through the in-process
// port, decoded at the reply offsets the utility reads.
#include <gtest/gtest.h>

#include "common/bytes.h"
#include "tests/link/crc_oracle.h"
#include "tests/sim/exchange.h"

namespace corvel::sim::test {
namespace {

constexpr int kCom = 3;

class Commands : public ::testing::Test {
protected:
    SimDevice& attach(const char* model, std::uint8_t address = 40) {
        DeviceConfig config = *ModelConfig(model);
        config.address = address;
        config.p1.behaviour.noise = 0.0f;
        config.temperature.noise = 0.0f;
        return bus.attach(kCom, config);
    }
    Bytes send(const FrameRequest& request) { return Transact(bus, kCom, request); }
    Bytes send(std::uint8_t c1, std::uint8_t c2, std::uint8_t c3, const Bytes& payload = {},
               std::uint8_t module = 0x40) {
        return send({.command1 = c1, .command2 = c2, .command3 = c3, .payload = payload, .route = RouteTo(40, module)});
    }
    Bytes readMemory(std::uint32_t at, std::uint8_t count, std::uint8_t module = 0x40) {
        Bytes payload(6, 0);
        payload[0] = count;
        PutU32(payload, 2, at);
        return send(0x62, 0x08, 0, payload, module);
    }
    Bytes writeMemory(std::uint32_t at, const Bytes& data, std::uint8_t module = 0x40) {
        Bytes payload(6, 0);
        payload[0] = static_cast<std::uint8_t>(data.size());
        PutU32(payload, 2, at);
        payload.insert(payload.end(), data.begin(), data.end());
        return send(0x62, 0x88, 0, payload, module);
    }

    InProcessBus bus;
};

TEST_F(Commands, AddressScanIdentityRequestOfTheWireIsAnsweredFromItsAddress) {
    attach("4402", 1);
    // GIVEN the literal identity request of the address scan for address 1
    const Bytes request = Payload({0x80, 0x01, 0x00, 0x80, 0x01, 0x02, 0x00, 0x00, 0x00, 0x00, 0xB8, 0x1A, 0x80, 0x80,
                                   0x80, 0x01, 0xF0, 0x28});
    const Bytes reply = Transact(bus, kCom, request);
    // THEN the reply is a whole frame with status 0, sealed, sent by node 1 module 40
    ASSERT_GE(reply.size(), 18u);
    EXPECT_EQ(reply.size(), 18u + reply[2]);
    EXPECT_EQ(reply[8], 0);
    EXPECT_EQ(corvel::test::BitwiseFrameCrc(reply), U16At(reply, 10));
    const RouteBlock route = FrameRoute(reply);
    EXPECT_EQ(route[0], 1);
    EXPECT_EQ(route[2], 40);
    EXPECT_EQ(TextAt(reply, 42, 16), "01.00");
    EXPECT_EQ(TextAt(reply, 14, 10), "SIM0000001");
}

TEST_F(Commands, PortScanIdentityWithZeroRouteIsAnsweredWithAddressAndModule40) {
    attach("4402", 77);
    const Bytes reply = send({.command1 = 2, .route = {0, 0x80, 0x80, 0, 0xF0, 0}});
    const RouteBlock route = FrameRoute(reply);
    EXPECT_EQ(route[0], 77);
    EXPECT_EQ(route[2], 40);
    EXPECT_NE(reply[0], 0xFF);
}

TEST_F(Commands, SensorInfoCarriesLabelUnitAndLimits) {
    // GIVEN the 4402 preset: two gauge inputs of 0 to 100 PSI
    attach("4402");
    const Bytes p1 = send(2, 0, 0x11, Bytes(32, 0));
    EXPECT_EQ(p1.size(), 50u);
    EXPECT_EQ(p1[14], 1);  // GI
    EXPECT_EQ(p1[16], kUnitPsi);
    EXPECT_FLOAT_EQ(F32At(p1, 18), 0.0f);
    EXPECT_FLOAT_EQ(F32At(p1, 22), 100.0f);
    const Bytes p2 = send(2, 0, 0x21, Bytes(32, 0));
    EXPECT_EQ(p2[14], 1);
    EXPECT_FLOAT_EQ(F32At(p2, 18), 0.0f);
    EXPECT_FLOAT_EQ(F32At(p2, 22), 100.0f);
}

TEST_F(Commands, DeviceKindTellsDualFromSingleInput) {
    attach("4402", 40);
    attach("4400", 41);
    const Bytes dual = send({.command1 = 4, .command2 = 0x20, .route = RouteTo(40)});
    const Bytes single = send({.command1 = 4, .command2 = 0x20, .route = RouteTo(41)});
    EXPECT_EQ(dual[12], 0);
    EXPECT_NE(single[12], 0);
}

TEST_F(Commands, DescriptionTagAndAssetAreStoredAndReadBack) {
    attach("4402");
    EXPECT_EQ(TextAt(send(2, 0, 0xC0), 14, 128), "Simulated transmitter");
    const Bytes presetTags = send(2, 0, 0xC1);
    EXPECT_EQ(TextAt(presetTags, 14, 32), "PT-100");
    EXPECT_EQ(TextAt(presetTags, 46, 32), "ASSET-0001");

    Bytes description(130, 0);
    PutText(description, 2, 128, "Boiler feed pump");
    EXPECT_EQ(send(2, 0x80, 0xC0, description)[8], 0);
    const Bytes read = send(2, 0, 0xC0);
    EXPECT_EQ(TextAt(read, 14, 128), "Boiler feed pump");
    EXPECT_LE(read.size(), 152u);

    Bytes tagAsset(66, 0);
    PutText(tagAsset, 2, 32, "PT-7");
    PutText(tagAsset, 34, 32, "A-99");
    send(2, 0x80, 0xC1, tagAsset);
    const Bytes tags = send(2, 0, 0xC1);
    EXPECT_EQ(tags.size(), 84u);
    EXPECT_EQ(TextAt(tags, 14, 32), "PT-7");
    EXPECT_EQ(TextAt(tags, 46, 32), "A-99");
}

TEST_F(Commands, ManufacturingRecordHoldsTextAndSensorLimits) {
    attach("4402");
    const Bytes reply = send(2, 0, 0x80);
    EXPECT_LE(reply.size(), 136u);
    EXPECT_EQ(TextAt(reply, 48, 44), "Built by the simulator");
    EXPECT_FLOAT_EQ(F32At(reply, 92), 0.0f);
    EXPECT_FLOAT_EQ(F32At(reply, 96), 100.0f);
}

TEST_F(Commands, UnitsAreReadWrittenAndLookedUp) {
    attach("4402");
    // P1 and temperature read: two 18-byte records.
    const Bytes read = send(3, 0x90, 0);
    EXPECT_EQ(read[2], 36);
    EXPECT_EQ(read[13], kUnitPsi);
    EXPECT_EQ(TextAt(read, 18, 8), "PSI");
    EXPECT_EQ(read[30 + 1], kUnitCelsius);
    // Write kPa to P1: accepted, the record shows it with its factor.
    const Bytes written = send(3, 0x11, 0, Payload({2}));
    EXPECT_EQ(written[12], 0);
    EXPECT_EQ(written[13], 2);
    EXPECT_NEAR(F32At(written, 26), 6.894757f, 1e-5);
    // An unknown code is refused with record status 1 and the unit stays.
    const Bytes refused = send(3, 0x11, 0, Payload({200}));
    EXPECT_EQ(refused[12], 1);
    EXPECT_EQ(refused[13], 2);
    // A temperature unit is not a pressure unit.
    EXPECT_EQ(send(3, 0x11, 0, Payload({kUnitFahrenheit}))[12], 1);
    // Look-up for P2 puts the record at reply byte 30.
    const Bytes lookUp = send(3, 0x22, 0, Payload({4}));
    EXPECT_EQ(lookUp[30 + 1], 4);
    EXPECT_EQ(TextAt(lookUp, 30 + 6, 8), "bar");
    EXPECT_EQ(send(3, 0x12, 0, Payload({99}))[12], 1);
}

TEST_F(Commands, MeasurementsTrackMinimumAndMaximumUntilRestart) {
    SimDevice& device = attach("4402");
    device.live(Channel::P1).behaviour().value = 10.0f;
    send(4, 0x11, 0);  // restart
    device.live(Channel::P1).behaviour().value = 30.0f;
    send(4, 0x10, 0);
    device.live(Channel::P1).behaviour().value = 20.0f;
    const Bytes reply = send(4, 0xB2, 0);  // P1, P2, temperature with min/max
    ASSERT_EQ(reply[2], 48);
    EXPECT_EQ(reply[12], 0);
    EXPECT_EQ(reply[13], 3);  // PSI accuracy digits
    EXPECT_EQ(reply[14], 4);  // PSI precision digits
    EXPECT_FLOAT_EQ(F32At(reply, 16), 20.0f);
    EXPECT_FLOAT_EQ(F32At(reply, 20), 10.0f);
    EXPECT_FLOAT_EQ(F32At(reply, 24), 30.0f);
    EXPECT_NEAR(F32At(reply, 44 + 4), 22.5f, 1e-4);  // temperature record at 12 + 32
    const Bytes restarted = send(4, 0x11, 0);
    EXPECT_FLOAT_EQ(F32At(restarted, 20), 20.0f);
    EXPECT_FLOAT_EQ(F32At(restarted, 24), 20.0f);
}

TEST_F(Commands, ScriptedStatusesAndUnitsShowInReadings) {
    SimDevice& device = attach("4402");
    device.live(Channel::P1).status = 33;
    device.live(Channel::Temperature).status = 18;
    send(3, 0x11, 0, Payload({2}));  // kPa
    device.live(Channel::P1).behaviour().value = 10.0f;
    const Bytes reply = send(4, 0x90, 0);
    EXPECT_EQ(reply[12], 33);
    EXPECT_EQ(reply[28], 18);
    EXPECT_NEAR(F32At(reply, 16), 68.94757f, 1e-3);
}

TEST_F(Commands, DeviceStringsAndFirmwareVersionComeFromTheMemoryMap) {
    attach("4402");
    const Bytes strings = readMemory(0x0062, 119);
    EXPECT_EQ(strings.size(), 145u);
    EXPECT_EQ(TextAt(strings, 20, 8), "4402");
    EXPECT_EQ(TextAt(strings, 28, 64), "T4402 Dual Pressure");
    EXPECT_EQ(TextAt(strings, 92, 47), "A1234");
    const Bytes version = readMemory(0x00D2, 6);
    EXPECT_EQ(version[12], 0);
    EXPECT_EQ(TextAt(version, 20, 5), "01.00");
}

TEST_F(Commands, DampingAndRangeValuesAreWrittenAndReadBack) {
    attach("4402");
    Bytes time(32, 0);
    PutF32(time, 0, 2.5f);
    EXPECT_EQ(writeMemory(0x2812, time)[8], 0);
    EXPECT_FLOAT_EQ(F32At(readMemory(0x2812, 6), 20), 2.5f);
    EXPECT_EQ(writeMemory(0x2A10, Payload({0}))[8], 0);
    EXPECT_EQ(readMemory(0x2A10, 6)[20], 0);
    EXPECT_EQ(writeMemory(0x2811, Payload({1}))[8], 0);
    // The sensor range record shows the damping mode at record byte 3.
    const Bytes range = send(8, 0x30, 0);
    EXPECT_EQ(range[15], 1);
    EXPECT_EQ(range[23], 0);
    EXPECT_FLOAT_EQ(F32At(readMemory(0x2834, 6), 20), 100.0f);
}

TEST_F(Commands, OutputModuleHoldsLevelsAndAlarmBlocks) {
    attach("440D");
    EXPECT_FLOAT_EQ(F32At(readMemory(0x2A34, 6, 0x43), 20), 20.0f);
    EXPECT_FLOAT_EQ(F32At(readMemory(0x2834, 6, 0x43), 20), 5.0f);
    const std::uint16_t live = U16At(readMemory(0x3016, 6, 0x43), 20);
    const std::uint16_t defaults = U16At(readMemory(0x3014, 6, 0x43), 20);
    EXPECT_NE(live, defaults);
    EXPECT_EQ(readMemory(live + 128, 6, 0x43)[20], 255);  // alarm 1 inactive
    EXPECT_FLOAT_EQ(F32At(readMemory(defaults + 144, 6, 0x43), 20), 90.0f);
    EXPECT_EQ(send(5, 0, 0)[14], 0x40);
    // The pressure module's range values are another map.
    EXPECT_FLOAT_EQ(F32At(readMemory(0x2834, 6, 0x40), 20), 100.0f);
}

TEST_F(Commands, NetworkAddressChangeTakesEffectAfterItsReply) {
    SimDevice& device = attach("4402");
    EXPECT_EQ(writeMemory(0x0801, Payload({0}))[8], 0x11);
    EXPECT_EQ(writeMemory(0x0801, Payload({255}))[8], 0x11);
    const Bytes changed = writeMemory(0x0801, Payload({0xFE}));
    EXPECT_EQ(changed[8], 0);
    EXPECT_EQ(FrameRoute(changed)[0], 40);
    EXPECT_EQ(device.networkAddress(), 0xFE);
    EXPECT_TRUE(send(0, 0, 0).empty());  // address 40 no longer answers
    EXPECT_EQ(Transact(bus, kCom, FrameRequest{.route = RouteTo(0xFE)})[8], 0);
}

TEST_F(Commands, MalformedRequestsGetTheirStatusCodes) {
    attach("4402");
    EXPECT_EQ(send(0x77, 0, 0)[8], 0x10);
    EXPECT_EQ(send(2, 0x33, 0)[8], 0x11);
    EXPECT_EQ(send(2, 0, 0x55)[8], 0x12);
    EXPECT_EQ(send(0, 0, 1)[8], 0x12);
    EXPECT_EQ(send(0x62, 0x08, 0, Payload({6, 0, 0xFE, 0xFF, 0, 0}))[8], 0x11);  // past the map
    EXPECT_EQ(send(5, 0, 0)[8], 0x10);    // no output module
    EXPECT_EQ(send(0x51, 0x41, 0, Bytes(16, 0xFF))[8], 0x10);  // no log store
    // A wrong CRC gets 0x02.
    FrameBuffer frame;
    const std::size_t length = BuildFrame(frame, {.command1 = 2, .route = RouteTo(40)});
    frame[10] ^= 0x55;
    const Bytes badCrc = Transact(bus, kCom, ByteSpan(frame.data(), length));
    EXPECT_EQ(badCrc[8], 0x02);
    EXPECT_EQ(badCrc[2], 0);
    // A frame cut short gets 0x03 once the line has been quiet.
    BuildFrame(frame, {.command1 = 2, .route = RouteTo(40)});
    EXPECT_EQ(Transact(bus, kCom, ByteSpan(frame.data(), 10))[8], 0x03);
    // Bytes ahead of the start byte (a Modbus request) are skipped.
    const auto modbus = ModbusRestartRequest(0);
    Bytes noisy(modbus.begin(), modbus.end());
    for (std::size_t i = 0; i < 18; ++i) noisy.push_back(frame[i]);
    EXPECT_EQ(Transact(bus, kCom, noisy)[8], 0);
}

}  // namespace
}  // namespace corvel::sim::test
