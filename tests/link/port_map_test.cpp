#include "link/port_map.h"

#include <gtest/gtest.h>

#include <set>

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
    const PortMapEnvironment environment{.overrideDirectory = "", .overrideEntries = {}, .deviceNames = kDev};
    EXPECT_EQ(DevicePathOf("COM1", environment), "/dev/ttyS0");
    EXPECT_EQ(DevicePathOf("COM5", environment), "/dev/ttyUSB0");
    EXPECT_EQ(DevicePathOf("\\\\.\\COM5", environment), "/dev/ttyUSB0");
    EXPECT_EQ(DevicePathOf("\\\\.\\COM8", environment), "/dev/ttyACM0");
    EXPECT_EQ(DevicePathOf("COM9", environment), "");  // no ninth device
    EXPECT_EQ(DevicePathOf("\\\\.\\COM100", environment), "");
}

TEST(PortMap, AFolderEntryReplacesItsComNumberOnly) {
    const PortMapEnvironment environment{
        .overrideDirectory = "/tmp/ports", .overrideEntries = {"COM2", "COM100", "notes"}, .deviceNames = kDev};
    EXPECT_EQ(DevicePathOf("COM1", environment), "/dev/ttyS0");
    EXPECT_EQ(DevicePathOf("COM2", environment), "/tmp/ports/COM2");
    EXPECT_EQ(DevicePathOf("COM5", environment), "/dev/ttyUSB0");
    EXPECT_EQ(DevicePathOf("\\\\.\\COM100", environment), "/tmp/ports/COM100");
    EXPECT_EQ(DevicePathOf("COM99", environment), "");
}

TEST(PortMap, FolderOnlyHidesTheMachinesPorts) {
    const PortMapEnvironment environment{.overrideDirectory = "/tmp/ports",
                                         .overrideEntries = {"COM2"},
                                         .overrideOnly = true,
                                         .deviceNames = kDev};
    EXPECT_EQ(DevicePathOf("COM1", environment), "/tmp/ports/COM1");
    EXPECT_EQ(DevicePathOf("COM2", environment), "/tmp/ports/COM2");
}

TEST(PortMap, TheFirstFreeNumberSkipsPresentDevicesAndFolderEntries) {
    // GIVEN ttyS0 present (ttyS1 absent) and COM2 taken in the folder
    const PortMapEnvironment environment{
        .overrideDirectory = "/tmp/ports", .overrideEntries = {"COM2"}, .deviceNames = kDev};
    const std::set<std::string> present = {"/dev/ttyS0", "/tmp/ports/COM2"};
    const auto exists = [&](const std::string& path) { return present.count(path) > 0; };
    // THEN COM3 (ttyS2, absent) is the first number that reaches nothing
    EXPECT_EQ(FirstComNumberWithoutDevice(environment, exists), 3);
    // AND COM9 maps to no device at all
    EXPECT_EQ(FirstComNumberWithoutDevice(environment, [](const std::string&) { return true; }), 9);
    // AND in a folder of its own where every entry exists no number is free
    const PortMapEnvironment folderOnly{.overrideDirectory = "/tmp/ports", .overrideEntries = {},
                                        .overrideOnly = true, .deviceNames = {}};
    EXPECT_EQ(FirstComNumberWithoutDevice(folderOnly, [](const std::string&) { return true; }), 0);
}

TEST(PortMap, OtherNamesAreDevicePaths) {
    const PortMapEnvironment environment{.overrideDirectory = "/tmp/ports", .overrideEntries = {}, .deviceNames = kDev};
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
