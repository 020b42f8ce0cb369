#pragma once
// Builds binary data log files for the tests from a readable description:
// the start time, name and serial number, the modules with their channels,
// then the records in file order.

#include <array>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "datalog/log_file_format.h"

namespace corvel::testing {

struct ChannelSpec {
    std::int32_t interval = 0;  // hundredths of a second; 0 = not logged
    std::int32_t samples = 0;
    std::string units;
    float scale = 1.0f;
    std::int8_t decimals = 0;
};

struct ModuleSpec {
    std::uint8_t type = kPressureModuleKind;
    std::uint8_t mode = 0;
    std::array<ChannelSpec, kChannelsPerModule> channels{};
};

// P1 and P2 logged at `interval` with `samples` samples and 2 decimals.
ModuleSpec PressureModule(std::int32_t interval, std::int32_t samples, std::string p1Units = "PSI",
                          std::string p2Units = "");
// Volts, current and temperature logged at `interval` with 3, 3 and 1 decimals.
ModuleSpec VoltageCurrentModule(std::int32_t interval, std::int32_t samples, std::string temperatureUnits = "C");

class LogBuilder {
public:
    LogBuilder();

    LogBuilder& start(std::uint16_t year, std::uint8_t first, std::uint8_t second, std::uint8_t hour,
                      std::uint8_t minute, std::uint8_t secondOfMinute);
    LogBuilder& name(const std::string& logName);
    LogBuilder& serial(const std::string& serialNumber);
    LogBuilder& module(const ModuleSpec& moduleSpec);
    // Overrides the module count written in the file header (normally the
    // number of modules added).
    LogBuilder& moduleCount(std::uint8_t count);

    LogBuilder& value(std::uint8_t tag, std::uint8_t channel, std::int32_t timeStamp, float raw,
                      std::uint8_t status = 0);
    LogBuilder& marker(std::uint8_t tag, std::int32_t timeStamp, std::uint8_t channel = kFirstMarkerChannel);
    // The five records of one instant of the two-module log, in module order:
    // P1, P2 (tag 0x40), then volts, current, temperature (tag 0x41).
    LogBuilder& instant(std::int32_t timeStamp, std::array<float, 5> raw);
    // Zero bytes, as a download pads the last 128-byte block.
    LogBuilder& padding(std::size_t count);

    std::vector<std::uint8_t> bytes() const;
    void writeTo(const std::filesystem::path& path) const;

private:
    std::array<std::uint8_t, kLogFileHeaderSize> header_{};
    std::vector<ModuleSpec> modules_;
    std::optional<std::uint8_t> moduleCount_;
    std::vector<std::uint8_t> records_;
};

// Writes `bytes` as the whole content of the file at `path`.
void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// The usual two-module log: start 03/15/2024 10:00:00, name "Tank 3", serial
// "SN4400-17", pressure module (P1 PSI, P2 no units) and voltage/current
// module (temperature C), every channel logged at `interval` with `samples`.
LogBuilder TwoModuleLog(std::int32_t interval = 100, std::int32_t samples = 3);

}  // namespace corvel::testing
