#pragma once
// DeviceSession: the device link object, one per window. It carries the
// exchange with the transmitter (open the port, configure, write the request,
// read the reply, close), the status text of the last failure, and one field
// per decoded device value. Operations return true or false (or a decoded byte)
// and leave their results in the fields; no exception crosses the link.
//
// The exchange reads the port name, baud rate and protocol from CommSettings at
// the start of every exchange and keeps no copy. The port, the settings store,
// the message boxes and the values shared between windows come in through
// LinkContext, so that tests hand in the simulator and in-memory fakes.

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "app/comm_settings.h"
#include "link/exchange_record.h"
#include "link/frame.h"
#include "link/notifier.h"
#include "link/reply_tally.h"
#include "link/serial_port.h"
#include "link/shared_device_values.h"
#include "app/stored_settings.h"

namespace corvel {

// The start of the status text of an exchange that failed on the line
// ("SerialTransact failed with error 2: No such file or directory").
inline constexpr std::string_view kSerialTransactFailedText = "SerialTransact failed";

struct LinkContext {
    CommSettings& comm;
    StoredSettings& store;
    SerialPortFactory& ports;
    Notifier& notifier;
    SharedDeviceValues& shared;
    // Sees every exchange (the bus monitor); none when nobody looks.
    ExchangeObserver* exchanges = nullptr;
};

// One channel's state as the channel commands (classes 3, 4 and 6) leave it.
// The status code and the digit counts are shared by those commands: they
// always hold the most recent command's value.
struct ChannelState {
    int statusCode = 0;
    // Units (class 3).
    std::uint8_t unitCode = 0;
    std::int8_t unitAttribute = 0;
    std::string unitName;
    // Digit counts (classes 3 and 4).
    std::int8_t accuracyDigits = 0;
    std::int8_t precisionDigits = 0;
    // Measurements (class 4).
    float value = 0.0f;
    float minimum = 0.0f;
    float maximum = 0.0f;
    std::string fullPrecisionText;  // "%16.10f"
    std::string displayText;        // "%12.*f"
    std::string minimumText;
    std::string maximumText;
};

// A pressure input as the sensor information record and its unit look-up give it.
struct SensorInfo {
    std::string label;  // "P1:  AI" .. "P1:  CI", or empty
    std::uint8_t unitCode = 0;
    float lowerLimit = 0.0f;
    float upperLimit = 0.0f;
    std::string lowerLimitText;  // no decimals
    std::string upperLimitText;
    // From the unit look-up (ReadUnitRecord).
    std::string unitName;
    float conversionFactor = 0.0f;
    std::int8_t unitDigits = 0;  // unit record byte 4
};

// One input's record of the sensor-range reply (class 8).
struct SensorRangeRecord {
    std::array<std::uint8_t, 4> bytes{};  // byte 3: damping mode, 0 exponential, 1 smart
    float value = 0.0f;
};

enum class PressureInput { P1, P2 };

// The channels a channel command (classes 3, 4, 6 and 8) asks for; they become
// the channel bits of command byte 2. The program never asks for channel 3.
struct ChannelMask {
    bool p1 = false;
    bool p2 = false;
    bool channel3 = false;
    bool channel4 = false;  // temperature
};

// Whether a measurement read takes the minimum and maximum from the reply.
enum class MinMax { Without, With };

// The port-stepping searches (the port counter, the scan-finished and retry
// flags, the ports that answered) and the addresses that discovery found.
struct DiscoveryState {
    std::uint8_t portCounter = 1;
    std::uint8_t scanFinished = 0;
    std::uint8_t retryFlag = 0;
    std::array<std::uint8_t, 100> answeredPorts{};
    std::uint32_t answeredPortCount = 0;

