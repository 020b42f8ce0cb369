// Class 6: zero, restore factory calibration and the multi-point
// recalibration. Zero and restore reply one status byte per channel of the
// mask; the recalibration operations address one pressure input and reply
//   0 status  2 context byte 1  3 context byte 2  4 current point  5 number of points
//   6 apply f32  10 minimum f32  14 maximum f32  18 live reading f32   (22 bytes)
// Values are in the input's selected unit. A rejection (0x40-0x46) is the
// reply status and the channel status at once.

#include <cmath>

#include "sim/commands.h"

namespace corvel::sim {
namespace {

constexpr std::uint8_t kZero = 0;
constexpr std::uint8_t kRestoreFactory = 1;
constexpr std::uint8_t kStart = 3;
constexpr std::uint8_t kSavePoint = 4;
constexpr std::uint8_t kReadPoint = 5;
constexpr std::uint8_t kFinish = 6;
constexpr float kZeroWindowFraction = 0.05f;  // zero refused beyond 5 % of the span

bool IsPressure(Channel channel) { return channel == Channel::P1 || channel == Channel::P2; }

std::uint8_t ZeroChannel(SimDevice& device, Channel channel, double seconds) {
    if (!device.hasChannel(channel)) return kChannelAbsent;
    if (!IsPressure(channel)) return 0;
    LiveChannel& live = device.live(channel);
    const float reading = live.sample(seconds);
    const PressureInputConfig& input = device.pressureInput(channel);
    if (std::abs(reading) > (input.upperLimit - input.lowerLimit) * kZeroWindowFraction) return kRecalTooFarFromZero;
    live.calibration().offset -= reading;
    return 0;
}

std::uint8_t RestoreChannel(SimDevice& device, Channel channel) {
    if (!device.hasChannel(channel)) return kChannelAbsent;
    if (!IsPressure(channel)) return 0;
    // A transmitter locked against recalibration keeps its calibration.
    if (!device.recalibration(channel).setup().allowed) return kRecalNotAllowed;
    device.live(channel).calibration() = Calibration{};
    return 0;
}

bool IsRecalCode(std::uint8_t status) { return status >= kRecalNotAllowed && status <= kRecalOutOfSequence; }

Reply ZeroOrRestore(const CommandContext& c, const std::vector<Channel>& channels) {
    Reply reply{kStatusGood, Bytes(channels.size(), 0)};
    for (std::size_t i = 0; i < channels.size(); ++i) {
        const std::uint8_t status = c.operation() == kZero ? ZeroChannel(c.device, channels[i], c.seconds)
                                                           : RestoreChannel(c.device, channels[i]);
        reply.payload[i] = status;
        if (reply.status == kStatusGood && IsRecalCode(status)) reply.status = status;
    }
    return reply;
}

Reply Encode(SimDevice& device, Channel channel, const RecalReply& r) {
    Bytes payload(22, 0);
    PutU8(payload, 0, r.status != 0 ? r.status : device.live(channel).status);
    PutU8(payload, 2, r.context1);
    PutU8(payload, 3, r.context2);
    PutU8(payload, 4, r.currentPoint);
    PutU8(payload, 5, r.pointCount);
    PutF32(payload, 6, device.inUnit(channel, r.apply));
    PutF32(payload, 10, device.inUnit(channel, r.minimum));
    PutF32(payload, 14, device.inUnit(channel, r.maximum));
    PutF32(payload, 18, device.inUnit(channel, r.reading));
    return {r.status, payload};
}

// A value in the input's selected unit back in PSI.
float ToBase(SimDevice& device, Channel channel, float value) {
    const UnitInfo* unit = FindUnit(device.unitCode(channel));
    return unit && unit->factor != 0.0f ? value / unit->factor : value;
}

RecalReply Step(const CommandContext& c, Channel channel) {
    Recalibration& recal = c.device.recalibration(channel);
    LiveChannel& live = c.device.live(channel);
    const float reading = live.sample(c.seconds);
    switch (c.operation()) {
    case kStart: return recal.start(reading);
    case kReadPoint: return recal.readPoint(c.payloadByte(2), c.payloadByte(3), reading);
    case kSavePoint:
        return recal.savePoint(c.payloadByte(2), c.payloadByte(3),
                               ToBase(c.device, channel, F32At(c.request.payload, 4)), live.lastRaw(), reading);
    default: {
        std::optional<Calibration> fitted;
        const RecalReply reply = recal.finish(c.payloadByte(2), c.payloadByte(3), fitted);
        if (fitted) live.calibration() = *fitted;
        return reply;
    }
    }
}

}  // namespace

Reply AnswerRecalibration(const CommandContext& c) {
    const std::vector<Channel> channels = ChannelsOf(c.mask());
    if (channels.empty()) return StatusOnly(kStatusUnknownCommand2);
    if (c.request.command3 != 0) return StatusOnly(kStatusUnknownCommand3);
    const std::uint8_t operation = c.operation();
    if (operation == kZero || operation == kRestoreFactory) return ZeroOrRestore(c, channels);
    if (operation < kStart || operation > kFinish) return StatusOnly(kStatusUnknownCommand2);
    if (channels.size() != 1) return StatusOnly(kStatusUnknownCommand2);
    const Channel channel = channels.front();
    if (!IsPressure(channel) || !c.device.hasChannel(channel)) {
        RecalReply refused;
        refused.status = kRecalNotAllowed;
        return Encode(c.device, Channel::P1, refused);
    }
    return Encode(c.device, channel, Step(c, channel));
}

}  // namespace corvel::sim
