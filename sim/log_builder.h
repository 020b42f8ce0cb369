#pragma once
// Writes binary data log files as the transmitter keeps them: a 60-byte file
// header, one 112-byte module header per module, then 12-byte sample records
// (module tag 0x40 + module index, channel 1-4, status, time stamp in
// hundredths of a second, raw value). Values follow a straight line per
// channel (start + step x sample) divided by the channel's scale.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace corvel::sim {

struct LogChannelDescription {
    std::int32_t intervalHundredths = 0;  // 0: channel not logged
    std::string units;
    float scale = 1.0f;
    std::int8_t decimals = 2;
    float start = 0.0f;  // engineering value of the first sample
    float step = 0.0f;   // change from one sample to the next
};

struct LogModuleDescription {
    std::uint8_t type = 0;  // 0 pressure, 1 voltage/current
    std::uint8_t mode = 0;
    std::array<LogChannelDescription, 4> channels{};
};

// A pause in logging: after sample `afterSample` the clock jumps by
// `durationHundredths` and a marker record (channel 5) carries the new time.
struct LogGap {
    std::uint32_t afterSample = 0;
    std::int32_t durationHundredths = 0;
};

// A status code carried by one channel's record at one sample.
struct LogStatus {
    std::uint32_t sample = 0;
    std::uint8_t module = 0;   // 0-based
    std::uint8_t channel = 1;  // 1-4
    std::uint8_t status = 0;
};

struct LogDescription {
    std::string fileName = "LOG00001.BIN";  // the name the directory lists (at most 13 characters)
    std::string logName = "Simulated log";
    std::string serialNumber = "SIM0001";
    std::uint16_t year = 2026;
    std::uint8_t dateFirst = 12;  // printed first
    std::uint8_t dateSecond = 7;
    std::uint8_t hour = 8;
    std::uint8_t minute = 0;
    std::uint8_t second = 0;
    std::vector<LogModuleDescription> modules;
    std::uint32_t samples = 10;  // sampling instants
    std::vector<LogGap> gaps;
    std::vector<LogStatus> statuses;
};

inline constexpr std::size_t kLogFileHeaderSize = 60;
inline constexpr std::size_t kLogModuleHeaderSize = 112;
inline constexpr std::size_t kLogSampleRecordSize = 12;

std::vector<std::uint8_t> BuildLogFile(const LogDescription& description);

// A one-module pressure log of P1 and P2 at one interval, for examples and tests.
LogDescription PressureLogDescription(std::string fileName, std::uint32_t samples, std::int32_t intervalHundredths);

}  // namespace corvel::sim