    std::uint8_t foundNetworkAddress = 0;
    std::uint8_t foundModuleNumber = 0;
    std::uint8_t foundModuleNumberCopy = 0;  // the module number is kept in two fields
    std::string foundNetworkAddressText;
    std::string foundModuleNumberText;
    // The address of the transmitter the main window accepted in discovery; the
    // empty command after an address change goes there.
    std::uint8_t currentNetworkAddress = 0;
    std::uint8_t newNetworkAddress = 0;  // of the last address change
    std::uint8_t pressureModuleAddress = 0;
    std::uint8_t secondModuleAddress = 0;
    std::uint8_t nextStartAddress = 0;
};

// The field recalibration in progress: the channel, the two context bytes the
// transmitter hands back with every step, the points and their value texts.
struct RecalibrationState {
    std::uint8_t recalChannel = 1;
    std::uint8_t recalContext1 = 0;
    std::uint8_t recalContext2 = 0;
    std::uint8_t currentPoint = 0;
    std::uint8_t numberOfPoints = 0;
    std::string applyValueText;
    std::string minimumValueText;
    std::string maximumValueText;
    std::string fourthValueText;
    std::string fifthValueText;
};

// What the memory map reads (class 0x62) leave: the raw results of the byte,
// word, dword and block reads, and the values decoded from fixed addresses.
struct MemoryResults {
    std::uint8_t singleByteResult = 0;  // memory byte reads and the output kind
    std::uint16_t wordResult = 0;
    float dwordResult = 0.0f;
    std::array<std::uint8_t, 128> blockBuffer{};

    float lowerRangeValue = 0.0f;
    float upperRangeValue = 0.0f;
    std::string lowerRangeText;
    std::string upperRangeText;
    std::uint8_t dampingEnabledP1 = 0;
    std::uint8_t dampingEnabledP2 = 0;
    float dampingTimeP1 = 0.0f;
    float dampingTimeP2 = 0.0f;
    std::string dampingTextP1;
    std::string dampingTextP2;

    std::string modelCodeText;
    std::string modelNameText;
    std::string thirdIdText;
    std::uint8_t thirdIdLength = 0;
    std::string firmwareVersionText;
};

// The data log directory entry last read and the last log block.
struct LogTransfer {
    std::array<std::uint8_t, 128> logBuffer{};
    std::array<std::uint8_t, 8> logStartTimeBytes{};
    std::array<std::uint8_t, 4> logSampleCountBytes{};
    std::uint8_t logModuleCount = 0;
    std::string logNameText;
    // Whether the last ReadLogBlock stored a block in the log buffer.
    bool logBlockReceived = false;
};

class DeviceSession {
public:
    explicit DeviceSession(LinkContext context);
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    // ---- Exchanges ----------------------------------------------------------
    // Writes `writeLength` bytes of `request`, reads up to `firstReadLength`
    // bytes, then as many more as reply byte 2 announces (within 156 bytes).
    // True when at least one byte arrived and the last read succeeded.
    // `firstPartWait`, when given, replaces the time-outs of the first read
    // by that one total wait (the line inventory's probe of an address).
    bool SerialTransact(ByteSpan request, std::uint8_t writeLength, FrameBuffer& reply, std::uint8_t firstReadLength,
                        std::optional<std::chrono::milliseconds> firstPartWait = std::nullopt);
    // Writes 26 bytes, pauses 200 ms, first read of 40 bytes.
    bool SerialTransactDelayed(ByteSpan request, FrameBuffer& reply);
    // Tries the current port, then the following ones; see the address scan.
    bool SerialTransactNextPort(ByteSpan request, FrameBuffer& reply);
    // Tries ports until one not yet in the answered-port list replies.
    bool SerialTransactFindPort(ByteSpan request, FrameBuffer& reply);
    // Sets the shared port name to the open name of port `number`.
    void SelectPortByNumber(int number);
    // Sets the status text from a reply status code.
    void SetStatusText(std::uint8_t code);

    // ---- Class 0: empty command ---------------------------------------------
    bool SendEmptyCommand(const RouteBlock& route);
    bool SendEmptyCommandToAddress();
    bool SendEmptyCommandFlag40();

