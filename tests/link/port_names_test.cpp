#include "link/port_names.h"

#include <gtest/gtest.h>

namespace corvel {
namespace {

TEST(PortNames, EveryNumberRoundTripsThroughItsOpenAndDisplayNames) {
    for (int number = kFirstPort; number <= kLastPort; ++number) {
        const std::string digits = std::to_string(number);
        const std::string open = PortOpenName(number);
        EXPECT_EQ(open, number < 10 ? "COM" + digits : "\\\\.\\COM" + digits);
        EXPECT_EQ(PortDisplayName(number), "COM" + digits);
        EXPECT_EQ(PortDisplayNameOf(open), "COM" + digits);
        EXPECT_EQ(PortNumberFromOpenName(open, -1), number);
    }
    EXPECT_EQ(PortOpenName(9), "COM9");
    EXPECT_EQ(PortOpenName(12), "\\\\.\\COM12");
}

TEST(PortNames, NamesOutsideTheRuleLeaveTheNumberUnchanged) {
    for (const char* name : {"COM0", "COM10", "COM12", "\\\\.\\COM9", "\\\\.\\COM101", "COM", "COM1x", "COM01",
                             "/dev/ttyUSB0", ""})
        EXPECT_EQ(PortNumberFromOpenName(name, 42), 42) << name;
    EXPECT_EQ(PortDisplayNameOf("/dev/ttyUSB0"), "/dev/ttyUSB0");
}

}  // namespace
}  // namespace corvel
