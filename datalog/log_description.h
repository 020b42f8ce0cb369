#pragma once
// What the headers of a data log say about its output: the interval and
// number of samples, the units and modes in the heading lines, and for every
// channel of every module the column its values go to and how they are shown.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "datalog/log_file_format.h"

namespace corvel {

enum Column : int { kP1Column, kP2Column, kVoltsColumn, kCurrentColumn, kTempColumn, kColumnCount };
inline constexpr int kNoColumn = -1;

struct ChannelPlan {
    int column = kNoColumn;
    int decimals = 0;
    float scale = 1.0f;
    bool usesScale = true;     // the temperature channel is stored in degrees already
    bool toFahrenheit = false;
};
using ModulePlan = std::array<ChannelPlan, kChannelsPerModule>;

struct LogDescription {
    logFileHeader header;
    // From the last logged channel in module and channel order; 0 when no channel is logged.
    std::int32_t intervalSeconds = 0;
    std::int32_t sampleCount = 0;
    std::string p1Units;
    std::string p2Units;
    std::string temperatureUnits;
    std::uint8_t pressureMode = 0;
    std::uint8_t voltageCurrentMode = 0;
    std::vector<ModulePlan> modules;  // one per module header, first module first
    // Columns that must receive a value at every instant; one missing is
    // carried forward from the previous line and marks the line "D".
    std::array<bool, kColumnCount> expectedColumns{};

    bool p2NotApplicable() const { return p2Units == "N/A"; }
};

LogDescription DescribeLog(const logFileHeader& header, std::span<const moduleHeader_v0> modules);

// The lines before the data: log name, start time, serial number, interval,
// sample count, duration, modes and the column heading, each ending in CR LF.
std::string HeaderLines(const LogDescription& log);

}  // namespace corvel
