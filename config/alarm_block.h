#pragma once
// The output module's live alarm block as the transmitter keeps it: the
// first 128 bytes hold the transfer, the minimum-span fraction and the
// transmitter alarm, the next 128 the two digital output alarms with their
// values in percent of span. Both halves are read with one block read each.

#include <array>
#include <cstdint>

#include "config/analog_output_rules.h"

namespace corvel {

using AlarmBlockBytes = std::array<std::uint8_t, 128>;

struct AlarmBlockHead {
    std::uint8_t transfer = 0;
    float minimumSpanFraction = 0.0f;
    std::uint8_t transmitterAlarm = 0;
};

// From the block read at B.
AlarmBlockHead DecodeAlarmBlockHead(const AlarmBlockBytes& block);
// From the block read at B+128: both alarms, values and deadbands in percent
// of span, the condition as a list position.
std::array<AlarmSettings, 2> DecodeAlarms(const AlarmBlockBytes& block);

// Where the output levels at LRV and URV of an output type are kept.
std::uint32_t OutputLevelAtLrvAddress(OutputType output);
std::uint32_t OutputLevelAtUrvAddress(OutputType output);

// A pressure value as the Analog Output window shows it with `decimals` and
// then reads it back (the sensor limits are used as shown).
float AsShown(float value, int decimals);

}  // namespace corvel
