#include "sim/protocol.h"

#include <algorithm>

#include "sim/commands.h"

namespace corvel::sim {

std::optional<std::size_t> AnnouncedLength(ByteSpan bytes) {
    if (bytes.size() <= offset::kPayloadLength) return std::nullopt;
    return kHeaderSize + bytes[offset::kPayloadLength] + kRouteSize;
}

Request ParseRequest(ByteSpan frame) {
    Request request;
    request.command1 = U8At(frame, offset::kCommand1);
    request.command2 = U8At(frame, offset::kCommand2);
    request.command3 = U8At(frame, offset::kCommand3);
    request.control = U8At(frame, offset::kControl);
    const std::size_t n = U8At(frame, offset::kPayloadLength);
    for (std::size_t i = 0; i < n; ++i) request.payload.push_back(U8At(frame, kHeaderSize + i));
    request.route = FrameRoute(frame);
    return request;
}

bool CrcMatches(ByteSpan frame) {
    const std::uint16_t stored = U16At(frame, offset::kCrcLow);
    return frame.size() >= kHeaderSize && FrameCrc(frame) == stored;
}

std::vector<Channel> ChannelsOf(std::uint8_t mask) {
    std::vector<Channel> channels;
    for (Channel channel : kAllChannels)
        if (mask & (0x10 << static_cast<int>(channel))) channels.push_back(channel);
    return channels;
}

namespace {

// A request that changes a setting: a units write, an information record
// write or a memory write.
bool ChangesSetting(const Request& request) {
    switch (request.command1) {
    case 0x02: return request.command2 == 0x80;
    case 0x03: return (request.command2 & 0x0F) == 1;
    case 0x62: return request.command2 == 0x88;
    default: return false;
    }
}

}  // namespace

Reply Answer(SimDevice& device, const Request& request, double seconds) {
    const CommandContext context{device, request, seconds};
    if (ChangesSetting(request)) ++device.settingWrites;
    switch (request.command1) {
    case 0x00: return AnswerEmpty(context);
    case 0x02: return AnswerInformation(context);
    case 0x03: return AnswerUnits(context);
    case 0x04: return AnswerMeasurements(context);
    case 0x05: return AnswerOutputKind(context);
    case 0x06: return AnswerRecalibration(context);
    case 0x08: return AnswerSensorRange(context);
    case 0x09: return AnswerLogState(context);
    case 0x51: return AnswerLogFiles(context);
    case 0x52: return AnswerLogBlock(context);
    case 0x62: return AnswerMemory(context);
    default: return StatusOnly(kStatusUnknownCommand1);
    }
}

namespace {

Bytes EncodeFrame(const std::array<std::uint8_t, 3>& command, std::uint8_t status, ByteSpan payload,
                  const RouteBlock& route) {
    const std::size_t n = std::min<std::size_t>(payload.size(), 255);
    Bytes frame(kHeaderSize + n + kRouteSize, 0);
    frame[offset::kStart] = kStartByte;
    frame[offset::kFlags] = kFlagRouteFollows;
    frame[offset::kPayloadLength] = static_cast<std::uint8_t>(n);
    frame[offset::kCommand1] = command[0];
    frame[offset::kCommand2] = command[1];
    frame[offset::kCommand3] = command[2];
    frame[offset::kControl] = status;
    std::copy_n(payload.begin(), n, frame.begin() + kHeaderSize);
    SetFrameRoute(frame, route);
    SealFrame(frame);
    return frame;
}

RouteBlock ReplyRoute(const RouteBlock& requestRoute, std::uint8_t deviceAddress) {
    const std::uint8_t module = requestRoute[5] != 0 ? requestRoute[5] : kCommunicationModule;
    return {deviceAddress, 0xF0, module, requestRoute[0], requestRoute[1], requestRoute[2]};
}

}  // namespace

Bytes EncodeReply(const Request& request, const Reply& reply, std::uint8_t deviceAddress) {
    return EncodeFrame({request.command1, request.command2, request.command3}, reply.status, reply.payload,
                       ReplyRoute(request.route, deviceAddress));
}

Bytes EncodeErrorReply(ByteSpan partialFrame, std::uint8_t status, std::uint8_t deviceAddress) {
    const RouteBlock heard = FrameRoute(partialFrame);
    const RouteBlock route{U8At(partialFrame, offset::kHeaderRoute0), heard[1], heard[2], 0, 0, heard[5]};
    return EncodeFrame({U8At(partialFrame, offset::kCommand1), U8At(partialFrame, offset::kCommand2),
                        U8At(partialFrame, offset::kCommand3)},
                       status, {}, ReplyRoute(route, deviceAddress));
}

}  // namespace corvel::sim
