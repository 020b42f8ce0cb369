// "corvelctl convert" hands its arguments to the data log converter.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "tests/datalog/conversion_harness.h"
#include "cli/corvelctl.h"
#include "sim/inprocess_port.h"

namespace corvel::cli {
namespace {

namespace fs = std::filesystem;

// Three instants of the usual two-module log: P1, P2, volts, current, temperature.
std::vector<std::uint8_t> ThreeInstantLog() {
    testing::LogBuilder log = testing::TwoModuleLog(100, 3);
    log.instant(0, {14.7f, 3.25f, 4.5f, 12.0f, 21.5f})
        .instant(100, {14.8f, 3.5f, 4.25f, 12.5f, 21.7f})
        .instant(200, {15.0f, 3.75f, 4.0f, 13.0f, 22.0f});
    return log.bytes();
}

TEST(CorvelctlConvert, DownloadedLogBecomesCommaSeparatedText) {
    // GIVEN a logger keeping a three-instant log, downloaded with its padded last block
    sim::InProcessBus bus;
    sim::InProcessPortFactory ports{bus};
    sim::DeviceConfig config = *sim::ModelConfig("Q712");
    config.logs.clear();
    bus.attach(1, config).logStore()->add({"LOG00001.BIN", ThreeInstantLog()});
    const fs::path folder = fs::temp_directory_path() / ("corvelctl-convert-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    std::ostringstream out;
    std::ostringstream err;
    const CliEnvironment environment{ports, out, err, false, {}, LogConverterCommand(), {}, {}};
    const std::string bin = (folder / "log.bin").string();
    const std::string csv = (folder / "log.csv").string();
    ASSERT_EQ(RunCorvelctl({"logs", "download", "1", bin}, environment), 0) << err.str();
    // WHEN it is converted THEN the text holds the header and one line an instant
    EXPECT_EQ(RunCorvelctl({"convert", bin, csv}, environment), 0) << err.str();
    EXPECT_EQ(testing::ReadFile(csv), testing::Lines({
                                          "Log Name: Tank 3",
                                          "Start Time: 03/15/2024 10:00:00",
                                          "Unit S/N: SN4400-17",
                                          "Interval: 1 sec",
                                          "Number of Samples: 3",
                                          "Data Log Duration: 0 mins",
                                          "",
                                          ",,Pressure: Measure,,Volt Current: V Measure    ",
                                          "Sample,Time,P1:PSI,P2:N/A,Volts:V,Curr:mA,Temp:C,Status",
                                          "1,10:00:00,       14.70,        3.25,       4.500,      12.000,        21.5,",
                                          "2,10:00:01,       14.80,        3.50,       4.250,      12.500,        21.7,",
                                          "3,10:00:02,       15.00,        3.75,       4.000,      13.000,        22.0,",
                                      }));
    EXPECT_NE(RunCorvelctl({"convert", (folder / "missing.bin").string(), csv}, environment), 0);
    fs::remove_all(folder);
}

}  // namespace
}  // namespace corvel::cli
