#include "config/configuration_reader.h"

#include <chrono>
#include <cmath>

#include "common/iso_time.h"
#include "common/program_version.h"
#include "config/alarm_block.h"
#include "link/device_addresses.h"
#include "link/windows1252.h"

namespace corvel {
namespace {

constexpr std::uint8_t kVoltsKind = 0x40;  // '@'

struct ReadFailure {
    std::string what;
};

// Reads one transmitter's settings into a configuration; each read that
// fails ends the reading with the setting it was for.
class ConfigurationReader {
public:
    ConfigurationReader(DeviceSession& session, const TransmitterRoutes& routes) : s_(session), routes_(routes) {}

    TransmitterReading read() {
        readIdentification();
        readPressureInputs();
        if (HasAnalogOutput(reading_.configuration.identity.modelCode)) readAnalogOutput();
        return reading_;
    }

private:
    void require(bool ok, const char* what) const {
        if (!ok) throw ReadFailure{what};
    }

    void readIdentification();
    void readPressureInputs();
    PressureInputSettings pressureInput(const ChannelState& channel, PressureInput input);
    void readAnalogOutput();
    void readAlarmBlock(AnalogOutputLimits& limits, AnalogOutputConfiguration& ao);
    void readRange(AnalogOutputLimits& limits, AnalogOutputConfiguration& ao);

