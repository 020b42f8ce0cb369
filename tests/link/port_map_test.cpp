#include "port_map.h"

#include <gtest/gtest.h>

namespace corvel {
namespace {

const std::vector<std::string> kDev = {"ttyACM0", "ttyUSB10", "null", "ttyS0", "ttyUSB2", "ttyS1", "ttyUSB",
                                       "ttyUSBx", "ttyACM01", "ttyS31", "pts", "ttyUSB0"};

TEST(PortMap, OnBoardPortsFirstThenAdaptersInNumberOrder) {
    const std::vector<std::string> expected = {"/dev/ttyS0",   "/dev/ttyS1",    "/dev/ttyS2",
                                               "/dev/ttyS3",   "/dev/ttyUSB0",  "/dev/ttyUSB2",
                                               "/dev/ttyUSB10", "/dev/ttyACM0"};
    EXPECT_EQ(DefaultComDevices(kDev), expected);
    // The listing order does not matter.
    std::vector<std::string> reversed(kDev.rbegin(), kDev.rend());
    EXPECT_EQ(DefaultComDevices(reversed), expected);
}

TEST(PortMap, BothNameFormsReachTheSameDevice) {
    const PortMapEnvironment environment{.overrideDirectory = "", .deviceNames = kDev};
    EXPECT_EQ(DevicePathOf("COM1", environment), "/dev/ttyS0");
    EXPECT_EQ(DevicePathOf("COM5", environment), "/dev/ttyUSB0");
    EXPECT_EQ(DevicePathOf("\\\\.\\COM5", environment), "/dev/ttyUSB0");
    EXPECT_EQ(DevicePathOf("\\\\.\\COM8", environment), "/dev/ttyACM0");
    EXPECT_EQ(DevicePathOf("COM9", environment), "");  // no ninth device
    EXPECT_EQ(DevicePathOf("\\\\.\\COM100", environment), "");
}

TEST(PortMap, OverrideFolderNamesEveryComNumber) {
    const PortMapEnvironment environment{.overrideDirectory = "/tmp/ports", .deviceNames = kDev};
    EXPECT_EQ(DevicePathOf("COM1", environment), "/tmp/ports/COM1");
    EXPECT_EQ(DevicePathOf("\\\\.\\COM100", environment), "/tmp/ports/COM100");
}

TEST(PortMap, OtherNamesAreDevicePaths) {
    const PortMapEnvironment environment{.overrideDirectory = "/tmp/ports", .deviceNames = kDev};
    for (const char* name : {"/dev/ttyUSB0", "COM0", "COM101", "COM07", "com3", "ttyS0"})
        EXPECT_EQ(DevicePathOf(name, environment), name);
    EXPECT_EQ(ComNumberOf("COM12"), 12);
    EXPECT_EQ(ComNumberOf("\\\\.\\COM3"), 3);
}

TEST(PortMap, ANumberBeyondOneHundredAdaptersHasNoDevice) {
    std::vector<std::string> many;
    for (int i = 0; i < 150; ++i) many.push_back("ttyUSB" + std::to_string(i));
    const std::vector<std::string> devices = DefaultComDevices(many);
    ASSERT_EQ(devices.size(), 100u);
    EXPECT_EQ(devices.back(), "/dev/ttyUSB95");
}

}  // namespace
}  // namespace corvel
