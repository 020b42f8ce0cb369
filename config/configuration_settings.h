#pragma once
// The settings of a configuration by the names a technician reads them
// under, each with its text: the rows of a comparison and the settings a
// restore names.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "config/transmitter_configuration.h"
#include "link/device_session.h"

namespace corvel {

namespace setting {
inline constexpr const char* kTag = "Tag No.";
inline constexpr const char* kAsset = "Asset No.";
inline constexpr const char* kDescription = "Description";
inline constexpr const char* kTemperatureUnit = "Temperature unit";
inline constexpr const char* kLrv = "LRV";
inline constexpr const char* kUrv = "URV";
inline constexpr const char* kOutputType = "Output type";
inline constexpr const char* kAoAtLrv = "AO @ LRV";
inline constexpr const char* kAoAtUrv = "AO @ URV";
inline constexpr const char* kTransmitterAlarm = "Transmitter alarm";
inline constexpr const char* kTransfer = "Transfer";
inline constexpr const char* kSquareRootValue = "Square root value";

std::string Unit(PressureInput input);         // "P1 unit"
std::string Damping(PressureInput input);      // "P1 damping"
std::string DampingTime(PressureInput input);  // "P1 damping time (s)"
std::string DampingMode(PressureInput input);  // "P1 damping mode"
std::string AlarmState(std::size_t alarm);     // "Digital Output 1 state"
std::string AlarmCondition(std::size_t alarm);
std::string AlarmValue1(std::size_t alarm);  // pressure, as LRV and URV
std::string AlarmValue2(std::size_t alarm);  // with a range condition only
std::string AlarmDeadband(std::size_t alarm);
}  // namespace setting

// Every setting name, in the order the tool windows show them.
std::vector<std::string> AllSettingNames();

struct SettingText {
    SettingText(std::string setting, std::string text, std::optional<std::string> compared = std::nullopt)
        : setting(std::move(setting)), text(std::move(text)), compared(compared.value_or(this->text)) {}

    std::string setting;
    std::string text;
    std::string compared;  // what must match for the setting to be the same: the text, or the unit's code alone
};
// The settings a configuration has, with their texts; pressure values with
// `decimals` digits.
std::vector<SettingText> SettingTextsOf(const TransmitterConfiguration& configuration, int decimals);

}  // namespace corvel
