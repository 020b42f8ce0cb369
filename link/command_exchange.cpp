#include "link/command_exchange.h"

#include <algorithm>
#include <bit>

namespace corvel::command {

namespace {

constexpr int kMoreTriesOfAReading = 2;

bool Damaged(const DeviceSession& session) { return IsDamage(session.replyCheck); }

// Runs the exchange; a request that only reads is asked again, up to twice,
// after a damaged reply. A damaged reply that is not let through, and the
// "no device here" answer, leave the reply buffer as it was before, so that
// none of their bytes is decoded.
bool Run(DeviceSession& session, const FrameRequest& request, std::uint8_t firstRead, FrameBuffer& frame,
         FrameBuffer& reply) {
    const std::size_t length = BuildFrame(frame, request);
    const FrameBuffer before = reply;
    bool exchanged = session.SerialTransact(frame, static_cast<std::uint8_t>(length), reply, firstRead);
    for (int tries = 0; !exchanged && Damaged(session) && tries < kMoreTriesOfAReading && OnlyReads(request);
         ++tries) {
        reply = before;
        session.automaticRepeat = static_cast<std::uint8_t>(tries + 1);
        exchanged = session.SerialTransact(frame, static_cast<std::uint8_t>(length), reply, firstRead);
    }
    session.automaticRepeat = 0;
    if (!exchanged && session.replyCheck != ReplyCheck::Intact) reply = before;
    session.lastExchangeSucceeded = exchanged;
    return exchanged;
}

}  // namespace

bool Exchange(DeviceSession& session, const FrameRequest& request, std::uint8_t firstRead, FrameBuffer& reply) {
    FrameBuffer frame{};
    reply.fill(0);
    return Run(session, request, firstRead, frame, reply);
}

bool ExchangeInSession(DeviceSession& session, const FrameRequest& request, std::uint8_t firstRead) {
    return Run(session, request, firstRead, session.requestFrame, session.replyFrame);
}

bool OnlyReads(const FrameRequest& request) {
    constexpr std::uint8_t kWriteBit = 0x80;
    constexpr std::uint8_t kUnitsWrite = 0x01;
    constexpr std::uint8_t kLogDirectory = 0x41;
    constexpr std::uint8_t kMeasurementsRestartMinMax = 0x01;
    switch (request.command1) {
        case kClassInfo: return (request.command2 & kWriteBit) == 0;
        case kClassUnits: return (request.command2 & 0x0F) != kUnitsWrite;
        case kClassMeasurements: return (request.command2 & 0x0F) != kMeasurementsRestartMinMax;
        case kClassOutputKind:
        case kClassSensorRange: return true;
        case kClassMemory: return request.command2 == kMemoryRead;
        case kClassLogFiles: return request.command2 == kLogDirectory;
        default: return false;  // the empty command, recalibration, log state and log blocks change the transmitter
    }
}

bool Accepted(DeviceSession& session, bool exchanged, const FrameBuffer& reply) {
    if (!exchanged) return false;
    const std::uint8_t status = ReplyStatus(reply);
    if (status == 0) return true;
    session.SetStatusText(status);
    return false;
}

std::uint8_t MaskBits(const ChannelMask& channels) {
    return static_cast<std::uint8_t>((channels.p1 ? kChannelP1 : 0) | (channels.p2 ? kChannelP2 : 0) |
                                     (channels.channel3 ? kChannel3 : 0) | (channels.channel4 ? kChannel4 : 0));
}

int ChannelCount(std::uint8_t mask) { return std::popcount(static_cast<std::uint8_t>(mask & 0xF0)); }

std::vector<std::uint8_t> MemoryReadPayload(std::uint32_t address, std::uint8_t count) {
    std::vector<std::uint8_t> payload(6, 0);
    payload[0] = count;
    PutU32(payload, 2, address);
    return payload;
}

std::vector<std::uint8_t> MemoryWritePayload(std::uint32_t address, ByteSpan data) {
    std::vector<std::uint8_t> payload = MemoryReadPayload(address, static_cast<std::uint8_t>(data.size()));
    payload.insert(payload.end(), data.begin(), data.end());
    return payload;
}

std::vector<std::uint8_t> PaddedPayload(std::initializer_list<std::uint8_t> leading, std::size_t size) {
    std::vector<std::uint8_t> payload(std::max(size, leading.size()), 0);
    std::copy(leading.begin(), leading.end(), payload.begin());
    return payload;
}

RouteBlock WithModule(RouteBlock route, std::uint8_t module) {
    route[5] = module;
    return route;
}

}  // namespace corvel::command
