#include "link/crc.h"

namespace corvel {
namespace {

constexpr std::array<std::uint16_t, 512> BuildTables() {
    std::array<std::uint16_t, 512> table{};
    for (unsigned i = 0; i < 256; ++i) {
        // Frame CRC: the register after shifting i << 8 through eight steps.
        std::uint16_t reg = static_cast<std::uint16_t>(i << 8);
        for (int bit = 0; bit < 8; ++bit)
            reg = (reg & 0x8000) ? static_cast<std::uint16_t>((reg << 1) ^ kFramePolynomial)
                                 : static_cast<std::uint16_t>(reg << 1);
        table[i] = reg;

        // Modbus CRC: reflected, the low bit shifts out first.
        std::uint16_t reflected = static_cast<std::uint16_t>(i);
        for (int bit = 0; bit < 8; ++bit)
            reflected = (reflected & 1) ? static_cast<std::uint16_t>((reflected >> 1) ^ kModbusPolynomialReflected)
                                        : static_cast<std::uint16_t>(reflected >> 1);
        table[256 + i] = reflected;
    }
    return table;
}

constexpr std::array<std::uint16_t, 512> kTables = BuildTables();

}  // namespace

const std::array<std::uint16_t, 512>& CrcTable() { return kTables; }

std::uint16_t Crc16Update(std::uint16_t crc, const std::uint8_t* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        crc = static_cast<std::uint16_t>((crc << 8) ^ kTables[((crc >> 8) ^ bytes[i]) & 0xFF]);
    return crc;
}

std::uint16_t ModbusCrc16(const std::uint8_t* sixBytes) {
    std::uint16_t crc = 0xFFFF;
    for (int i = 0; i < 6; ++i)
        crc = static_cast<std::uint16_t>((crc >> 8) ^ kTables[256 + ((crc ^ sixBytes[i]) & 0xFF)]);
    return crc;
}

}  // namespace corvel
