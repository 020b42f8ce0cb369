// Class 0x62: memory map access. Request payload: 0 count, 2 address (u32),
// then the data of a write. Reply payload:
//   0 individual status (0)  2 count  4 address  8 data (reads only)
// so that data read starts at reply byte 20. The receiver route byte picks
// the module's map. A range outside the map, a short write or an invalid
// network address (0 or 255) is refused with status 0x11.

#include "sim/commands.h"

namespace corvel::sim {
namespace {

constexpr std::uint8_t kRead = 0x08;
constexpr std::uint8_t kWrite = 0x88;
constexpr std::size_t kHeader = 8;
constexpr std::size_t kLongestRead = 255 - kHeader;

Bytes ReplyHeader(std::uint8_t count, std::uint32_t at) {
    Bytes payload(kHeader, 0);
    PutU8(payload, 2, count);
    PutU32(payload, 4, at);
    return payload;
}

bool ValidWrite(std::uint32_t at, ByteSpan data) {
    const bool touchesAddress = at <= address::kNetworkAddress && address::kNetworkAddress - at < data.size();
    if (!touchesAddress) return true;
    const std::uint8_t value = data[address::kNetworkAddress - at];
    return value != 0 && value != 255;
}

Reply Read(const CommandContext& c, std::uint8_t count, std::uint32_t at) {
    if (count > kLongestRead) return StatusOnly(kStatusUnknownCommand2);
    const auto data = c.device.memory(c.module()).read(at, count);
    if (!data) return StatusOnly(kStatusUnknownCommand2);
    Bytes payload = ReplyHeader(count, at);
    payload.insert(payload.end(), data->begin(), data->end());
    return {kStatusGood, payload};
}

Reply Write(const CommandContext& c, std::uint8_t count, std::uint32_t at) {
    const ByteSpan payload(c.request.payload);
    if (payload.size() < kHeader - 2 + count) return StatusOnly(kStatusUnknownCommand2);
    const ByteSpan data = payload.subspan(kHeader - 2, count);
    if (!ValidWrite(at, data) || !c.device.memory(c.module()).write(at, data))
        return StatusOnly(kStatusUnknownCommand2);
    return {kStatusGood, ReplyHeader(count, at)};
}

}  // namespace

Reply AnswerMemory(const CommandContext& c) {
    if (c.request.command2 != kRead && c.request.command2 != kWrite) return StatusOnly(kStatusUnknownCommand2);
    if (c.request.command3 != 0) return StatusOnly(kStatusUnknownCommand3);
    if (c.request.payload.size() < 6) return StatusOnly(kStatusUnknownCommand2);
    const std::uint8_t count = c.payloadByte(0);
    const std::uint32_t at = U32At(c.request.payload, 2);
    return c.request.command2 == kRead ? Read(c, count, at) : Write(c, count, at);
}

}  // namespace corvel::sim
