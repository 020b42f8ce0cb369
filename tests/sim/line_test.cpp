// The in-process port and the shared line: opening rules, routing between
// transmitters, simulated time and the faults a test can switch on.
#include <gtest/gtest.h>

#include <cerrno>

#include "common/bytes.h"
#include "tests/sim/exchange.h"

namespace corvel::sim::test {
namespace {

using std::chrono::milliseconds;

class Line : public ::testing::Test {
protected:
    SimDevice& attach(int com, std::uint8_t address, const char* model = "4402") {
        DeviceConfig config = *ModelConfig(model);
        config.address = address;
        config.serialNumber = "SN" + std::to_string(address);
        return bus.attach(com, config);
    }
    Bytes identity(int com, std::uint8_t address) {
        return Transact(bus, com, {.command1 = 2, .route = RouteTo(address)});
    }

    InProcessBus bus;
};

TEST_F(Line, OpenFailsForEmptyComAndForASecondOpener) {
    attach(12, 40);
    auto first = bus.createPort();
    auto second = bus.createPort();
    EXPECT_FALSE(first->open("COM5"));
    EXPECT_EQ(first->lastError().code, ENOENT);
    EXPECT_FALSE(first->open("COM12"));  // port 12 opens only as "\\.\COM12"
    ASSERT_TRUE(first->open("\\\\.\\COM12"));
    EXPECT_FALSE(second->open("\\\\.\\COM12"));
    EXPECT_EQ(second->lastError().code, EBUSY);
    first->close();
    EXPECT_TRUE(second->open("\\\\.\\COM12"));
}

TEST_F(Line, OnlyTheAddressedTransmitterAnswers) {
    attach(4, 1);
    attach(4, 2);
    attach(7, 3);
    EXPECT_EQ(TextAt(identity(4, 1), 14, 10), "SN1");
    EXPECT_EQ(TextAt(identity(4, 2), 14, 10), "SN2");
    EXPECT_TRUE(identity(4, 3).empty());
    EXPECT_EQ(TextAt(identity(7, 3), 14, 10), "SN3");
    // The discovery form is answered by the first transmitter on the line only.
    const Bytes anyone = Transact(bus, 4, {.command1 = 2, .route = {0, 0x80, 0x80, 0, 0xF0, 0}});
    EXPECT_EQ(FrameRoute(anyone)[0], 1);
    EXPECT_EQ(anyone.size(), 18u + anyone[2]);
}

TEST_F(Line, SilenceCostsSimulatedTimeOnlyAndReportsTimeOut) {
    attach(1, 40).faults.silent = true;
    auto port = bus.createPort();
    ASSERT_TRUE(port->open("COM1"));
    ASSERT_TRUE(port->configure(156, {}, {}));
    FrameBuffer frame;
    std::size_t written = 0;
    port->write(ByteSpan(frame.data(), BuildFrame(frame, {.route = RouteTo(40)})), written);
    EXPECT_EQ(written, 18u);
    Bytes buffer(12);
    std::size_t received = 99;
    const auto before = bus.clock().now();
    EXPECT_TRUE(port->read(buffer, received, {}));
    EXPECT_EQ(received, 0u);
    EXPECT_EQ(bus.clock().now() - before, milliseconds(170));  // 10 ms x 12 + 50 ms
    EXPECT_EQ(port->lastError().code, ETIMEDOUT);
}

TEST_F(Line, ReadsEndOnCompletionOrAfterTheIntervalTimeOut) {
    attach(1, 40);
    auto port = bus.createPort();
    ASSERT_TRUE(port->open("COM1"));
    port->configure(156, {}, {});
    FrameBuffer frame;
    std::size_t written = 0;
    port->write(ByteSpan(frame.data(), BuildFrame(frame, {.route = RouteTo(40)})), written);
    // Asking for more than the 18-byte reply: all of it, then the 50 ms interval.
    Bytes buffer(40);
    std::size_t received = 0;
    const auto before = bus.clock().now();
    port->read(buffer, received, {});
    EXPECT_EQ(received, 18u);
    EXPECT_EQ(bus.clock().now() - before, milliseconds(51));  // 1 ms turnaround + 50 ms
}

TEST_F(Line, WireTimeFollowsTheBaudRate) {
    SimLine& line = bus.line(1);
    line.add(*ModelConfig("4402"));
    line.timing.wireTime = true;
    auto port = bus.createPort();
    port->open("COM1");
    port->configure(156, {.baudRate = 9600}, {});
    FrameBuffer frame;
    std::size_t written = 0;
    const auto before = bus.clock().now();
    port->write(ByteSpan(frame.data(), BuildFrame(frame, {.route = RouteTo(40)})), written);
    Bytes buffer(18);
    std::size_t received = 0;
    port->read(buffer, received, {});
    ASSERT_EQ(received, 18u);
    // 36 bytes of 10 bits at 9600 baud (1041.67 us each, not truncated per
    // byte) and the 1 ms turnaround.
    EXPECT_EQ(bus.clock().now() - before, std::chrono::microseconds(37500 + 1000));
    // 115200 baud: 86.806 us a byte, so a 1 MiB download's bytes take 91.02 s.
    line.timing.baudRate = 115200;
    EXPECT_EQ(line.timing.durationOf(1), std::chrono::microseconds(87));
    EXPECT_EQ(line.timing.durationOf(1 << 20), std::chrono::microseconds(91'022'223));
}

TEST_F(Line, FaultsShapeTheReply) {
    SimDevice& device = attach(1, 40);
    const std::size_t healthy = identity(1, 40).size();

    device.faults.cutReplyTo = 9;
    EXPECT_EQ(identity(1, 40).size(), 9u);
    device.faults = {};

    device.faults.corruptReplyCrc = true;
    const Bytes badCrc = identity(1, 40);
    EXPECT_NE(FrameCrc(badCrc), U16At(badCrc, 10));
    device.faults = {};

    device.faults.statusFor = {{{0x02, 0x00}, 0xF3}};
    const Bytes forced = identity(1, 40);
    EXPECT_EQ(forced[8], 0xF3);
    EXPECT_EQ(forced[2], 0);
    device.faults = {};

    device.faults.overstatePayloadLength = 200;
    const Bytes overstated = identity(1, 40);
    EXPECT_EQ(overstated.size(), healthy);  // nothing more came
    EXPECT_EQ(overstated[2], static_cast<std::uint8_t>(healthy - 18 + 200));
    device.faults = {};

    device.faults.garbageBefore = {0x55, 0xAA};
    const Bytes garbage = identity(1, 40);
    EXPECT_EQ(garbage[0], 0x55);
    EXPECT_EQ(garbage[2], 0x80);
    device.faults = {};
}

TEST_F(Line, DelayedReplyBeyondTheTimeOutIsNotSeen) {
    SimDevice& device = attach(1, 40);
    device.faults.replyDelay = milliseconds(100);
    EXPECT_EQ(identity(1, 40)[8], 0);  // within 10 ms x 273 + 50 ms
    device.faults.replyDelay = milliseconds(5000);
    const auto before = bus.clock().now();
    EXPECT_TRUE(identity(1, 40).empty());
    EXPECT_LT(bus.clock().now() - before, milliseconds(5000));
}

TEST_F(Line, SameSeedGivesTheSameReadings) {
    DeviceConfig config = *ModelConfig("4400");
    config.p1.behaviour = {50.0f, 0.5f, 0.1f};
    SimDevice first(config);
    SimDevice second(config);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(first.readInUnit(Channel::P1, i), second.readInUnit(Channel::P1, i));
    EXPECT_NE(first.readInUnit(Channel::P1, 6), first.readInUnit(Channel::P1, 6));
    EXPECT_NEAR(first.readInUnit(Channel::P1, 100), 60.0f, 0.5f);
}

}  // namespace
}  // namespace corvel::sim::test
