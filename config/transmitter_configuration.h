#pragma once
// A transmitter's configuration as a document: everything a technician sets
// on it (identification texts, units, damping and, on the models with an
// analog output, the range, output levels and alarms), read at one moment,
// kept as JSON, and compared or restored setting by setting.
//
// The identity (model, serial number, firmware) is kept to match a file with
// a transmitter; it is never written to one. Numbers are in the transmitter's
// own units: LRV, URV and the conversion factor as the pressure module keeps
// them, and the alarm values and deadbands as pressures in that same unit (the
// set points the Analog Output window shows, though the transmitter keeps them
// in percent of the span), damping times in seconds, output levels in volts
// or milliamps. Texts are UTF-8.
//
// The file:
//   {
//     "format": "corvel-transmitter-configuration", "version": 1,
//     "read_time": "2026-12-08T15:47:13Z", "utility_version": "1.1",
//     "identity": {"model_code": "440D", "model_name": "...", "serial_number": "...", "firmware_version": "01.00"},
//     "tag": "...", "asset": "...", "description": "...",
//     "pressure_inputs": [ {"unit_code": 1, "unit_name": "PSI", "decimals": 3, "damping_on": true,
//                           "damping_time": 2.5, "damping_mode": "Exponential"} ],   // P1, then P2 if present
//     "temperature_unit": {"code": 0, "name": "°F"},
//     "analog_output": {                                                            // 440D and 442D only
//       "lrv": 0.0, "urv": 100.0, "conversion_factor": 1.0, "output_type": "volts",
//       "ao_at_lrv": 0.0, "ao_at_urv": 5.0, "transmitter_alarm": "Hi",
//       "transfer": "Linear", "square_root_value": 0.0,
//       "digital_outputs": [ {"state": "Closed", "condition": "Between",
//                             "value1": 10.0, "value2": 90.0, "deadband": 1.0}, {...} ] }
//   }

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/analog_output_rules.h"

namespace corvel {

inline constexpr std::string_view kConfigurationFormat = "corvel-transmitter-configuration";
inline constexpr int kConfigurationVersion = 1;

// The longest texts the transmitter stores (Windows-1252 bytes).
inline constexpr std::size_t kTagLength = 32;
inline constexpr std::size_t kAssetLength = 32;
inline constexpr std::size_t kDescriptionLength = 128;

inline constexpr std::uint8_t kDampingExponential = 0;
inline constexpr std::uint8_t kDampingSmart = 1;
inline constexpr std::uint8_t kFahrenheit = 0;
inline constexpr std::uint8_t kCelsius = 1;

struct TransmitterIdentity {
    std::string modelCode;  // "4402", "440D", ...
    std::string modelName;
    std::string serialNumber;
    std::string firmwareVersion;
    bool operator==(const TransmitterIdentity&) const = default;
};

struct PressureInputSettings {
    std::uint8_t unitCode = 0;
    std::string unitName;
    int decimals = 0;  // the digits the transmitter displays in this unit; not a setting
    bool dampingOn = false;
    float dampingTime = 0.0f;  // seconds
    std::uint8_t dampingMode = kDampingExponential;
    bool operator==(const PressureInputSettings&) const = default;
};

struct DigitalOutputSettings {
    std::uint8_t state = kAlarmInactive;  // kAlarmClosed, kAlarmOpen or kAlarmInactive
    int condition = 0;                    // list position, see kConditionTexts
    // Pressures in the unit of LRV and URV.
    float value1 = 0.0f;
    float value2 = 0.0f;
    float deadband = 0.0f;
    bool operator==(const DigitalOutputSettings&) const = default;
};

struct AnalogOutputConfiguration {
    float lrv = 0.0f;  // transmitter's pressure unit
    float urv = 0.0f;
    float conversionFactor = 1.0f;  // as read; follows the unit, never written
    OutputType output = OutputType::Volts;
    float aoAtLrv = 0.0f;
    float aoAtUrv = 0.0f;
    std::uint8_t transmitterAlarm = 0;  // 1 Hi, 0 Inactive
    std::uint8_t transfer = 0;          // 0 Linear, 1 Sq Rt
    float squareRootValue = 0.0f;       // read and written only with Sq Rt
    std::array<DigitalOutputSettings, 2> digitalOutputs;
    bool operator==(const AnalogOutputConfiguration&) const = default;
};

struct TransmitterConfiguration {
    std::string readTime;        // ISO 8601, UTC: "2026-12-08T15:47:13Z"
    std::string utilityVersion;  // of the program that read it
    TransmitterIdentity identity;
    std::string tag;
    std::string asset;
    std::string description;
    PressureInputSettings p1;
    std::optional<PressureInputSettings> p2;
    std::uint8_t temperatureUnit = kFahrenheit;
    std::string temperatureUnitName;
    std::optional<AnalogOutputConfiguration> analogOutput;
    bool operator==(const TransmitterConfiguration&) const = default;
};

// Whether a model has the analog output and alarms module ("440D", "442D").
bool HasAnalogOutput(std::string_view modelCode);
// Early firmware ("00.90", or no version text) stores no tag, asset number or
// description, and its damping cannot be switched on or off.
bool IsEarlyFirmware(std::string_view version);

// ---- The document as JSON -----------------------------------------------------------

std::string ConfigurationToJson(const TransmitterConfiguration& configuration);

// A document, or why it is not one: the field that is wrong and what is wrong
// with it ("analog_output.urv: not a number"). Nothing of a damaged document
// is taken.
struct LoadedConfiguration {
    std::optional<TransmitterConfiguration> configuration;
    std::string error;
};
LoadedConfiguration ConfigurationFromJson(std::string_view text);

// The file is written beside the target and renamed over it when complete; a
// target that is not a regular file is refused. Empty on success, else the reason.
std::string SaveConfigurationFile(const std::filesystem::path& path, const TransmitterConfiguration& configuration);
LoadedConfiguration LoadConfigurationFile(const std::filesystem::path& path);

}  // namespace corvel
