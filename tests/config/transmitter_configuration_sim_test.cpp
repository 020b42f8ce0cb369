// A configuration saved from the simulated transmitter, compared with it
// after changes, and restored onto it: only what differs is written, the
// analog output rules and the model family are checked before any write,
// and a failed write names what was and was not written.

#include <gtest/gtest.h>

#include "config/configuration_restore.h"
#include "link/device_addresses.h"
#include "link/owned_link_context.h"
#include "sim/inprocess_port.h"

namespace corvel {
namespace {

constexpr std::uint8_t kKpaCode = 2;

std::vector<std::string> SettingsOf(const std::vector<ComparisonRow>& rows) {
    std::vector<std::string> settings;
    for (const ComparisonRow& row : rows) settings.push_back(row.setting);
    return settings;
}

class ConfigurationOnSimulator : public ::testing::Test, protected OwnedLinkContext {
protected:
    sim::InProcessBus bus;
    sim::InProcessPortFactory ports{bus};
    DeviceSession session{with(ports)};
    const TransmitterRoutes routes{RouteBlock{1, 0xF0, 0x80, 40, 0xF0, kPressureModule},
                                   RouteBlock{1, 0xF0, 0x80, 40, 0xF0, kOutputModule}, 40};

    sim::SimDevice& attach(const char* model) { return bus.attach(1, *sim::ModelConfig(model)); }

    TransmitterReading read() {
        const ReadOutcome outcome = ReadConfiguration(session, routes, "2026-12-08T10:00:00Z");
        EXPECT_TRUE(outcome.reading) << outcome.error;
        return outcome.reading.value_or(TransmitterReading{});
    }

