#include "link/frame_decoder.h"

#include <array>
#include <optional>

namespace corvel {
namespace {

constexpr std::uint8_t kOperationBits = 0x0F;
constexpr char kHex[] = "0123456789ABCDEF";
constexpr std::uint8_t kWriteBit = 0x80;

bool IsChannelClass(std::uint8_t command1) {
    return command1 == kClassUnits || command1 == kClassMeasurements || command1 == kClassRecalibration ||
           command1 == kClassSensorRange;
}

// Information records (class 2) by record number; the write bit picks the writer.
std::string InfoRecordOperation(std::uint8_t command2, std::uint8_t record) {
    const bool write = (command2 & kWriteBit) != 0;
    switch (record) {
        case 0x00: return write ? "Unknown" : "ReadIdentity";
        case 0x11: return write ? "Unknown" : "ReadSensorInfoP1";
        case 0x21: return write ? "Unknown" : "ReadSensorInfoP2";
        case 0x80: return write ? "Unknown" : "ReadManufacturingRecord";
        case 0xC0: return write ? "WriteDescription" : "ReadDescription";
        case 0xC1: return write ? "WriteTagAndAsset" : "ReadTagAndAsset";
        default: return "Unknown";
    }
}

std::string ChannelOperation(std::uint8_t command1, std::uint8_t command2) {
    static constexpr std::array<const char*, 3> kUnits{"ReadEngineeringUnits", "WriteEngineeringUnits",
                                                       "ReadUnitRecord"};
    static constexpr std::array<const char*, 3> kMeasurements{"ReadMeasurements", "ReadMeasurementsForOutput",
                                                              "ReadMeasurements"};
    static constexpr std::array<const char*, 7> kRecalibration{
        "ZeroChannels",         "RestoreFactoryCalibration", "Unknown", "StartRecalibration",
        "SaveCalibrationPoint", "ReadCalibrationPoint",      "FinishRecalibration"};
    const std::size_t operation = command2 & kOperationBits;
    const auto pick = [operation](const auto& names) -> std::string {
        return operation < names.size() ? names[operation] : "Unknown";
    };
    switch (command1) {
        case kClassUnits: return pick(kUnits);
        case kClassMeasurements: return pick(kMeasurements);
        case kClassRecalibration: return pick(kRecalibration);
        default: return operation == 0 ? "ReadSensorRange" : "Unknown";
    }
}

// Memory map addresses that commands of their own read or write.
struct NamedAddress {
    std::uint32_t address;
    const char* reader;
    const char* writer;
};
constexpr std::array<NamedAddress, 9> kNamedAddresses{{
    {0x0062, "ReadDeviceStrings", nullptr},
    {0x00D2, "ReadFirmwareVersion", nullptr},
    {0x0801, nullptr, "WriteNetworkAddress"},
    {0x080B, nullptr, "SendModbusExitSequence"},
    {0x2810, "ReadDampingEnabledP1", "WriteDampingEnabledP1"},
    {0x2812, "ReadDampingTimeP1", "WriteDampingTimeP1"},
    {0x2A10, "ReadDampingEnabledP2", "WriteDampingEnabledP2"},
    {0x2A12, "ReadDampingTimeP2", "WriteDampingTimeP2"},
    {0x2830, "ReadLowerRangeValue", nullptr},
}};

std::string MemoryOperation(bool write, std::uint32_t address) {
    if (!write && address == 0x2834) return "ReadUpperRangeValue";
    for (const NamedAddress& named : kNamedAddresses) {
        const char* name = write ? named.writer : named.reader;
        if (named.address == address && name != nullptr) return name;
    }
    return write ? "WriteMemory" : "ReadMemory";
}

std::string LogFileOperation(std::uint8_t command2, std::uint8_t firstPayloadByte) {
    switch (command2) {
        case 0x41: return firstPayloadByte == 0xFF ? "ReadLogFileCount" : "ReadLogDirectory";
        case 0x42: return "OpenLogFile";
        case 0x44: return "CloseLogFile";
        case 0xC5: return "EraseAllLogFiles";
        default: return "Unknown";
    }
}

void DecodeMemoryAccess(ByteSpan request, DecodedRequest& decoded) {
    const std::size_t payloadLength = request[offset::kPayloadLength];
    if (payloadLength < 6 || request.size() < offset::kPayload + 6) return;
    decoded.memoryAccess = true;
    decoded.memoryCount = request[offset::kPayload];
    decoded.memoryAddress = U32At(request, offset::kPayload + 2);
    const std::uint8_t form = request[offset::kCommand2];
    decoded.operation = form == 0x08 || form == 0x88 ? MemoryOperation(form == 0x88, decoded.memoryAddress) : "Unknown";
}

// "0x2830": a memory map address with at least four hexadecimal digits.
std::string AddressText(std::uint32_t address) {
    std::string digits;
    for (; address != 0 || digits.size() < 4; address >>= 4) digits.insert(digits.begin(), kHex[address & 0x0F]);
    return "0x" + digits;
}

std::string OperationOf(ByteSpan request) {
    const std::uint8_t command1 = request[offset::kCommand1];
    const std::uint8_t command2 = request[offset::kCommand2];
    const std::uint8_t firstPayloadByte =
        request[offset::kPayloadLength] > 0 && request.size() > offset::kPayload ? request[offset::kPayload] : 0;
    if (IsChannelClass(command1)) return ChannelOperation(command1, command2);
    switch (command1) {
        case kClassEmpty: return request[offset::kControl] == 0x40 ? "SendEmptyCommandFlag40" : "SendEmptyCommand";
        case kClassInfo: return InfoRecordOperation(command2, request[offset::kCommand3]);
        case kClassOutputKind: return "ReadOutputKind";
        case kClassLogState: return "ReadLogState";
        case kClassLogFiles: return LogFileOperation(command2, firstPayloadByte);
        case kClassLogBlock: return "ReadLogBlock";
        default: return "Unknown";
    }
}

bool IsModbusRestart(ByteSpan request) {
    return request.size() == 8 && request[1] == 0x08 && request[2] == 0x00 && request[3] == 0x01;
}

}  // namespace

DecodedRequest DecodeRequest(ByteSpan request) {
    DecodedRequest decoded;
    if (IsModbusRestart(request)) {
        decoded.operation = "SendModbusExitSequence";
        return decoded;
    }
    if (request.size() < kHeaderSize || request[offset::kStart] != kStartByte) {
        decoded.operation = "Unknown";
        return decoded;
    }
    decoded.operation = OperationOf(request);
    decoded.route = FrameRoute(request);
    const std::uint8_t command1 = request[offset::kCommand1];
    const std::uint8_t command2 = request[offset::kCommand2];
    if (IsChannelClass(command1)) decoded.channelMask = command2 & 0xF0;
    decoded.withMinMax = command1 == kClassMeasurements && (command2 & kOperationBits) == 0x02;
    if (command1 == kClassMemory) DecodeMemoryAccess(request, decoded);
    return decoded;
}

std::string ChannelMaskText(std::uint8_t mask) {
    static constexpr std::array<std::pair<std::uint8_t, const char*>, 4> kChannels{
        {{kChannelP1, "P1"}, {kChannelP2, "P2"}, {kChannel3, "Ch3"}, {kChannel4, "T"}}};
    std::string text;
    for (const auto& [bit, name] : kChannels) {
        if ((mask & bit) == 0) continue;
        if (!text.empty()) text += ' ';
        text += name;
    }
    return text;
}

std::string RequestSummary(ByteSpan request) {
    const DecodedRequest decoded = DecodeRequest(request);
    std::string line = decoded.operation;
    if (decoded.channelMask != 0) line += ' ' + ChannelMaskText(decoded.channelMask);
    if (decoded.withMinMax) line += " min/max";
    if (decoded.memoryAccess) {
        line += " at " + AddressText(decoded.memoryAddress) + " (" + std::to_string(decoded.memoryCount) + " bytes)";
    }
    if (request.size() >= kHeaderSize && request[offset::kStart] == kStartByte)
        line += ", to " + std::to_string(decoded.route[3]) + "/" + std::to_string(decoded.route[5]);
    return line;
}

std::string ReplyStatusText(ByteSpan reply) {
    if (reply.size() <= offset::kControl || IsNoDeviceAnswer(reply)) return "";
    return StatusText(reply[offset::kControl]);
}

std::string ReplyCheckText(bool replied, ReplyCheck check) {
    if (check == ReplyCheck::NoDevice) return "No device";
    if (IsDamage(check)) return ReplyDamageReason(check);
    return replied ? "OK" : "No reply";
}

std::string HexBytes(ByteSpan bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    for (std::uint8_t byte : bytes) {
        if (!text.empty()) text += ' ';
        text += kHex[byte >> 4];
        text += kHex[byte & 0x0F];
    }
    return text;
}

}  // namespace corvel
