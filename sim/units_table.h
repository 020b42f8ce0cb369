#pragma once
// The engineering units a simulated transmitter knows: code, name as the unit
// record carries it (at most 7 characters), conversion factor from the
// transmitter's base unit (PSI for pressure, degrees Celsius for temperature)
// and the digit counts it reports with readings in that unit.

#include <cstdint>
#include <span>

namespace corvel::sim {

struct UnitInfo {
    std::uint8_t code = 0;
    const char* name = "";
    float factor = 1.0f;  // value in this unit = base value x factor
    std::int8_t accuracyDigits = 0;
    std::int8_t precisionDigits = 0;
    std::uint8_t attribute = 0;
    bool temperature = false;
};

inline constexpr std::uint8_t kUnitPsi = 1;
inline constexpr std::uint8_t kUnitCelsius = 32;
inline constexpr std::uint8_t kUnitFahrenheit = 33;

std::span<const UnitInfo> UnitTable();

// The unit with this code, or nullptr when the code is not in the table.
const UnitInfo* FindUnit(std::uint8_t code);

// A base value (PSI or degrees Celsius) expressed in `unit`.
float ToUnit(float baseValue, const UnitInfo& unit);

}  // namespace corvel::sim
