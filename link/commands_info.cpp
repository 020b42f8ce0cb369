// Class 0 (empty command) and class 2 (information records), with the unit
// look-up (class 3, operation 2) that the sensor information records use.

#include <string>

#include "link/command_exchange.h"
#include "link/device_session.h"
#include "common/number_format.h"

namespace corvel {

namespace {

constexpr std::uint8_t kInfoRead = 0x00;
constexpr std::uint8_t kInfoWrite = 0x80;
constexpr std::uint8_t kUnitLookUp = 0x02;

constexpr std::uint8_t kRecordIdentity = 0x00;
constexpr std::uint8_t kRecordSensorP1 = 0x11;
constexpr std::uint8_t kRecordSensorP2 = 0x21;
constexpr std::uint8_t kRecordManufacturing = 0x80;
constexpr std::uint8_t kRecordDescription = 0xC0;
constexpr std::uint8_t kRecordTagAndAsset = 0xC1;

constexpr std::size_t kSerialNumberLength = 10;
constexpr std::size_t kDescriptionLength = 128;
constexpr std::size_t kTagLength = 32;
constexpr std::size_t kAssetLength = 32;
constexpr std::size_t kUnitNameLength = 8;
constexpr std::uint8_t kUnprogrammed = 0xCC;

FrameRequest InfoRequest(std::uint8_t record, const RouteBlock& route, ByteSpan payload = {},
                         std::uint8_t operation = kInfoRead) {
    return FrameRequest{kClassInfo, operation, record, payload, route, 0};
}

// A text field of an information record: bytes 0xCC (unprogrammed memory) go
// out as zero bytes.
void PutRecordText(std::vector<std::uint8_t>& payload, std::size_t offset, std::size_t size, const std::string& text) {
    PutText(payload, offset, size, text);
    for (std::size_t i = offset; i < offset + size && i < payload.size(); ++i)
        if (payload[i] == kUnprogrammed) payload[i] = 0;
}

// An information-record text that counts as empty when its sixth byte is
// unprogrammed (0xCC) or its sixth and seventh bytes both hold `erasedByte`.
std::string RecordText(const FrameBuffer& reply, std::size_t offset, std::size_t size, std::uint8_t erasedByte) {
    const std::uint8_t sixth = U8At(reply, offset + 5);
    const std::uint8_t seventh = U8At(reply, offset + 6);
    if (sixth == kUnprogrammed || (sixth == erasedByte && seventh == erasedByte)) return {};
    return TextAt(reply, offset, size);
}

std::string SensorLabel(PressureInput input, std::uint8_t kind) {
    static constexpr const char* kKinds[] = {"AI", "GI", "DN", "CN", "CI"};
    if (kind >= std::size(kKinds)) return {};
    return std::string(input == PressureInput::P1 ? "P1:  " : "P2:  ") + kKinds[kind];
}

// The sensor information record of one input, then the look-up of its unit.
// Decoded always: after a failed exchange the fields read the cleared reply.
bool ReadSensorRecord(DeviceSession& session, const RouteBlock& route, PressureInput input) {
    const bool p1 = input == PressureInput::P1;
    const std::vector<std::uint8_t> payload(32, 0);
    FrameBuffer reply;
    const bool exchanged = command::Exchange(
        session, InfoRequest(p1 ? kRecordSensorP1 : kRecordSensorP2, route, payload), p1 ? 18 : 50, reply);
    SensorInfo& sensor = p1 ? session.p1Sensor : session.p2Sensor;
    sensor.unitCode = U8At(reply, 16);
    sensor.lowerLimit = F32At(reply, 18);
    sensor.upperLimit = F32At(reply, 22);
    session.ReadUnitRecord(route, input, sensor.unitCode);
    sensor.upperLimitText = FormatFixed(sensor.upperLimit, 1, 0);
    sensor.lowerLimitText = FormatFixed(sensor.lowerLimit, 1, 0);
    sensor.label = SensorLabel(input, U8At(reply, 14));
    return exchanged;
}

// Where the looked-up unit record of an input lies in the reply.
std::size_t UnitLookUpRecordOffset(PressureInput input) { return input == PressureInput::P1 ? 12 : 30; }

}  // namespace

// ---- Class 0 ------------------------------------------------------------------

bool DeviceSession::SendEmptyCommand(const RouteBlock& route) {
    FrameBuffer reply;
    const bool exchanged = command::Exchange(*this, FrameRequest{kClassEmpty, 0, 0, {}, route, 0}, 12, reply);
    return command::Accepted(*this, exchanged, reply);
}

bool DeviceSession::SendEmptyCommandToAddress() {
    const RouteBlock route{0x80, 0x80, 0x80, discovery.currentNetworkAddress, 0x80, discovery.foundModuleNumber};
    FrameBuffer reply;
    const bool exchanged = command::Exchange(*this, FrameRequest{kClassEmpty, 0, 0, {}, route, 0}, 18, reply);
    return command::Accepted(*this, exchanged, reply);
}

bool DeviceSession::SendEmptyCommandFlag40() {
    const RouteBlock route{0x80, 0x80, 0x80, discovery.foundNetworkAddress, 0x80, 0x00};
    FrameBuffer reply;
    return command::Exchange(*this, FrameRequest{kClassEmpty, 0, 0, {}, route, 0x40}, 18, reply);
}

// ---- Class 2 ------------------------------------------------------------------

bool DeviceSession::ReadIdentity(const RouteBlock& route, std::uint8_t module) {
    FrameBuffer reply;
    const bool exchanged =
        command::Exchange(*this, InfoRequest(kRecordIdentity, command::WithModule(route, module)), 18, reply);
    serialNumberText = TextAt(reply, 14, kSerialNumberLength);
    versionText = TextAt(reply, 42, kFrameBufferSize);
    return exchanged;
}

bool DeviceSession::ReadSensorInfoP1(const RouteBlock& route) {
    return ReadSensorRecord(*this, route, PressureInput::P1);
}

bool DeviceSession::ReadSensorInfoP2(const RouteBlock& route) {
    return ReadSensorRecord(*this, route, PressureInput::P2);
}

bool DeviceSession::ReadDescription(const RouteBlock& route, std::uint8_t module) {
    FrameBuffer reply;
    const bool exchanged =
        command::Exchange(*this, InfoRequest(kRecordDescription, command::WithModule(route, module)), 152, reply);
    if (exchanged) descriptionText = RecordText(reply, 14, kDescriptionLength, 'y');
    return exchanged;
}

bool DeviceSession::WriteDescription(const RouteBlock& route, std::uint8_t module, const std::string& description) {
    std::vector<std::uint8_t> payload(2 + kDescriptionLength, 0);
    PutRecordText(payload, 2, kDescriptionLength, description);
    FrameBuffer reply;
    return command::Exchange(
        *this, InfoRequest(kRecordDescription, command::WithModule(route, module), payload, kInfoWrite), 148, reply);
}

bool DeviceSession::ReadTagAndAsset(const RouteBlock& route, std::uint8_t module) {
    FrameBuffer reply;
    const bool exchanged =
        command::Exchange(*this, InfoRequest(kRecordTagAndAsset, command::WithModule(route, module)), 84, reply);
    if (exchanged) {
        tagText = RecordText(reply, 14, kTagLength, 0xFF);
        assetText = RecordText(reply, 46, kAssetLength, 0xFF);
    }
    return exchanged;
}

bool DeviceSession::WriteTagAndAsset(const RouteBlock& route, std::uint8_t module, const std::string& tag,
                                     const std::string& asset) {
    std::vector<std::uint8_t> payload(2 + kTagLength + kAssetLength, 0);
    PutRecordText(payload, 2, kTagLength, tag);
    PutRecordText(payload, 2 + kTagLength, kAssetLength, asset);
    FrameBuffer reply;
    return command::Exchange(
        *this, InfoRequest(kRecordTagAndAsset, command::WithModule(route, module), payload, kInfoWrite), 84, reply);
}

bool DeviceSession::ReadManufacturingRecord(const RouteBlock& route, std::uint8_t module) {
    const RouteBlock moduleRoute = command::WithModule(route, module);
    FrameBuffer reply;
    const bool exchanged = command::Exchange(*this, InfoRequest(kRecordManufacturing, moduleRoute), 142, reply);
    context_.shared.networkAddress = moduleRoute[3];
    if (exchanged) manufacturingRecordText = TextAt(reply, 48, kFrameBufferSize);
    return exchanged;
}

bool DeviceSession::ReadManufacturingLimits(const RouteBlock& route) {
    FrameBuffer reply;
    const bool exchanged = command::Exchange(*this, InfoRequest(kRecordManufacturing, route), 136, reply);
    if (exchanged) {
        context_.shared.lowerSensorLimit = F32At(reply, 92);
        context_.shared.upperSensorLimit = F32At(reply, 96);
    }
    return exchanged;
}

// ---- Unit look-up (class 3, operation 2) ----------------------------------------

bool DeviceSession::ReadUnitRecord(const RouteBlock& route, PressureInput input, std::uint8_t unitCode) {
    const bool p1 = input == PressureInput::P1;
    const std::uint8_t mask = p1 ? kChannelP1 : kChannelP2;
    const std::uint8_t payload[] = {unitCode};
    FrameBuffer reply;
    const bool exchanged = command::Exchange(
        *this, FrameRequest{kClassUnits, static_cast<std::uint8_t>(mask | kUnitLookUp), 0, payload, route, 0}, 30, reply);
    if (exchanged) {
        const std::size_t record = UnitLookUpRecordOffset(input);
        SensorInfo& sensor = p1 ? p1Sensor : p2Sensor;
        sensor.unitDigits = static_cast<std::int8_t>(U8At(reply, record + 4));
        sensor.unitName = TextAt(reply, record + 6, kUnitNameLength);
        sensor.conversionFactor = F32At(reply, record + 14);
    }
    return exchanged;
}

bool DeviceSession::ReadUnitRecordP1Selected(const RouteBlock& route) {
    const bool exchanged = ReadUnitRecord(route, PressureInput::P1, context_.shared.selectedUnitCode);
    if (exchanged) context_.shared.conversionFactor = p1Sensor.conversionFactor;
    return exchanged;
}

}  // namespace corvel
