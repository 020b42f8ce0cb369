// The exchange rules over a scripted in-memory line: what is written, what each
// read asks for, what lands in the reply buffer, and the port-stepping variants.

#include <gtest/gtest.h>

#include <deque>
#include <map>

#include "link/device_session.h"
#include "link/owned_link_context.h"
#include "link/port_names.h"
#include "tests/link/reply_frame.h"

namespace corvel {
namespace {

constexpr int kTimedOut = 110;
constexpr int kNoSuchPort = 2;

struct FakeDevice {
    std::vector<std::uint8_t> reply;  // sent after every request; empty: silent
    int failingRead = 0;              // this read of an exchange (1, 2) fails with EIO
    std::vector<std::vector<std::uint8_t>> requests;
};

// Everything the ports of one test see and record.
struct FakeLine {
    std::map<std::string, FakeDevice> devices;  // by open name; others do not exist
    std::vector<std::string> opened;
    std::vector<std::size_t> readSizes;
    std::vector<std::chrono::milliseconds> pauses;
    LineSettings line;
    PortTimeouts timeouts;
    std::uint32_t queueSize = 0;
    int openPorts = 0;
};

class FakePort final : public SerialPort {
public:
    explicit FakePort(FakeLine& line) : line_(line) {}

    bool open(const std::string& name) override {
        line_.opened.push_back(name);
        const auto found = line_.devices.find(name);
        if (found == line_.devices.end()) return fail(kNoSuchPort, "No such file or directory");
        device_ = &found->second;
        ++line_.openPorts;
        return true;
    }
    bool configure(std::uint32_t queueSize, const LineSettings& line, const PortTimeouts& timeouts) override {
        line_.queueSize = queueSize;
        line_.line = line;
        line_.timeouts = timeouts;
        return true;
    }
    bool write(ByteSpan bytes, std::size_t& written) override {
        device_->requests.emplace_back(bytes.begin(), bytes.end());
        pending_.assign(device_->reply.begin(), device_->reply.end());
        written = bytes.size();
        return true;
    }
    // Delivers one byte at a time, so that a completion sees every length.
    bool read(MutableByteSpan buffer, std::size_t& received, const ReadCompletion& complete) override {
        line_.readSizes.push_back(buffer.size());
        received = 0;
        while (received < buffer.size() && !(complete && complete(buffer.first(received))) && !pending_.empty()) {
            buffer[received++] = pending_.front();
            pending_.pop_front();
        }
        if (++reads_ == device_->failingRead) return fail(5, "Input/output error");
        if (received == 0) error_ = {kTimedOut, "Connection timed out"};
        return true;
    }
    void pause(std::chrono::milliseconds duration) override { line_.pauses.push_back(duration); }
    void close() override {
        if (device_) --line_.openPorts;
        device_ = nullptr;
    }
    PortError lastError() const override { return error_; }

private:
    bool fail(int code, const char* text) {
        error_ = {code, text};
        return false;
    }

    FakeLine& line_;
    FakeDevice* device_ = nullptr;
    std::deque<std::uint8_t> pending_;
    int reads_ = 0;
    PortError error_;
};

class FakePorts final : public SerialPortFactory {
public:
    explicit FakePorts(FakeLine& line) : line_(line) {}
    std::unique_ptr<SerialPort> create() override { return std::make_unique<FakePort>(line_); }

private:
    FakeLine& line_;
};

class Exchange : public ::testing::Test, protected OwnedLinkContext {
protected:
    // The designed exchange, which takes whatever arrives as the reply.
    Exchange() {
        reply.fill(0xEE);
        comm.acceptDamagedReplies = true;
    }

    std::vector<std::uint8_t> replyBytes(std::size_t count) const {
        return std::vector<std::uint8_t>(reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(count));
    }
    bool untouchedFrom(std::size_t index) const {
        return std::all_of(reply.begin() + static_cast<std::ptrdiff_t>(index), reply.end(),
                           [](std::uint8_t byte) { return byte == 0xEE; });
    }

    FakeLine line;
    FakePorts ports{line};
    DeviceSession session{with(ports)};
    FrameBuffer request{};
    FrameBuffer reply{};
};

TEST_F(Exchange, ANewSessionPointsTheSharedPortAtCom1) {
    comm.portName = "\\\\.\\COM12";
    DeviceSession another(with(ports));
    EXPECT_EQ(comm.portName, "COM1");
}

TEST_F(Exchange, ConfiguresTheLineWritesTheRequestAndClosesThePort) {
    line.devices["COM1"].reply = test::ReplyFrame(5);
    comm.setBaudText("9600");
    for (std::size_t i = 0; i < request.size(); ++i) request[i] = static_cast<std::uint8_t>(i);

    EXPECT_TRUE(session.SerialTransact(request, 20, reply, 18));

    const auto& sent = line.devices["COM1"].requests;
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], std::vector<std::uint8_t>(request.begin(), request.begin() + 20));
    EXPECT_EQ(line.queueSize, 156u);
    EXPECT_EQ(line.line.baudRate, 9600u);
    EXPECT_EQ(line.line.dataBits, 8);
    EXPECT_EQ(line.line.parity, 0);
    EXPECT_EQ(line.line.stopBits, 0);
    EXPECT_TRUE(line.line.abortOnError);
    EXPECT_EQ(line.timeouts.readIntervalMs, 50u);
    EXPECT_EQ(line.timeouts.readTotalPerByteMs, 10u);
    EXPECT_EQ(line.timeouts.readTotalConstantMs, 50u);
    EXPECT_EQ(line.timeouts.writeTotalPerByteMs, 10u);
    EXPECT_EQ(line.timeouts.writeTotalConstantMs, 50u);
    EXPECT_EQ(line.openPorts, 0);
    EXPECT_EQ(session.queueSize, 156u);
    EXPECT_EQ(session.bytesWritten, 20u);
}

