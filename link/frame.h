#pragma once
// Frames of the transmitter protocol: a 12-byte header, a payload of n bytes
// (0..255) and a 6-byte route block, sealed with the frame CRC (crc.h).
//
//   0  start byte 0x80          6  command byte 2 (operation / channel mask)
//   1  flags, bit 0 = route     7  command byte 3 (record selector)
//      block follows payload    8  control byte (request) / status (reply)
//   2  payload length n         9  0
//   3  route byte 0 (copy)     10  CRC low byte, 11 CRC high byte
//   4  route byte 3 (copy)     12  payload, then the route block at 12 + n
//   5  command byte 1 (class)
//
// The route block names the sender (bytes 0-2) and the receiver (bytes 3-5:
// network address, second byte, module number).

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace corvel {

inline constexpr std::size_t kFrameBufferSize = 156;
inline constexpr std::size_t kHeaderSize = 12;
inline constexpr std::size_t kRouteSize = 6;
inline constexpr std::uint8_t kStartByte = 0x80;
inline constexpr std::uint8_t kFlagRouteFollows = 0x01;

namespace offset {
inline constexpr std::size_t kStart = 0;
inline constexpr std::size_t kFlags = 1;
inline constexpr std::size_t kPayloadLength = 2;
inline constexpr std::size_t kHeaderRoute0 = 3;
inline constexpr std::size_t kHeaderRoute3 = 4;
inline constexpr std::size_t kCommand1 = 5;
inline constexpr std::size_t kCommand2 = 6;
inline constexpr std::size_t kCommand3 = 7;
inline constexpr std::size_t kControl = 8;  // the status code in a reply
inline constexpr std::size_t kCrcLow = 10;
inline constexpr std::size_t kCrcHigh = 11;
inline constexpr std::size_t kPayload = 12;
}  // namespace offset

// Channel bits of command byte 2 for the channel commands (classes 3, 4, 6, 8).
inline constexpr std::uint8_t kChannelP1 = 0x10;
inline constexpr std::uint8_t kChannelP2 = 0x20;
inline constexpr std::uint8_t kChannel3 = 0x40;
inline constexpr std::uint8_t kChannel4 = 0x80;  // temperature

// Command classes (command byte 1).
inline constexpr std::uint8_t kClassEmpty = 0x00;
inline constexpr std::uint8_t kClassInfo = 0x02;
inline constexpr std::uint8_t kClassUnits = 0x03;
inline constexpr std::uint8_t kClassMeasurements = 0x04;
inline constexpr std::uint8_t kClassOutputKind = 0x05;
inline constexpr std::uint8_t kClassRecalibration = 0x06;
inline constexpr std::uint8_t kClassSensorRange = 0x08;
inline constexpr std::uint8_t kClassLogState = 0x09;
inline constexpr std::uint8_t kClassLogFiles = 0x51;
inline constexpr std::uint8_t kClassLogBlock = 0x52;
inline constexpr std::uint8_t kClassMemory = 0x62;

using FrameBuffer = std::array<std::uint8_t, kFrameBufferSize>;
using RouteBlock = std::array<std::uint8_t, kRouteSize>;

// Computes the frame CRC over header bytes 0-9, then the payload and the route
// block, and stores it low byte first at bytes 10-11. The count after the header
// is the 8-bit sum n + 6; it never reaches beyond the end of `frame`.
bool SealFrame(std::span<std::uint8_t> frame);

// The CRC that SealFrame would store (reply checks in the simulator use it too).
std::uint16_t FrameCrc(std::span<const std::uint8_t> frame);

// Writes header bytes 3 and 4 and, when flag bit 0 is set, the route block at
// 12 + n (long form). With flag bit 0 clear (short form) bytes 3 and 4 take route
// bytes 2 and 5 and no block is written.
void SetFrameRoute(std::span<std::uint8_t> frame, const RouteBlock& route);

// Length of the frame in `frame` as its header announces it: 12 + n + 6.
std::size_t FrameLength(std::span<const std::uint8_t> frame);

// The route block at 12 + n of a frame (zeros where the frame is too short).
RouteBlock FrameRoute(std::span<const std::uint8_t> frame);

// A request as the commands describe it. BuildFrame clears `out`, writes start
// byte, flags 0x01, payload length, command bytes, control byte, payload and
// route, seals it and returns the frame length 18 + n.
struct FrameRequest {
    std::uint8_t command1 = 0;
    std::uint8_t command2 = 0;
    std::uint8_t command3 = 0;
    std::span<const std::uint8_t> payload = {};
    RouteBlock route{};
    std::uint8_t control = 0;
};
std::size_t BuildFrame(FrameBuffer& out, const FrameRequest& request);

// Text of a reply status code; codes without a text of their own give "Error unknown".
std::string StatusText(std::uint8_t code);

// What the checks of a reply found: intact, the transmitter's own "no device
// here" answer, or the first check it failed.
enum class ReplyCheck { Intact, NoDevice, StartByte, Length, Crc, CommandEcho };

// Whether the reply came to harm on the line (an intact reply and a "no device
// here" answer did not).
inline bool IsDamage(ReplyCheck check) { return check != ReplyCheck::Intact && check != ReplyCheck::NoDevice; }

// Whether received bytes are the "no device here" answer: byte 0 is 0xFF or 0xCC.
bool IsNoDeviceAnswer(std::span<const std::uint8_t> received);

// Checks every byte received for a reply against the request it answers: the
// start byte 0x80, as many bytes as byte 2 announces (12 + n + 6, no fewer and
// no more), the CRC over the frame, and command bytes 1-3 echoed. A reply that
// starts with 0xFF or 0xCC is the "no device here" answer and is checked no further.
ReplyCheck CheckReply(std::span<const std::uint8_t> request, std::span<const std::uint8_t> received);

// What a failed check found, e.g. "CRC mismatch".
std::string ReplyDamageReason(ReplyCheck check);
// The status text of a reply that failed its checks, e.g. "Reply damaged: CRC
// mismatch", or "No device at this address" for the "no device here" answer.
std::string ReplyDamageText(ReplyCheck check);

// The Modbus RTU request "restart communications" (function 0x08, sub-function
// 0x0001, data 0xFF00) to `address`, sealed with CRC-16/MODBUS low byte first.
std::array<std::uint8_t, 8> ModbusRestartRequest(std::uint8_t address);

}  // namespace corvel
