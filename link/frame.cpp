#include "link/frame.h"

#include <algorithm>

#include "link/crc.h"

namespace corvel {

std::uint16_t FrameCrc(std::span<const std::uint8_t> frame) {
    if (frame.size() < kHeaderSize) return 0;
    std::uint16_t crc = Crc16Update(0, frame.data(), 10);
    const std::uint8_t afterHeader = static_cast<std::uint8_t>(frame[offset::kPayloadLength] + kRouteSize);
    const std::size_t covered = std::min<std::size_t>(afterHeader, frame.size() - kHeaderSize);
    return Crc16Update(crc, frame.data() + kHeaderSize, covered);
}

bool SealFrame(std::span<std::uint8_t> frame) {
    if (frame.size() < kHeaderSize) return false;
    const std::uint16_t crc = FrameCrc(frame);
    frame[offset::kCrcLow] = static_cast<std::uint8_t>(crc);
    frame[offset::kCrcHigh] = static_cast<std::uint8_t>(crc >> 8);
    return true;
}

void SetFrameRoute(std::span<std::uint8_t> frame, const RouteBlock& route) {
    if (frame.size() < kHeaderSize) return;
    if (!(frame[offset::kFlags] & kFlagRouteFollows)) {
        frame[offset::kHeaderRoute0] = route[2];
        frame[offset::kHeaderRoute3] = route[5];
        return;
    }
    frame[offset::kHeaderRoute0] = route[0];
    frame[offset::kHeaderRoute3] = route[3];
    const std::size_t at = kHeaderSize + frame[offset::kPayloadLength];
    for (std::size_t i = 0; i < kRouteSize && at + i < frame.size(); ++i) frame[at + i] = route[i];
}

std::size_t FrameLength(std::span<const std::uint8_t> frame) {
    const std::size_t n = frame.size() > offset::kPayloadLength ? frame[offset::kPayloadLength] : 0;
    return kHeaderSize + n + kRouteSize;
}

RouteBlock FrameRoute(std::span<const std::uint8_t> frame) {
    RouteBlock route{};
    const std::size_t at = FrameLength(frame) - kRouteSize;
    for (std::size_t i = 0; i < kRouteSize; ++i) route[i] = at + i < frame.size() ? frame[at + i] : 0;
    return route;
}

std::size_t BuildFrame(FrameBuffer& out, const FrameRequest& request) {
    out.fill(0);
    const std::size_t n = std::min(request.payload.size(), kFrameBufferSize - kHeaderSize - kRouteSize);
    out[offset::kStart] = kStartByte;
    out[offset::kFlags] = kFlagRouteFollows;
    out[offset::kPayloadLength] = static_cast<std::uint8_t>(n);
    out[offset::kCommand1] = request.command1;
    out[offset::kCommand2] = request.command2;
    out[offset::kCommand3] = request.command3;
    out[offset::kControl] = request.control;
    std::copy_n(request.payload.begin(), n, out.begin() + kHeaderSize);
    SetFrameRoute(out, request.route);
    SealFrame(out);
    return kHeaderSize + n + kRouteSize;
}

std::string StatusText(std::uint8_t code) {
    switch (code) {
    case 0x00: return "Good";
    case 0x01: return "Instrument busy, message discarded";
    case 0x02: return "Message CRC invalid, message discarded";
    case 0x03: return "Message incomplete after timeout, message discarded";
    case 0x10: return "Command 1 not supported or invalid";
    case 0x11: return "Command 2 not supported or invalid";
    case 0x12: return "Command 3 not supported or invalid";
    case 0x13: return "Command 1 not supported in current mode";
    case 0x14: return "Command 2 not supported in current mode";
    case 0x15: return "Command 3 not supported in current mode";
    case 0xF0: return "POST failed";
    case 0xF1: return "Hardware missing / incomplete / failed";
    case 0xF2: return "Main program not loaded, bootloader only";
    case 0xF3: return "Memory map blank / not loaded";
    case 0xF4: return "Memory map type / version unsupported";
    default: return "Error unknown";
    }
}

}  // namespace corvel

namespace corvel {

std::array<std::uint8_t, 8> ModbusRestartRequest(std::uint8_t address) {
    std::array<std::uint8_t, 8> request{address, 0x08, 0x00, 0x01, 0xFF, 0x00, 0, 0};
    const std::uint16_t crc = ModbusCrc16(request.data());
    request[6] = static_cast<std::uint8_t>(crc);
    request[7] = static_cast<std::uint8_t>(crc >> 8);
    return request;
}

}  // namespace corvel

namespace corvel {

bool IsNoDeviceAnswer(std::span<const std::uint8_t> received) {
    return !received.empty() && (received[0] == 0xFF || received[0] == 0xCC);
}

ReplyCheck CheckReply(std::span<const std::uint8_t> request, std::span<const std::uint8_t> received) {
    if (IsNoDeviceAnswer(received)) return ReplyCheck::NoDevice;
    if (received.empty() || received[0] != kStartByte) return ReplyCheck::StartByte;
    if (received.size() <= offset::kPayloadLength || received.size() != FrameLength(received)) return ReplyCheck::Length;
    const std::uint16_t crc = FrameCrc(received);
    if (received[offset::kCrcLow] != static_cast<std::uint8_t>(crc) ||
        received[offset::kCrcHigh] != static_cast<std::uint8_t>(crc >> 8)) {
        return ReplyCheck::Crc;
    }
    for (const std::size_t at : {offset::kCommand1, offset::kCommand2, offset::kCommand3}) {
        if (at >= request.size() || request[at] != received[at]) return ReplyCheck::CommandEcho;
    }
    return ReplyCheck::Intact;
}

std::string ReplyDamageReason(ReplyCheck check) {
    switch (check) {
        case ReplyCheck::StartByte: return "wrong start byte";
        case ReplyCheck::Length: return "not the length it announces";
        case ReplyCheck::Crc: return "CRC mismatch";
        case ReplyCheck::CommandEcho: return "not the answer to this request";
        case ReplyCheck::NoDevice:
        case ReplyCheck::Intact: break;
    }
    return "";
}

std::string ReplyDamageText(ReplyCheck check) {
    if (check == ReplyCheck::NoDevice) return "No device at this address";
    if (!IsDamage(check)) return "";
    return "Reply damaged: " + ReplyDamageReason(check);
}

}  // namespace corvel