TEST_F(Exchange, SecondReadAsksForWhatByte2AnnouncesAndTheWholeReplyArrives) {
    const auto frame = test::ReplyFrame(5);
    line.devices["COM1"].reply = frame;
    EXPECT_TRUE(session.SerialTransact(request, 18, reply, 18));
    EXPECT_EQ(line.readSizes, (std::vector<std::size_t>{18, 5}));
    EXPECT_EQ(replyBytes(frame.size()), frame);
    EXPECT_TRUE(untouchedFrom(frame.size()));
    EXPECT_EQ(session.extraLength, 5u);
    EXPECT_EQ(session.bytesRead, 5u);
}

TEST_F(Exchange, AFirstReadLongerThanTheReplyEndsWithTheFrame) {
    auto sent = test::ReplyFrame(5);
    const std::size_t frameLength = sent.size();
    sent.insert(sent.end(), {0xA1, 0xA2, 0xA3});  // line noise after the frame stays unread
    line.devices["COM1"].reply = sent;
    EXPECT_TRUE(session.SerialTransact(request, 18, reply, 40));
    EXPECT_EQ(line.readSizes, (std::vector<std::size_t>{40, 5}));
    EXPECT_EQ(replyBytes(frameLength), std::vector<std::uint8_t>(sent.begin(), sent.begin() + 23));
    EXPECT_TRUE(untouchedFrom(frameLength));
    EXPECT_EQ(session.bytesRead, 0u);  // the second read had nothing left to wait for
}

TEST_F(Exchange, AZeroPayloadLengthEndsAfterTheFirstRead) {
    const auto frame = test::ReplyFrame(0);
    line.devices["COM1"].reply = frame;
    EXPECT_TRUE(session.SerialTransact(request, 18, reply, 30));
    EXPECT_EQ(line.readSizes, (std::vector<std::size_t>{30}));
    EXPECT_EQ(replyBytes(18), frame);
    EXPECT_TRUE(untouchedFrom(18));
}

TEST_F(Exchange, RepliesNeverReachPastTheBuffer) {
    // Byte 2 = 200 announces 218 bytes; 156 fit. A first read of 255 asks for 156.
    line.devices["COM1"].reply = test::ReplyFrame(200);
    EXPECT_TRUE(session.SerialTransact(request, 18, reply, 18));
    // The last read takes the 62 bytes beyond the buffer for the reply check only.
    EXPECT_EQ(line.readSizes, (std::vector<std::size_t>{18, 138, 62}));
    EXPECT_EQ(replyBytes(156), std::vector<std::uint8_t>(line.devices["COM1"].reply.begin(),
                                                         line.devices["COM1"].reply.begin() + 156));
    line.readSizes.clear();
    EXPECT_TRUE(session.SerialTransact(request, 255, reply, 255));
    EXPECT_EQ(line.readSizes, (std::vector<std::size_t>{156, 0, 62}));
    EXPECT_EQ(line.devices["COM1"].requests.back().size(), request.size());
}

TEST_F(Exchange, AShortReplyIsPassedOnAsItCame) {
    const std::vector<std::uint8_t> partial{0x80, 0x01, 0x00, 0x01, 0x28, 0x02, 0x00};
    line.devices["COM1"].reply = partial;
    EXPECT_TRUE(session.SerialTransact(request, 18, reply, 18));
    EXPECT_EQ(replyBytes(partial.size()), partial);
    EXPECT_TRUE(untouchedFrom(partial.size()));
}

TEST_F(Exchange, FailuresReportThePlatformErrorInTheStatusText) {
    line.devices["COM1"];  // present but silent
    EXPECT_FALSE(session.SerialTransact(request, 18, reply, 12));
    EXPECT_EQ(session.statusText, "SerialTransact failed with error 110: Connection timed out");
    EXPECT_TRUE(untouchedFrom(0));

    comm.portName = "COM2";  // no such port
    EXPECT_FALSE(session.SerialTransact(request, 18, reply, 12));
    EXPECT_EQ(session.statusText, "SerialTransact failed with error 2: No such file or directory");
    EXPECT_EQ(line.openPorts, 0);
}

TEST_F(Exchange, AFailedSecondReadKeepsBothPartsButFails) {
    FakeDevice& device = line.devices["COM1"];
    device.reply = test::ReplyFrame(4);
    device.failingRead = 2;
    EXPECT_FALSE(session.SerialTransact(request, 18, reply, 18));
    EXPECT_EQ(session.statusText, "SerialTransact failed with error 5: Input/output error");
    EXPECT_EQ(replyBytes(22), device.reply);
}

