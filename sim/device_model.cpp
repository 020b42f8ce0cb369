#include "sim/device_model.h"

#include <algorithm>

namespace corvel::sim {
namespace {

template <std::size_t N>
std::array<std::uint8_t, N> TextField(const std::string& text) {
    std::array<std::uint8_t, N> field{};
    PutText(field, 0, N, text);
    return field;
}

// Live and default alarm blocks of the output module (pointed to by B and D).
constexpr std::uint16_t kLiveAlarmBlock = 0x3100;
constexpr std::uint16_t kDefaultAlarmBlock = 0x3200;

void FillAlarmBlock(MemoryMap& map, std::uint32_t block) {
    using namespace alarm_block;
    map.putU8(block + kTransfer, 0);                 // linear
    map.putF32(block + kMinimumSpanFraction, 0.1f);  // of the sensor span
    map.putU8(block + kTransmitterAlarm, 1);         // Hi
    map.putU8(block + kTransmitterAlarmCopy, 1);
    for (std::uint32_t alarm : {block + kAlarm[0], block + kAlarm[1]}) {
        map.putU8(alarm + kState, 255);  // inactive
        map.putU8(alarm + kCondition, 1);  // between
        map.putF32(alarm + kValue1, 10.0f);
        map.putF32(alarm + kValue2, 90.0f);
        map.putF32(alarm + kDeadband, 1.0f);
    }
}

}  // namespace

SimDevice::SimDevice(DeviceConfig config)
    : config_(std::move(config)),
      channels_{LiveChannel(config_.p1.behaviour, config_.seed), LiveChannel(config_.p2.behaviour, config_.seed + 1),
                LiveChannel({}, config_.seed + 2), LiveChannel(config_.temperature, config_.seed + 3)},
      units_{config_.pressureUnit, config_.pressureUnit, 0, config_.temperatureUnit},
      description_(TextField<kDescriptionSize>(config_.description)),
      tag_(TextField<kTagSize>(config_.tag)),
      asset_(TextField<kTagSize>(config_.asset)),
      recalP1_({config_.p1.lowerLimit, config_.p1.upperLimit, config_.recalibrationPoints,
                config_.recalibrationAllowed}),
      recalP2_({config_.p2.lowerLimit, config_.p2.upperLimit, config_.recalibrationPoints,
                config_.recalibrationAllowed && config_.hasP2}) {
    fillPressureModule();
    if (config_.hasOutputModule) fillOutputModule();
    if (config_.hasSecondModule) memory_[kSecondModule] = memory_[kPressureModule];
    for (const LogDescription& log : config_.logs) logStore_.add({log.fileName, BuildLogFile(log)});
    logStore_.collecting = config_.collectingData;
}

void SimDevice::fillPressureModule() {
    MemoryMap& map = memory_[kPressureModule];
    map.putText(address::kIdentificationBlock + identification::kModelCode, 8, config_.modelCode);
    map.putText(address::kIdentificationBlock + identification::kModelName, 64, config_.modelName);
    map.putText(address::kIdentificationBlock + identification::kThirdText, 47, config_.thirdIdentification);
    map.putText(address::kFirmwareVersion, 5, config_.version);
    map.putU8(address::kNetworkAddress, config_.address);
    map.putU8(address::kDampingEnabledP1, 1);
    map.putF32(address::kDampingTimeP1, 1.0f);
    map.putU8(address::kDampingEnabledP2, config_.hasP2 ? 1 : 0);
    map.putF32(address::kDampingTimeP2, 1.0f);
    map.putF32(address::kLowerRangeValue, config_.p1.lowerLimit);
    map.putF32(address::kUpperRangeValue, config_.p1.upperLimit);
}

void SimDevice::fillOutputModule() {
    MemoryMap& map = memory_[kOutputModule];
    map.putF32(address::kVoltsAtLrv, 0.0f);
    map.putF32(address::kVoltsAtUrv, 5.0f);
    map.putF32(address::kCurrentAtLrv, 4.0f);
    map.putF32(address::kCurrentAtUrv, 20.0f);
    map.putU16(address::kLiveAlarmBlockPointer, kLiveAlarmBlock);
    map.putU16(address::kDefaultAlarmBlockPointer, kDefaultAlarmBlock);
    map.putF32(address::kSquareRootValue, 1.0f);
    FillAlarmBlock(map, kLiveAlarmBlock);
    FillAlarmBlock(map, kDefaultAlarmBlock);
}

std::uint8_t SimDevice::networkAddress() const { return memory_.at(kPressureModule).u8(address::kNetworkAddress); }

bool SimDevice::hasChannel(Channel channel) const {
    switch (channel) {
    case Channel::P1:
    case Channel::Temperature: return true;
    case Channel::P2: return config_.hasP2;
    case Channel::Third: return false;
    }
    return false;
}

LiveChannel& SimDevice::live(Channel channel) { return channels_[index(channel)]; }

float SimDevice::inUnit(Channel channel, float baseValue) const {
    const UnitInfo* unit = FindUnit(units_[index(channel)]);
    return unit ? ToUnit(baseValue, *unit) : baseValue;
}

float SimDevice::readInUnit(Channel channel, double seconds) {
    return inUnit(channel, live(channel).sample(seconds));
}

std::uint8_t SimDevice::unitCode(Channel channel) const { return units_[index(channel)]; }

bool SimDevice::selectUnit(Channel channel, std::uint8_t code) {
    const UnitInfo* unit = FindUnit(code);
    if (!unit || !hasChannel(channel) || unit->temperature != (channel == Channel::Temperature)) return false;
    units_[index(channel)] = code;
    return true;
}

const PressureInputConfig& SimDevice::pressureInput(Channel channel) const {
    return channel == Channel::P2 ? config_.p2 : config_.p1;
}

MemoryMap& SimDevice::memory(std::uint8_t module) {
    const auto found = memory_.find(module);
    return found != memory_.end() ? found->second : memory_.at(kPressureModule);
}

}  // namespace corvel::sim
