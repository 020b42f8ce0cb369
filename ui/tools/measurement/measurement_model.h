#pragma once
// The Configuration window without its widgets: live readings of P1, P2 and
// the internal temperature with their status, units, digits, temperature
// unit, damping and zero, and the collection of readings into a file. It owns
// the window's DeviceSession and route, runs the window's sequences and
// loops, and fills a MeasurementState that the view shows.
//
// Loops (reading, collection) run on the caller's thread. Between two
// exchanges they let the host process the window's pending events, so that
// the operator's handlers (Stop, Close, digits, damping...) run there, never
// during an exchange.

#include <optional>
#include <string>

#include "link/device_session.h"
#include "ui/support/file_chooser.h"
#include "ui/tools/measurement/measurement_state.h"
#include "ui/support/prompter.h"
#include "ui/support/prompter_notifier.h"
#include "ui/support/window_host.h"
#include "readings/readings_file.h"
#include "link/stored_connection.h"
#include "ui/tools/tool_context.h"
#include "ui/tools/measurement/trend_model.h"

namespace corvel {

// The window host with the one thing only this window takes: each reading of
// the reading loop or of a collection, as it comes, for the trend plot, and
// each that failed.
class MeasurementHost : public WindowHost {
public:
    virtual void readingTaken(const TrendReading& reading) = 0;
    virtual void readingMissed() {}
};

// Who the plotted readings come from, for the plot's exported file.
struct PlottedTransmitter {
    std::string serialNumber;
    std::string model;
};

// The operator's settings of one collection run, checked.
struct CollectionPlan {
    unsigned interval = 1;  // seconds
    int samples = 0;
    ReadingsLineParts lineParts;
};

// What the operator has typed or ticked in the window's controls.
struct ControlValues {
    std::string p1UnitCode;
    std::string p2UnitCode;
    std::string p1DampingText;
    std::string p2DampingText;
    std::string intervalText;
    std::string samplesText;
    bool resetMinMax = true;
};

class MeasurementModel {
public:
    MeasurementModel(const ToolContext& context, MeasurementHost& host);

    const MeasurementState& state() const { return state_; }
    MeasurementState& edits() { return state_; }  // the view writes the operator's field edits here
    DeviceSession& session() { return session_; }

    // The opening sequence, before the window is shown.
    void open();

    void read();         // the reading loop, until the stop request
    void requestStop();  // "Stop" and "Close"
    bool stopRequested() const { return stopRequested_; }
    void zero();
    void stepUnit(PressureInput input, int step);
    void chooseDigits(PressureInput input, bool precision);
    void chooseTemperatureUnit(bool fahrenheit);
    void switchDamping(PressureInput input, bool on);
    void setDampingTime(PressureInput input, const std::string& text);
    void chooseDampingMode(PressureInput input, bool smart);

    // The serial number (read from the transmitter the first time it is
    // asked for) and the model; empty where the transmitter did not answer.
    PlottedTransmitter identity();

    // Data collection.
    void chooseFile();
    void toggleAppend();
    void collect();

    // Takes the control values into the window's data; false (after the
    // message) when a unit code is no whole number, whose previous code stays.
    bool takeControlValues(const ControlValues& values);

private:
    PressureState& pressure(PressureInput input);
    void openDamping();
    void openP2();
    void openP2Damping();
    void readSmartChoice();
    bool refresh();
    bool answered(bool exchanged);
    ChannelMask shownChannels() const;  // P1, P2 when present, and the temperature
    bool measure(bool minMax);
    void showLinkFailure();
    void reportLinkFailure();
    bool writeUnits();
    void showFailedReading();
    bool readUnits();
    bool readSensorHeadings();
    void takeSensorInfo(const SensorInfo& sensor, std::string& heading, PressureState& input);
    bool takeUnitCode(const std::string& text, PressureState& input);
    void applyStatus(PressureInput input, bool inReadingLoop);
    void takeReadingTexts();
    void resetMinMaxTexts();
    void takeUnits();
    void takeSensorLabels();
    bool readDampingTime(PressureInput input);
    void reportZeroResult();
    void tellNoAnswer(const std::string& linkText);
    void catchUpAfterSilence();
    void reportReading();
    void show();

    // Collection (measurement_collection.cpp).
    std::optional<CollectionPlan> checkCollection();
    int runCollection(const CollectionPlan& plan);
    void takeSample(std::size_t entry);
    void takeCollectedPressure(PressureInput input, SampleValues& values, bool colour);
    void writeCollection(CollectionPlan plan, int taken);

    ToolContext context_;
    MeasurementHost& host_;
    PrompterNotifier notifier_;
    DeviceSession session_;
    StoredConnection connection_;
    RouteBlock route_{};
    MeasurementState state_;
    SampleBuffer samples_;
    bool stopRequested_ = false;
    // The link's text of the first exchange of the opening that failed; the
    // reading loop reads what it missed once the transmitter answers.
    std::optional<std::string> openingFailure_;
    // The last sensor headings read (type label and range text); empty until one is.
    std::string p1Heading_;
    std::string p2Heading_;
    // The unit names in the transmitter's own bytes, as the readings file keeps them.
    std::string p1UnitName_;
    std::string p2UnitName_;
    std::optional<std::string> serialNumber_;
};

}  // namespace corvel
