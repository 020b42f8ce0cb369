#pragma once
// The two CRCs of the transmitter protocol, table driven.
//
// Frame CRC (CRC-16/XMODEM): width 16, polynomial 0x1021, processed most
// significant bit first, initial value 0x0000, no reflection, no final XOR.
// CRC of the ASCII digits "123456789" is 0x31C3.
//
// Modbus CRC (CRC-16/MODBUS): width 16, reflected polynomial 0xA001 (0x8005
// reflected), initial value 0xFFFF, no final XOR. Sent low byte first.
//
// Both 256-entry tables are kept one after the other in one 512-entry table,
// computed from their polynomials at compile time.

#include <array>
#include <cstddef>
#include <cstdint>

namespace corvel {

inline constexpr std::uint16_t kFramePolynomial = 0x1021;
inline constexpr std::uint16_t kModbusPolynomialReflected = 0xA001;

// Entries 0..255: frame CRC; entries 256..511: Modbus CRC.
const std::array<std::uint16_t, 512>& CrcTable();

// One table step of the frame CRC over `count` bytes.
std::uint16_t Crc16Update(std::uint16_t crc, const std::uint8_t* bytes, std::size_t count);

// CRC-16/MODBUS over exactly six bytes.
std::uint16_t ModbusCrc16(const std::uint8_t* sixBytes);

}  // namespace corvel
