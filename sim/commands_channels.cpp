// The channel commands without state machine: engineering units (class 3),
// measurements (class 4) and sensor range (class 8). Records follow one
// another from reply byte 12 in mask order (P1, P2, third, temperature).
//
//   unit record (18):        0 status (1 = invalid unit code)  1 unit code  2 attribute
//                            3 accuracy digits  4 precision digits  6 name (8)  14 factor f32
//   measurement record (16): 0 status  1 accuracy digits  2 precision digits
//                            4 value f32  8 minimum f32  12 maximum f32
//   range record (8):        0 status  1 unit code  3 damping mode  4 upper limit f32

#include "sim/commands.h"

namespace corvel::sim {
namespace {

constexpr std::size_t kUnitRecordSize = 18;
constexpr std::size_t kMeasurementRecordSize = 16;
constexpr std::size_t kRangeRecordSize = 8;
constexpr std::uint8_t kInvalidUnitCode = 1;

constexpr std::uint8_t kUnitsRead = 0;
constexpr std::uint8_t kUnitsWrite = 1;
constexpr std::uint8_t kUnitsLookUp = 2;

constexpr std::uint8_t kMeasureRead = 0;
constexpr std::uint8_t kMeasureRestart = 1;
constexpr std::uint8_t kMeasureMinMax = 2;

void PutUnitRecord(MutableByteSpan record, std::uint8_t status, std::uint8_t code) {
    PutU8(record, 0, status);
    PutU8(record, 1, code);
    const UnitInfo* unit = FindUnit(code);
    if (!unit) return;
    PutU8(record, 2, unit->attribute);
    PutU8(record, 3, static_cast<std::uint8_t>(unit->accuracyDigits));
    PutU8(record, 4, static_cast<std::uint8_t>(unit->precisionDigits));
    PutText(record, 6, 8, unit->name);
    PutF32(record, 14, unit->factor);
}

MutableByteSpan RecordAt(Bytes& payload, std::size_t index, std::size_t size) {
    return MutableByteSpan(payload).subspan(index * size, size);
}

std::uint8_t CurrentStatus(SimDevice& device, Channel channel) {
    return device.hasChannel(channel) ? device.live(channel).status : kChannelAbsent;
}

// Writes the unit code of each channel from the payload (one byte per channel).
Reply WriteUnits(const CommandContext& c, const std::vector<Channel>& channels) {
    Bytes payload(channels.size() * kUnitRecordSize, 0);
    for (std::size_t i = 0; i < channels.size(); ++i) {
        const bool accepted = c.device.selectUnit(channels[i], c.payloadByte(i));
        const std::uint8_t status = accepted ? CurrentStatus(c.device, channels[i])
                                             : (c.device.hasChannel(channels[i]) ? kInvalidUnitCode : kChannelAbsent);
        PutUnitRecord(RecordAt(payload, i, kUnitRecordSize), status, c.device.unitCode(channels[i]));
    }
    return {kStatusGood, payload};
}

Reply ReadUnits(const CommandContext& c, const std::vector<Channel>& channels) {
    Bytes payload(channels.size() * kUnitRecordSize, 0);
    for (std::size_t i = 0; i < channels.size(); ++i) {
        const std::uint8_t status = CurrentStatus(c.device, channels[i]);
        const std::uint8_t code = status == kChannelAbsent ? 0 : c.device.unitCode(channels[i]);
        PutUnitRecord(RecordAt(payload, i, kUnitRecordSize), status, code);
    }
    return {kStatusGood, payload};
}

// One record per channel from P1 up to the one asked for: that one carries the
// looked-up unit, the ones before it their selected unit.
Reply LookUpUnit(const CommandContext& c, const std::vector<Channel>& channels) {
    if (channels.size() != 1) return StatusOnly(kStatusUnknownCommand2);
    const auto position = static_cast<std::size_t>(channels.front());
    Bytes payload((position + 1) * kUnitRecordSize, 0);
    for (std::size_t i = 0; i < position; ++i)
        PutUnitRecord(RecordAt(payload, i, kUnitRecordSize), 0, c.device.unitCode(kAllChannels[i]));
    const std::uint8_t code = c.payloadByte(0);
    PutUnitRecord(RecordAt(payload, position, kUnitRecordSize), FindUnit(code) ? 0 : kInvalidUnitCode, code);
    return {kStatusGood, payload};
}

void PutMeasurement(MutableByteSpan record, SimDevice& device, Channel channel, double seconds) {
    if (!device.hasChannel(channel)) {
        PutU8(record, 0, kChannelAbsent);
        return;
    }
    const float value = device.readInUnit(channel, seconds);
    const UnitInfo* unit = FindUnit(device.unitCode(channel));
    PutU8(record, 0, device.live(channel).status);
    PutU8(record, 1, static_cast<std::uint8_t>(unit ? unit->accuracyDigits : 0));
    PutU8(record, 2, static_cast<std::uint8_t>(unit ? unit->precisionDigits : 0));
    PutF32(record, 4, value);
    PutF32(record, 8, device.inUnit(channel, device.live(channel).minimum()));
    PutF32(record, 12, device.inUnit(channel, device.live(channel).maximum()));
}

}  // namespace

Reply AnswerUnits(const CommandContext& c) {
    const std::vector<Channel> channels = ChannelsOf(c.mask());
    if (channels.empty()) return StatusOnly(kStatusUnknownCommand2);
    if (c.request.command3 != 0) return StatusOnly(kStatusUnknownCommand3);
    switch (c.operation()) {
    case kUnitsRead: return ReadUnits(c, channels);
    case kUnitsWrite: return WriteUnits(c, channels);
    case kUnitsLookUp: return LookUpUnit(c, channels);
    default: return StatusOnly(kStatusUnknownCommand2);
    }
}

Reply AnswerMeasurements(const CommandContext& c) {
    const std::vector<Channel> channels = ChannelsOf(c.mask());
    const std::uint8_t operation = c.operation();
    if (channels.empty() || (operation != kMeasureRead && operation != kMeasureRestart && operation != kMeasureMinMax))
        return StatusOnly(kStatusUnknownCommand2);
    if (c.request.command3 != 0) return StatusOnly(kStatusUnknownCommand3);
    Bytes payload(channels.size() * kMeasurementRecordSize, 0);
    for (std::size_t i = 0; i < channels.size(); ++i) {
        if (operation == kMeasureRestart && c.device.hasChannel(channels[i])) c.device.live(channels[i]).restartMinMax();
        PutMeasurement(RecordAt(payload, i, kMeasurementRecordSize), c.device, channels[i], c.seconds);
    }
    return {kStatusGood, payload};
}

Reply AnswerSensorRange(const CommandContext& c) {
    if (!c.device.config().smartDamping) return StatusOnly(kStatusUnknownCommand1);
    const std::vector<Channel> channels = ChannelsOf(c.mask());
    if (channels.empty() || c.operation() != 0) return StatusOnly(kStatusUnknownCommand2);
    if (c.request.command3 != 0) return StatusOnly(kStatusUnknownCommand3);
    Bytes payload(channels.size() * kRangeRecordSize, 0);
    const MemoryMap& memory = c.device.memory(kPressureModule);
    for (std::size_t i = 0; i < channels.size(); ++i) {
        const Channel channel = channels[i];
        MutableByteSpan record = RecordAt(payload, i, kRangeRecordSize);
        PutU8(record, 0, CurrentStatus(c.device, channel));
        if ((channel != Channel::P1 && channel != Channel::P2) || !c.device.hasChannel(channel)) continue;
        PutU8(record, 1, c.device.unitCode(channel));
        PutU8(record, 3, memory.u8(channel == Channel::P1 ? address::kDampingModeP1 : address::kDampingModeP2));
        PutF32(record, 4, c.device.inUnit(channel, c.device.pressureInput(channel).upperLimit));
    }
    return {kStatusGood, payload};
}

}  // namespace corvel::sim
