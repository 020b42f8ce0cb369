#pragma once
// Where things are in the transmitter: the module numbers that close every
// route block, and the memory map that the memory access commands read and
// write. Each module has its own memory; the same address can mean different
// things on the pressure and on the output module.

#include <cstdint>

namespace corvel {

// Module numbers: the receiver's module byte, the last byte of a route block.
inline constexpr std::uint8_t kLogStateModule = 0x10;       // data log state
inline constexpr std::uint8_t kLogStoreModule = 0x20;       // data log store: files and blocks
inline constexpr std::uint8_t kCommunicationModule = 0x28;  // communication board; answers a scan
inline constexpr std::uint8_t kPressureModule = 0x40;       // P1 (and P2)
inline constexpr std::uint8_t kSecondModule = 0x41;         // the second pressure module of a logger
inline constexpr std::uint8_t kOutputModule = 0x43;         // analog output and alarms

namespace address {
// Identity
inline constexpr std::uint32_t kIdentificationBlock = 0x0062;  // model code, model name, third text
inline constexpr std::uint32_t kFirmwareVersion = 0x00D2;      // five characters
inline constexpr std::uint32_t kNetworkAddress = 0x0801;       // 1 to 254
inline constexpr std::uint32_t kModbusExitBlock = 0x080B;      // 32 bytes written before leaving Modbus

// Pressure inputs: damping flag (u8), mode (u8: 0 exponential, 1 smart) and time (f32 seconds)
inline constexpr std::uint32_t kDampingEnabledP1 = 0x2810;
inline constexpr std::uint32_t kDampingModeP1 = 0x2811;
inline constexpr std::uint32_t kDampingTimeP1 = 0x2812;
inline constexpr std::uint32_t kDampingEnabledP2 = 0x2A10;
inline constexpr std::uint32_t kDampingModeP2 = 0x2A11;
inline constexpr std::uint32_t kDampingTimeP2 = 0x2A12;
// Pressure module: the range the output spans, f32 in the transmitter's pressure unit
inline constexpr std::uint32_t kLowerRangeValue = 0x2830;
inline constexpr std::uint32_t kUpperRangeValue = 0x2834;

// Output module: output levels at LRV and URV (f32), in volts at the range
// values' addresses and in milliamps at their own
inline constexpr std::uint32_t kVoltsAtLrv = kLowerRangeValue;
inline constexpr std::uint32_t kVoltsAtUrv = kUpperRangeValue;
inline constexpr std::uint32_t kCurrentAtLrv = 0x2A30;
inline constexpr std::uint32_t kCurrentAtUrv = 0x2A34;
// Output module: u16 pointers to the factory-default (D) and live (B) alarm blocks
inline constexpr std::uint32_t kDefaultAlarmBlockPointer = 0x3014;
inline constexpr std::uint32_t kLiveAlarmBlockPointer = 0x3016;
inline constexpr std::uint32_t kSquareRootValue = 0x3406;  // f32
}  // namespace address

// Offsets in the identification block.
namespace identification {
inline constexpr std::uint32_t kModelCode = 0;
inline constexpr std::uint32_t kModelName = 8;
inline constexpr std::uint32_t kThirdText = 72;
inline constexpr std::uint32_t kSize = 119;
}  // namespace identification

// Offsets in an alarm block (live or factory default), then in one of its two
// digital output alarms.
namespace alarm_block {
inline constexpr std::uint32_t kTransfer = 0;  // 0 linear, 1 square root
inline constexpr std::uint32_t kMinimumSpanFraction = 10;
inline constexpr std::uint32_t kTransmitterAlarm = 64;
inline constexpr std::uint32_t kTransmitterAlarmCopy = 96;
inline constexpr std::uint32_t kAlarm[2] = {128, 160};
inline constexpr std::uint32_t kState = 0;
inline constexpr std::uint32_t kCondition = 2;
inline constexpr std::uint32_t kValue1 = 12;
inline constexpr std::uint32_t kValue2 = 16;
inline constexpr std::uint32_t kDeadband = 20;
}  // namespace alarm_block

}  // namespace corvel
