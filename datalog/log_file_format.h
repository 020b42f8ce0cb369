#pragma once
// The records of a binary data log file as the transmitter writes them: a
// 60-byte file header, one 112-byte module header per measuring module, then
// 12-byte sample records until the end of the file. Each record keeps its raw
// bytes; the accessors decode the fields (little-endian, IEEE single precision,
// zero-terminated texts bounded by their field size).

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/bytes.h"

namespace corvel {

inline constexpr std::size_t kLogFileHeaderSize = 60;
inline constexpr std::size_t kModuleHeaderSize = 112;
inline constexpr std::size_t kChannelInfoSize = 24;
inline constexpr std::size_t kSampleRecordSize = 12;
inline constexpr int kChannelsPerModule = 4;

inline constexpr std::uint8_t kPressureModuleKind = 0;
inline constexpr std::uint8_t kVoltageCurrentModuleKind = 1;

inline constexpr std::uint8_t kNoRecordTag = 0x00;
inline constexpr std::uint8_t kFirstModuleTag = 0x40;
inline constexpr std::uint8_t kSecondModuleTag = 0x41;
inline constexpr std::uint8_t kFirstMarkerChannel = 5;

struct logFileHeader {
    std::array<std::uint8_t, kLogFileHeaderSize> bytes{};

    std::uint16_t startYear() const { return U16At(bytes, 2); }
    // The two date bytes, in the order they are printed (first, then second).
    std::uint8_t startDateFirst() const { return bytes[4]; }
    std::uint8_t startDateSecond() const { return bytes[5]; }
    std::uint8_t startHour() const { return bytes[7]; }
    std::uint8_t startMinute() const { return bytes[8]; }
    std::uint8_t startSecond() const { return bytes[9]; }
    std::uint8_t moduleCount() const { return bytes[10]; }
    std::string logName() const { return TextAt(bytes, 12, 32); }
    std::string unitSerialNumber() const { return TextAt(bytes, 44, 16); }
};

struct channelInfo {
    std::array<std::uint8_t, kChannelInfoSize> bytes{};

    // Logging interval in hundredths of a second; 0 = channel not logged.
    std::int32_t interval() const { return S32At(bytes, 0); }
    std::int32_t sampleCount() const { return S32At(bytes, 4); }
    std::string units() const { return TextAt(bytes, 8, 8); }
    float scale() const { return F32At(bytes, 16); }
    std::int8_t decimals() const { return static_cast<std::int8_t>(bytes[21]); }
    bool isLogged() const { return interval() != 0; }
};

struct moduleHeader_v0 {
    std::array<std::uint8_t, kModuleHeaderSize> bytes{};

    std::uint8_t moduleType() const { return bytes[14]; }
    // Pressure module: simulation flag; voltage/current module: mode code.
    std::uint8_t moduleMode() const { return bytes[15]; }
    // Channel 1 to 4.
    channelInfo channel(int number) const {
        channelInfo info;
        const std::size_t offset = 16 + static_cast<std::size_t>(number - 1) * kChannelInfoSize;
        for (std::size_t i = 0; i < kChannelInfoSize; ++i) info.bytes[i] = U8At(bytes, offset + i);
        return info;
    }
};

struct sampleRecord {
    std::array<std::uint8_t, kSampleRecordSize> bytes{};

    std::uint8_t moduleTag() const { return bytes[0]; }
    std::uint8_t channel() const { return bytes[1]; }
    std::uint8_t statusCode() const { return bytes[3]; }
    // Hundredths of a second; every record of one instant carries the same value.
    std::int32_t timeStamp() const { return S32At(bytes, 4); }
    float rawValue() const { return F32At(bytes, 8); }

    // Tag 0x00: padding or the end of the file, never a value.
    bool isNoRecord() const { return moduleTag() == kNoRecordTag; }
    // A marker carries only a time stamp.
    bool isMarker() const { return channel() >= kFirstMarkerChannel; }
};

}  // namespace corvel
