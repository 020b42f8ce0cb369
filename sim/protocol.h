#pragma once
// The transmitter's side of the protocol as pure functions: cut request frames
// out of received bytes, check them, answer them from a SimDevice and lay out
// the reply frame. No I/O and no clock of its own: the caller passes the time.

#include <cstdint>
#include <optional>
#include <vector>

#include "common/bytes.h"
#include "link/frame.h"

namespace corvel::sim {

class SimDevice;

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::uint8_t kStatusGood = 0x00;
inline constexpr std::uint8_t kStatusBadCrc = 0x02;
inline constexpr std::uint8_t kStatusIncomplete = 0x03;
inline constexpr std::uint8_t kStatusUnknownCommand1 = 0x10;
inline constexpr std::uint8_t kStatusUnknownCommand2 = 0x11;
inline constexpr std::uint8_t kStatusUnknownCommand3 = 0x12;

struct Request {
    std::uint8_t command1 = 0;
    std::uint8_t command2 = 0;
    std::uint8_t command3 = 0;
    std::uint8_t control = 0;
    Bytes payload;
    RouteBlock route{};
};

struct Reply {
    std::uint8_t status = kStatusGood;
    Bytes payload;
};

// The length of the frame at the front of `bytes` (12 + n + 6) once byte 2 has
// arrived, else nothing.
std::optional<std::size_t> AnnouncedLength(ByteSpan bytes);

// The fields of a whole frame; the CRC is checked separately.
Request ParseRequest(ByteSpan frame);
bool CrcMatches(ByteSpan frame);

// The device's answer to a well-formed request, `seconds` being the device clock.
Reply Answer(SimDevice& device, const Request& request, double seconds);

// The reply frame: header with the request's command bytes echoed, the status,
// the payload and the route block (sender: this device's address, 0xF0, the
// module asked for or 40; receiver: the request's sender), sealed.
Bytes EncodeReply(const Request& request, const Reply& reply, std::uint8_t deviceAddress);

// The reply to a frame that cannot be answered as a command (bad CRC,
// incomplete): the status with an empty payload, echoing what the header holds.
Bytes EncodeErrorReply(ByteSpan partialFrame, std::uint8_t status, std::uint8_t deviceAddress);

}  // namespace corvel::sim
