// The commissioning report's content: the as-found readings against the
// simulated transmitter (statuses, and what the summary leaves out), and the
// Markdown form's sections.

#include <gtest/gtest.h>

#include "link/owned_link_context.h"
#include "report/report_markdown.h"
#include "sim/inprocess_port.h"

namespace corvel {
namespace {

AsFoundReading Reading(std::optional<double> p1, std::optional<double> p2) {
    const auto input = [](std::optional<double> value) {
        return InputReading{value, value ? std::to_string(*value) : "------", value ? "OK" : "Pres over range"};
    };
    return {input(p1), input(p2)};
}

// Readings under their headings (two decimals), set member by member: GCC 12
// for Windows takes a braced initialiser of the headings' strings for an
// uninitialised read.
AsFoundReadings ReadingsUnder(const char* p1Unit, const char* p2Unit, std::vector<AsFoundReading> readings) {
    AsFoundReadings all;
    all.p1.unit = p1Unit;
    all.p1.decimals = 2;
    if (p2Unit) {
        all.p2.emplace();
        all.p2->unit = p2Unit;
        all.p2->decimals = 2;
    }
    all.readings = std::move(readings);
    return all;
}

TEST(AsFoundSummary, LeavesOutReadingsWithoutAValue) {
    struct Case {
        const char* what;
        std::vector<AsFoundReading> readings;
        InputSummary p1;
        InputSummary p2;
    } cases[] = {
        {"all good", {Reading(1.0, 10.0), Reading(2.0, 20.0), Reading(4.0, 30.0)}, {"1.00", "4.00", "2.33"},
         {"10.00", "30.00", "20.00"}},
        {"dashed readings skipped", {Reading(std::nullopt, 5.0), Reading(-2.5, std::nullopt)}, {"-2.50", "-2.50", "-2.50"},
         {"5.00", "5.00", "5.00"}},
        {"no value at all", {Reading(std::nullopt, std::nullopt)}, {"------", "------", "------"},
         {"------", "------", "------"}},
    };
    for (const Case& c : cases) {
        const AsFoundReadings readings = ReadingsUnder("PSI", "bar", c.readings);
        const InputSummary p1 = SummaryOf(readings, true);
        const InputSummary p2 = SummaryOf(readings, false);
        EXPECT_EQ(std::tie(p1.minimum, p1.maximum, p1.mean), std::tie(c.p1.minimum, c.p1.maximum, c.p1.mean)) << c.what;
        EXPECT_EQ(std::tie(p2.minimum, p2.maximum, p2.mean), std::tie(c.p2.minimum, c.p2.maximum, c.p2.mean)) << c.what;
    }
}

class AsFoundOnSimulator : public ::testing::Test, protected OwnedLinkContext {
protected:
    sim::InProcessBus bus;
    sim::InProcessPortFactory ports{bus};
    DeviceSession session{with(ports)};
    const RouteBlock route{1, 0xF0, 0x80, 40, 0xF0, 0x40};
};

TEST_F(AsFoundOnSimulator, EachReadingCarriesItsStatus) {
    sim::SimDevice& device = bus.attach(1, {});
    device.live(sim::Channel::P2).status = 16;
    int calls = 0;
    const AsFoundReadings readings = TakeAsFoundReadings(session, route, true, 3, [&](int) { return ++calls < 5; });
    ASSERT_EQ(readings.readings.size(), 3u);
    EXPECT_EQ(calls, 2) << "the window's events run between readings, not before the first";
    EXPECT_EQ(readings.p1.unit, "PSI");
    EXPECT_EQ(readings.readings[0].p1.status, "OK");
    ASSERT_TRUE(readings.readings[0].p1.value.has_value());
    EXPECT_NEAR(*readings.readings[0].p1.value, 14.7, 0.1);
    EXPECT_EQ(readings.readings[2].p2->status, "Pres over range");
    EXPECT_EQ(readings.readings[2].p2->text, "------");
    EXPECT_FALSE(readings.readings[2].p2->value.has_value());
}

TEST_F(AsFoundOnSimulator, ASilentTransmitterGivesReadingsWithoutValues) {
    sim::SimDevice& device = bus.attach(1, {});
    device.faults.silent = true;
    const AsFoundReadings readings = TakeAsFoundReadings(session, route, false, 2);
    ASSERT_EQ(readings.readings.size(), 2u);
    EXPECT_FALSE(readings.readings[1].p1.value.has_value());
    EXPECT_NE(readings.readings[1].p1.status, "OK");
    EXPECT_EQ(SummaryOf(readings, true).mean, "------");
}

TEST(ReportMarkdown, SectionsInOrderWithTheTechniciansTextsKeptAsText) {
    ReportInputs inputs;
    inputs.utility = "Corvel Setup Utility 1.1";
    inputs.dateTime = "2026-12-08 15:47";
    inputs.technician = "A. Weber";
    inputs.note = "Line 1 | *vented*\nLine 2";
    inputs.configuration.identity.serialNumber = "SIM0000001";
    inputs.configuration.p1.unitName = "PSI";
    inputs.readings = ReadingsUnder("PSI", nullptr, {Reading(14.7, std::nullopt)});
    const std::string markdown = ReportMarkdown(BuildCommissioningReport(inputs));
    std::size_t at = 0;
    for (const char* expected :
         {"# Commissioning Report\n", "## Report\n", "- **Technician:** A. Weber\n",
          "- **Note:** Line 1 \\| \\*vented\\*  \n  Line 2\n", "## Transmitter\n", "- **Serial number:** SIM0000001\n",
          "## Configuration\n", "- **P1 unit:** 0 (PSI)\n", "## As-found readings\n", "| No. | P1 (PSI) | P1 status |\n",
          "| --- | --- | --- |\n", "| 1 | 14.700000 | OK |\n", "| Mean | 14.70 |  |\n", "## Signatures\n",
          "Technician: ___", "Customer: ___"}) {
        const std::size_t found = markdown.find(expected, at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << expected << "\n" << markdown;
        at = found;
    }
}

}  // namespace
}  // namespace corvel
