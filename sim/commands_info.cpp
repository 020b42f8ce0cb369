// Class 0 (empty command), class 2 (information records) and class 5
// (output kind).
//
// Information record payloads (offset = reply byte - 12); every read starts
// with the record number and a zero byte:
//   0x00 identity       2: serial number (16)  18: model code (8)  30: version text (16)
//   0x11/0x21 sensor    2: sensor label  4: unit code  6: lower limit f32  10: upper limit f32 (32 bytes)
//   0xC0 description    2: text (128)
//   0xC1 tag and asset  2: tag (32)  34: asset (32)
//   0x80 manufacturing  2: serial number (16)  36: record text (44)  80: LSL f32  84: USL f32 (118 bytes)
// Limits are given in the input's selected unit.

#include <algorithm>

#include "sim/commands.h"

namespace corvel::sim {
namespace {

constexpr std::uint8_t kRead = 0x00;
constexpr std::uint8_t kWrite = 0x80;
constexpr std::uint8_t kIdentity = 0x00;
constexpr std::uint8_t kSensorP1 = 0x11;
constexpr std::uint8_t kSensorP2 = 0x21;
constexpr std::uint8_t kDescription = 0xC0;
constexpr std::uint8_t kTagAndAsset = 0xC1;
constexpr std::uint8_t kManufacturing = 0x80;

Bytes RecordPayload(std::uint8_t record, std::size_t size) {
    Bytes payload(size, 0);
    payload[0] = record;
    return payload;
}

Reply Identity(SimDevice& device) {
    Bytes payload = RecordPayload(kIdentity, 46);
    PutText(payload, 2, 16, device.config().serialNumber);
    PutText(payload, 18, 8, device.config().modelCode);
    PutText(payload, 30, 16, device.config().version);
    return {kStatusGood, payload};
}

Reply SensorInfo(SimDevice& device, Channel channel, std::uint8_t record) {
    if (!device.hasChannel(channel)) return StatusOnly(kStatusUnknownCommand3);
    const PressureInputConfig& input = device.pressureInput(channel);
    Bytes payload = RecordPayload(record, 32);
    PutU8(payload, 2, static_cast<std::uint8_t>(input.label));
    PutU8(payload, 4, device.unitCode(channel));
    PutF32(payload, 6, device.inUnit(channel, input.lowerLimit));
    PutF32(payload, 10, device.inUnit(channel, input.upperLimit));
    return {kStatusGood, payload};
}

template <std::size_t N>
void CopyField(MutableByteSpan to, std::size_t at, const std::array<std::uint8_t, N>& field) {
    std::copy(field.begin(), field.end(), to.begin() + static_cast<std::ptrdiff_t>(at));
}

template <std::size_t N>
void StoreField(std::array<std::uint8_t, N>& field, ByteSpan payload, std::size_t at) {
    for (std::size_t i = 0; i < N; ++i) field[i] = U8At(payload, at + i);
}

Reply Description(const CommandContext& c, bool write) {
    if (write) StoreField(c.device.description(), c.request.payload, 2);
    Bytes payload = RecordPayload(kDescription, write ? 2 : 2 + kDescriptionSize);
    if (!write) CopyField(payload, 2, c.device.description());
    return {kStatusGood, payload};
}

Reply TagAndAsset(const CommandContext& c, bool write) {
    if (write) {
        StoreField(c.device.tag(), c.request.payload, 2);
        StoreField(c.device.asset(), c.request.payload, 2 + kTagSize);
    }
    Bytes payload = RecordPayload(kTagAndAsset, write ? 2 : 2 + 2 * kTagSize);
    if (!write) {
        CopyField(payload, 2, c.device.tag());
        CopyField(payload, 2 + kTagSize, c.device.asset());
    }
    return {kStatusGood, payload};
}

Reply Manufacturing(SimDevice& device) {
    Bytes payload = RecordPayload(kManufacturing, 118);
    PutText(payload, 2, 16, device.config().serialNumber);
    PutText(payload, 36, 44, device.config().manufacturingRecord);
    PutF32(payload, 80, device.inUnit(Channel::P1, device.config().p1.lowerLimit));
    PutF32(payload, 84, device.inUnit(Channel::P1, device.config().p1.upperLimit));
    return {kStatusGood, payload};
}

Reply ReadRecord(const CommandContext& c) {
    switch (c.request.command3) {
    case kIdentity: return Identity(c.device);
    case kSensorP1: return SensorInfo(c.device, Channel::P1, kSensorP1);
    case kSensorP2: return SensorInfo(c.device, Channel::P2, kSensorP2);
    case kDescription: return Description(c, false);
    case kTagAndAsset: return TagAndAsset(c, false);
    case kManufacturing: return Manufacturing(c.device);
    default: return StatusOnly(kStatusUnknownCommand3);
    }
}

Reply WriteRecord(const CommandContext& c) {
    switch (c.request.command3) {
    case kDescription: return Description(c, true);
    case kTagAndAsset: return TagAndAsset(c, true);
    case kIdentity:
    case kSensorP1:
    case kSensorP2:
    case kManufacturing: return StatusOnly(kStatusUnknownCommand2);  // read-only records
    default: return StatusOnly(kStatusUnknownCommand3);
    }
}

}  // namespace

Reply AnswerEmpty(const CommandContext& c) {
    if (c.request.command2 != 0) return StatusOnly(kStatusUnknownCommand2);
    if (c.request.command3 != 0) return StatusOnly(kStatusUnknownCommand3);
    return StatusOnly(kStatusGood);
}

Reply AnswerInformation(const CommandContext& c) {
    if (c.request.command2 == kRead) return ReadRecord(c);
    if (c.request.command2 == kWrite) return WriteRecord(c);
    return StatusOnly(kStatusUnknownCommand2);
}

// Payload: 2: output kind ('@' volts, anything else milliamps), 4 bytes.
Reply AnswerOutputKind(const CommandContext& c) {
    if (!c.device.config().hasOutputModule) return StatusOnly(kStatusUnknownCommand1);
    if (c.request.command2 != 0) return StatusOnly(kStatusUnknownCommand2);
    if (c.request.command3 != 0) return StatusOnly(kStatusUnknownCommand3);
    Bytes payload(4, 0);
    payload[2] = c.device.config().outputKind;
    return {kStatusGood, payload};
}

}  // namespace corvel::sim
