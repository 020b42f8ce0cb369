#pragma once
// Frames read back for people: which operation a request frame asks for (by
// the name the link's commands carry, e.g. "ReadMeasurements"), its channels
// and its addressee, and what a reply says (status text, reply check). Pure
// functions over bytes; the protocol trace and the bus monitor show these.

#include <cstdint>
#include <string>

#include "common/bytes.h"
#include "link/frame.h"

namespace corvel {

struct DecodedRequest {
    std::string operation;        // "ReadMeasurements", or "Unknown" for a command the link never sends
    std::uint8_t channelMask = 0;  // channel bits of command byte 2 (channel commands only)
    bool withMinMax = false;       // a measurement read that also asks for the minimum and maximum
    RouteBlock route{};
    bool memoryAccess = false;  // class 0x62: the address and count below are set
    std::uint32_t memoryAddress = 0;
    std::uint8_t memoryCount = 0;
};

// What a request frame asks for. A frame too short for its header decodes as
// "Unknown"; the Modbus restart request as "SendModbusExitSequence".
DecodedRequest DecodeRequest(ByteSpan request);

// "P1 P2 T" for the channel bits 0x10, 0x20 and 0x80 ("Ch3" for 0x40).
std::string ChannelMaskText(std::uint8_t mask);

// One line for a request: "ReadMeasurements P1 P2 T min/max, to 40/64"
// (channels, memory address and count where they apply; the receiver's node
// and module number).
std::string RequestSummary(ByteSpan request);

// The reply's status text ("Good", "Command 1 not supported in current mode"),
// or empty when the reply is too short to hold a status byte or is the
// "no device here" answer.
std::string ReplyStatusText(ByteSpan reply);

// The reply check in a word or two: "OK", "No device", "No reply", or what a
// damaged reply failed ("CRC mismatch").
std::string ReplyCheckText(bool replied, ReplyCheck check);

// Bytes in hexadecimal, separated by blanks ("80 01 AF").
std::string HexBytes(ByteSpan bytes);

}  // namespace corvel
