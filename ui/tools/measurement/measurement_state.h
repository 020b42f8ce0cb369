#pragma once
// What the Configuration window shows: the values of P1, P2 and the internal
// temperature, their status texts and field colours, the units, digits and
// damping controls, and the data collection fields, with texts in UTF-8. The
// model fills it; the view only shows it and passes the operator's edits back.

#include <string>

namespace corvel {

enum class FieldColour { Normal, Alarm };  // light grey, light red

struct PressureState {
    std::string label;  // type label with the range text, or "P2: N/A "
    std::string valueText;
    std::string minimumText;
    std::string maximumText;
    std::string statusText;
    FieldColour colour = FieldColour::Normal;
    int unitCode = 0;
    std::string unitName;
    bool precision = true;  // digit choice: "Precision", else "Accuracy"
    bool digitsEnabled = true;
    bool spinnerEnabled = true;
    bool dampingOn = false;
    bool dampingOnEnabled = true;
    std::string dampingText;
    bool dampingEditEnabled = false;  // the damping value edit and "Set"
    bool smart = false;               // damping mode: "Smart", else "Exponential"
    bool smartEnabled = true;
    // The sensor's full range (upper less lower limit) and the unit it was
    // read in; 0 until the sensor information is read.
    double sensorSpan = 0.0;
    std::string sensorSpanUnit;
};

enum class Activity { Idle, Reading, Collecting };

struct CollectionFields {
    std::string intervalText = "1";
    std::string samplesText = "100";
    int counter = 0;
    std::string path;
    bool append = false;
};

struct MeasurementState {
    bool p2Present = false;
    // The unit codes are the transmitter's own, read since the window opened;
    // until then they are neither shown nor written.
    bool unitsKnown = false;
    PressureState p1;
    PressureState p2;
    std::string temperatureText;
    FieldColour temperatureColour = FieldColour::Normal;
    std::string temperatureUnitName;
    bool fahrenheit = true;  // "°F", else "°C"
    bool resetMinMax = true;
    Activity activity = Activity::Idle;
    CollectionFields collection;
};

}  // namespace corvel
