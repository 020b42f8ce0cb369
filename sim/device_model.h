#pragma once
// The state of one simulated transmitter: its configuration, live inputs,
// selected units, information records, the memory map of each module, the
// recalibration of each pressure input, the log store and the faults a test
// has switched on.

#include <array>
#include <cstdint>
#include <map>
#include <memory>

#include "sim/device_config.h"
#include "sim/faults.h"
#include "link/device_addresses.h"
#include "link/frame.h"
#include "sim/live_channel.h"
#include "sim/log_store.h"
#include "sim/memory_map.h"
#include "sim/recalibration.h"

namespace corvel::sim {

// Channel positions of the channel commands, in mask order.
enum class Channel { P1 = 0, P2 = 1, Third = 2, Temperature = 3 };
inline constexpr std::array<Channel, 4> kAllChannels{Channel::P1, Channel::P2, Channel::Third, Channel::Temperature};

// Status of a channel that this transmitter does not have.
inline constexpr std::uint8_t kChannelAbsent = 0xFF;

// Fields of the information records, as stored.
inline constexpr std::size_t kDescriptionSize = 128;
inline constexpr std::size_t kTagSize = 32;

class SimDevice {
public:
    explicit SimDevice(DeviceConfig config);

    const DeviceConfig& config() const { return config_; }
    std::uint8_t networkAddress() const;

    bool hasChannel(Channel channel) const;
    LiveChannel& live(Channel channel);
    // A reading of the channel at `seconds`, in its selected unit.
    float readInUnit(Channel channel, double seconds);
    float inUnit(Channel channel, float baseValue) const;
    std::uint8_t unitCode(Channel channel) const;
    // False when the code is not a unit of that channel's kind.
    bool selectUnit(Channel channel, std::uint8_t code);
    const PressureInputConfig& pressureInput(Channel channel) const;

    // The memory map of a module; unknown module numbers reach the pressure module.
    MemoryMap& memory(std::uint8_t module);

    std::array<std::uint8_t, kDescriptionSize>& description() { return description_; }
    std::array<std::uint8_t, kTagSize>& tag() { return tag_; }
    std::array<std::uint8_t, kTagSize>& asset() { return asset_; }

    Recalibration& recalibration(Channel channel) { return channel == Channel::P2 ? recalP2_ : recalP1_; }
    LogStore* logStore() { return config_.hasLogStore ? &logStore_ : nullptr; }

    Faults faults;
    std::size_t logBlocksServed = 0;
    // Requests answered that change a setting (units, information records, memory).
    std::size_t settingWrites = 0;

private:
    void fillPressureModule();
    void fillOutputModule();
    std::size_t index(Channel channel) const { return static_cast<std::size_t>(channel); }

    DeviceConfig config_;
    std::array<LiveChannel, 4> channels_;
    std::array<std::uint8_t, 4> units_;
    std::map<std::uint8_t, MemoryMap> memory_;
    std::array<std::uint8_t, kDescriptionSize> description_{};
    std::array<std::uint8_t, kTagSize> tag_{};
    std::array<std::uint8_t, kTagSize> asset_{};
    Recalibration recalP1_;
    Recalibration recalP2_;
    LogStore logStore_;
};

}  // namespace corvel::sim
