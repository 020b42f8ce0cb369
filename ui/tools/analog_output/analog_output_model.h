#pragma once
// The Analog Output window without its widgets: reads the pressure range,
// the output type and levels, the transmitter alarm and the two digital
// output alarms when it opens (correcting what lies outside the sensor
// limits), tracks the operator's edits, and saves, zeroes and resets to
// factory defaults. The rules themselves are in analog_output_rules.h; this
// model runs the sequences against its own DeviceSession and reports through
// the Prompter.

#include <array>
#include <optional>
#include <string>

#include "config/analog_output_rules.h"
#include "link/device_session.h"
#include "ui/support/prompter_notifier.h"
#include "ui/support/window_host.h"
#include "link/stored_connection.h"
#include "ui/tools/tool_context.h"

namespace corvel {

// The ten fields the operator edits, in the order the edited flags are kept.
enum class AoField { Lrv, Urv, AoAtLrv, AoAtUrv, Alarm1Value1, Alarm1Value2, Alarm1Deadband, Alarm2Value1,
                     Alarm2Value2, Alarm2Deadband };
inline constexpr std::size_t kAoFieldCount = 10;

struct AlarmState {
    std::string caption;  // "Digital Output 1 (PSI)"
    std::array<std::string, 3> labels;
    std::array<std::string, 3> texts;  // value 1, value 2, deadband
    bool controlsShown = false;        // the list, value 1, deadband and their labels
    bool value2Shown = false;
};

// What the window shows; texts in UTF-8.
struct AnalogOutputState {
    std::string pressureCaption = "Pressure (PSI)";
    std::string measurementText;
    std::string lslText;
    std::string uslText;
    std::string minimumSpanText;
    std::string lrvText;
    std::string urvText;
    std::string outputCaption = "Output (V)";
    std::string aoAtLrvText;
    std::string aoAtUrvText;
    std::string alarmLevelText;
    bool transmitterAlarmHi = false;
    std::string transferValueText;
    std::array<AlarmState, 2> alarms;
};
// The text shown in one of the ten editable fields.
const std::string& ShownText(const AnalogOutputState& state, AoField field);

class AnalogOutputModel {
public:
    // The host waits after a zero and shows the values that change in the
    // middle of a sequence (before its next box).
    AnalogOutputModel(const ToolContext& context, WindowHost& host);

    const AnalogOutputSettings& settings() const { return settings_; }
    const AnalogOutputState& state() const { return state_; }
    bool valuesEdited() const { return valuesEdited_; }
    DeviceSession& session() { return session_; }

    void open();

    // The operator's edits. A field that lost focus after editing:
    void markEdited(AoField field);
    // Takes the texts of the edited fields (others keep their full-precision
    // values) and shows the values taken. When a text is no number, nothing is
    // taken: false, after the operator is asked to enter one; notANumber()
    // names the field until the next texts are taken.
    bool takeTexts(const std::array<std::string, kAoFieldCount>& texts);
    std::optional<AoField> notANumber() const { return notANumber_; }

    void chooseTransfer(std::uint8_t transfer);
    void chooseTransmitterAlarm(std::uint8_t alarm);
    void chooseOutput(OutputType output);
    void chooseAlarmState(std::size_t alarm, std::uint8_t state);
    void chooseCondition(std::size_t alarm, int position);

    // Save Values with the texts of the ten fields.
    void save(const std::array<std::string, kAoFieldCount>& texts);
    void zero();
    void resetDefaults();
    // Close: true when the window may close (asks first when values were
    // edited). Cancel, or Save with a text that is no number, keeps it open
    // with nothing changed.
    bool close(const std::array<std::string, kAoFieldCount>& texts);

private:
    struct FactoryDefaults;

    void save();
    RouteBlock route(Module module) const;
    bool readAlarmBlock();
    bool readOutputLevels();
    bool readPressure();
    // Shows the read error; false, so that opening ends.
    bool readFailed();
    bool readRange();
    bool convertAlarms();
    bool apply(const OpenCorrection& correction);
    std::optional<std::size_t> deadbandAlarm(const MemoryWrite& write) const;
    bool write(const MemoryWrite& write);
    bool readDeadbandBack(std::size_t alarm);
    void finishOpening();
    void reportLinkFailure();
    void showTransmitterAlarm(bool hi);
    void finishHandler();
    void showAll();
    void showAlarm(std::size_t alarm);
    void showAlarmValues(std::size_t alarm);
    void restoreAfterSave(const SaveCheck& check);
    bool resetFromDefaults();
    bool readDefaults(FactoryDefaults& defaults);
    std::string pressureText(float value, int width) const;

    ToolContext context_;
    WindowHost& host_;
    PrompterNotifier notifier_;
    DeviceSession session_;
    StoredConnection connection_;
    std::uint32_t alarmBlock_ = 0;    // B
    std::uint32_t defaultBlock_ = 0;  // D
    float minimumSpanFraction_ = 0.0f;
    int decimals_ = 0;
    std::string unitName_ = "PSI";
    AnalogOutputSettings settings_;
    AnalogOutputState state_;
    std::array<bool, kAoFieldCount> edited_{};
    bool valuesEdited_ = false;
    std::optional<AoField> notANumber_;
};

}  // namespace corvel
