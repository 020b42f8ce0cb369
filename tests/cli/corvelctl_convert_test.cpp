// "corvelctl convert" hands its arguments to the data log converter.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "corvelctl.h"
#include "inprocess_port.h"

namespace corvel::cli {
namespace {

namespace fs = std::filesystem;

TEST(CorvelctlConvert, DownloadedLogBecomesCommaSeparatedText) {
    sim::InProcessBus bus;
    sim::InProcessPortFactory ports{bus};
    sim::DeviceConfig config = *sim::ModelConfig("Q712");
    config.logs = {sim::PressureLogDescription("LOG00001.BIN", 20, 100)};
    bus.attach(1, config);
    const fs::path folder = fs::temp_directory_path() / ("corvelctl-convert-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    std::ostringstream out;
    std::ostringstream err;
    const CliEnvironment environment{ports, out, err, false, {}, LogConverterCommand(), {}, {}};
    const std::string bin = (folder / "log.bin").string();
    const std::string csv = (folder / "log.csv").string();
    ASSERT_EQ(RunCorvelctl({"logs", "download", "1", bin}, environment), 0) << err.str();
    EXPECT_EQ(RunCorvelctl({"convert", bin, csv}, environment), 0) << err.str();
    {
        std::ifstream converted(csv);  // closed before the folder goes: Windows keeps open files
        std::string firstLine;
        EXPECT_TRUE(std::getline(converted, firstLine));
        EXPECT_FALSE(firstLine.empty());
    }
    EXPECT_NE(RunCorvelctl({"convert", (folder / "missing.bin").string(), csv}, environment), 0);
    fs::remove_all(folder);
}

}  // namespace
}  // namespace corvel::cli
