#pragma once
// A second, minimal frame CRC for the tests: CRC-16 with polynomial 0x1021,
// initial value 0, no reflection and no final XOR, worked out bit by bit over
// header bytes 0-9, then the 8-bit sum n + 6 of bytes from byte 12 on. It
// shares no code with the table-driven CRC of the link, so that a test of a
// frame's CRC does not check the code against itself.

#include <cstddef>
#include <cstdint>
#include <span>

namespace corvel::test {

inline std::uint16_t BitwiseCrc(std::uint16_t crc, std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t byte : bytes) {
        crc = static_cast<std::uint16_t>(crc ^ (byte << 8));
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return crc;
}

inline std::uint16_t BitwiseFrameCrc(std::span<const std::uint8_t> frame) {
    const std::size_t afterHeader = static_cast<std::uint8_t>(frame[2] + 6);
    return BitwiseCrc(BitwiseCrc(0, frame.first(10)), frame.subspan(12, afterHeader));
}

}  // namespace corvel::test
