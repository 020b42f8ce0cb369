// The channel commands: engineering units (class 3), measurements (class 4),
// output kind (class 5), zero and recalibration (class 6) and sensor range
// (class 8). Classes 3, 4, 6 and 8 keep their frames in the session buffers.

#include <string>
#include <vector>

#include "link/command_exchange.h"
#include "link/device_session.h"
#include "common/number_format.h"

namespace corvel {

namespace {


constexpr std::uint8_t kUnitsRead = 0x00;
constexpr std::uint8_t kUnitsWrite = 0x01;
constexpr std::uint8_t kMeasureRead = 0x00;
constexpr std::uint8_t kMeasureRestartMinMax = 0x01;
constexpr std::uint8_t kMeasureMinMax = 0x02;
constexpr std::uint8_t kRecalZero = 0;
constexpr std::uint8_t kRecalRestoreFactory = 1;
constexpr std::uint8_t kRecalStart = 3;
constexpr std::uint8_t kRecalSavePoint = 4;
constexpr std::uint8_t kRecalReadPoint = 5;
constexpr std::uint8_t kRecalFinish = 6;

constexpr std::size_t kUnitRecordSize = 18;
constexpr std::size_t kMeasurementRecordSize = 16;
constexpr std::size_t kUnitNameLength = 8;

// Shown instead of a temperature whose transmitter reports no digits.
constexpr const char* kNoTemperature = "      ----------";

// The mask of the commands that write, zero or restore: channel 3 never
// takes part in those.
std::uint8_t MaskWithoutChannel3(ChannelMask channels) {
    channels.channel3 = false;
    return command::MaskBits(channels);
}

std::uint8_t FirstRead(std::size_t base, std::size_t perChannel, std::uint8_t mask) {
    return static_cast<std::uint8_t>(base + perChannel * static_cast<std::size_t>(command::ChannelCount(mask)));
}

// Offsets of the per-channel records in mask order; channel 3 is never asked
// for by the program and takes no room in the offsets of channel 4.
struct RecordOffsets {
    std::size_t p1, p2, channel4;
};
RecordOffsets OffsetsFor(std::uint8_t mask, std::size_t recordSize) {
    const std::size_t before4 = ((mask & kChannelP1) ? 1 : 0) + ((mask & kChannelP2) ? 1 : 0);
    return {offset::kPayload, offset::kPayload + ((mask & kChannelP1) ? recordSize : 0),
            offset::kPayload + recordSize * before4};
}

void DecodeUnitRecord(const FrameBuffer& reply, std::size_t at, ChannelState& channel, const char* namePrefix) {
    channel.statusCode = U8At(reply, at);
    channel.unitCode = U8At(reply, at + 1);
    channel.unitAttribute = static_cast<std::int8_t>(U8At(reply, at + 2));
    channel.accuracyDigits = static_cast<std::int8_t>(U8At(reply, at + 3));
    channel.precisionDigits = static_cast<std::int8_t>(U8At(reply, at + 4));
    channel.unitName = namePrefix + TextAt(reply, at + 6, kUnitNameLength);
}

void DecodeUnits(DeviceSession& session, std::uint8_t mask, const char* namePrefix) {
    const FrameBuffer& reply = session.replyFrame;
    session.lastReplyStatus = command::ReplyStatus(reply);
    const RecordOffsets at = OffsetsFor(mask, kUnitRecordSize);
    if (mask & kChannelP1) {
        DecodeUnitRecord(reply, at.p1, session.p1, namePrefix);
        session.context().shared.selectedUnitCode = session.p1.unitCode;
    }
    if (mask & kChannelP2) DecodeUnitRecord(reply, at.p2, session.p2, namePrefix);
    if (mask & kChannel4) DecodeUnitRecord(reply, at.channel4, session.temperature, namePrefix);
}

// The record fields that every channel keeps, and its full-precision text.
void DecodeMeasurementRecord(const FrameBuffer& reply, std::size_t at, bool minMax, ChannelState& channel) {
    channel.statusCode = U8At(reply, at);
    channel.accuracyDigits = static_cast<std::int8_t>(U8At(reply, at + 1));
    channel.precisionDigits = static_cast<std::int8_t>(U8At(reply, at + 2));
    channel.value = F32At(reply, at + 4);
    if (minMax) {
        channel.minimum = F32At(reply, at + 8);
        channel.maximum = F32At(reply, at + 12);
    }
    channel.fullPrecisionText = FormatFixed(channel.value, 16, 10);
}

// The display texts "%12.*f" with `digits` decimals (printf's 6 when negative).
void FormatReading(ChannelState& channel, bool minMax, int digits) {
    channel.displayText = FormatFixed(channel.value, 12, digits);
    if (!minMax) return;
    channel.minimumText = FormatFixed(channel.minimum, 12, digits);
    channel.maximumText = FormatFixed(channel.maximum, 12, digits);
}

// A pressure input shows the digits of the operator's choice: 1 = precision,
// anything else = accuracy.
void DecodePressure(const FrameBuffer& reply, std::size_t at, bool minMax, int digitChoice, ChannelState& channel) {
    DecodeMeasurementRecord(reply, at, minMax, channel);
    FormatReading(channel, minMax, digitChoice == 1 ? channel.precisionDigits : channel.accuracyDigits);
}

// The temperature shows its precision digits; negative digits mean that there
// is no temperature to show.
void DecodeTemperature(const FrameBuffer& reply, std::size_t at, bool minMax, ChannelState& channel) {
    DecodeMeasurementRecord(reply, at, minMax, channel);
    if (channel.precisionDigits >= 0) {
        FormatReading(channel, minMax, channel.precisionDigits);
        return;
    }
    channel.displayText = kNoTemperature;
    if (minMax) channel.minimumText = channel.maximumText = kNoTemperature;
}

void DecodeMeasurements(DeviceSession& session, std::uint8_t mask, bool minMax, int p1DigitChoice, int p2DigitChoice) {
    const FrameBuffer& reply = session.replyFrame;
    session.lastReplyStatus = command::ReplyStatus(reply);
    const RecordOffsets at = OffsetsFor(mask, kMeasurementRecordSize);
    if (mask & kChannelP1) DecodePressure(reply, at.p1, minMax, p1DigitChoice, session.p1);
    if (mask & kChannelP2) DecodePressure(reply, at.p2, minMax, p2DigitChoice, session.p2);
    if (mask & kChannel4) DecodeTemperature(reply, at.channel4, minMax, session.temperature);
}

// Zero and restore: one status byte per requested channel from byte 12.
void ZeroOperation(DeviceSession& session, std::uint8_t mask, std::uint8_t operation, const RouteBlock& route) {
    const FrameRequest request{kClassRecalibration, static_cast<std::uint8_t>(mask | operation), 0, {}, route, 0};
    if (!command::ExchangeInSession(session, request, FirstRead(18, 1, mask))) return;
    const FrameBuffer& reply = session.replyFrame;
    session.lastReplyStatus = command::ReplyStatus(reply);
    std::size_t at = offset::kPayload;
    if (mask & kChannelP1) session.p1.statusCode = U8At(reply, at++);
    if (mask & kChannelP2) session.p2.statusCode = U8At(reply, at++);
    if (mask & kChannel4) session.temperature.statusCode = U8At(reply, at++);
}

std::uint8_t RecalCommand(const DeviceSession& session, std::uint8_t operation) {
    const int requested = session.recalibration.recalChannel;
    const int channel = requested >= 1 && requested <= 4 ? requested : 1;
    return static_cast<std::uint8_t>(((1u << (channel - 1)) << 4) | operation);
}

// A recalibration reply, by the names of its fields.
struct RecalReply {
    const FrameBuffer& bytes;