    DeviceSession& s_;
    const TransmitterRoutes& routes_;
    TransmitterReading reading_;
};

// As the Transmitter Information window reads them.
void ConfigurationReader::readIdentification() {
    TransmitterConfiguration& c = reading_.configuration;
    const std::uint8_t module = routes_.recordModule;
    require(s_.ReadIdentity(routes_.pressure, module), "the identity");
    s_.ReadFirmwareVersion(routes_.pressure);
    require(s_.lastExchangeSucceeded, "the firmware version");
    require(s_.ReadDescription(routes_.pressure, module), "the description");
    require(s_.ReadTagAndAsset(routes_.pressure, module), "the tag and asset number");
    RouteBlock route = routes_.pressure;
    route[5] = kPressureModule;
    require(s_.ReadDeviceStringsXmtr(route, module, routes_.pressure[3]), "the model");
    const std::string& version = s_.memory.firmwareVersionText.empty() ? s_.versionText : s_.memory.firmwareVersionText;
    c.identity =
        TransmitterIdentity{Windows1252ToUtf8(s_.memory.modelCodeText), Windows1252ToUtf8(s_.memory.modelNameText),
                            Windows1252ToUtf8(s_.serialNumberText), Windows1252ToUtf8(version)};
    c.tag = Windows1252ToUtf8(s_.tagText);
    c.asset = Windows1252ToUtf8(s_.assetText);
    c.description = Windows1252ToUtf8(s_.descriptionText);
}

// Units and damping as the Configuration window reads them; P2 when the
// transmitter tells of a second pressure input, as discovery decides it.
void ConfigurationReader::readPressureInputs() {
    TransmitterConfiguration& c = reading_.configuration;
    const bool p2 = s_.ReadDeviceKind(routes_.pressure) == 0;
    const ChannelMask channels{.p1 = true, .p2 = p2, .channel4 = true};
    require(s_.ReadEngineeringUnits(channels, routes_.pressure) && s_.lastReplyStatus == 0, "the units");
    const ChannelState p1Units = s_.p1;
    const ChannelState p2Units = s_.p2;
    c.temperatureUnit = s_.temperature.unitCode == kFahrenheit ? kFahrenheit : kCelsius;
    c.temperatureUnitName = Windows1252ToUtf8(s_.temperature.unitName);
    require(s_.ReadSensorRange(channels, routes_.pressure), "the damping modes");
    c.p1 = pressureInput(p1Units, PressureInput::P1);
    if (p2) c.p2 = pressureInput(p2Units, PressureInput::P2);
}

PressureInputSettings ConfigurationReader::pressureInput(const ChannelState& channel, PressureInput input) {
    const bool p1 = input == PressureInput::P1;
    PressureInputSettings settings;
    settings.unitCode = channel.unitCode;
    settings.unitName = Windows1252ToUtf8(channel.unitName);
    settings.decimals = channel.precisionDigits;
    // A transmitter that refuses the sensor range (or has no smart damping) damps exponentially.
    const bool smart = s_.sensorRangeStatus == 0 && (p1 ? s_.p1Range : s_.p2Range).bytes[3] == kDampingSmart;
    settings.dampingMode = smart ? kDampingSmart : kDampingExponential;
    require(p1 ? s_.ReadDampingEnabledP1(routes_.pressure) : s_.ReadDampingEnabledP2(routes_.pressure),
            p1 ? "the P1 damping" : "the P2 damping");
    settings.dampingOn = (p1 ? s_.memory.dampingEnabledP1 : s_.memory.dampingEnabledP2) != 0;
    require(p1 ? s_.ReadDampingTimeP1(routes_.pressure) : s_.ReadDampingTimeP2(routes_.pressure),
            p1 ? "the P1 damping time" : "the P2 damping time");
    settings.dampingTime = p1 ? s_.memory.dampingTimeP1 : s_.memory.dampingTimeP2;
    return settings;
}

// As the Analog Output window reads it when it opens, without its corrections.
void ConfigurationReader::readAnalogOutput() {
    AnalogOutputLimits limits;
    AnalogOutputConfiguration ao;
    readAlarmBlock(limits, ao);
    require(s_.ReadOutputKind(routes_.output), "the output type");
    ao.output = s_.memory.singleByteResult == kVoltsKind ? OutputType::Volts : OutputType::Current;
    require(s_.ReadMemoryDword(routes_.output, OutputLevelAtLrvAddress(ao.output)), "AO @ LRV");
    ao.aoAtLrv = s_.memory.dwordResult;
    require(s_.ReadMemoryDword(routes_.output, OutputLevelAtUrvAddress(ao.output)), "AO @ URV");
    ao.aoAtUrv = s_.memory.dwordResult;
    readRange(limits, ao);
    if (ao.transfer == 1) {
        require(s_.ReadMemoryDword(routes_.output, address::kSquareRootValue), "the square root value");
        ao.squareRootValue = s_.memory.dwordResult;
    }
    for (std::size_t i = 0; i < 2; ++i) SetAlarmPressures(ao.digitalOutputs[i], reading_.storedAlarms[i], ao.lrv, ao.urv);
    reading_.configuration.analogOutput = ao;
    reading_.limits = limits;
}

void ConfigurationReader::readAlarmBlock(AnalogOutputLimits& limits, AnalogOutputConfiguration& ao) {
    require(s_.ReadMemoryWord(routes_.output, address::kLiveAlarmBlockPointer), "the alarm block address");
    limits.alarmBlock = s_.memory.wordResult;
    require(s_.ReadMemoryBlock(routes_.output, limits.alarmBlock), "the alarm block");
    const AlarmBlockHead head = DecodeAlarmBlockHead(s_.memory.blockBuffer);
    require(head.transfer <= 1, "the transfer (neither Linear nor Sq Rt)");
    ao.transfer = head.transfer;
    ao.transmitterAlarm = head.transmitterAlarm != 0 ? 1 : 0;
    limits.minimumSpanFraction = head.minimumSpanFraction;
    require(s_.ReadMemoryBlock(routes_.output, limits.alarmBlock + alarm_block::kAlarm[0]), "the digital outputs");
    const std::array<AlarmSettings, 2> alarms = DecodeAlarms(s_.memory.blockBuffer);
    for (std::size_t i = 0; i < 2; ++i) {
        const AlarmSettings& alarm = alarms[i];
        const bool knownState =
            alarm.state == kAlarmClosed || alarm.state == kAlarmOpen || alarm.state == kAlarmInactive;
        const bool knownCondition = alarm.condition >= 0 && alarm.condition < static_cast<int>(kConditionTexts.size());
        require(knownState && knownCondition, i == 0 ? "Digital Output 1 (an unknown state or condition)"
                                                     : "Digital Output 2 (an unknown state or condition)");
        ao.digitalOutputs[i] = DigitalOutputSettings{alarm.state, alarm.condition};
        reading_.storedAlarms[i] = StoredAlarmValues{alarm.value1, alarm.value2, alarm.deadband};
    }
}

void ConfigurationReader::readRange(AnalogOutputLimits& limits, AnalogOutputConfiguration& ao) {
    const RouteBlock& pressure = routes_.pressure;
    require(s_.ReadEngineeringUnits(ChannelMask{.p1 = true}, pressure), "the units");
    const int decimals = s_.p1.precisionDigits;
    require(s_.ReadManufacturingLimits(pressure), "the sensor limits");
    require(s_.ReadUnitRecordP1Selected(pressure), "the conversion factor");
    const SharedDeviceValues& shared = s_.context().shared;
    ao.conversionFactor = shared.conversionFactor;
    require(ao.conversionFactor != 0.0f && std::isfinite(ao.conversionFactor), "the conversion factor (it is 0)");
    limits.lsl = AsShown(shared.lowerSensorLimit, decimals);
    limits.usl = AsShown(shared.upperSensorLimit, decimals);
    require(s_.ReadLowerRangeValue(pressure), "LRV");
    ao.lrv = s_.memory.lowerRangeValue;
    require(s_.ReadUpperRangeValue(pressure), "URV");
    ao.urv = s_.memory.upperRangeValue;
}

}  // namespace

void SetAlarmPressures(DigitalOutputSettings& alarm, const StoredAlarmValues& stored, float lrv, float urv) {
    alarm.value1 = ValueFromPercent(stored.value1, lrv, urv);
    alarm.value2 = ValueFromPercent(stored.value2, lrv, urv);
    alarm.deadband = DeadbandFromPercent(stored.deadband, lrv, urv);
}

TransmitterRoutes RoutesFor(const StoredConnection& connection) {
    return TransmitterRoutes{
        PressureModuleRoute(connection),
        RouteBlock{0x80, 0x80, kCommunicationModule, connection.networkAddress, 0x80, kOutputModule},
        connection.commModule};
}

ReadOutcome ReadConfiguration(DeviceSession& session, const TransmitterRoutes& routes, const std::string& readTime) {
    session.statusText.clear();
    try {
        TransmitterReading reading = ConfigurationReader(session, routes).read();
        reading.configuration.readTime = readTime;
        reading.configuration.utilityVersion = kProgramVersion;
        return {std::move(reading), {}, {}};
    } catch (const ReadFailure& failure) {
        std::string error = "cannot read " + failure.what + " from the transmitter";
        if (!session.statusText.empty()) error += ": " + session.statusText;
        return {std::nullopt, error, failure.what};
    }
}

std::string IsoTimeNow() { return IsoUtcTime(std::chrono::system_clock::now(), IsoPrecision::Seconds); }

}  // namespace corvel
