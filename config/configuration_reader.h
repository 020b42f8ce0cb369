#pragma once
// Reading a transmitter's configuration through a DeviceSession, with the
// operations and in the order the tool windows read it when they open: the
// identification texts as the Transmitter Information window, units and
// damping as the Configuration window, and the range, output levels and
// alarms as the Analog Output window (without the corrections that window
// writes back: reading never changes the transmitter).

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "config/transmitter_configuration.h"
#include "link/device_session.h"
#include "link/stored_connection.h"

namespace corvel {

// Where the transmitter's modules are.
struct TransmitterRoutes {
    RouteBlock pressure{};
    RouteBlock output{};
    std::uint8_t recordModule = 40;  // the module byte of the information records
};

// The routes the tool windows build from the connection that discovery stored.
TransmitterRoutes RoutesFor(const StoredConnection& connection);

// What the analog output checks need of the transmitter beyond its settings.
struct AnalogOutputLimits {
    float lsl = 0.0f;  // display units, as the Analog Output window shows them
    float usl = 0.0f;
    float minimumSpanFraction = 0.0f;
    std::uint32_t alarmBlock = 0;  // B, where the live alarm settings are
    bool operator==(const AnalogOutputLimits&) const = default;
};

// A digital output alarm's values as the transmitter keeps them: percent of span.
struct StoredAlarmValues {
    float value1 = 0.0f;
    float value2 = 0.0f;
    float deadband = 0.0f;
    bool operator==(const StoredAlarmValues&) const = default;
};
using StoredAlarms = std::array<StoredAlarmValues, 2>;

// An alarm's set points as pressures from the percentages the transmitter
// keeps, as the Analog Output window shows them; LRV, URV and the result in
// one unit.
void SetAlarmPressures(DigitalOutputSettings& alarm, const StoredAlarmValues& stored, float lrv, float urv);

struct TransmitterReading {
    TransmitterConfiguration configuration;
    std::optional<AnalogOutputLimits> limits;  // with an analog output
    StoredAlarms storedAlarms{};               // with an analog output
};

struct ReadOutcome {
    std::optional<TransmitterReading> reading;
    std::string error;       // what could not be read, then the link's status text
    std::string failedRead;  // what could not be read alone ("the units")
};

// `readTime` goes into the document as it is (see IsoTimeNow).
ReadOutcome ReadConfiguration(DeviceSession& session, const TransmitterRoutes& routes, const std::string& readTime);

// The present time in UTC as ISO 8601 ("2026-12-08T15:47:13Z").
std::string IsoTimeNow();

}  // namespace corvel
