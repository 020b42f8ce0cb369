// The utility's serial exchange against the simulator: the first-read lengths
// the commands use collect whole replies, and the port search finds the
// simulated transmitters on the COM numbers they sit on, on simulated time.
#include <gtest/gtest.h>

#include "link/device_session.h"
#include "tests/sim/exchange.h"
#include "link/owned_link_context.h"

namespace corvel::sim::test {
namespace {

class ExchangeWithSim : public ::testing::Test, protected OwnedLinkContext {
protected:
    ExchangeWithSim() { comm.portName = "COM3"; }

    bool transact(const FrameRequest& request, std::uint8_t firstRead, FrameBuffer& reply) {
        FrameBuffer frame;
        const std::size_t length = BuildFrame(frame, request);
        reply.fill(0);
        return session.SerialTransact(frame, static_cast<std::uint8_t>(length), reply, firstRead);
    }

    InProcessBus bus;
    InProcessPortFactory ports{bus};
    DeviceSession session{with(ports)};
};

TEST_F(ExchangeWithSim, FirstReadLengthsOfTheCommandsCollectWholeReplies) {
    bus.attach(3, *ModelConfig("Q712"));
    FrameBuffer reply;
    // Empty command with a 12-byte first read: the route bytes left unread
    // must not disturb the next exchange.
    ASSERT_TRUE(transact({.route = RouteTo(40)}, 12, reply));
    ASSERT_TRUE(transact({.command1 = 2, .route = RouteTo(40)}, 18, reply));
    EXPECT_EQ(TextAt(reply, 42, 16), "01.00");
    const Bytes read = Payload({119, 0, 0x62, 0, 0, 0});
    ASSERT_TRUE(transact({.command1 = 0x62, .command2 = 0x08, .payload = read, .route = RouteTo(40)}, 145, reply));
    EXPECT_EQ(TextAt(reply, 92, 47), "A1234");
    Bytes open(16, 0);
    open[0] = 1;
    ASSERT_TRUE(transact({.command1 = 0x51, .command2 = 0x42, .payload = open, .route = RouteTo(40, 0x20)}, 36, reply));
    const Bytes block = Payload({0x80, 1, 0, 0, 0, 0});
    ASSERT_TRUE(transact({.command1 = 0x52, .payload = block, .route = RouteTo(40, 0x20)}, 154, reply));
    EXPECT_EQ(reply[14], 0x80);
    EXPECT_EQ(U16At(reply, 20 + 2), 2026);  // the file header's year
}

TEST_F(ExchangeWithSim, SilentDeviceFailsWithTheTimeOutAfterSimulatedTime) {
    bus.attach(3, *ModelConfig("4402")).faults.silent = true;
    FrameBuffer reply;
    const auto before = bus.clock().now();
    EXPECT_FALSE(transact({.route = RouteTo(40)}, 12, reply));
    EXPECT_EQ(bus.clock().now() - before, std::chrono::milliseconds(170));
    EXPECT_NE(session.statusText.find("SerialTransact failed with error"), std::string::npos);
}

TEST_F(ExchangeWithSim, PortSearchFindsEachTransmitterOnce) {
    bus.attach(3, *ModelConfig("4402"));
    bus.attach(7, *ModelConfig("4400"));
    comm.portName = "COM1";
    FrameBuffer frame;
    BuildFrame(frame, {.command1 = 2, .route = {0, 0x80, 0x80, 0, 0xF0, 0}});
    FrameBuffer reply;
    ASSERT_TRUE(session.SerialTransactFindPort(frame, reply));
    EXPECT_EQ(comm.portName, "COM3");
    EXPECT_EQ(FrameRoute(reply)[2], 40);
    ++session.discovery.portCounter;
    session.SelectPortByNumber(session.discovery.portCounter);
    ASSERT_TRUE(session.SerialTransactFindPort(frame, reply));
    EXPECT_EQ(comm.portName, "COM7");
    ++session.discovery.portCounter;
    session.SelectPortByNumber(session.discovery.portCounter);
    EXPECT_FALSE(session.SerialTransactFindPort(frame, reply));
    EXPECT_EQ(comm.portName, "COM1");
}

}  // namespace
}  // namespace corvel::sim::test