    // Two settings changed behind the file's back: P1's unit and URV.
    static void changeUnitAndUrv(sim::SimDevice& device) {
        device.selectUnit(sim::Channel::P1, kKpaCode);
        device.memory(kPressureModule).putF32(address::kUpperRangeValue, 80.0f);
    }
};

TEST_F(ConfigurationOnSimulator, RestoreWritesExactlyTheTwoChangedSettingsAndVerifiesThem) {
    sim::SimDevice& device = attach("440D");
    const TransmitterConfiguration saved = read().configuration;
    changeUnitAndUrv(device);

    // The alarms keep their percentages, so their set points moved with the URV...
    const TransmitterReading changed = read();
    EXPECT_EQ(SettingsOf(Differences(CompareConfigurations(changed.configuration, saved))),
              (std::vector<std::string>{"P1 unit", "URV", "Digital Output 1 value 1", "Digital Output 1 value 2",
                                        "Digital Output 1 Reset Deadband", "Digital Output 2 value 1",
                                        "Digital Output 2 value 2", "Digital Output 2 Reset Deadband"}));
    // ...and come back with it: their percentages are the file's already.

    const RestorePlan plan = PlanRestore(changed, saved);
    ASSERT_FALSE(plan.refusal) << *plan.refusal;
    EXPECT_EQ(SettingsOf(plan.changes), (std::vector<std::string>{"P1 unit", "URV"}));
    const std::size_t writesBefore = device.settingWrites;
    std::vector<std::size_t> progress;
    const RestoreResult result =
        ApplyRestore(session, routes, plan, [&](const RestoreProgress& p) { progress.push_back(p.done); });

    EXPECT_TRUE(result.succeeded) << result.error;
    EXPECT_EQ(device.settingWrites - writesBefore, 2u);
    EXPECT_EQ(result.written, (std::vector<std::string>{"P1 unit", "URV"}));
    EXPECT_EQ(progress, (std::vector<std::size_t>{0, 1, 2, 3})) << "units, URV, the closing empty command, done";
    EXPECT_TRUE(Differences(CompareConfigurations(read().configuration, saved)).empty());
    EXPECT_TRUE(PlanRestore(read(), saved).writes.empty());
}

TEST_F(ConfigurationOnSimulator, RefusedFilesWriteNothing) {
    struct Case {
        const char* name;
        const char* fileModel;
        void (*spoil)(TransmitterConfiguration&);
        const char* refusal;
    };
    const Case cases[] = {
        {"URV beyond USL", "440D", [](TransmitterConfiguration& c) { c.analogOutput->urv = 150.0f; },
         "Pressure URV too high- higher than USL"},
        {"span below the minimum", "440D", [](TransmitterConfiguration& c) { c.analogOutput->urv = 5.0f; },
         "Pressure range (URV - LRV) is lower than minimum span"},
        {"another model family", "4402", [](TransmitterConfiguration&) {},
         "The file was read from a 4402, of another model family than this 440D: only the settings both have can be "
         "restored, and only when asked"},
    };
    sim::SimDevice& device = attach("440D");
    bus.attach(2, *sim::ModelConfig("4402"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TransmitterReading transmitter = read();
        TransmitterReading other = transmitter;
        if (std::string(c.fileModel) != "440D") {
            comm.portName = "COM2";
            other = read();
            comm.portName = "COM1";
        }
        TransmitterConfiguration file = other.configuration;
        c.spoil(file);
        const RestorePlan plan = PlanRestore(transmitter, file);
        ASSERT_TRUE(plan.refusal);
        EXPECT_EQ(*plan.refusal, c.refusal);
        const std::size_t writesBefore = device.settingWrites;
        EXPECT_FALSE(ApplyRestore(session, routes, plan).succeeded);
        EXPECT_EQ(device.settingWrites, writesBefore);
    }
}

TEST_F(ConfigurationOnSimulator, AnAnalogOutputLeftAsItIsIsNotJudged) {
    sim::SimDevice& device = attach("440D");
    device.memory(kPressureModule).putF32(address::kUpperRangeValue, 150.0f);  // beyond USL already
    const TransmitterReading transmitter = read();
    TransmitterConfiguration file = transmitter.configuration;
    file.p1.unitCode = kKpaCode;

    const RestorePlan plan = PlanRestore(transmitter, file);
    EXPECT_FALSE(plan.refusal) << *plan.refusal;
    EXPECT_EQ(SettingsOf(plan.changes), (std::vector<std::string>{"P1 unit"}));
}

TEST_F(ConfigurationOnSimulator, AcrossFamiliesOnlyTheSharedSettingsAreRestored) {
    attach("440D");
    bus.attach(2, *sim::ModelConfig("4402"));
    TransmitterReading transmitter = read();
    comm.portName = "COM2";
    TransmitterConfiguration file = read().configuration;
    comm.portName = "COM1";
    file.tag = "PT-101";
    file.p2->dampingTime = 4.0f;

    const RestorePlan plan = PlanRestore(transmitter, file, RestoreOptions{.acrossModelFamilies = true});
    ASSERT_FALSE(plan.refusal);
    EXPECT_EQ(SettingsOf(plan.changes), (std::vector<std::string>{"Tag No."}));
    EXPECT_NE(std::find(plan.notRestored.begin(), plan.notRestored.end(), "P2 damping time (s)"),
              plan.notRestored.end());
    EXPECT_NE(std::find(plan.notRestored.begin(), plan.notRestored.end(), "URV"), plan.notRestored.end());
}

TEST_F(ConfigurationOnSimulator, EarlyFirmwareKeepsItsTextsAndDampingSwitch) {
    sim::DeviceConfig early = *sim::ModelConfig("4402");
    early.version = "00.90";
    bus.attach(1, early);
    const TransmitterReading transmitter = read();
    TransmitterConfiguration file = transmitter.configuration;
    file.tag = "PT-101";
    file.p1.dampingOn = false;
    file.p1.dampingTime = 3.0f;

    const RestorePlan plan = PlanRestore(transmitter, file);
    EXPECT_EQ(SettingsOf(plan.changes), (std::vector<std::string>{"P1 damping time (s)"}));
    EXPECT_EQ(plan.notRestored, (std::vector<std::string>{"Tag No.", "P1 damping"}));
}

TEST_F(ConfigurationOnSimulator, AFailedWriteNamesWhatWasAndWasNotWritten) {
    sim::SimDevice& device = attach("440D");
    TransmitterConfiguration file = read().configuration;
    file.p1.unitCode = kKpaCode;
    file.analogOutput->urv = 80.0f;
    file.tag = "PT-101";
    const RestorePlan plan = PlanRestore(read(), file);
    ASSERT_FALSE(plan.refusal);
    // Memory writes fail: the units write before them goes through.
    device.faults.statusFor.push_back({sim::CommandMatch{0x62, 0x88}, 0x03});

    const RestoreResult result = ApplyRestore(session, routes, plan);
    EXPECT_FALSE(result.succeeded);
    EXPECT_EQ(result.written, (std::vector<std::string>{"P1 unit"}));
    // The alarms keep their set points against the file's URV: their percentages change too.
    EXPECT_EQ(result.notWritten,
              (std::vector<std::string>{"URV", "Digital Output 1 value 1", "Digital Output 1 value 2",
                                        "Digital Output 1 Reset Deadband", "Digital Output 2 value 1",
                                        "Digital Output 2 value 2", "Digital Output 2 Reset Deadband", "Tag No."}));
    EXPECT_TRUE(result.error.starts_with("writing URV failed")) << result.error;
}

}  // namespace
}  // namespace corvel
