// The data log commands and the discovery operations.

#include <gtest/gtest.h>

#include <set>

#include "tests/link/scripted_port.h"

namespace corvel::test {
namespace {

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

// ---- Data log ------------------------------------------------------------------------

TEST(LogBlocks, LastBlockIsStoredAndEndsTheTransfer) {
    SessionFixture f;
    Bytes more(128, 0xA5);
    Bytes last(128, 0x5A);
    f.line.queueReplies({ReplyWith(0, 136, {{14, {0x80}}, {20, more}}), ReplyWith(0, 136, {{14, {0x00}}, {20, last}})});
    EXPECT_TRUE(f.session.ReadLogBlock(kRoute, 1));
    EXPECT_EQ(f.session.logTransfer.logBuffer[127], 0xA5);
    EXPECT_FALSE(f.session.ReadLogBlock(kRoute, 1));
    EXPECT_TRUE(f.session.logTransfer.logBlockReceived);
    EXPECT_EQ(f.session.logTransfer.logBuffer[0], 0x5A);
    EXPECT_EQ(f.session.logTransfer.logBuffer[127], 0x5A);
}

TEST(LogBlocks, RejectedBlockIsShownAndEndsTheTransferWithoutData) {
    SessionFixture f;
    f.session.logTransfer.logBuffer.fill(0x11);
    f.line.queueReplies({ReplyWith(5, 136, {{14, {0x80}}, {20, Bytes(128, 0xEE)}})});
    EXPECT_FALSE(f.session.ReadLogBlock(kRoute, 1));
    EXPECT_FALSE(f.session.logTransfer.logBlockReceived);
    EXPECT_EQ(f.session.logTransfer.logBuffer[0], 0x11);
    EXPECT_EQ(f.notifier.messages, std::vector<std::string>{"error 5"});
}

TEST(LogDirectory, EntryFieldsFromTheFirstBytesOfTheFile) {
    SessionFixture f;
    Bytes file(120, 0);
    file[2] = 0xEA;  // year 2026
    file[3] = 0x07;
    file[4] = 12;
    file[5] = 7;
    file[7] = 21;
    file[10] = 2;
    const std::string name = "A log name longer than twenty";
    std::copy(name.begin(), name.end(), file.begin() + 12);
    file[80] = 0x10;
    file[81] = 0x27;  // 10000 samples
    f.line.queueReplies({ReplyWith(0, 138, {{16, Text("LOG00003.BIN")}, {30, file}})});
    EXPECT_EQ(f.session.ReadLogDirectory(kRoute, 3), "LOG00003.BIN");
    EXPECT_EQ(f.session.logTransfer.logStartTimeBytes, (std::array<std::uint8_t, 8>{0xEA, 0x07, 12, 7, 0, 21, 0, 0}));
    EXPECT_EQ(f.session.logTransfer.logModuleCount, 2);
    EXPECT_EQ(f.session.logTransfer.logNameText, "A log name longer th");
    EXPECT_EQ(f.session.logTransfer.logSampleCountBytes, (std::array<std::uint8_t, 4>{0x10, 0x27, 0, 0}));
}

TEST(LogDirectory, PositionPastTheLastFileGivesAnEmptyName) {
    SessionFixture f;
    f.line.queueReplies({ReplyWith(0, 138, {})});
    EXPECT_EQ(f.session.ReadLogDirectory(kRoute, 9), "");
}

TEST(LogFileCount, CollectingTransmitterAndErrorStatus) {
    SessionFixture f;
    f.line.queueReplies({ReplyWith(0, 20, {{12, {'W'}}}), ReplyWith(7, 20, {{12, {3}}}), Bytes{}});
    EXPECT_EQ(f.session.ReadLogFileCount(kRoute), 'W');
    EXPECT_EQ(f.session.ReadLogFileCount(kRoute), 3);
    EXPECT_EQ(f.notifier.messages, std::vector<std::string>{"error 7"});
    EXPECT_EQ(f.session.ReadLogFileCount(kRoute), 0) << "nothing arrived: the cleared buffer";
}

TEST(LogState, ByteTwelveMustBeZero) {
    SessionFixture f;
    f.line.queueReplies({ReplyWith(0, 4, {}), ReplyWith(0, 4, {{12, {1}}}), ReplyWith(0x01, 4, {})});
    EXPECT_TRUE(f.session.ReadLogState(kRoute, 255));
    EXPECT_FALSE(f.session.ReadLogState(kRoute, 255));
    EXPECT_FALSE(f.session.ReadLogState(kRoute, 0));
    EXPECT_EQ(f.session.statusText, "Instrument busy, message discarded");
}

TEST(LogFiles, OpenAndCloseIgnoreTheStatusEraseReportsIt) {
    SessionFixture f;
    f.line.queueReplies({ReplyFrame(0x10, {}), ReplyFrame(0x10, {}), ReplyFrame(0x10, {})});
    EXPECT_TRUE(f.session.OpenLogFile(kRoute, 1));
    EXPECT_TRUE(f.session.CloseLogFile(kRoute, 1));
    EXPECT_FALSE(f.session.EraseAllLogFiles(kRoute));
    EXPECT_EQ(f.session.statusText, "Command 1 not supported or invalid");
}

// ---- Discovery -----------------------------------------------------------------------

Bytes IdentityReply(std::uint8_t start, const std::string& version, RouteBlock route = {40, 0x80, 40, 0x80, 0x80, 0x80}) {
    Bytes payload(40, 0);
    std::copy(version.begin(), version.end(), payload.begin() + 30);
    Bytes frame = ReplyFrame(0, payload, route);
    frame[0] = start;
    return frame;
}

TEST(IdentityAtAddress, VersionTextAndNumber) {
    SessionFixture f;
    f.session.discovery.foundNetworkAddress = 40;
    f.line.queueReplies({IdentityReply(0x80, "00.90")});
    EXPECT_TRUE(f.session.ReadIdentityAtAddress());
    EXPECT_EQ(f.session.versionText, "00.90");
    EXPECT_DOUBLE_EQ(f.session.versionNumber, 0.9);
}

// "No device here" (byte 0 0xFF or 0xCC) is an answer: one exchange, no
// second try, no wait for a quiet line, nothing decoded, whatever the switch.
TEST(IdentityAtAddress, NoDeviceAnswerEndsInOneExchange) {
    for (const bool acceptDamaged : {false, true}) {
        for (const std::uint8_t start : {0xFF, 0xCC}) {
            SessionFixture f;
            f.comm.acceptDamagedReplies = acceptDamaged;
            f.session.discovery.foundNetworkAddress = 40;
            const Bytes answer = IdentityReply(start, "01.00");
            f.line.queueReplies({answer, answer, answer});
            EXPECT_FALSE(f.session.ReadIdentityAtAddress()) << acceptDamaged << int(start);
            ASSERT_EQ(f.line.exchanges.size(), 1u) << acceptDamaged << int(start);
            EXPECT_EQ(f.line.exchanges[0].readSizes, (std::vector<std::size_t>{18, 40})) << acceptDamaged;
            EXPECT_EQ(f.session.versionText, "");
            EXPECT_EQ(f.session.statusText, "No device at this address");
        }
    }
}

TEST(DeviceKind, StatusOfTheP2RecordAndNoReplyIsNotASecondInput) {
    SessionFixture f;
    f.line.queueReplies({ReplyWith(0, 16, {{12, {0}}}), ReplyWith(0, 16, {{12, {1}}}), Bytes{}});
    EXPECT_EQ(f.session.ReadDeviceKind(kRoute), 0);
    EXPECT_EQ(f.session.ReadDeviceKind(kRoute), 1);
    EXPECT_NE(f.session.ReadDeviceKind(kRoute), 0);
}

TEST(AddressScan, NoTransmitterFrom250TriesUpTo254) {
    SessionFixture f;
    f.line.portExists = [](const std::string& port) { return port == "COM1"; };
    EXPECT_EQ(f.session.ScanNetworkAddresses(250), 0);
    std::set<int> tried;
    for (const Exchange& exchange : f.line.exchanges) tried.insert(exchange.request[4]);
    EXPECT_EQ(tried, (std::set<int>{250, 251, 252, 253, 254}));
    EXPECT_EQ(f.session.discovery.nextStartAddress, 255);
    EXPECT_EQ(f.session.discovery.scanFinished, 0);
}

TEST(AddressScan, StartAddress255IsProbedOnce) {
    SessionFixture f;
    f.line.portExists = [](const std::string& port) { return port == "COM1"; };
    EXPECT_EQ(f.session.ScanNetworkAddresses(255), 0);
    std::set<int> tried;
    for (const Exchange& exchange : f.line.exchanges) tried.insert(exchange.request[4]);
    EXPECT_EQ(tried, std::set<int>{255});
}

TEST(AddressScan, FoundAddressIsStored) {
    SessionFixture f;
    f.line.responder = [](const std::string&, const Bytes& request) {
        return request[4] == 17 ? IdentityReply(0x80, "01.00") : Bytes{};
    };
    f.line.portExists = [](const std::string& port) { return port == "COM1"; };
    EXPECT_EQ(f.session.ScanNetworkAddresses(15), 17);
    EXPECT_EQ(f.session.discovery.nextStartAddress, 18);
    EXPECT_EQ(f.session.discovery.foundNetworkAddress, 17);
    EXPECT_EQ(f.session.discovery.foundNetworkAddressText, "17");
    EXPECT_EQ(f.session.discovery.foundModuleNumber, 40);
    EXPECT_EQ(f.store.read(key::kCommBoardAddress, ""), "17");
    EXPECT_EQ(f.store.read(key::kCommModule, ""), "40");
}

TEST(PortScan, DeviceOfAnotherKindIsPassedOver) {
    SessionFixture f;
    f.line.portExists = [](const std::string& port) { return port == "COM1" || port == "COM2" || port == "COM3"; };
    f.line.responder = [](const std::string& port, const Bytes& request) {
        if (port == "COM2") return IdentityReply(0x80, "09.99", {7, 0x80, 8, 0x80, 0x80, 0x80});
        if (port == "COM3") return IdentityReply(0x80, "01.00", {40, 0x80, 40, 0x80, 0x80, 0x80});
        (void)request;
        return Bytes{};
    };
    EXPECT_TRUE(f.session.FindDeviceOnPorts(RouteBlock{1, 0xF0, 0x80, 40, 0xF0, 0x40}));
    EXPECT_EQ(f.comm.portName, "COM3");
    EXPECT_EQ(f.session.discovery.foundNetworkAddress, 40);
    EXPECT_EQ(f.session.versionText, "01.00");
    EXPECT_EQ(f.store.read(key::kCommBoardAddress, ""), "40");
    EXPECT_EQ(f.store.read(key::kCommModule, ""), "40");
    // The search request carries zeros where the route names the transmitter.
    const Bytes& probe = f.line.exchanges.front().request;
    EXPECT_EQ(Bytes(probe.begin() + 12, probe.end()), (Bytes{0, 0xF0, 0x80, 0, 0xF0, 0}));
    EXPECT_EQ(probe[3], 0);
    EXPECT_EQ(probe[4], 0);
}

TEST(PortScan, OtherKindOnTheLastPortEndsTheSearch) {
    SessionFixture f;
    f.line.portExists = [](const std::string& port) { return port == "\\\\.\\COM100"; };
    f.line.responder = [](const std::string&, const Bytes&) {
        return IdentityReply(0x80, "09.99", {7, 0x80, 8, 0x80, 0x80, 0x80});
    };
    EXPECT_FALSE(f.session.FindDeviceOnPorts(RouteBlock{1, 0xF0, 0x80, 40, 0xF0, 0x40}));
    EXPECT_EQ(f.comm.portName, "COM1");
}

}  // namespace
}  // namespace corvel::test
