#pragma once
// The memory map of one transmitter module: 64 KiB of settings addressed by
// byte, read and written by the memory access commands. Addresses the
// simulator gives a meaning to are named below; everything else is plain
// storage.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/bytes.h"

namespace corvel::sim {

namespace address {
inline constexpr std::uint32_t kIdentificationBlock = 0x0062;  // 119 bytes
inline constexpr std::uint32_t kModelCode = kIdentificationBlock + 0;
inline constexpr std::uint32_t kModelName = kIdentificationBlock + 8;
inline constexpr std::uint32_t kThirdIdentification = kIdentificationBlock + 72;
inline constexpr std::uint32_t kFirmwareVersion = 0x00D2;
inline constexpr std::uint32_t kNetworkAddress = 0x0801;
inline constexpr std::uint32_t kDampingEnabledP1 = 0x2810;
inline constexpr std::uint32_t kDampingModeP1 = 0x2811;
inline constexpr std::uint32_t kDampingTimeP1 = 0x2812;
inline constexpr std::uint32_t kDampingEnabledP2 = 0x2A10;
inline constexpr std::uint32_t kDampingModeP2 = 0x2A11;
inline constexpr std::uint32_t kDampingTimeP2 = 0x2A12;
inline constexpr std::uint32_t kLowerRangeValue = 0x2830;  // output module: AO level at LRV, volts
inline constexpr std::uint32_t kUpperRangeValue = 0x2834;  // output module: AO level at URV, volts
inline constexpr std::uint32_t kCurrentLevelLow = 0x2A30;  // output module: AO level at LRV, mA
inline constexpr std::uint32_t kCurrentLevelHigh = 0x2A34;
inline constexpr std::uint32_t kDefaultAlarmBlockPointer = 0x3014;  // D
inline constexpr std::uint32_t kLiveAlarmBlockPointer = 0x3016;     // B
inline constexpr std::uint32_t kSquareRootValue = 0x3406;
}  // namespace address

class MemoryMap {
public:
    static constexpr std::uint32_t kSize = 0x10000;

    MemoryMap() : bytes_(kSize, 0) {}

    // The `count` bytes at `at`, or nothing when the range leaves the map.
    std::optional<std::vector<std::uint8_t>> read(std::uint32_t at, std::size_t count) const;
    // False (and nothing written) when the range leaves the map.
    bool write(std::uint32_t at, ByteSpan data);

    std::uint8_t u8(std::uint32_t at) const { return U8At(bytes_, at); }
    std::uint16_t u16(std::uint32_t at) const { return U16At(bytes_, at); }
    float f32(std::uint32_t at) const { return F32At(bytes_, at); }
    void putU8(std::uint32_t at, std::uint8_t value) { PutU8(bytes_, at, value); }
    void putU16(std::uint32_t at, std::uint16_t value) { PutU16(bytes_, at, value); }
    void putF32(std::uint32_t at, float value) { PutF32(bytes_, at, value); }
    void putText(std::uint32_t at, std::size_t field, const std::string& text) { PutText(bytes_, at, field, text); }

private:
    static bool inside(std::uint32_t at, std::size_t count) { return at <= kSize && count <= kSize - at; }

    std::vector<std::uint8_t> bytes_;
};

}  // namespace corvel::sim
