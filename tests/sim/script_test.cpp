// Settings in text form, as corvel-sim takes them from options and scripts.
#include <gtest/gtest.h>

#include <clocale>
#include <sstream>

#include "sim/script.h"

namespace corvel::sim {
namespace {

TEST(Script, BuildsSeveralTransmittersWithFaultsAndStatuses) {
    LineSpec lineSpec;
    std::istringstream script(R"(# first transmitter: the one from the command line
model 4400
address 12
serial SN 42
p1 14.5 0.01 0.002
status p1 33
fault status 0x62:0x08 0xF3
fault garbage 0x55 170
device Q712 13
log LOGA.BIN 7 250
collecting on
wire-time on
baud 9600
)");
    ASSERT_EQ(ApplyScript(lineSpec, script), std::nullopt);
    ASSERT_EQ(lineSpec.devices.size(), 2u);
    const DeviceSpec& first = lineSpec.devices[0];
    EXPECT_EQ(first.config.modelCode, "4400");
    EXPECT_EQ(first.config.address, 12);
    EXPECT_EQ(first.config.serialNumber, "SN 42");
    EXPECT_FLOAT_EQ(first.config.p1.behaviour.driftPerSecond, 0.002f);
    EXPECT_EQ(first.statuses[0], 33);
    ASSERT_EQ(first.faults.statusFor.size(), 1u);
    EXPECT_TRUE(first.faults.statusFor[0].command.matches(0x62, 0x08));
    EXPECT_FALSE(first.faults.statusFor[0].command.matches(0x62, 0x88));
    EXPECT_EQ(first.faults.garbageBefore, (std::vector<std::uint8_t>{0x55, 0xAA}));
    const DeviceSpec& second = lineSpec.devices[1];
    EXPECT_EQ(second.config.address, 13);
    EXPECT_EQ(second.config.logs.back().fileName, "LOGA.BIN");
    EXPECT_TRUE(second.config.collectingData);
    EXPECT_TRUE(lineSpec.timing.wireTime);
    EXPECT_EQ(lineSpec.timing.baudRate, 9600u);

    SimLine line;
    Populate(line, lineSpec);
    EXPECT_EQ(line.device(12)->live(Channel::P1).status, 33);
    EXPECT_EQ(line.device(13)->logStore()->count(), 3u);
}

TEST(Script, RejectsBadSettingsWithTheLineNumber) {
    LineSpec lineSpec;
    std::istringstream script("serial X\naddress 300\n");
    EXPECT_EQ(ApplyScript(lineSpec, script), "line 2: invalid setting: address 300");
    EXPECT_EQ(ApplySetting(lineSpec, "frobnicate 1"), "unknown setting: frobnicate");
    EXPECT_TRUE(ApplySetting(lineSpec, "model 9999").has_value());
    EXPECT_TRUE(ApplySetting(lineSpec, "p1 abc").has_value());
    EXPECT_TRUE(ApplySetting(lineSpec, "fault cut").has_value());
    EXPECT_TRUE(ApplySetting(lineSpec, "pressure-unit 33").has_value());
}

TEST(Script, ReadsNumbersWithAFullStopUnderAGermanLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 not available";
    LineSpec lineSpec;
    const auto error = ApplySetting(lineSpec, "p1 12.75 0.5");
    const auto comma = ApplySetting(lineSpec, "p2 12,75");
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(error, std::nullopt);
    EXPECT_FLOAT_EQ(lineSpec.devices[0].config.p1.behaviour.value, 12.75f);
    EXPECT_TRUE(comma.has_value());
}

}  // namespace
}  // namespace corvel::sim
