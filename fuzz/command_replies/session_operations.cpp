#include "fuzz/command_replies/session_operations.h"

#include <unistd.h>

#include <deque>
#include <filesystem>
#include <iterator>
#include <stdexcept>
#include <string>

#include "link/log_copy.h"
#include "link/log_directory.h"
#include "common/number_format.h"
#include "link/port_names.h"
#include "link/reading_status.h"
#include "link/stored_connection.h"
#include "link/windows1252.h"

namespace corvel::fuzz {
namespace {

using In = InputCursor;

// The channel flags of the channel commands, from the low four bits of a byte.
ChannelMask ChannelsFrom(In& in) {
    const std::uint8_t bits = in.byte();
    return {.p1 = (bits & 1) != 0, .p2 = (bits & 2) != 0, .channel3 = (bits & 4) != 0, .channel4 = (bits & 8) != 0};
}

// A text the operator typed, in UTF-8, as the windows and corvelctl hand it to
// the link: in Windows-1252, or as typed when it has no Windows-1252 form.
std::string OperatorText(In& in) {
    const std::string typed = in.text();
    return Utf8ToWindows1252(typed).value_or(typed);
}

// A request frame made of the bytes of a text.
FrameBuffer RequestFrom(In& in) {
    FrameBuffer request{};
    const std::string bytes = in.text();
    std::copy_n(bytes.begin(), std::min(bytes.size(), request.size()), request.begin());
    return request;
}

// A scan through silent addresses tries every port for each of them: the scan
// starts at one of the last four addresses.
std::uint8_t ScanStart(In& in) { return static_cast<std::uint8_t>(251 + in.byte() % 4); }

std::filesystem::path LogCopyTarget() {
    static const std::filesystem::path target =
        std::filesystem::temp_directory_path() / ("fuzz_command_replies." + std::to_string(::getpid()) + ".log");
    return target;
}

void CopyLog(DeviceSession& s, In& in) {
    LogCopyRequest request;
    request.storeRoute = in.route();
    request.stateRoute = in.route();
    request.fileNumber = in.byte();
    request.estimatedBlocks = in.byte();
    const std::size_t stopAfter = in.byte();  // 0: never stopped
    CopyLogFile(s, request, LogCopyTarget(),
                [stopAfter](const LogCopyProgress& progress) { return stopAfter == 0 || progress.blocks < stopAfter; });
    std::error_code ignored;
    std::filesystem::remove(LogCopyTarget(), ignored);
}

void ListLogs(DeviceSession& s, In& in) {
    const LogDirectory directory = ReadLogDirectoryEntries(s, in.route());
    for (const LogDirectoryEntry& entry : directory.entries) (void)entry.estimatedBlocks();
}

// The connection a tool window reads from the stored settings when it opens,
// and the empty command it sends there.
void OpenWithStoredConnection(DeviceSession& s, In& in) {
    StoredSettings& store = s.context().store;
    for (const std::string_view key : {key::kPort, key::kCommBoardAddress, key::kEPIAddress, key::kCommModule}) {
        store.write(key, in.text());
    }
    const StoredConnection connection = ReadStoredConnection(store, s.context().comm);
    s.SendEmptyCommand(PressureModuleRoute(connection));
}

void SetCommSettings(DeviceSession& s, In& in) {
    CommSettings& comm = s.context().comm;
    comm.acceptDamagedReplies = in.flag();
    comm.protocol = in.flag() ? kProtocolModbus : kProtocolNative;
    s.modbusAddress = in.byte();
}

void SetDiscoveryState(DeviceSession& s, In& in) {
    s.discovery.foundNetworkAddress = in.byte();
    s.discovery.foundModuleNumber = in.byte();
    s.discovery.currentNetworkAddress = in.byte();
    s.discovery.portCounter = static_cast<std::uint8_t>(1 + in.byte() % kLastPort);
    s.SelectPortByNumber(s.discovery.portCounter);
}

struct Operation {
    std::string_view name;
    void (*run)(DeviceSession&, In&);
};

// Arguments are read into locals first: the order in which a call's arguments
// are evaluated is unspecified, the order of the input is not.
constexpr Operation kOperations[] = {
    {"CommSettings", SetCommSettings},
    {"DiscoveryState", SetDiscoveryState},
    {"SetStatusText", [](DeviceSession& s, In& in) { s.SetStatusText(in.byte()); }},
    {"SerialTransact", [](DeviceSession& s, In& in) {
         const FrameBuffer request = RequestFrom(in);
         const std::uint8_t writeLength = in.byte();
         FrameBuffer reply{};
         s.SerialTransact(request, writeLength, reply, in.byte());
     }},
    {"SerialTransactDelayed", [](DeviceSession& s, In& in) {
         FrameBuffer reply{};
         s.SerialTransactDelayed(RequestFrom(in), reply);
     }},
    {"SerialTransactNextPort", [](DeviceSession& s, In& in) {
         FrameBuffer reply{};
         s.SerialTransactNextPort(RequestFrom(in), reply);
     }},
    {"SerialTransactFindPort", [](DeviceSession& s, In& in) {
         FrameBuffer reply{};
         s.SerialTransactFindPort(RequestFrom(in), reply);
     }},
    // Class 0.
    {"SendEmptyCommand", [](DeviceSession& s, In& in) { s.SendEmptyCommand(in.route()); }},
    {"SendEmptyCommandToAddress", [](DeviceSession& s, In&) { s.SendEmptyCommandToAddress(); }},
    {"SendEmptyCommandFlag40", [](DeviceSession& s, In&) { s.SendEmptyCommandFlag40(); }},
    // Class 2.
    {"ReadIdentity", [](DeviceSession& s, In& in) { const RouteBlock r = in.route(); s.ReadIdentity(r, in.byte()); }},
    {"ReadSensorInfoP1", [](DeviceSession& s, In& in) { s.ReadSensorInfoP1(in.route()); }},
    {"ReadSensorInfoP2", [](DeviceSession& s, In& in) { s.ReadSensorInfoP2(in.route()); }},
    {"ReadDescription", [](DeviceSession& s, In& in) { const RouteBlock r = in.route(); s.ReadDescription(r, in.byte()); }},
    {"WriteDescription", [](DeviceSession& s, In& in) {
         const RouteBlock r = in.route();
         const std::uint8_t module = in.byte();
         s.WriteDescription(r, module, OperatorText(in));
     }},
    {"ReadTagAndAsset", [](DeviceSession& s, In& in) { const RouteBlock r = in.route(); s.ReadTagAndAsset(r, in.byte()); }},
    {"WriteTagAndAsset", [](DeviceSession& s, In& in) {
         const RouteBlock r = in.route();
         const std::uint8_t module = in.byte();
         const std::string tag = OperatorText(in);
         s.WriteTagAndAsset(r, module, tag, OperatorText(in));
     }},
    {"ReadManufacturingRecord", [](DeviceSession& s, In& in) {
         const RouteBlock r = in.route();
         s.ReadManufacturingRecord(r, in.byte());
     }},
    {"ReadManufacturingLimits", [](DeviceSession& s, In& in) { s.ReadManufacturingLimits(in.route()); }},
    {"ReadUnitRecord", [](DeviceSession& s, In& in) {
         const RouteBlock r = in.route();
         const PressureInput input = in.flag() ? PressureInput::P2 : PressureInput::P1;
         s.ReadUnitRecord(r, input, in.byte());
     }},
    {"ReadUnitRecordP1Selected", [](DeviceSession& s, In& in) {
         const RouteBlock r = in.route();
         s.context().shared.selectedUnitCode = in.byte();
         s.ReadUnitRecordP1Selected(r);
     }},
    // Class 3.
    {"ReadEngineeringUnits", [](DeviceSession& s, In& in) {
         const ChannelMask c = ChannelsFrom(in);
         s.ReadEngineeringUnits(c, in.route());
     }},
    {"WriteEngineeringUnits", [](DeviceSession& s, In& in) {
         const ChannelMask c = ChannelsFrom(in);
         s.WriteEngineeringUnits(c, in.route());
     }},
    // Class 4: digit choices 0-2 (1 is precision, others accuracy).
    {"ReadMeasurements", [](DeviceSession& s, In& in) {
         const ChannelMask c = ChannelsFrom(in);
         const RouteBlock r = in.route();
         const MinMax minMax = in.flag() ? MinMax::With : MinMax::Without;
         const int p1Digits = in.byte() % 3;
         s.ReadMeasurements(c, r, minMax, p1Digits, in.byte() % 3);
     }},
    {"ReadMeasurementsForOutput", [](DeviceSession& s, In& in) {
         const ChannelMask c = ChannelsFrom(in);
         const RouteBlock r = in.route();
         const MinMax minMax = in.flag() ? MinMax::With : MinMax::Without;
         const int p1Digits = in.byte() % 3;
         s.ReadMeasurementsForOutput(c, r, minMax, p1Digits, in.byte() % 3);
     }},
    // Class 5.
    {"ReadOutputKind", [](DeviceSession& s, In& in) { s.ReadOutputKind(in.route()); }},
    // Class 6.
    {"ZeroChannels", [](DeviceSession& s, In& in) {
         const ChannelMask c = ChannelsFrom(in);
         s.ZeroChannels(c, in.route());
     }},
    {"RestoreFactoryCalibration", [](DeviceSession& s, In& in) {
         const ChannelMask c = ChannelsFrom(in);
         s.RestoreFactoryCalibration(c, in.route());
     }},
    {"StartRecalibration", [](DeviceSession& s, In& in) {
         s.recalibration.recalChannel = in.byte();
         s.StartRecalibration(in.route());
     }},
    {"ReadCalibrationPoint", [](DeviceSession& s, In& in) { s.ReadCalibrationPoint(in.route()); }},
    {"SaveCalibrationPoint", [](DeviceSession& s, In& in) {
         const RouteBlock r = in.route();
         s.recalibration.applyValueText = in.text();
         s.SaveCalibrationPoint(r);
     }},
    {"FinishRecalibration", [](DeviceSession& s, In& in) { s.FinishRecalibration(in.route()); }},
    // Class 8.
    {"ReadSensorRange", [](DeviceSession& s, In& in) {
         const ChannelMask c = ChannelsFrom(in);
         s.ReadSensorRange(c, in.route());
     }},
    // Memory map.
    {"WriteMemoryByte", [](DeviceSession& s, In& in) {
         const RouteBlock r = in.route();
         const std::uint8_t value = in.byte();
         s.WriteMemoryByte(r, value, in.u32());
     }},
    {"WriteMemoryByteAt", [](DeviceSession& s, In& in) {
         const RouteBlock r = in.route();
         const std::uint32_t address = in.u32();
         s.WriteMemoryByteAt(r, address, in.byte());
     }},
    {"WriteMemoryDword", [](DeviceSession& s, In& in) {
         const RouteBlock r = in.route();
         const std::uint32_t address = in.u32();
         s.WriteMemoryDword(r, address, in.u32());
     }},
    {"ReadMemoryByte", [](DeviceSession& s, In& in) { const RouteBlock r = in.route(); s.ReadMemoryByte(r, in.u32()); }},
    {"ReadMemoryWord", [](DeviceSession& s, In& in) { const RouteBlock r = in.route(); s.ReadMemoryWord(r, in.u32()); }},
    {"ReadMemoryDword", [](DeviceSession& s, In& in) { const RouteBlock r = in.route(); s.ReadMemoryDword(r, in.u32()); }},
    {"ReadMemoryBlock", [](DeviceSession& s, In& in) { const RouteBlock r = in.route(); s.ReadMemoryBlock(r, in.u32()); }},
    {"ReadLowerRangeValue", [](DeviceSession& s, In& in) { s.ReadLowerRangeValue(in.route()); }},
    {"ReadUpperRangeValue", [](DeviceSession& s, In& in) { s.ReadUpperRangeValue(in.route()); }},
    {"ReadDampingEnabledP1", [](DeviceSession& s, In& in) { s.ReadDampingEnabledP1(in.route()); }},
    {"ReadDampingEnabledP2", [](DeviceSession& s, In& in) { s.ReadDampingEnabledP2(in.route()); }},
    {"ReadDampingTimeP1", [](DeviceSession& s, In& in) { s.ReadDampingTimeP1(in.route()); }},
    {"ReadDampingTimeP2", [](DeviceSession& s, In& in) { s.ReadDampingTimeP2(in.route()); }},
    {"WriteDampingEnabledP1", [](DeviceSession& s, In& in) {
         const RouteBlock r = in.route();
         s.WriteDampingEnabledP1(r, in.byte());
     }},
    {"WriteDampingEnabledP2", [](DeviceSession& s, In& in) {
         const RouteBlock r = in.route();
         s.WriteDampingEnabledP2(r, in.byte());
     }},
    {"WriteDampingTimeP1", [](DeviceSession& s, In& in) {
         const RouteBlock r = in.route();
         s.memory.dampingTextP1 = in.text();
         s.WriteDampingTimeP1(r);
     }},
    {"WriteDampingTimeP2", [](DeviceSession& s, In& in) {
         const RouteBlock r = in.route();
         s.memory.dampingTextP2 = in.text();
         s.WriteDampingTimeP2(r);
     }},
    {"ReadDeviceStrings", [](DeviceSession& s, In& in) { const RouteBlock r = in.route(); s.ReadDeviceStrings(r, in.byte()); }},
    {"ReadDeviceStringsXmtr", [](DeviceSession& s, In& in) {
         const RouteBlock r = in.route();
         const std::uint8_t module = in.byte();
         s.ReadDeviceStringsXmtr(r, module, in.byte());
     }},
    {"ReadFirmwareVersion", [](DeviceSession& s, In& in) { s.ReadFirmwareVersion(in.route()); }},
    {"WriteNetworkAddress", [](DeviceSession& s, In& in) {
         const RouteBlock r = in.route();
         const std::uint8_t address = in.byte();
         s.WriteNetworkAddress(r, address, in.byte());
     }},
    {"SendModbusExitSequence", [](DeviceSession& s, In&) { s.SendModbusExitSequence(); }},
    // Data log.
    {"ReadLogState", [](DeviceSession& s, In& in) { const RouteBlock r = in.route(); s.ReadLogState(r, in.byte()); }},
    {"ReadLogFileCount", [](DeviceSession& s, In& in) { s.ReadLogFileCount(in.route()); }},
    {"ReadLogDirectory", [](DeviceSession& s, In& in) { const RouteBlock r = in.route(); s.ReadLogDirectory(r, in.byte()); }},
    {"OpenLogFile", [](DeviceSession& s, In& in) { const RouteBlock r = in.route(); s.OpenLogFile(r, in.byte()); }},
    {"CloseLogFile", [](DeviceSession& s, In& in) { const RouteBlock r = in.route(); s.CloseLogFile(r, in.byte()); }},
    {"EraseAllLogFiles", [](DeviceSession& s, In& in) { s.EraseAllLogFiles(in.route()); }},
    {"ReadLogBlock", [](DeviceSession& s, In& in) { const RouteBlock r = in.route(); s.ReadLogBlock(r, in.byte()); }},
    {"ReadLogDirectoryEntries", ListLogs},
    {"CopyLogFile", CopyLog},
    // Discovery.
    {"ReadIdentityAtAddress", [](DeviceSession& s, In&) { s.ReadIdentityAtAddress(); }},
    {"ReadDeviceKind", [](DeviceSession& s, In& in) { s.ReadDeviceKind(in.route()); }},
    {"ScanNetworkAddresses", [](DeviceSession& s, In& in) { s.ScanNetworkAddresses(ScanStart(in)); }},
    {"FindDeviceOnPorts", [](DeviceSession& s, In& in) { s.FindDeviceOnPorts(in.route()); }},
    {"ReadStoredConnection", OpenWithStoredConnection},
};

// What the windows and corvelctl make of the decoded values for the operator.
void ShowDecodedValues(const DeviceSession& s) {
    for (const std::string* text : {&s.tagText, &s.assetText, &s.descriptionText, &s.serialNumberText,
                                    &s.memory.modelNameText, &s.manufacturingRecordText, &s.logTransfer.logNameText}) {
        (void)Windows1252ToUtf8(*text);
    }
    (void)ReadingStatusOf(s.p1.statusCode, true);
    (void)ReadingStatusOf(s.p2.statusCode);
    (void)ZeroResultText(s.p1.statusCode);
    (void)RecalPointStatusText(s.lastReplyStatus);
    (void)RecalReadingStatusOf(s.lastReplyStatus);
    (void)LogStartTimeText(s.logTransfer.logStartTimeBytes);
    (void)ParseDecimal(s.versionText);
}

class ReplayPort final : public SerialPort {
public:
    explicit ReplayPort(InputCursor& input) : input_(input) {}
    bool open(const std::string&) override { return true; }
    bool configure(std::uint32_t, const LineSettings&, const PortTimeouts&) override { return true; }
    bool write(ByteSpan bytes, std::size_t& written) override {
        const Bytes reply = input_.reply();
        pending_.assign(reply.begin(), reply.end());
        written = bytes.size();
        return true;
    }
    // Like the serial backends: the completion test is asked before every
    // byte, the first one included, and a reply used up is a time-out.
    bool read(MutableByteSpan buffer, std::size_t& received, const ReadCompletion& complete) override {
        received = 0;
        while (received < buffer.size() && !(complete && complete(buffer.first(received))) && !pending_.empty()) {
            buffer[received++] = pending_.front();
            pending_.pop_front();
        }
        return true;
    }
    void pause(std::chrono::milliseconds) override {}
    void close() override {}
    PortError lastError() const override { return {110, "Connection timed out"}; }

private:
    InputCursor& input_;
    std::deque<std::uint8_t> pending_;
};

}  // namespace

void RunOperations(DeviceSession& session, InputCursor& input) {
    while (!input.empty()) {
        kOperations[input.byte() % std::size(kOperations)].run(session, input);
        ShowDecodedValues(session);
    }
}

std::uint8_t OperationSelector(std::string_view name) {
    for (std::size_t i = 0; i < std::size(kOperations); ++i) {
        if (kOperations[i].name == name) return static_cast<std::uint8_t>(i);
    }
    throw std::invalid_argument("no operation " + std::string(name));
}

std::unique_ptr<SerialPort> ReplayPorts::create() { return std::make_unique<ReplayPort>(input_); }

}  // namespace corvel::fuzz
