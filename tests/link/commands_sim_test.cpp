// The commands against the simulated transmitter in the same process: what a
// write stores is what the matching read gives back, and each family decodes
// the simulator's replies into the fields the windows use.

#include <gtest/gtest.h>

#include "link/device_session.h"
#include "sim/inprocess_port.h"
#include "link/owned_link_context.h"
#include "tests/datalog/simulated_log.h"

namespace corvel {
namespace {

// The unit the simulated transmitters start in.
constexpr std::uint8_t kPsiCode = 1;

class CommandsOnSimulator : public ::testing::Test, protected OwnedLinkContext {
protected:
    sim::InProcessBus bus;
    sim::InProcessPortFactory ports{bus};
    DeviceSession session{with(ports)};
    const RouteBlock route{1, 0xF0, 0x80, 40, 0xF0, 0x40};

    sim::SimDevice& attach(sim::DeviceConfig config = {}) { return bus.attach(1, std::move(config)); }
};

TEST_F(CommandsOnSimulator, IdentityAndSensorInformation) {
    sim::DeviceConfig config;
    config.p2.label = sim::SensorLabel::CI;
    config.p2.upperLimit = 500.0f;
    attach(config);
    session.discovery.foundNetworkAddress = 40;
    EXPECT_TRUE(session.ReadIdentity(route, 0x40));
    EXPECT_EQ(session.serialNumberText, "SIM0000001");
    EXPECT_EQ(session.versionText, "01.00");
    EXPECT_TRUE(session.ReadDeviceStrings(route, 40));
    EXPECT_EQ(session.memory.modelCodeText, "4402");
    EXPECT_EQ(session.memory.thirdIdLength, 5);
    EXPECT_TRUE(session.ReadSensorInfoP2(route));
    EXPECT_EQ(session.p2Sensor.label, "P2:  CI");
    EXPECT_EQ(session.p2Sensor.upperLimitText, "500");
    EXPECT_EQ(session.p2Sensor.unitName, "PSI") << "the P2 unit record follows P1's in the look-up reply";
    EXPECT_EQ(session.ReadDeviceKind(route), 0);
    EXPECT_TRUE(session.ReadFirmwareVersion(route));
    EXPECT_EQ(session.memory.firmwareVersionText, "01.00");
}

TEST_F(CommandsOnSimulator, UnitsAndMeasurements) {
    attach();
    EXPECT_TRUE(session.ReadEngineeringUnits(ChannelMask{.p1 = true, .p2 = true, .channel4 = true}, route));
    EXPECT_EQ(session.lastReplyStatus, 0);
    EXPECT_EQ(session.p1.unitCode, kPsiCode);
    EXPECT_EQ(shared.selectedUnitCode, kPsiCode);
    EXPECT_TRUE(session.ReadUnitRecordP1Selected(route));
    EXPECT_FLOAT_EQ(shared.conversionFactor, 1.0f);
    session.ReadMeasurements(ChannelMask{.p1 = true, .p2 = true, .channel4 = true}, route, MinMax::With, 1, 1);
    EXPECT_TRUE(session.lastExchangeSucceeded);
    EXPECT_NEAR(session.p1.value, 14.7f, 0.1f);
    EXPECT_NEAR(session.p2.value, 100.0f, 0.1f);
    EXPECT_NEAR(session.temperature.value, 22.5f, 0.5f);
    EXPECT_EQ(session.p1.displayText.size(), 12u);
    EXPECT_LE(session.p1.minimum, session.p1.maximum);
}

TEST_F(CommandsOnSimulator, IdentificationTextsWrittenAndReadBack) {
    attach();
    const std::string tag(40, 'T');
    EXPECT_TRUE(session.WriteTagAndAsset(route, 0x40, tag, "A-7"));
    EXPECT_TRUE(session.WriteDescription(route, 0x40, "Pump house"));
    EXPECT_TRUE(session.ReadTagAndAsset(route, 0x40));
    EXPECT_EQ(session.tagText, std::string(32, 'T'));
    EXPECT_EQ(session.assetText, "A-7");
    EXPECT_TRUE(session.ReadDescription(route, 0x40));
    EXPECT_EQ(session.descriptionText, "Pump house");
}

TEST_F(CommandsOnSimulator, DampingWrittenAndReadBack) {
    sim::SimDevice& device = attach();
    session.memory.dampingTextP1 = "2.5";
    EXPECT_TRUE(session.WriteDampingTimeP1(route));
    EXPECT_FLOAT_EQ(device.memory(0x40).f32(0x2812), 2.5f);
    EXPECT_TRUE(session.WriteDampingEnabledP2(route, 0));
    EXPECT_TRUE(session.ReadDampingTimeP1(route));
    EXPECT_EQ(session.memory.dampingTextP1, "2.5");
    EXPECT_TRUE(session.ReadDampingEnabledP2(route));
    EXPECT_EQ(session.memory.dampingEnabledP2, 0);
    EXPECT_TRUE(session.SendEmptyCommand(route));
}

TEST_F(CommandsOnSimulator, NewNetworkAddressTakesEffect) {
    sim::SimDevice& device = attach();
    session.discovery.currentNetworkAddress = 254;
    session.discovery.foundModuleNumber = 40;
    session.WriteNetworkAddress(route, 254, 40);
    EXPECT_EQ(device.networkAddress(), 254);
    EXPECT_EQ(store.read(key::kCommBoardAddress, ""), "254");
    RouteBlock moved = route;
    moved[3] = 254;
    EXPECT_TRUE(session.SendEmptyCommand(moved));
}

TEST_F(CommandsOnSimulator, RejectedCommandReportsItsStatus) {
    sim::SimDevice& device = attach();
    device.faults.statusFor.push_back({{0x62, 0x08}, 0xF3});
    EXPECT_FALSE(session.ReadLowerRangeValue(route));
    EXPECT_EQ(session.statusText, "Memory map blank / not loaded");
    device.faults = {};
    device.faults.silent = true;
    EXPECT_FALSE(session.ReadOutputKind(route));
    EXPECT_NE(session.statusText.find("SerialTransact failed with error"), std::string::npos);
}

TEST_F(CommandsOnSimulator, RecalibrationStartsWithThePointCount) {
    attach();
    EXPECT_TRUE(session.StartRecalibration(route));
    EXPECT_EQ(session.lastReplyStatus, 0);
    EXPECT_EQ(session.recalibration.numberOfPoints, 3);
    EXPECT_EQ(session.recalibration.applyValueText.size(), 10u);
}

TEST_F(CommandsOnSimulator, LogDirectoryAndBlocks) {
    sim::DeviceConfig config = *sim::ModelConfig("Q712");
    config.logs = {sim::PressureLogDescription("LOG00001.BIN", 30, 100)};
    attach(config);
    const RouteBlock logs{1, 0xF0, 0x80, 40, 0xF0, 0x20};
    EXPECT_EQ(session.ReadLogFileCount(logs), 1);
    EXPECT_EQ(session.ReadLogDirectory(logs, 1), "LOG00001.BIN");
    EXPECT_EQ(U32At(session.logTransfer.logSampleCountBytes, 0), 30u);
    EXPECT_EQ(session.ReadLogDirectory(logs, 2), "");
    EXPECT_TRUE(session.OpenLogFile(logs, 1));
    std::vector<std::uint8_t> copy;
    for (bool more = true; more;) {
        more = session.ReadLogBlock(logs, 1);
        ASSERT_TRUE(session.logTransfer.logBlockReceived);
        copy.insert(copy.end(), session.logTransfer.logBuffer.begin(), session.logTransfer.logBuffer.end());
    }
    EXPECT_TRUE(session.CloseLogFile(logs, 1));
    const std::vector<std::uint8_t> expected = testing::InWholeBlocks(testing::SimulatedPressureLog(30, 100).bytes());
    EXPECT_TRUE(testing::SameBytes(copy, expected));
    EXPECT_TRUE(session.EraseAllLogFiles(logs));
    EXPECT_EQ(session.ReadLogFileCount(logs), 0);
}

TEST_F(CommandsOnSimulator, DiscoveryOverPortsAndAddresses) {
    bus.attach(4, {});
    EXPECT_TRUE(session.FindDeviceOnPorts(route));
    EXPECT_EQ(comm.portName, "COM4");
    EXPECT_EQ(session.discovery.foundNetworkAddress, 40);
    EXPECT_EQ(session.versionText, "01.00");

    sim::DeviceConfig far;
    far.address = 200;
    bus.attach(4, far);
    EXPECT_EQ(session.ScanNetworkAddresses(41), 200);
    EXPECT_EQ(session.discovery.nextStartAddress, 201);
    EXPECT_EQ(store.read(key::kCommModule, ""), "40");
}

}  // namespace
}  // namespace corvel
