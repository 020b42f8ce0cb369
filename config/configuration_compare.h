#pragma once
// Two configurations side by side, setting by setting, as a technician reads
// them. A value counts as different only when it shows differently with the
// digits the transmitter displays: a value that the transmitter rounds when
// it stores it is not a difference.

#include <string>
#include <vector>

#include "config/transmitter_configuration.h"

namespace corvel {

// Shown for a setting that one side does not have (another model family).
inline constexpr const char* kNotPresentText = "(none)";

struct ComparisonRow {
    std::string setting;  // "P1 unit", "URV", "Digital Output 1 condition", ...
    std::string transmitterText;
    std::string fileText;
    bool differs = false;
    bool operator==(const ComparisonRow&) const = default;
};

// Every setting of either side, in the order the tool windows show them:
// identification texts, pressure inputs, temperature unit, analog output.
// The identity and the read time are not settings and are not compared.
std::vector<ComparisonRow> CompareConfigurations(const TransmitterConfiguration& transmitter,
                                                 const TransmitterConfiguration& file);

// Only the rows that differ.
std::vector<ComparisonRow> Differences(const std::vector<ComparisonRow>& rows);

}  // namespace corvel
