// Damaged replies never become data: the checks of a reply, and what the
// commands do with a damaged one against the simulated transmitter.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "link/device_session.h"
#include "sim/inprocess_port.h"
#include "link/log_copy.h"
#include "link/owned_link_context.h"
#include "link/serial_trace.h"
#include "tests/datalog/simulated_log.h"

namespace corvel {
namespace {

// A request and the reply a transmitter would seal for it.
struct Pair {
    FrameBuffer request{};
    std::vector<std::uint8_t> reply;
};

Pair ReadIdentityPair() {
    Pair pair;
    const RouteBlock route{1, 0xF0, 0x80, 40, 0xF0, 0x40};
    const std::size_t length = BuildFrame(pair.request, FrameRequest{kClassInfo, 0, 0, {}, route, 0});
    FrameBuffer reply{};
    const std::uint8_t payload[] = {1, 2, 3, 4};
    const std::size_t replyLength = BuildFrame(reply, FrameRequest{kClassInfo, 0, 0, payload, route, 0});
    pair.reply.assign(reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(replyLength));
    EXPECT_EQ(length, 18u);
    return pair;
}

TEST(ReplyCheck, EveryCheckOnItsOwn) {
    Pair pair = ReadIdentityPair();
    EXPECT_EQ(CheckReply(pair.request, pair.reply), ReplyCheck::Intact);

    auto damaged = pair.reply;
    damaged[0] = 0x81;
    EXPECT_EQ(CheckReply(pair.request, damaged), ReplyCheck::StartByte);
    for (std::size_t cut : {1u, 14u, 20u}) {
        EXPECT_EQ(CheckReply(pair.request, std::span(pair.reply).first(cut)), ReplyCheck::Length) << cut;
    }
    damaged = pair.reply;
    damaged.push_back(0x00);  // a byte beyond the frame
    EXPECT_EQ(CheckReply(pair.request, damaged), ReplyCheck::Length);
    damaged = pair.reply;
    damaged[13] ^= 0x01;  // one payload bit
    EXPECT_EQ(CheckReply(pair.request, damaged), ReplyCheck::Crc);
    damaged = pair.reply;
    damaged[offset::kCrcHigh] ^= 0x80;
    EXPECT_EQ(CheckReply(pair.request, damaged), ReplyCheck::Crc);

    FrameBuffer other = pair.request;
    other[offset::kCommand3] = 0x11;  // the reply answers another record
    EXPECT_EQ(CheckReply(other, pair.reply), ReplyCheck::CommandEcho);
    EXPECT_EQ(ReplyDamageText(ReplyCheck::Crc), "Reply damaged: CRC mismatch");
}

// The simulator's port, damaging the replies to the requests numbered in
// `damaged` (one bit of the byte at `at`; requests count from 1).
class DamagingPorts final : public SerialPortFactory {
public:
    explicit DamagingPorts(SerialPortFactory& inner) : inner_(inner) {}
    std::unique_ptr<SerialPort> create() override { return std::make_unique<Port>(inner_.create(), *this); }

    std::set<int> damaged;
    std::size_t at = 13;
    int requests = 0;
    // Damages the replies to the next `count` requests.
    void damageNext(int count) {
        for (int i = 1; i <= count; ++i) damaged.insert(requests + i);
    }

private:
    class Port final : public SerialPort {
    public:
        Port(std::unique_ptr<SerialPort> inner, DamagingPorts& owner) : inner_(std::move(inner)), owner_(owner) {}
        bool open(const std::string& name) override { return inner_->open(name); }
        bool configure(std::uint32_t q, const LineSettings& l, const PortTimeouts& t) override {
            return inner_->configure(q, l, t);
        }
        bool write(ByteSpan bytes, std::size_t& written) override {
            ++owner_.requests;
            damaging_ = owner_.damaged.count(owner_.requests) > 0;
            offset_ = 0;
            return inner_->write(bytes, written);
        }
        bool read(MutableByteSpan buffer, std::size_t& received, const ReadCompletion& complete) override {
            const bool result = inner_->read(buffer, received, complete);
            if (damaging_ && owner_.at >= offset_ && owner_.at < offset_ + received) buffer[owner_.at - offset_] ^= 1;
            offset_ += received;
            return result;
        }
        void pause(std::chrono::milliseconds d) override { inner_->pause(d); }
        void close() override { inner_->close(); }
        PortError lastError() const override { return inner_->lastError(); }

    private:
        std::unique_ptr<SerialPort> inner_;
        DamagingPorts& owner_;
        bool damaging_ = false;
        std::size_t offset_ = 0;
    };
    SerialPortFactory& inner_;
};

class DamagedReplies : public ::testing::Test, protected OwnedLinkContext {
protected:
    DamagedReplies() { bus.attach(1, *sim::ModelConfig("Q712")); }

