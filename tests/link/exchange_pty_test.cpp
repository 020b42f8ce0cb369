// The exchange over real pseudo-terminals through the POSIX backend, with the
// ports named by a CORVEL_PORT_DIR folder.

#include <gtest/gtest.h>

#include <cerrno>

#include "link/device_session.h"
#include "link/owned_link_context.h"
#include "tests/link/pseudo_terminal.h"
#include "tests/link/reply_frame.h"
#include "link/serial_port_posix.h"

namespace corvel::test {
namespace {

class PtyExchange : public ::testing::Test, protected OwnedLinkContext {
protected:
    // The designed exchange, which takes whatever arrives as the reply.
    PtyExchange() {
        comm.acceptDamagedReplies = true;
        reply.fill(0xEE);
        request = ReplyFrame(0);  // any 18 bytes will do as a request
        request.resize(156);
    }

    std::vector<std::uint8_t> replyBytes(std::size_t count) const {
        return std::vector<std::uint8_t>(reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(count));
    }

    PortDirectory ports;
    PosixSerialPortFactory factory;
    DeviceSession session{with(factory)};
    std::vector<std::uint8_t> request;
    FrameBuffer reply{};
};

TEST_F(PtyExchange, ReplyArrivesWholeAndTheRequestGoesOutUnchanged) {
    PseudoTerminal line;
    ports.link(1, line.devicePath());
    const auto frame = ReplyFrame(20);
    ScriptedPeer peer(line, {{18, frame}});
    EXPECT_TRUE(session.SerialTransact(request, 18, reply, 18)) << session.statusText;
    const auto requests = peer.join();
    EXPECT_EQ(requests.at(0), std::vector<std::uint8_t>(request.begin(), request.begin() + 18));
    EXPECT_EQ(replyBytes(frame.size()), frame);
    EXPECT_EQ(reply[frame.size()], 0xEE);
}

TEST_F(PtyExchange, PayloadLengthZeroAndTwoHundred) {
    PseudoTerminal line;
    ports.link(1, line.devicePath());
    const auto empty = ReplyFrame(0);
    const auto oversized = ReplyFrame(200);
    ScriptedPeer peer(line, {{18, empty}, {18, oversized}});

    EXPECT_TRUE(session.SerialTransact(request, 18, reply, 40)) << session.statusText;
    EXPECT_EQ(replyBytes(18), empty);
    EXPECT_EQ(reply[18], 0xEE);

    EXPECT_TRUE(session.SerialTransact(request, 18, reply, 18)) << session.statusText;
    EXPECT_EQ(replyBytes(156), std::vector<std::uint8_t>(oversized.begin(), oversized.begin() + 156));
    EXPECT_EQ(session.bytesRead, 138u);
    peer.join();
}

TEST_F(PtyExchange, AShortReplyYieldsOnlyItsBytes) {
    PseudoTerminal line;
    ports.link(1, line.devicePath());
    const std::vector<std::uint8_t> partial{0x80, 0x01, 0x00, 0x05, 0x06};
    ScriptedPeer peer(line, {{18, partial}});
    EXPECT_TRUE(session.SerialTransact(request, 18, reply, 18)) << session.statusText;
    EXPECT_EQ(replyBytes(5), partial);
    EXPECT_EQ(reply[5], 0xEE);
    peer.join();
}

TEST_F(PtyExchange, SilenceFailsWithTheTimeOutError) {
    PseudoTerminal line;
    ports.link(1, line.devicePath());
    ScriptedPeer peer(line, {{18, {}}});
    EXPECT_FALSE(session.SerialTransact(request, 18, reply, 12));
    EXPECT_EQ(session.statusText,
              "SerialTransact failed with error " + std::to_string(ETIMEDOUT) + ": " + SystemErrorText(ETIMEDOUT));
    peer.join();
}

TEST_F(PtyExchange, APortHeldByAnotherOpenerFailsAsBusy) {
    PseudoTerminal line;
    ports.link(1, line.devicePath());
    PosixSerialPort holder;
    ASSERT_TRUE(holder.open("COM1"));
    EXPECT_FALSE(session.SerialTransact(request, 18, reply, 18));
    EXPECT_EQ(session.statusText,
              "SerialTransact failed with error " + std::to_string(EBUSY) + ": " + SystemErrorText(EBUSY));
}

TEST_F(PtyExchange, AMissingPortFailsAsAbsent) {
    EXPECT_FALSE(session.SerialTransact(request, 18, reply, 18));
    EXPECT_EQ(session.statusText,
              "SerialTransact failed with error " + std::to_string(ENOENT) + ": " + SystemErrorText(ENOENT));
}

TEST_F(PtyExchange, NextPortWithNothingAnywhereEndsBackAtCom1) {
    PseudoTerminal silent;  // one port exists but never answers
    ports.link(50, silent.devicePath());
    EXPECT_FALSE(session.SerialTransactNextPort(request, reply));
    EXPECT_EQ(comm.portName, "COM1");
    EXPECT_EQ(session.discovery.scanFinished, 1);
    EXPECT_FALSE(store.contains(key::kPort));
}

TEST_F(PtyExchange, FindPortReportsEachAnsweringPortOnce) {
    PseudoTerminal com3;
    PseudoTerminal com7;
    ports.link(3, com3.devicePath());
    ports.link(7, com7.devicePath());
    ScriptedPeer device3(com3, {{18, ReplyFrame(4)}, {18, ReplyFrame(4)}});
    ScriptedPeer device7(com7, {{18, ReplyFrame(4)}});
    // The caller moves the port counter one port on after each success.
    const auto moveOn = [&] {
        ++session.discovery.portCounter;
        session.SelectPortByNumber(session.discovery.portCounter);
    };

    EXPECT_TRUE(session.SerialTransactFindPort(request, reply));
    EXPECT_EQ(comm.portName, "COM3");
    EXPECT_EQ(store.read(key::kPort, ""), "COM3");
    moveOn();
    EXPECT_TRUE(session.SerialTransactFindPort(request, reply));
    EXPECT_EQ(store.read(key::kPort, ""), "COM7");
    moveOn();
    EXPECT_FALSE(session.SerialTransactFindPort(request, reply));
    EXPECT_EQ(comm.portName, "COM1");
    EXPECT_EQ(session.discovery.scanFinished, 1);
    EXPECT_EQ(session.discovery.answeredPortCount, 2u);
    EXPECT_EQ(session.discovery.answeredPorts[0], 3);
    EXPECT_EQ(session.discovery.answeredPorts[1], 7);

    // A new search that meets COM3 again while it is listed reports false.
    session.discovery.scanFinished = 0;
    EXPECT_FALSE(session.SerialTransactFindPort(request, reply));
    EXPECT_EQ(comm.portName, "COM3");
    EXPECT_EQ(session.discovery.answeredPortCount, 2u);
    EXPECT_EQ(device3.join().size(), 2u);
    EXPECT_EQ(device7.join().size(), 1u);
}

}  // namespace
}  // namespace corvel::test
