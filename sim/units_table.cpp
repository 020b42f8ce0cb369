#include "sim/units_table.h"

#include <array>

namespace corvel::sim {
namespace {

constexpr std::array<UnitInfo, 17> kUnits{{
    {1, "PSI", 1.0f, 3, 4, 0, false},
    {2, "kPa", 6.894757f, 2, 3, 0, false},
    {3, "MPa", 0.006894757f, 5, 6, 0, false},
    {4, "bar", 0.06894757f, 4, 5, 0, false},
    {5, "mbar", 68.94757f, 1, 2, 0, false},
    {6, "inH2O", 27.70759f, 2, 3, 0, false},
    {7, "ftH2O", 2.308966f, 3, 4, 0, false},
    {8, "mmH2O", 703.7763f, 0, 1, 0, false},
    {9, "cmH2O", 70.37763f, 1, 2, 0, false},
    {10, "inHg", 2.036021f, 3, 4, 0, false},
    {11, "mmHg", 51.71493f, 1, 2, 0, false},
    {12, "kg/cm2", 0.07030696f, 4, 5, 0, false},
    {13, "atm", 0.06804596f, 4, 5, 0, false},
    {14, "Pa", 6894.757f, 0, 0, 0, false},
    {15, "torr", 51.71493f, 1, 2, 0, false},
    {kUnitCelsius, "C", 1.0f, 1, 2, 0, true},
    {kUnitFahrenheit, "F", 1.8f, 1, 2, 0, true},
}};

}  // namespace

std::span<const UnitInfo> UnitTable() { return kUnits; }

const UnitInfo* FindUnit(std::uint8_t code) {
    for (const UnitInfo& unit : kUnits)
        if (unit.code == code) return &unit;
    return nullptr;
}

float ToUnit(float baseValue, const UnitInfo& unit) {
    if (unit.code == kUnitFahrenheit) return baseValue * 1.8f + 32.0f;
    return baseValue * unit.factor;
}

}  // namespace corvel::sim
