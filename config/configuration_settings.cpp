#include "config/configuration_settings.h"

#include "common/number_format.h"

namespace corvel {
namespace setting {
namespace {

std::string Input(PressureInput input) { return input == PressureInput::P1 ? "P1" : "P2"; }
std::string Alarm(std::size_t alarm) { return "Digital Output " + std::to_string(alarm + 1); }

}  // namespace

std::string Unit(PressureInput input) { return Input(input) + " unit"; }
std::string Damping(PressureInput input) { return Input(input) + " damping"; }
std::string DampingTime(PressureInput input) { return Input(input) + " damping time (s)"; }
std::string DampingMode(PressureInput input) { return Input(input) + " damping mode"; }
std::string AlarmState(std::size_t alarm) { return Alarm(alarm) + " state"; }
std::string AlarmCondition(std::size_t alarm) { return Alarm(alarm) + " condition"; }
std::string AlarmValue1(std::size_t alarm) { return Alarm(alarm) + " value 1"; }
std::string AlarmValue2(std::size_t alarm) { return Alarm(alarm) + " value 2"; }
std::string AlarmDeadband(std::size_t alarm) { return Alarm(alarm) + " Reset Deadband"; }

}  // namespace setting

namespace {

constexpr int kLevelDecimals = 2;
constexpr int kDampingDecimals = 1;

std::string Fixed(float value, int decimals) { return FormatFixed(value, 0, decimals); }

void AddPressureInput(std::vector<SettingText>& texts, PressureInput input, const PressureInputSettings& s) {
    // The unit is its code; the name is the transmitter's word for it.
    texts.push_back(
        {setting::Unit(input), std::to_string(s.unitCode) + " (" + s.unitName + ")", std::to_string(s.unitCode)});
    texts.push_back({setting::Damping(input), s.dampingOn ? "On" : "Off"});
    texts.push_back({setting::DampingTime(input), Fixed(s.dampingTime, kDampingDecimals)});
    texts.push_back({setting::DampingMode(input), s.dampingMode == kDampingSmart ? "Smart" : "Exponential"});
}

std::string AlarmStateText(std::uint8_t state) {
    if (state == kAlarmClosed) return "Closed";
    return state == kAlarmOpen ? "Open" : "Inactive";
}

void AddDigitalOutput(std::vector<SettingText>& texts, std::size_t i, const DigitalOutputSettings& alarm,
                      int decimals) {
    const bool listed = alarm.condition >= 0 && alarm.condition < static_cast<int>(kConditionTexts.size());
    texts.push_back({setting::AlarmState(i), AlarmStateText(alarm.state)});
    texts.push_back({setting::AlarmCondition(i), listed ? kConditionTexts[static_cast<std::size_t>(alarm.condition)]
                                                        : std::to_string(alarm.condition)});
    texts.push_back({setting::AlarmValue1(i), Fixed(alarm.value1, decimals)});
    // Value 2 means something only with a range condition; the window shows it only then.
    if (IsRangeCondition(alarm.condition)) texts.push_back({setting::AlarmValue2(i), Fixed(alarm.value2, decimals)});
    texts.push_back({setting::AlarmDeadband(i), Fixed(alarm.deadband, decimals)});
}

void AddAnalogOutput(std::vector<SettingText>& texts, const AnalogOutputConfiguration& ao, int decimals) {
    texts.push_back({setting::kLrv, Fixed(ao.lrv, decimals)});
    texts.push_back({setting::kUrv, Fixed(ao.urv, decimals)});
    texts.push_back({setting::kOutputType, ao.output == OutputType::Volts ? "Volts (V)" : "Current (mA)"});
    texts.push_back({setting::kAoAtLrv, Fixed(ao.aoAtLrv, kLevelDecimals)});
    texts.push_back({setting::kAoAtUrv, Fixed(ao.aoAtUrv, kLevelDecimals)});
    texts.push_back({setting::kTransmitterAlarm, ao.transmitterAlarm != 0 ? "Hi" : "Inactive"});
    texts.push_back({setting::kTransfer, ao.transfer == 1 ? "Sq Rt" : "Linear"});
    // The square root value means something only with the Sq Rt transfer.
    if (ao.transfer == 1) texts.push_back({setting::kSquareRootValue, Fixed(ao.squareRootValue, decimals)});
    for (std::size_t i = 0; i < ao.digitalOutputs.size(); ++i) AddDigitalOutput(texts, i, ao.digitalOutputs[i], decimals);
}

}  // namespace

std::vector<std::string> AllSettingNames() {
    TransmitterConfiguration full;
    full.p2.emplace();
    full.analogOutput.emplace();
    full.analogOutput->transfer = 1;
    std::vector<std::string> names;
    for (const SettingText& text : SettingTextsOf(full, 0)) names.push_back(text.setting);
    return names;
}

std::vector<SettingText> SettingTextsOf(const TransmitterConfiguration& c, int decimals) {
    std::vector<SettingText> texts{
        {setting::kTag, c.tag}, {setting::kAsset, c.asset}, {setting::kDescription, c.description}};
    AddPressureInput(texts, PressureInput::P1, c.p1);
    if (c.p2) AddPressureInput(texts, PressureInput::P2, *c.p2);
    texts.push_back({setting::kTemperatureUnit, c.temperatureUnit == kFahrenheit ? "°F" : "°C"});
    if (c.analogOutput) AddAnalogOutput(texts, *c.analogOutput, decimals);
    return texts;
}

}  // namespace corvel
