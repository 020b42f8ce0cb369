// The line inventory against simulated transmitters on the in-process line,
// on the simulated clock: what it finds, how long it waits, when it asks again
// and how it stops.

#include <gtest/gtest.h>

#include "link/line_inventory.h"
#include "link/owned_link_context.h"
#include "sim/device_config.h"
#include "sim/inprocess_port.h"

namespace corvel {
namespace {

using std::chrono::milliseconds;

constexpr int kLine = 3;

class Recorder final : public InventoryObserver {
public:
    void found(const InventoryEntry& entry) override { addresses.push_back(entry.networkAddress); }
    void progress(const InventoryProgress& p) override { last = p; }
    bool cancelled() const override { return last.done >= cancelAfter; }

    std::vector<int> addresses;
    InventoryProgress last;
    int cancelAfter = 1000;
};

class Inventory : public ::testing::Test, protected OwnedLinkContext {
protected:
    sim::InProcessBus bus;
    sim::InProcessPortFactory ports{bus};
    DeviceSession session{with(ports)};
    LineInventory inventory{session, [this] { return bus.clock().now(); }};
    Recorder recorder;

    sim::SimDevice& attach(int address, const std::string& model = "4402", int port = kLine) {
        sim::DeviceConfig config = *sim::ModelConfig(model);
        config.address = static_cast<std::uint8_t>(address);
        config.serialNumber = "SN" + std::to_string(address);
        return bus.attach(port, config);
    }
    std::vector<InventoryEntry> run(InventoryPlan plan = {}) {
        plan.portName = "COM" + std::to_string(kLine);
        return inventory.run(plan, recorder);
    }
    // The number of probes (identity requests to the communication module) that reached the line, by address.
    int probesOf(int address) {
        int count = 0;
        for (const auto& [heard, at] : heardProbes) count += heard == address;
        return count;
    }
    void countProbes() {
        bus.line(kLine).onHeard = [this](ByteSpan bytes) {
            if (bytes.size() == 18 && bytes[offset::kCommand1] == kClassInfo && bytes[13] == 0x80 && bytes[17] == 0x28)
                heardProbes.emplace_back(bytes[offset::kHeaderRoute3], bus.clock().now());
        };
    }
    std::vector<std::pair<int, std::chrono::microseconds>> heardProbes;
};

TEST_F(Inventory, ListsExactlyTheTransmittersOnTheLineWithTheirIdentities) {
    attach(1, "4400");
    attach(77, "440D");
    attach(254, "Q712");
    const auto found = run();
    ASSERT_EQ(found.size(), 3u);
    const std::tuple<int, const char*, const char*, bool> expected[] = {
        {1, "4400", "SN1", false}, {77, "440D", "SN77", false}, {254, "Q712", "SN254", true}};
    for (std::size_t i = 0; i < found.size(); ++i) {
        const auto& [address, model, serial, p2] = expected[i];
        EXPECT_EQ(found[i].networkAddress, address);
        EXPECT_EQ(found[i].modelCode, model);
        EXPECT_EQ(found[i].serialNumber, serial);
        EXPECT_EQ(found[i].p2Present, sim::ModelConfig(model)->hasP2) << model;
        EXPECT_EQ(found[i].portName, "COM3");
        EXPECT_EQ(found[i].tag, "PT-100");
        EXPECT_EQ(found[i].firmwareVersion, "01.00");
        EXPECT_FALSE(found[i].p1.label.empty());
        (void)p2;
    }
    EXPECT_EQ(recorder.addresses, (std::vector<int>{1, 77, 254}));
    EXPECT_EQ(recorder.last.done, 254);
    EXPECT_EQ(recorder.last.left, 0);
}

TEST_F(Inventory, PortWalkListsATransmitterOnEachPort) {
    attach(40, "4402", 2);
    attach(40, "440D", 9);
    InventoryPlan plan{.walk = InventoryWalk::Ports, .first = 1, .last = 100};
    const auto found = run(plan);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].portName, "COM2");
    EXPECT_EQ(found[1].portName, "COM9");
    EXPECT_EQ(found[1].modelCode, "440D");
}

// An empty line at 115200 baud costs the probes' wire time plus the
// allowance per address, against the exchange's own time-outs.
TEST_F(Inventory, EmptyAddressCostsTheDerivedWaitUnlessThorough) {
    bus.line(kLine).timing.wireTime = true;
    for (const bool thorough : {false, true}) {
        const auto start = bus.clock().now();
        run(InventoryPlan{.first = 1, .last = 100, .thorough = thorough});
        const auto perAddress = (bus.clock().now() - start) / 100;
        if (thorough) EXPECT_GE(perAddress, milliseconds(230));
        else EXPECT_LE(perAddress, milliseconds(26));
    }
    EXPECT_EQ(ProbeWait(115200, milliseconds(20)), milliseconds(24));
    EXPECT_EQ(ProbeWait(9600, milliseconds(20)), milliseconds(58));
}

// At 9600 baud the transmitter at 1 starts its reply inside the short wait but
// finishes its first part outside: the second probe finds it, and its
// turnaround widens the wait enough for the slower one at 77.
TEST_F(Inventory, SecondProbeFindsALateReplyAndItsTurnaroundWidensTheWait) {
    bus.line(kLine).timing.wireTime = true;
    attach(1).faults.replyDelay = milliseconds(45);
    attach(77).faults.replyDelay = milliseconds(60);
    countProbes();
    const InventoryPlan plan{.baudRate = 9600, .first = 1, .last = 80};
    EXPECT_EQ(run(plan).size(), 2u);
    EXPECT_EQ(probesOf(1), 2);
    EXPECT_EQ(probesOf(77), 1) << "found by the first, short probe";
    EXPECT_GE(inventory.turnaround(), milliseconds(46));
}

TEST_F(Inventory, ASlowTransmitterAloneNeedsALargerAllowanceOrThorough) {
    attach(77).faults.replyDelay = milliseconds(60);
    EXPECT_TRUE(run(InventoryPlan{.first = 70, .last = 80}).empty());
    EXPECT_EQ(run(InventoryPlan{.first = 70, .last = 80, .turnaroundAllowance = milliseconds(70)}).size(), 1u);
    EXPECT_EQ(run(InventoryPlan{.first = 70, .last = 80, .thorough = true}).size(), 1u);
}

TEST_F(Inventory, DamagedReplyGetsOneMoreProbeAndNothingIsListedFromIt) {
    attach(5).faults.corruptReplyCrc = true;
    attach(6);
    countProbes();
    const auto found = run(InventoryPlan{.first = 4, .last = 7});
    EXPECT_EQ(probesOf(5), 2);
    EXPECT_EQ(probesOf(4), 1);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].networkAddress, 6);
}

TEST_F(Inventory, CancelStopsBeforeTheNextProbe) {
    attach(3);
    countProbes();
    recorder.cancelAfter = 2;
    EXPECT_TRUE(run(InventoryPlan{.first = 1, .last = 254}).empty());
    EXPECT_TRUE(inventory.cancelled());
    EXPECT_EQ(heardProbes.size(), 2u);
}

}  // namespace
}  // namespace corvel
