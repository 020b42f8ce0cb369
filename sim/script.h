#pragma once
// Settings of a simulated line in text form, one setting a line, as the
// corvel-sim program takes them from its options and from a --script file.
// Lines apply to the current transmitter: the first one, until a "device"
// line adds another. Numbers are read in the C locale. docs/simulator.md
// lists every setting.

#include <array>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/device_config.h"
#include "sim/faults.h"
#include "sim/line.h"

namespace corvel::sim {

struct DeviceSpec {
    DeviceConfig config;
    Faults faults;
    std::array<std::uint8_t, 4> statuses{};  // P1, P2, third, temperature
};

struct LineSpec {
    LineTiming timing;
    std::vector<DeviceSpec> devices{DeviceSpec{}};
};

// Applies one setting ("serial SN42", "fault delay 200"); blank lines and
// lines starting with '#' do nothing. Returns an error text on failure.
std::optional<std::string> ApplySetting(LineSpec& lineSpec, std::string_view line);

// Applies every line of a script; the error names the line number.
std::optional<std::string> ApplyScript(LineSpec& lineSpec, std::istream& script);

// Puts the transmitters of `lineSpec` on `line`, with their faults and statuses.
void Populate(SimLine& line, const LineSpec& lineSpec);

}  // namespace corvel::sim