    std::uint8_t statusCode() const { return U8At(bytes, 12); }
    std::uint8_t context1() const { return U8At(bytes, 14); }
    std::uint8_t context2() const { return U8At(bytes, 15); }
    std::uint8_t currentPoint() const { return U8At(bytes, 16); }
    std::uint8_t numberOfPoints() const { return U8At(bytes, 17); }
    std::string applyValueText() const { return text(18); }
    std::string minimumText() const { return text(22); }
    std::string maximumText() const { return text(26); }
    std::string fourthText() const { return text(30); }

private:
    std::string text(std::size_t at) const { return FormatFixed(F32At(bytes, at), 10, 5); }
};

// The fields of a recalibration point reply; the apply value text is kept when
// the operator's value was just saved.
void DecodeRecalPoint(DeviceSession& session, bool rewriteApplyValue) {
    const RecalReply reply{session.replyFrame};
    session.lastReplyStatus = command::ReplyStatus(session.replyFrame);
    session.p1.statusCode = reply.statusCode();
    RecalibrationState& recal = session.recalibration;
    recal.currentPoint = reply.currentPoint();
    recal.numberOfPoints = reply.numberOfPoints();
    if (rewriteApplyValue) recal.applyValueText = reply.applyValueText();
    recal.fifthValueText = reply.applyValueText();
    recal.minimumValueText = reply.minimumText();
    recal.maximumValueText = reply.maximumText();
    recal.fourthValueText = reply.fourthText();
}

void DecodeRecalContext(DeviceSession& session) {
    const RecalReply reply{session.replyFrame};
    session.recalibration.recalContext1 = reply.context1();
    session.recalibration.recalContext2 = reply.context2();
}

}  // namespace

// ---- Class 3 ------------------------------------------------------------------

bool DeviceSession::ReadEngineeringUnits(ChannelMask channels, const RouteBlock& route) {
    const std::uint8_t mask = command::MaskBits(channels);
    const bool exchanged = command::ExchangeInSession(
        *this, FrameRequest{kClassUnits, static_cast<std::uint8_t>(mask | kUnitsRead), 0, {}, route, 0},
        FirstRead(12, kUnitRecordSize, mask));
    DecodeUnits(*this, mask, "");
    return exchanged;
}

bool DeviceSession::WriteEngineeringUnits(ChannelMask channels, const RouteBlock& route) {
    const std::uint8_t mask = MaskWithoutChannel3(channels);
    std::vector<std::uint8_t> unitCodes;
    if (channels.p1) unitCodes.push_back(p1.unitCode);
    if (channels.p2) unitCodes.push_back(p2.unitCode);
    if (channels.channel4) unitCodes.push_back(temperature.unitCode);
    const bool exchanged = command::ExchangeInSession(
        *this, FrameRequest{kClassUnits, static_cast<std::uint8_t>(mask | kUnitsWrite), 0, unitCodes, route, 0},
        FirstRead(12, kUnitRecordSize, mask));
    DecodeUnits(*this, mask, " ");
    return exchanged;
}

// ---- Class 4 ------------------------------------------------------------------

void DeviceSession::ReadMeasurements(ChannelMask channels, const RouteBlock& route, MinMax withMinMax,
                                     int p1DigitChoice, int p2DigitChoice) {
    const std::uint8_t mask = command::MaskBits(channels);
    const bool minMax = withMinMax == MinMax::With;
    const std::uint8_t operation = minMax ? kMeasureMinMax : kMeasureRead;
    const FrameRequest request{kClassMeasurements, static_cast<std::uint8_t>(mask | operation), 0, {}, route, 0};
    if (!command::ExchangeInSession(*this, request, FirstRead(12, minMax ? 16 : 8, mask))) return;
    DecodeMeasurements(*this, mask, minMax, p1DigitChoice, p2DigitChoice);
}

void DeviceSession::ReadMeasurementsForOutput(ChannelMask channels, const RouteBlock& route, MinMax withMinMax,
                                              int p1DigitChoice, int p2DigitChoice) {
    const std::uint8_t mask = command::MaskBits(channels);
    const bool minMax = withMinMax == MinMax::With;
    const FrameRequest request{kClassMeasurements, static_cast<std::uint8_t>(mask | kMeasureRestartMinMax), 0, {},
                               route, 0};
    if (!command::ExchangeInSession(*this, request, FirstRead(18, 16, mask))) return;
    DecodeMeasurements(*this, mask, minMax, p1DigitChoice, p2DigitChoice);
}

// ---- Class 5 ------------------------------------------------------------------

bool DeviceSession::ReadOutputKind(const RouteBlock& route) {
    FrameBuffer reply;
    const bool exchanged = command::Exchange(*this, FrameRequest{kClassOutputKind, 0, 0, {}, route, 0}, 22, reply);
    if (exchanged) memory.singleByteResult = U8At(reply, 14);
    return command::Accepted(*this, exchanged, reply);
}

// ---- Class 6 ------------------------------------------------------------------

void DeviceSession::ZeroChannels(ChannelMask channels, const RouteBlock& route) {
    ZeroOperation(*this, MaskWithoutChannel3(channels), kRecalZero, route);
}

void DeviceSession::RestoreFactoryCalibration(ChannelMask channels, const RouteBlock& route) {
    ZeroOperation(*this, MaskWithoutChannel3(channels), kRecalRestoreFactory, route);
}

bool DeviceSession::StartRecalibration(const RouteBlock& route) {
    const std::uint8_t payload[] = {recalibration.recalContext1, recalibration.recalContext2};
    const FrameRequest request{kClassRecalibration, RecalCommand(*this, kRecalStart), 0, payload, route, 0};
    if (!command::ExchangeInSession(*this, request, 40)) return false;
    DecodeRecalPoint(*this, true);
    return true;
}

bool DeviceSession::ReadCalibrationPoint(const RouteBlock& route) {
    const RecalibrationState& r = recalibration;
    const std::uint8_t payload[] = {r.recalContext1, r.recalContext2, r.currentPoint, r.numberOfPoints};
    const FrameRequest request{kClassRecalibration, RecalCommand(*this, kRecalReadPoint), 0, payload, route, 0};
    if (!command::ExchangeInSession(*this, request, 40)) return false;
    DecodeRecalPoint(*this, true);
    DecodeRecalContext(*this);
    return true;
}

bool DeviceSession::SaveCalibrationPoint(const RouteBlock& route) {
    const RecalibrationState& r = recalibration;
    std::vector<std::uint8_t> payload = {r.recalContext1, r.recalContext2, r.currentPoint, 0x02, 0, 0, 0, 0};
    PutF32(payload, 4, static_cast<float>(ParseDecimal(r.applyValueText)));
    const FrameRequest request{kClassRecalibration, RecalCommand(*this, kRecalSavePoint), 0, payload, route, 0};
    BuildFrame(requestFrame, request);
    lastExchangeSucceeded = SerialTransactDelayed(requestFrame, replyFrame);
    if (!lastExchangeSucceeded) return false;
    DecodeRecalPoint(*this, false);
    DecodeRecalContext(*this);
    return true;
}

bool DeviceSession::FinishRecalibration(const RouteBlock& route) {
    const std::uint8_t payload[] = {recalibration.recalContext1, recalibration.recalContext2, 0x01, 0x01};
    const FrameRequest request{kClassRecalibration, RecalCommand(*this, kRecalFinish), 0, payload, route, 0};
    if (!command::ExchangeInSession(*this, request, 24)) return false;
    p1.statusCode = RecalReply{replyFrame}.statusCode();
    DecodeRecalContext(*this);
    return true;
}

// ---- Class 8 ------------------------------------------------------------------

bool DeviceSession::ReadSensorRange(ChannelMask channels, const RouteBlock& route) {
    const std::uint8_t mask = command::MaskBits(channels);
    const bool exchanged = command::ExchangeInSession(
        *this, FrameRequest{kClassSensorRange, mask, 0, {}, route, 0}, FirstRead(12, 8, mask));
    sensorRangeStatus = command::ReplyStatus(replyFrame);
    for (std::size_t i = 0; i < 4; ++i) {
        p1Range.bytes[i] = U8At(replyFrame, 12 + i);
        p2Range.bytes[i] = U8At(replyFrame, 20 + i);
    }
    p1Range.value = F32At(replyFrame, 16);
    p2Range.value = F32At(replyFrame, 24);
    return exchanged;
}

}  // namespace corvel
