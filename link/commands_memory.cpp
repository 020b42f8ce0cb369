// Memory map access (class 0x62): byte, word, dword and block reads and
// writes, the range values, damping, identification strings, firmware
// version and network address; and the Modbus exit sequence.

#include <array>
#include <string>
#include <vector>

#include "link/command_exchange.h"
#include "link/crc.h"
#include "link/device_addresses.h"
#include "link/device_session.h"
#include "common/number_format.h"

namespace corvel {

namespace {

using command::kMemoryDataOffset;
using command::kMemoryRead;
using command::kMemoryWrite;

constexpr std::uint8_t kReadCount = 6;
constexpr std::uint8_t kBlockReadCount = 119;

// The identification block in a read reply: model code, model name and third text.
constexpr std::size_t kModelCodeAt = kMemoryDataOffset + identification::kModelCode;
constexpr std::size_t kModelNameAt = kMemoryDataOffset + identification::kModelName;
constexpr std::size_t kThirdIdAt = kMemoryDataOffset + identification::kThirdText;
constexpr std::size_t kIdentificationEnd = kMemoryDataOffset + identification::kSize;
constexpr std::size_t kFirmwareVersionLength = 5;
constexpr std::size_t kDampingBlockSize = 32;

// One memory read in a buffer of the command's own; `reply` starts cleared so
// that fields decoded after a failure read zeros. Status reported.
struct MemoryRead {
    std::uint32_t address;
    std::uint8_t count;
    std::uint8_t firstRead;
};

bool ReadMemory(DeviceSession& session, const RouteBlock& route, const MemoryRead& read, FrameBuffer& reply) {
    const std::vector<std::uint8_t> payload = command::MemoryReadPayload(read.address, read.count);
    const bool exchanged =
        command::Exchange(session, FrameRequest{kClassMemory, kMemoryRead, 0, payload, route, 0}, read.firstRead, reply);
    return command::Accepted(session, exchanged, reply);
}

bool WriteMemory(DeviceSession& session, const RouteBlock& route, std::uint32_t at, ByteSpan data,
                 std::uint8_t firstRead) {
    const std::vector<std::uint8_t> payload = command::MemoryWritePayload(at, data);
    FrameBuffer reply;
    const bool exchanged =
        command::Exchange(session, FrameRequest{kClassMemory, kMemoryWrite, 0, payload, route, 0}, firstRead, reply);
    return command::Accepted(session, exchanged, reply);
}

// A range value: the f32 and its text with the P1 precision digits.
bool ReadRangeValue(DeviceSession& session, const RouteBlock& route, std::uint32_t at, float& value,
                    std::string& text) {
    FrameBuffer reply;
    const bool accepted = ReadMemory(session, route, {at, kReadCount, 12}, reply);
    value = F32At(reply, kMemoryDataOffset);
    text = FormatFixed(value, 1, session.p1.precisionDigits);
    return accepted;
}

bool ReadDampingEnabled(DeviceSession& session, const RouteBlock& route, std::uint32_t at, std::uint8_t& enabled) {
    FrameBuffer reply;
    const bool accepted = ReadMemory(session, route, {at, kReadCount, 28}, reply);
    enabled = U8At(reply, kMemoryDataOffset);
    return accepted;
}

bool ReadDampingTime(DeviceSession& session, const RouteBlock& route, std::uint32_t at, float& time,
                     std::string& text) {
    FrameBuffer reply;
    const bool accepted = ReadMemory(session, route, {at, kReadCount, 30}, reply);
    time = F32At(reply, kMemoryDataOffset);
    text = FormatFixed(time, 1, 1);
    return accepted;
}

// The damping time of an input: its text as the operator typed it, converted
// and kept as the input's damping time, sent with 28 zero bytes after it.
bool WriteDampingTime(DeviceSession& session, const RouteBlock& route, std::uint32_t at, const std::string& text,
                      float& time) {
    time = static_cast<float>(ParseDecimal(text));
    std::array<std::uint8_t, kDampingBlockSize> block{};
    PutF32(block, 0, time);
    return WriteMemory(session, route, at, block, 30);
}

// The identification block: model code, model name and the third text.
// Status ignored and decoded always; the result is the exchange result.
bool ReadIdentificationBlock(DeviceSession& session, const RouteBlock& route) {
    const std::vector<std::uint8_t> payload = command::MemoryReadPayload(address::kIdentificationBlock, kBlockReadCount);
    FrameBuffer reply;
    const bool exchanged =
        command::Exchange(session, FrameRequest{kClassMemory, kMemoryRead, 0, payload, route, 0}, 145, reply);
    session.memory.modelCodeText = TextAt(reply, kModelCodeAt, kModelNameAt - kModelCodeAt);
    session.memory.modelNameText = TextAt(reply, kModelNameAt, kThirdIdAt - kModelNameAt);
    session.memory.thirdIdText = TextAt(reply, kThirdIdAt, kIdentificationEnd - kThirdIdAt);
    session.memory.thirdIdLength = static_cast<std::uint8_t>(session.memory.thirdIdText.size());
    return exchanged;
}

RouteBlock IdentificationRoute(const RouteBlock& route, std::uint8_t module, std::uint8_t networkAddress) {
    return RouteBlock{0x80, route[1], route[2], networkAddress, route[4], module};
}

// The frame that the utility sends before leaving a Modbus line: a write of 32
// bytes at the Modbus exit block, sent as it is (its frame CRC is not recomputed). The last
// two bytes are the CRC-16/MODBUS of bytes 0-5.
constexpr std::array<std::uint8_t, 56> kModbusExitFrame = {
    0x80, 0x01, 0x26, 0x01, 0x28, 0x62, 0x88, 0x00, 0x00, 0x00, 0xC0, 0xBB,                          // header
    0x20, 0x00, 0x0B, 0x08, 0x00, 0x00,                                                              // count, address
    0x10, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x52, 0xFF, 0xFF,  // data
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x30, 0x30, 0x2E, 0x39, 0x30, 0x41, 0x20, 0x00, 0xFF, 0xFF, 0xFF,  //
    0x01, 0x80, 0x80, 0x28, 0xE7, 0x7A,                                                              // route
};
static_assert((kModbusExitFrame[15] << 8 | kModbusExitFrame[14]) == address::kModbusExitBlock);

}  // namespace

// ---- Writes -----------------------------------------------------------------------

bool DeviceSession::WriteMemoryByte(const RouteBlock& route, std::uint8_t value, std::uint32_t at) {
    const std::uint8_t data[] = {value};
    return WriteMemory(*this, route, at, data, 20);
}

bool DeviceSession::WriteMemoryByteAt(const RouteBlock& route, std::uint32_t at, std::uint8_t value) {
    return WriteMemoryByte(route, value, at);
}

bool DeviceSession::WriteMemoryDword(const RouteBlock& route, std::uint32_t at, std::uint32_t value) {
    std::array<std::uint8_t, 4> data{};
    PutU32(data, 0, value);
    return WriteMemory(*this, route, at, data, 20);
}

// ---- Reads --------------------------------------------------------------------------

bool DeviceSession::ReadMemoryByte(const RouteBlock& route, std::uint32_t at) {
    FrameBuffer reply;
    const bool accepted = ReadMemory(*this, route, {at, kReadCount, 18}, reply);
    memory.singleByteResult = U8At(reply, kMemoryDataOffset);
    return accepted;
}

bool DeviceSession::ReadMemoryWord(const RouteBlock& route, std::uint32_t at) {
    FrameBuffer reply;
    const bool accepted = ReadMemory(*this, route, {at, kReadCount, 18}, reply);
    memory.wordResult = U16At(reply, kMemoryDataOffset);
    return accepted;
}

bool DeviceSession::ReadMemoryDword(const RouteBlock& route, std::uint32_t at) {
    FrameBuffer reply;
    const bool accepted = ReadMemory(*this, route, {at, kReadCount, 44}, reply);
    memory.dwordResult = F32At(reply, kMemoryDataOffset);
    return accepted;
}

bool DeviceSession::ReadMemoryBlock(const RouteBlock& route, std::uint32_t at) {
    FrameBuffer reply;
    const bool accepted = ReadMemory(*this, route, {at, kBlockReadCount, 139}, reply);
    auto& block = memory.blockBuffer;
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = U8At(reply, kMemoryDataOffset + i);
    return accepted;
}

bool DeviceSession::ReadLowerRangeValue(const RouteBlock& route) {
    return ReadRangeValue(*this, route, address::kLowerRangeValue, memory.lowerRangeValue, memory.lowerRangeText);
}

bool DeviceSession::ReadUpperRangeValue(const RouteBlock& route) {
    return ReadRangeValue(*this, route, address::kUpperRangeValue, memory.upperRangeValue, memory.upperRangeText);
}

bool DeviceSession::ReadDampingEnabledP1(const RouteBlock& route) {
    return ReadDampingEnabled(*this, route, address::kDampingEnabledP1, memory.dampingEnabledP1);
}

bool DeviceSession::ReadDampingEnabledP2(const RouteBlock& route) {
    return ReadDampingEnabled(*this, route, address::kDampingEnabledP2, memory.dampingEnabledP2);
}

bool DeviceSession::ReadDampingTimeP1(const RouteBlock& route) {
    return ReadDampingTime(*this, route, address::kDampingTimeP1, memory.dampingTimeP1, memory.dampingTextP1);
}

bool DeviceSession::ReadDampingTimeP2(const RouteBlock& route) {
    return ReadDampingTime(*this, route, address::kDampingTimeP2, memory.dampingTimeP2, memory.dampingTextP2);
}

// ---- Damping writes -------------------------------------------------------------

bool DeviceSession::WriteDampingEnabledP1(const RouteBlock& route, std::uint8_t enabled) {
    return WriteMemoryByte(route, enabled, address::kDampingEnabledP1);
}

bool DeviceSession::WriteDampingEnabledP2(const RouteBlock& route, std::uint8_t enabled) {
    return WriteMemoryByte(route, enabled, address::kDampingEnabledP2);
}

bool DeviceSession::WriteDampingTimeP1(const RouteBlock& route) {
    return WriteDampingTime(*this, route, address::kDampingTimeP1, memory.dampingTextP1, memory.dampingTimeP1);
}

bool DeviceSession::WriteDampingTimeP2(const RouteBlock& route) {
    return WriteDampingTime(*this, route, address::kDampingTimeP2, memory.dampingTextP2, memory.dampingTimeP2);
}

// ---- Identification, firmware, network address ------------------------------------

bool DeviceSession::ReadDeviceStrings(const RouteBlock& route, std::uint8_t module) {
    return ReadIdentificationBlock(*this, IdentificationRoute(route, module, discovery.foundNetworkAddress));
}

bool DeviceSession::ReadDeviceStringsXmtr(const RouteBlock& route, std::uint8_t module, std::uint8_t networkAddress) {
    return ReadIdentificationBlock(*this, IdentificationRoute(route, module, networkAddress));
}

bool DeviceSession::ReadFirmwareVersion(const RouteBlock& route) {
    FrameBuffer reply;
    // The first read asks for more than a frame buffer holds; the exchange keeps
    // to its 156 bytes.
    bool accepted = ReadMemory(*this, route, {address::kFirmwareVersion, kReadCount, 228}, reply);
    memory.firmwareVersionText = TextAt(reply, kMemoryDataOffset, kFirmwareVersionLength);
    if (lastExchangeSucceeded && U8At(reply, 12) != 0) {
        individualStatusText = "Individual status not yet implemented";
        accepted = false;
    }
    return accepted;
}

bool DeviceSession::WriteNetworkAddress(const RouteBlock& route, std::uint8_t newAddress, std::uint8_t module) {
    discovery.newNetworkAddress = newAddress;
    if (newAddress == 0 || newAddress == 255) {
        context_.notifier.showMessage("Valid Network Address range is 1 - 254");
        return false;
    }
    const RouteBlock writeRoute{route[0], route[1], route[2], route[3], 0xF0, module};
    const std::uint8_t data[] = {newAddress};
    const std::vector<std::uint8_t> payload = command::MemoryWritePayload(address::kNetworkAddress, data);
    const bool exchanged = command::ExchangeInSession(
        *this, FrameRequest{kClassMemory, kMemoryWrite, 0, payload, writeRoute, 0}, 154);
    // The transmitter may take the new address before its reply arrives: the
    // address is kept whatever the exchange gave.
    context_.store.write(key::kCommBoardAddress, std::to_string(newAddress));
    const bool accepted = command::Accepted(*this, exchanged, replyFrame);
    const std::string writeStatus = statusText;
    SendEmptyCommandToAddress();
    if (!accepted) statusText = writeStatus;  // the reason of the failed write, not of the empty command
    return accepted;
}

void DeviceSession::SendModbusExitSequence() {
    if (context_.comm.protocol != kProtocolModbus) return;
    FrameBuffer reply{};
    SerialTransact(kModbusExitFrame, static_cast<std::uint8_t>(kModbusExitFrame.size()), reply, 26);
    const std::array<std::uint8_t, 8> restart = ModbusRestartRequest(modbusAddress);
    reply.fill(0);
    SerialTransact(restart, static_cast<std::uint8_t>(restart.size()), reply, 255);
}

}  // namespace corvel