    // ---- Class 2: information records ---------------------------------------
    bool ReadIdentity(const RouteBlock& route, std::uint8_t module);
    bool ReadSensorInfoP1(const RouteBlock& route);
    bool ReadSensorInfoP2(const RouteBlock& route);
    bool ReadDescription(const RouteBlock& route, std::uint8_t module);
    bool WriteDescription(const RouteBlock& route, std::uint8_t module, const std::string& description);
    bool ReadTagAndAsset(const RouteBlock& route, std::uint8_t module);
    bool WriteTagAndAsset(const RouteBlock& route, std::uint8_t module, const std::string& tag, const std::string& asset);
    bool ReadManufacturingRecord(const RouteBlock& route, std::uint8_t module);
    bool ReadManufacturingLimits(const RouteBlock& route);
    bool ReadUnitRecord(const RouteBlock& route, PressureInput input, std::uint8_t unitCode);
    bool ReadUnitRecordP1Selected(const RouteBlock& route);

    // ---- Class 3: engineering units -----------------------------------------
    bool ReadEngineeringUnits(ChannelMask channels, const RouteBlock& route);
    bool WriteEngineeringUnits(ChannelMask channels, const RouteBlock& route);  // channel 3 never written

    // ---- Class 4: measurements (digit choice 1 = precision, else accuracy) ---
    void ReadMeasurements(ChannelMask channels, const RouteBlock& route, MinMax minMax, int p1DigitChoice,
                          int p2DigitChoice);
    void ReadMeasurementsForOutput(ChannelMask channels, const RouteBlock& route, MinMax minMax, int p1DigitChoice,
                                   int p2DigitChoice);

    // ---- Class 5: output kind ------------------------------------------------
    bool ReadOutputKind(const RouteBlock& route);

    // ---- Class 6: zero and recalibration -------------------------------------
    // Channel 3 is never zeroed or restored.
    void ZeroChannels(ChannelMask channels, const RouteBlock& route);
    void RestoreFactoryCalibration(ChannelMask channels, const RouteBlock& route);
    bool StartRecalibration(const RouteBlock& route);
    bool ReadCalibrationPoint(const RouteBlock& route);
    bool SaveCalibrationPoint(const RouteBlock& route);
    bool FinishRecalibration(const RouteBlock& route);

    // ---- Class 8: sensor range -----------------------------------------------
    bool ReadSensorRange(ChannelMask channels, const RouteBlock& route);

    // ---- Class 0x62: memory map ----------------------------------------------
    bool WriteMemoryByte(const RouteBlock& route, std::uint8_t value, std::uint32_t address);
    bool WriteMemoryByteAt(const RouteBlock& route, std::uint32_t address, std::uint8_t value);
    bool WriteMemoryDword(const RouteBlock& route, std::uint32_t address, std::uint32_t value);
    bool ReadMemoryByte(const RouteBlock& route, std::uint32_t address);
    bool ReadMemoryWord(const RouteBlock& route, std::uint32_t address);
    bool ReadMemoryDword(const RouteBlock& route, std::uint32_t address);
    bool ReadMemoryBlock(const RouteBlock& route, std::uint32_t address);
    bool ReadLowerRangeValue(const RouteBlock& route);
    bool ReadUpperRangeValue(const RouteBlock& route);
    bool ReadDampingEnabledP1(const RouteBlock& route);
    bool ReadDampingEnabledP2(const RouteBlock& route);
    bool ReadDampingTimeP1(const RouteBlock& route);
    bool ReadDampingTimeP2(const RouteBlock& route);
    bool WriteDampingEnabledP1(const RouteBlock& route, std::uint8_t enabled);
    bool WriteDampingEnabledP2(const RouteBlock& route, std::uint8_t enabled);
    bool WriteDampingTimeP1(const RouteBlock& route);  // from memory.dampingTextP1
    bool WriteDampingTimeP2(const RouteBlock& route);  // from memory.dampingTextP2
    bool ReadDeviceStrings(const RouteBlock& route, std::uint8_t module);
    bool ReadDeviceStringsXmtr(const RouteBlock& route, std::uint8_t module, std::uint8_t networkAddress);
    bool ReadFirmwareVersion(const RouteBlock& route);
    bool WriteNetworkAddress(const RouteBlock& route, std::uint8_t newAddress, std::uint8_t module);
    void SendModbusExitSequence();

