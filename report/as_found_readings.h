#pragma once
// The as-found readings of a commissioning report: a number of readings of
// the pressure inputs taken one after the other, each with its status, and
// the minimum, maximum and mean of those whose status leaves a value.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/device_session.h"

namespace corvel {

inline constexpr int kDefaultReadingCount = 10;
inline constexpr int kMaxReadingCount = 100;

struct InputReading {
    std::optional<double> value;  // none when the status replaces the value
    std::string text;             // the displayed digits, or "------"
    std::string status;           // "OK" or the status text
};

struct AsFoundReading {
    InputReading p1;
    std::optional<InputReading> p2;  // only on a transmitter with a second input
};

struct InputSummary {
    std::string minimum;  // "------" when no reading has a value
    std::string maximum;
    std::string mean;
};

// An input's unit and the digits the transmitter displays it with.
struct InputHeading {
    std::string unit;
    int decimals = 0;
};

struct AsFoundReadings {
    InputHeading p1;
    std::optional<InputHeading> p2;  // only on a transmitter with a second input
    std::vector<AsFoundReading> readings;
};

// One reading's input from the channel as a measurement read left it.
InputReading InputReadingOf(const ChannelState& channel, bool p1);

// Minimum, maximum and mean of the P1 (or P2) readings that have a value.
InputSummary SummaryOf(const AsFoundReadings& readings, bool p1);

// Takes `count` readings. `between` runs before each reading after the
// first (the window handles its events there) and ends the readings early
// when it returns false; a reading whose exchange fails is kept as one
// without a value, with the link's status text.
AsFoundReadings TakeAsFoundReadings(DeviceSession& session, const RouteBlock& route, bool p2, int count,
                                    const std::function<bool(int taken)>& between = {});

}  // namespace corvel
