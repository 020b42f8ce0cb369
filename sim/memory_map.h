#pragma once
// The memory map of one transmitter module: 64 KiB of settings addressed by
// byte, read and written by the memory access commands. The addresses the
// simulator gives a meaning to are those of the link's memory map; everything
// else is plain storage.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "link/device_addresses.h"

namespace corvel::sim {

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