    // ---- Data log (classes 0x09, 0x51, 0x52) ---------------------------------
    bool ReadLogState(const RouteBlock& route, std::uint8_t value);
    std::uint8_t ReadLogFileCount(const RouteBlock& route);
    std::string ReadLogDirectory(const RouteBlock& route, std::uint8_t position);
    bool OpenLogFile(const RouteBlock& route, std::uint8_t fileNumber);
    bool CloseLogFile(const RouteBlock& route, std::uint8_t fileNumber);
    bool EraseAllLogFiles(const RouteBlock& route);
    bool ReadLogBlock(const RouteBlock& route, std::uint8_t fileNumber);

    // ---- Discovery -------------------------------------------------------------
    bool ReadIdentityAtAddress();
    std::uint8_t ReadDeviceKind(const RouteBlock& route);
    // Probes from `startAddress` up to `lastAddress` (254 for a whole line).
    std::uint8_t ScanNetworkAddresses(std::uint8_t startAddress, std::uint8_t lastAddress = 254);
    bool FindDeviceOnPorts(const RouteBlock& route);

    // ---- Exchange state (rewritten by every exchange) --------------------------
    static constexpr std::uint8_t kDataBits = 8;
    static constexpr std::uint8_t kParity = 0;
    static constexpr std::uint8_t kStopBits = 0;
    std::uint32_t queueSize = 0;
    bool lastCallResult = false;
    LineSettings lineState;
    PortTimeouts timeouts;
    bool writeResult = false;
    bool readResult = false;
    std::size_t bytesWritten = 0;
    std::size_t bytesRead = 0;
    // The port's error when the last exchange got no reply (a time-out or a
    // failed call), as the status text names it.
    PortError portError;
    std::uint32_t extraLength = 0;
    // The result of the last exchange a command ran (also for the commands
    // that return nothing or a decoded byte).
    bool lastExchangeSucceeded = false;
    // Set by a command while it asks a read again after a damaged reply: 1 for
    // the first repeat, 2 for the second; 0 otherwise.
    std::uint8_t automaticRepeat = 0;
    // What the checks of the last reply found (Intact when no reply came).
    ReplyCheck replyCheck = ReplyCheck::Intact;
    // Every reply's checks since the owner last cleared the tally.
    ReplyTally replyTally;

    std::string statusText;
    std::string individualStatusText;
    FrameBuffer requestFrame{};
    FrameBuffer replyFrame{};
    std::int32_t lastReplyStatus = 0;
    std::uint8_t modbusAddress = 0;

    // ---- Decoded device values -------------------------------------------------
    std::string serialNumberText;
    std::string versionText;
    double versionNumber = 0.0;
    SensorInfo p1Sensor;
    SensorInfo p2Sensor;
    std::string descriptionText;
    std::string tagText;
    std::string assetText;
    std::string manufacturingRecordText;

    ChannelState p1;
    ChannelState p2;
    ChannelState temperature;  // channel 4

    std::int32_t sensorRangeStatus = 0;
    SensorRangeRecord p1Range;
    SensorRangeRecord p2Range;

    DiscoveryState discovery;
    RecalibrationState recalibration;
    MemoryResults memory;
    LogTransfer logTransfer;

    const LinkContext& context() const { return context_; }

private:
    LinkContext context_;
};

}  // namespace corvel
