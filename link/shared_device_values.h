#pragma once
// Device values that several windows share through the link rather than
// through a window: the unit code selected for P1, its conversion factor and
// the sensor limits of the manufacturing record, and the network address that
// the information window addresses after reading the manufacturing record.

#include <cstdint>

namespace corvel {

struct SharedDeviceValues {
    std::uint8_t selectedUnitCode = 0;    // written by ReadEngineeringUnits (P1 unit code)
    float conversionFactor = 0.0f;        // written by ReadUnitRecordP1Selected
    float lowerSensorLimit = 0.0f;        // LSL, written by ReadManufacturingLimits
    float upperSensorLimit = 0.0f;        // USL, written by ReadManufacturingLimits
    std::uint8_t networkAddress = 0;      // written by ReadManufacturingRecord (its route byte 3)
};

// The one set of the running program.
SharedDeviceValues& TheSharedDeviceValues();

}  // namespace corvel
