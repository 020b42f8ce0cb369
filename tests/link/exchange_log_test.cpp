// The bus monitor's record of the exchanges: what the link publishes for each
// exchange, the counters, and the bound of the store.

#include <gtest/gtest.h>

#include "link/exchange_log.h"
#include "link/frame_decoder.h"
#include "link/owned_link_context.h"
#include "sim/inprocess_port.h"

namespace corvel {
namespace {

class ExchangeRecords : public ::testing::Test, protected OwnedLinkContext {
protected:
    ExchangeRecords() {
        bus.attach(1, *sim::ModelConfig("Q712"));
        comm.portName = "COM1";
    }
    sim::SimDevice& device() { return *bus.findLine(1)->devices().front(); }
    LinkContext observed() {
        LinkContext context = with(ports);
        context.exchanges = &log;
        return context;
    }

    sim::InProcessBus bus;
    sim::InProcessPortFactory ports{bus};
    ExchangeLog log;
    DeviceSession session{observed()};
    const RouteBlock route{1, 0xF0, 0x80, 40, 0xF0, 0x40};
};

TEST_F(ExchangeRecords, EachExchangeIsRecordedAndCounted) {
    struct Step {
        const char* name;
        sim::Faults faults;
        std::uint64_t exchanges, replies, timeOuts, damaged, repeats;
        const char* status;
        const char* check;
    };
    sim::Faults crc;
    crc.corruptReplyCrc = true;
    sim::Faults silent;
    silent.silent = true;
    sim::Faults busy;
    busy.statusFor.push_back(sim::StatusOverride{sim::CommandMatch{0x02, std::nullopt}, 0x13});
    const Step steps[] = {
        {"intact", {}, 1, 1, 0, 0, 0, "Good", "OK"},
        // a read damaged three times: the first try and two automatic repeats
        {"damaged", crc, 4, 4, 0, 3, 2, "Good", "CRC mismatch"},
        {"silent", silent, 5, 4, 1, 3, 2, "", "No reply"},
        {"refused", busy, 6, 5, 1, 3, 2, "Command 1 not supported in current mode", "OK"},
    };
    for (const Step& step : steps) {
        device().faults = step.faults;
        session.ReadIdentity(route, 0x40);
        const ExchangeCounters& counted = log.counters();
        EXPECT_EQ(counted.exchanges, step.exchanges) << step.name;
        EXPECT_EQ(counted.replies, step.replies) << step.name;
        EXPECT_EQ(counted.timeOuts, step.timeOuts) << step.name;
        EXPECT_EQ(counted.damagedReplies, step.damaged) << step.name;
        EXPECT_EQ(counted.automaticRepeats, step.repeats) << step.name;
        const ExchangeRecord* last = log.find(log.endSequence() - 1);
        ASSERT_NE(last, nullptr);
        EXPECT_EQ(RequestSummary(last->request()), "ReadIdentity, to 40/64") << step.name;
        EXPECT_EQ(ReplyStatusText(last->reply()), step.status) << step.name;
        EXPECT_EQ(ReplyCheckText(!last->timedOut(), last->check), step.check) << step.name;
        EXPECT_EQ(last->failed(), std::string(step.name) != "intact") << step.name;
        EXPECT_EQ(last->port, "COM1");
        EXPECT_EQ(last->baudRate, 115200u);
    }
    EXPECT_EQ(log.find(1)->repeat, 0);
    EXPECT_EQ(log.find(2)->repeat, 1);
    EXPECT_EQ(log.find(3)->repeat, 2);
}

TEST(ExchangeLog, KeepsTheNewestWithinItsBoundAndCountsThemAll) {
    ExchangeLog log(3);
    for (std::uint16_t i = 0; i < 5; ++i) {
        ExchangeRecord record;
        record.requestLength = i;
        log.exchanged(record);
    }
    EXPECT_EQ(log.firstSequence(), 2u);
    EXPECT_EQ(log.endSequence(), 5u);
    EXPECT_EQ(log.find(1), nullptr);
    ASSERT_NE(log.find(2), nullptr);
    EXPECT_EQ(log.find(2)->requestLength, 2);
    EXPECT_EQ(log.find(4)->requestLength, 4);
    EXPECT_EQ(log.find(5), nullptr);
    EXPECT_EQ(log.counters().exchanges, 5u);
    log.clear();
    EXPECT_EQ(log.counters().exchanges, 0u);
    EXPECT_EQ(log.find(4), nullptr);
    log.exchanged({});
    EXPECT_EQ(log.firstSequence(), 5u) << "sequence numbers go on after a clear";
}

}  // namespace
}  // namespace corvel