    sim::InProcessBus bus;
    sim::InProcessPortFactory simPorts{bus};
    DamagingPorts ports{simPorts};
    DeviceSession session{with(ports)};
    const RouteBlock route{1, 0xF0, 0x80, 40, 0xF0, 0x40};
};

TEST_F(DamagedReplies, AReadIsAskedAgainAndSucceedsOnACleanReply) {
    ports.damageNext(2);
    EXPECT_TRUE(session.ReadIdentity(route, 0x40));
    EXPECT_EQ(session.serialNumberText, "SIM0000001");
    EXPECT_EQ(ports.requests, 3);
}

TEST_F(DamagedReplies, AReadDamagedThreeTimesFailsAndKeepsNoDamagedValue) {
    ports.damageNext(3);
    ports.at = 15;  // inside the serial number
    EXPECT_FALSE(session.ReadIdentity(route, 0x40));
    EXPECT_EQ(session.statusText, "Reply damaged: CRC mismatch");
    EXPECT_EQ(session.serialNumberText, "");
    EXPECT_EQ(ports.requests, 3);
    EXPECT_EQ(session.replyCheck, ReplyCheck::Crc);
}

TEST_F(DamagedReplies, AWriteOrABlockIsNeverRepeated) {
    ports.damageNext(1);
    EXPECT_FALSE(session.WriteMemoryByteAt(route, 0x2811, 7));
    EXPECT_EQ(ports.requests, 1);

    const RouteBlock logRoute{1, 0xF0, 0x80, 40, 0xF0, 0x20};
    ASSERT_TRUE(session.OpenLogFile(logRoute, 1));
    const int before = ports.requests;
    ports.damageNext(1);
    ports.at = 30;
    EXPECT_FALSE(session.ReadLogBlock(logRoute, 1));
    EXPECT_FALSE(session.logTransfer.logBlockReceived);
    EXPECT_EQ(ports.requests, before + 1);
}

// Reading with minimum and maximum only reads; the read that restarts them
// changes the transmitter and goes out once.
TEST_F(DamagedReplies, TheMinMaxRestartIsNeverRepeated) {
    struct Case {
        const char* name;
        void (DeviceSession::*read)(ChannelMask, const RouteBlock&, MinMax, int, int);
        int requests;
    };
    for (const Case& c : {Case{"read with min/max", &DeviceSession::ReadMeasurements, 2},
                          Case{"read and restart min/max", &DeviceSession::ReadMeasurementsForOutput, 1}}) {
        const int before = ports.requests;
        ports.damageNext(1);
        (session.*c.read)(ChannelMask{.p1 = true, .channel4 = true}, route, MinMax::With, 1, 1);
        EXPECT_EQ(ports.requests - before, c.requests) << c.name;
    }
}

TEST_F(DamagedReplies, ADownloadDamagedOnceCompletesOnItsSecondCopy) {
    namespace fs = std::filesystem;
    sim::DeviceConfig config = *sim::ModelConfig("Q712");
    config.logs = {sim::PressureLogDescription("LOG00001.BIN", 300, 100)};
    bus.findLine(1)->removeAll();
    bus.attach(1, config);
    const fs::path target = fs::temp_directory_path() / "corvel-damaged-download.bin";
    fs::remove(target);
    // Log state, open, then blocks: the third block's reply is damaged.
    ports.damaged = {5};
    ports.at = 40;
    const LogCopyResult result = CopyLogFile(
        session, LogCopyRequest{{1, 0xF0, 0x80, 40, 0xF0, 0x20}, {1, 0xF0, 0x80, 40, 0xF0, 0x10}, 1, 20}, target);
    ASSERT_TRUE(result.complete()) << result.failure;
    EXPECT_EQ(result.attempts, 2);
    const std::vector<std::uint8_t> expected = testing::InWholeBlocks(testing::SimulatedPressureLog(300, 100).bytes());
    std::vector<std::uint8_t> got;
    {
        std::ifstream in(target, std::ios::binary);  // closed before the file goes: Windows keeps open files
        got.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    EXPECT_TRUE(testing::SameBytes(got, expected));
    fs::remove(target);
}

TEST_F(DamagedReplies, TheSimulatorsFaultsAreCaughtToo) {
    sim::SimDevice& device = *bus.findLine(1)->devices().front();
    device.faults.corruptReplyCrc = true;
    EXPECT_FALSE(session.ReadIdentity(route, 0x40));
    EXPECT_EQ(session.statusText, "Reply damaged: CRC mismatch");
    device.faults = {};
    device.faults.cutReplyTo = 20;
    EXPECT_FALSE(session.ReadIdentity(route, 0x40));
    EXPECT_EQ(session.statusText, "Reply damaged: not the length it announces");
    device.faults = {};
    device.faults.garbageBefore = {0x13, 0x37};
    EXPECT_FALSE(session.ReadIdentity(route, 0x40));
    EXPECT_EQ(session.statusText, "Reply damaged: wrong start byte");
    device.faults = {};
    EXPECT_TRUE(session.ReadIdentity(route, 0x40));
}

TEST_F(DamagedReplies, TheCompatibilitySwitchLetsThemThroughAndTheTraceSaysSo) {
    std::vector<std::string> trace;
    TracingSerialPortFactory traced(ports, [&](TraceDirection direction, ByteSpan bytes, auto) {
        if (direction == TraceDirection::Remark) trace.push_back(FormatTraceLine(direction, bytes, {}));
    });
    DeviceSession tracedSession{with(traced)};
    comm.acceptDamagedReplies = true;
    ports.damageNext(1);
    ports.at = 15;
    EXPECT_TRUE(tracedSession.ReadIdentity(route, 0x40));
    EXPECT_NE(tracedSession.serialNumberText, "SIM0000001");  // as the transmitter "sent" it
    EXPECT_EQ(ports.requests, 1);
    EXPECT_EQ(trace, (std::vector<std::string>{"0.000 ! Reply damaged: CRC mismatch"}));
}

// With the switch on, a reply whose CRC is wrong counts by its status alone.
TEST_F(DamagedReplies, WithTheSwitchOnAWrongCrcIsAcceptedWhenTheStatusIs0) {
    comm.acceptDamagedReplies = true;
    sim::SimDevice& device = *bus.findLine(1)->devices().front();
    device.faults.corruptReplyCrc = true;
    EXPECT_TRUE(session.ReadMemoryByte(route, 0x2811));
    device.faults.statusFor = {{{0x62, 0x08}, 0x13}};
    EXPECT_FALSE(session.ReadMemoryByte(route, 0x2811));
    EXPECT_EQ(session.statusText, "Command 1 not supported in current mode");
}

}  // namespace
}  // namespace corvel
