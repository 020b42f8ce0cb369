#pragma once
// What a simulated transmitter is: model, identity, inputs, units, limits and
// the stored log files. The model presets fill everything; a test or the
// program changes what it needs afterwards.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/live_channel.h"
#include "sim/log_builder.h"
#include "sim/units_table.h"

namespace corvel::sim {

// Sensor label codes of the sensor information record.
enum class SensorLabel : std::uint8_t { AI = 0, GI = 1, DN = 2, CN = 3, CI = 4 };

struct PressureInputConfig {
    SensorLabel label = SensorLabel::GI;
    float lowerLimit = 0.0f;  // PSI
    float upperLimit = 100.0f;
    ChannelBehaviour behaviour{14.7f, 0.002f, 0.0f};
};

struct DeviceConfig {
    std::string modelCode = "4402";
    std::string modelName = "T4402 Dual Pressure";
    std::string thirdIdentification = "A1234";  // offered by discovery only when exactly 5 characters
    std::string version = "01.00";
    std::string serialNumber = "SIM0000001";
    std::uint8_t address = 40;
    bool hasP2 = true;
    bool hasOutputModule = false;  // kOutputModule
    bool hasSecondModule = false;  // module 0x41
    bool hasLogStore = false;      // kLogStoreModule and kLogStateModule
    PressureInputConfig p1;
    PressureInputConfig p2{SensorLabel::GI, 0.0f, 100.0f, {100.0f, 0.002f, 0.0f}};
    ChannelBehaviour temperature{22.5f, 0.05f, 0.0f};
    std::uint8_t pressureUnit = kUnitPsi;
    std::uint8_t temperatureUnit = kUnitCelsius;
    std::string description = "Simulated transmitter";
    std::string tag = "PT-100";
    std::string asset = "ASSET-0001";
    std::string manufacturingRecord = "Built by the simulator";
    std::uint8_t outputKind = 0x40;  // '@' volts, anything else milliamps
    std::uint8_t recalibrationPoints = 3;
    bool recalibrationAllowed = true;
    bool smartDamping = true;  // the sensor range command is known
    bool collectingData = false;
    std::uint64_t seed = 1;
    std::vector<LogDescription> logs;
};

// The preset of a model code: "4400", "4402", "440D", "Q710" or "Q712", in
// any case ("q712" is "Q712").
std::optional<DeviceConfig> ModelConfig(std::string_view modelCode);
// The model codes that have a preset.
std::vector<std::string> ModelCodes();

}  // namespace corvel::sim
