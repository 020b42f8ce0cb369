#pragma once
// The trend plot's points as a CSV file for a spreadsheet: a header naming
// the transmitter (serial number, model), the start of the readings and each
// column's unit, then one line a point, its time in ISO 8601 with the local
// offset from UTC and its values in the C locale. Where a unit changed, a new
// column heading line names the new units before the first point in them.
// Texts in UTF-8, lines ended by CR LF.

#include <string>
#include <vector>

#include "ui/tools/measurement/measurement_model.h"
#include "ui/tools/measurement/trend_model.h"

namespace corvel {

// The time `seconds` (since 1970-01-01 UTC) as local ISO 8601 with milliseconds.
std::string IsoLocalTime(double seconds);

std::vector<std::string> TrendCsvLines(const TrendModel& plot, const PlottedTransmitter& transmitter,
                                       bool p2Present);

}  // namespace corvel