TEST_F(Exchange, TheDelayedExchangeWrites26BytesPausesAndAsksFor40) {
    line.devices["COM1"].reply = test::ReplyFrame(10);
    EXPECT_TRUE(session.SerialTransactDelayed(request, reply));
    EXPECT_EQ(line.devices["COM1"].requests.at(0).size(), 26u);
    EXPECT_EQ(line.pauses, (std::vector<std::chrono::milliseconds>{std::chrono::milliseconds(200)}));
    EXPECT_EQ(line.readSizes, (std::vector<std::size_t>{40, 10}));
}

TEST_F(Exchange, NextPortTriesTheCurrentPortThenEveryPortOnce) {
    comm.portName = "COM4";
    EXPECT_FALSE(session.SerialTransactNextPort(request, reply));
    std::vector<std::string> expected{"COM4"};
    for (int number = kFirstPort; number <= kLastPort; ++number) expected.push_back(PortOpenName(number));
    EXPECT_EQ(line.opened, expected);
    EXPECT_EQ(comm.portName, "COM1");
    EXPECT_EQ(session.discovery.scanFinished, 1);
    EXPECT_EQ(session.discovery.portCounter, 1);
    EXPECT_FALSE(store.contains(key::kPort));
    EXPECT_EQ(session.statusText, "");

    // With the scan finished, a later call tries the current port once.
    line.opened.clear();
    EXPECT_FALSE(session.SerialTransactNextPort(request, reply));
    EXPECT_EQ(line.opened, std::vector<std::string>{"COM1"});
}

TEST_F(Exchange, NextPortStoresThePortThatAnswered) {
    line.devices["\\\\.\\COM15"].reply = test::ReplyFrame(3);
    EXPECT_TRUE(session.SerialTransactNextPort(request, reply));
    EXPECT_EQ(store.read(key::kPort, ""), "\\\\.\\COM15");
    EXPECT_EQ(session.discovery.portCounter, 16);
    EXPECT_EQ(line.devices["\\\\.\\COM15"].requests.at(0).size(), 18u);
    EXPECT_EQ(line.readSizes, (std::vector<std::size_t>{12, 3, 6}));  // then the route block, for the check  // the route block stays unread
}

TEST_F(Exchange, FindPortRetriesOnceWhenAsked) {
    session.discovery.retryFlag = 1;
    line.devices["COM2"].reply = test::ReplyFrame(0);
    EXPECT_TRUE(session.SerialTransactFindPort(request, reply));
    EXPECT_EQ(line.opened, (std::vector<std::string>{"COM1", "COM1", "COM2"}));
    EXPECT_EQ(session.discovery.retryFlag, 0);
    EXPECT_EQ(line.readSizes.back(), 18u);
}

// The main window moves the counter one port on after a declined candidate,
// which after COM100 leaves it at 101.
TEST_F(Exchange, ACounterPastTheLastPortEndsTheCycleAtOnce) {
    session.discovery.portCounter = kLastPort + 1;
    session.SelectPortByNumber(session.discovery.portCounter);
    EXPECT_FALSE(session.SerialTransactFindPort(request, reply));
    EXPECT_EQ(line.opened, std::vector<std::string>{"\\\\.\\COM101"});
    EXPECT_EQ(comm.portName, "COM1");
    EXPECT_EQ(session.discovery.portCounter, 1);
    EXPECT_EQ(session.discovery.scanFinished, 1);

    line.opened.clear();
    session.discovery.scanFinished = 0;
    session.discovery.portCounter = kLastPort + 5;
    EXPECT_FALSE(session.SerialTransactNextPort(request, reply));
    EXPECT_EQ(line.opened, std::vector<std::string>{"COM1"});
    EXPECT_EQ(session.discovery.portCounter, 1);
    EXPECT_EQ(session.discovery.scanFinished, 1);
}

TEST_F(Exchange, FindPortWithEveryPortListedNeverOverrunsTheList) {
    for (std::uint8_t i = 0; i < 100; ++i) session.discovery.answeredPorts[i] = static_cast<std::uint8_t>(i + 1);
    session.discovery.answeredPortCount = 100;
    line.devices["COM1"].reply = test::ReplyFrame(0);
    EXPECT_FALSE(session.SerialTransactFindPort(request, reply));
    EXPECT_EQ(session.discovery.answeredPortCount, 100u);
    EXPECT_FALSE(store.contains(key::kPort));
}

TEST_F(Exchange, StatusCodesGiveTheirTexts) {
    session.SetStatusText(0x13);
    EXPECT_EQ(session.statusText, "Command 1 not supported in current mode");
    session.SetStatusText(0x41);  // recalibration codes are the window's business
    EXPECT_EQ(session.statusText, "Error unknown");
    session.SelectPortByNumber(100);
    EXPECT_EQ(comm.portName, "\\\\.\\COM100");
}

}  // namespace
}  // namespace corvel
