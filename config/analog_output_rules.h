#pragma once
// The rules of the analog output and alarm settings: what the pressure range,
// the output levels and the two digital output alarms must satisfy before they
// are written, the corrections made when they are read or saved, the
// conversion of alarm values to and from percent of the pressure span, and
// the memory writes that store them, in the transmitter's order.
//
// Pressure values are in the display unit (the transmitter's unit times the
// conversion factor); alarm values are stored in the transmitter as percent
// of span: value = LRV + percent x 0.01 x (URV - LRV). The arithmetic is in
// single precision, as the transmitter keeps it, except the conversion back
// from percent (see ValueFromPercent).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvel {

// An excess over a sensor limit up to this much (display units) is not a violation.
inline constexpr float kLimitTolerance = 0.00013f;
// The smallest reset deadband: this fraction of the sensor span (USL - LSL).
inline constexpr float kMinimumDeadbandFraction = 0.005f;

inline constexpr std::uint8_t kAlarmOpen = 0;
inline constexpr std::uint8_t kAlarmClosed = 1;
inline constexpr std::uint8_t kAlarmInactive = 255;

enum class OutputType { Volts, Current };

// Condition list positions 0-5 and the codes the transmitter keeps.
inline constexpr std::array<const char*, 6> kConditionTexts = {
    "Between", "Not Between", "Greater Than", "Less Than", "Greater Than or Equal", "Less Than or Equal"};
bool IsRangeCondition(int position);
std::uint8_t ConditionCode(int position);
// The list position of a code; a code outside the list is taken as the position itself.
int ConditionPosition(std::uint8_t code);

struct AlarmSettings {
    std::uint8_t state = kAlarmInactive;
    int condition = 0;  // list position
    float value1 = 0.0f;
    float value2 = 0.0f;
    float deadband = 0.0f;
};

// Alarm values as the transmitter keeps them.
struct AlarmPercent {
    float value1 = 0.0f;
    float value2 = 0.0f;  // unconverted (pressure units) until converted for a range condition
    float deadband = 0.0f;
    bool value2Converted = false;
};

struct AnalogOutputSettings {
    float lrv = 0.0f;
    float urv = 0.0f;
    float lsl = 0.0f;
    float usl = 0.0f;
    float minimumSpan = 0.0f;
    float conversionFactor = 1.0f;
    OutputType output = OutputType::Volts;
    float aoAtLrv = 0.0f;
    float aoAtUrv = 0.0f;
    std::uint8_t transmitterAlarm = 0;
    std::uint8_t transfer = 0;
    float transferValue = 0.0f;
    std::array<AlarmSettings, 2> alarms;
};

enum class Module { Pressure, Output };

struct MemoryWrite {
    Module module = Module::Output;
    std::uint32_t address = 0;
    bool isByte = false;
    std::uint8_t byte = 0;
    float value = 0.0f;

    bool operator==(const MemoryWrite&) const = default;
};
MemoryWrite ByteWrite(Module module, std::uint32_t address, std::uint8_t value);
MemoryWrite FloatWrite(Module module, std::uint32_t address, float value);

float MinimumDeadband(float lsl, float usl);
float PercentOfSpan(float value, float lrv, float urv);
float DeadbandPercent(float deadband, float lrv, float urv);
// Back from percent: rounded through a six-decimal text before LRV is added,
// in double precision so that a value saved unchanged keeps its percentage.
float ValueFromPercent(float percent, float lrv, float urv);
float DeadbandFromPercent(float percent, float lrv, float urv);

// ---- Save Values -------------------------------------------------------------------

// A range condition's values in ascending order (value 1 the lower).
void SortRangeValues(std::array<AlarmSettings, 2>& alarms);

enum class NoteKind { Warning, Failure };
struct RuleNote {
    NoteKind kind = NoteKind::Failure;
    std::string text;
    bool operator==(const RuleNote&) const = default;
};

struct SaveCheck {
    // Deadband warnings, then the first failing rule (if any), in the order they arose.
    std::vector<RuleNote> notes;
    bool failed = false;
    bool alarm2Failed = false;  // the failing rule is one of alarm 2's (one box instead of two)
    // The values as checked: range-condition values in ascending order, URV
    // snapped to USL, deadbands raised to the minimum.
    AnalogOutputSettings checked;
    // The alarms that reached their conversion to percent of span.
    std::array<std::optional<AlarmPercent>, 2> percent;
    // When nothing failed: every write, in the transmitter's order.
    std::vector<MemoryWrite> writes;
};

inline constexpr const char* kBadConversionFactor = "Read error (bad conversion value)       ";

// Checks the settings in the fixed order of the rules; the first failing rule
// stops the check. `alarmBlock` is B.
SaveCheck CheckSaveValues(const AnalogOutputSettings& settings, std::uint32_t alarmBlock);

// ---- Corrections when the settings are read ---------------------------------------

struct OpenCorrection {
    std::optional<std::string> message;  // shown before the write
    std::optional<MemoryWrite> write;
};

// LRV and URV as read (display units) against the sensor limits: snapped to
// LSL and USL, with a message and a write beyond the tolerance; a URV of 0
// is written as 100.0 without a message. Changes `lrv` and `urv`.
std::vector<OpenCorrection> CorrectRangeAtOpen(float& lrv, float& urv, float lsl, float usl, float factor);

// Both alarms as read (values in display units, from percent): value 1
// below LSL and value 2 above USL for alarm 1, then alarm 2; then an invalid
// deadband of each, which is set to the minimum deadband and written back
// (the caller reads it back). `range` gives LRV, URV, LSL and USL. Changes `alarms`.
std::vector<OpenCorrection> CorrectAlarmsAtOpen(std::array<AlarmSettings, 2>& alarms,
                                                const AnalogOutputSettings& range, std::uint32_t alarmBlock);

}  // namespace corvel
