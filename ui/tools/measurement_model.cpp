#include "measurement_model.h"

#include <charconv>

#include "reading_status.h"

namespace corvel {
namespace {

constexpr const char* kUnitInvalid = "Unit Invalid";
constexpr const char* kDampStateError = "Error setting damp state";
constexpr const char* kNoP2Label = "P2: N/A ";
constexpr int kSensorRangeUnknown = 16;
constexpr int kUnitInvalidStatus = 1;
constexpr std::chrono::milliseconds kZeroSettling{500};

int DigitChoice(const PressureState& input) { return input.precision ? 1 : 0; }

}  // namespace

MeasurementModel::MeasurementModel(const ToolContext& context, MeasurementHost& host)
    : context_(context),
      host_(host),
      notifier_(context.prompter),
      session_(LinkContext{context.comm, context.store, context.ports, notifier_, context.shared}) {}

PressureState& MeasurementModel::pressure(PressureInput input) {
    return input == PressureInput::P1 ? state_.p1 : state_.p2;
}

// ---- Opening ------------------------------------------------------------------

void MeasurementModel::open() {
    host_.setWaitCursor(true);
    connection_ = ReadStoredConnection(context_.store, context_.comm);
    state_.p2Present = context_.comm.p2Present;
    route_ = PressureModuleRoute(connection_);
    session_.ReadDeviceStrings(route_, connection_.commModule);
    session_.ReadSensorRange(true, state_.p2Present, false, true, route_);
    state_.p1.smartEnabled = session_.sensorRangeStatus != kSensorRangeUnknown;
    state_.p1.smart = state_.p1.smartEnabled && session_.p1Range.bytes[3] == 1;

    state_.p1.precision = state_.p2.precision = true;
    session_.ReadEngineeringUnits(false, false, false, true, route_);  // the temperature unit alone
    state_.fahrenheit = session_.temperature.unitCode == 0;
    refresh();

    session_.ReadSensorInfoP1(route_);
    state_.p1.label = session_.p1Sensor.label + session_.p1Sensor.upperLimitText;
    openP2();
    if (context_.comm.earlyFirmware) state_.p1.dampingOnEnabled = state_.p2.dampingOnEnabled = false;
    resetMinMaxTexts();
    openDamping();
    state_.resetMinMax = true;
    if (state_.p2Present) state_.p2.label = session_.p2Sensor.label + session_.p2Sensor.upperLimitText;
    show();
    host_.setWaitCursor(false);
}

void MeasurementModel::openP2() {
    PressureState& p2 = state_.p2;
    if (!state_.p2Present) {
        p2.label = kNoP2Label;
        p2.unitCode = 0;
        session_.p2.unitCode = 0;
        p2.dampingOnEnabled = p2.digitsEnabled = p2.spinnerEnabled = false;
        p2.statusText.clear();
        return;
    }
    session_.ReadSensorInfoP2(route_);
    p2.dampingOnEnabled = true;
    session_.ReadDampingEnabledP2(route_);
    if (!session_.dampingEnabledP2) return;
    p2.dampingOn = true;
    readDampingTime(PressureInput::P2);
    p2.dampingEditEnabled = true;
    p2.smartEnabled = session_.sensorRangeStatus != kSensorRangeUnknown;
    p2.smart = p2.smartEnabled && session_.p2Range.bytes[3] == 1;
}

void MeasurementModel::openDamping() {
    session_.ReadDampingEnabledP1(route_);
    if (!session_.dampingEnabledP1) return;
    state_.p1.dampingOn = true;
    state_.p1.dampingEditEnabled = true;
    readDampingTime(PressureInput::P1);
}

void MeasurementModel::readDampingTime(PressureInput input) {
    if (input == PressureInput::P1) {
        session_.ReadDampingTimeP1(route_);
        state_.p1.dampingText = session_.dampingTextP1;
    } else {
        session_.ReadDampingTimeP2(route_);
        state_.p2.dampingText = session_.dampingTextP2;
    }
}

// ---- Readings -----------------------------------------------------------------

void MeasurementModel::measure(bool restartMinMax) {
    if (restartMinMax) {
        session_.ReadMeasurementsForOutput(true, state_.p2Present, false, true, route_, true, DigitChoice(state_.p1),
                                           DigitChoice(state_.p2));
    } else {
        session_.ReadMeasurements(true, state_.p2Present, false, true, route_, true, DigitChoice(state_.p1),
                                  DigitChoice(state_.p2));
    }
    takeReadingTexts();
}

void MeasurementModel::takeReadingTexts() {
    const auto take = [](const ChannelState& channel, PressureState& shown) {
        shown.valueText = channel.displayText;
        shown.minimumText = channel.minimumText;
        shown.maximumText = channel.maximumText;
    };
    take(session_.p1, state_.p1);
    if (state_.p2Present) take(session_.p2, state_.p2);
    state_.temperatureText = session_.temperature.displayText;
}

void MeasurementModel::resetMinMaxTexts() {
    state_.p1.minimumText = state_.p1.maximumText = state_.p1.valueText;
    if (state_.p2Present) state_.p2.minimumText = state_.p2.maximumText = state_.p2.valueText;
}

void MeasurementModel::takeUnits() {
    state_.p1.unitCode = session_.p1.unitCode;
    state_.p1.unitName = session_.p1.unitName;
    if (state_.p2Present) {
        state_.p2.unitCode = session_.p2.unitCode;
        state_.p2.unitName = session_.p2.unitName;
    }
}

void MeasurementModel::applyStatus(PressureInput input, bool inReadingLoop) {
    const int code = input == PressureInput::P1 ? session_.p1.statusCode : session_.p2.statusCode;
    const ReadingStatus status = ReadingStatusOf(code, input == PressureInput::P1 && inReadingLoop);
    PressureState& shown = pressure(input);
    if (status.text) shown.statusText = *status.text;
    switch (status.field) {
        case StatusField::NormalBoth:
            shown.colour = state_.temperatureColour = FieldColour::Normal;
            break;
        case StatusField::Channel: shown.colour = FieldColour::Alarm; break;
        case StatusField::Temperature: state_.temperatureColour = FieldColour::Alarm; break;
        case StatusField::Unchanged: break;
    }
    if (status.dashChannelValue) shown.valueText = kDashedValue;
    if (status.dashTemperatureValue) state_.temperatureText = kDashedValue;
}

void MeasurementModel::refresh() {
    measure(false);
    applyStatus(PressureInput::P1, false);
    if (session_.p2.statusCode == kUnitInvalidStatus) context_.prompter.error(kUnitInvalid);
    applyStatus(PressureInput::P2, false);
    session_.ReadEngineeringUnits(true, state_.p2Present, false, true, route_);
    takeUnits();
    route_[5] = connection_.moduleAddress;
    host_.setWaitCursor(false);
    show();
}

void MeasurementModel::reportReading() {
    if (!session_.lastExchangeSucceeded) return;  // nothing new arrived
    TrendReading reading{session_.p1.value, std::nullopt, session_.temperature.value};
    if (state_.p2Present) reading.p2 = session_.p2.value;
    host_.readingTaken(reading);
}

void MeasurementModel::read() {
    state_.activity = Activity::Reading;
    show();
    measure(true);
    resetMinMaxTexts();
    while (!stopRequested_) {
        host_.processEvents();
        route_[5] = connection_.moduleAddress;
        measure(false);
        applyStatus(PressureInput::P1, true);
        if (state_.p2Present) applyStatus(PressureInput::P2, true);
        reportReading();
        show();
    }
    // The route keeps the pressure module of the stored settings after the loop.
    state_.activity = Activity::Idle;
    stopRequested_ = false;
    show();
}

void MeasurementModel::requestStop() { stopRequested_ = true; }

// ---- Units, digits, zero ---------------------------------------------------------

void MeasurementModel::stepUnit(PressureInput input, int step) {
    PressureState& shown = pressure(input);
    shown.unitCode += step;
    session_.p1.unitCode = static_cast<std::uint8_t>(state_.p1.unitCode);
    session_.p2.unitCode = static_cast<std::uint8_t>(state_.p2.unitCode);
    session_.temperature.unitCode = state_.fahrenheit ? 0 : 1;
    session_.WriteEngineeringUnits(true, state_.p2Present, true, route_);
    takeUnits();
    measure(false);
    applyStatus(input, false);
    show();
}

bool MeasurementModel::takeUnitCodeText(const std::string& text) {
    int code = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), code);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        context_.prompter.notify("Please enter an integer.");
        show();
        return false;
    }
    state_.p1.unitCode = code;
    return true;
}

void MeasurementModel::chooseDigits(PressureInput input, bool precision) {
    pressure(input).precision = precision;
    refresh();
}

void MeasurementModel::chooseTemperatureUnit(bool fahrenheit) {
    state_.fahrenheit = fahrenheit;
    session_.p1.unitCode = static_cast<std::uint8_t>(state_.p1.unitCode);
    session_.p2.unitCode = static_cast<std::uint8_t>(state_.p2.unitCode);
    session_.temperature.unitCode = fahrenheit ? 0 : 1;
    session_.WriteEngineeringUnits(true, state_.p2Present, true, route_);
    refresh();
}

void MeasurementModel::zero() {
    measure(true);
    const Message question{kZeroQuestion, kZeroCaption, MessageIcon::Warning, MessageButtons::YesNo};
    if (context_.prompter.show(question) != MessageAnswer::Yes) return;
    session_.ZeroChannels(true, state_.p2Present, true, route_);
    reportZeroResult();
    host_.wait(kZeroSettling, {});
    measure(false);
    resetMinMaxTexts();
    show();
}

void MeasurementModel::reportZeroResult() {
    if (const char* text = ZeroResultText(session_.p1.statusCode)) context_.prompter.error(text);
}

// ---- Damping ----------------------------------------------------------------------

void MeasurementModel::switchDamping(PressureInput input, bool on) {
    PressureState& shown = pressure(input);
    shown.dampingOn = on;
    const std::uint8_t flag = on ? 1 : 0;
    const bool written = input == PressureInput::P1 ? session_.WriteDampingEnabledP1(route_, flag)
                                                     : session_.WriteDampingEnabledP2(route_, flag);
    if (written) {
        session_.SendEmptyCommand(route_);
        if (on) readDampingTime(input);
        shown.dampingEditEnabled = on;
    } else {
        context_.prompter.error(kDampStateError);
    }
    show();
}

void MeasurementModel::setDampingTime(PressureInput input, const std::string& text) {
    pressure(input).dampingText = text;
    if (input == PressureInput::P1) {
        session_.dampingTextP1 = text;
        session_.WriteDampingTimeP1(route_);
    } else {
        session_.dampingTextP2 = text;
        session_.WriteDampingTimeP2(route_);
    }
    session_.SendEmptyCommand(route_);
}

void MeasurementModel::chooseDampingMode(PressureInput input, bool smart) {
    pressure(input).smart = smart;
    const std::uint32_t address = input == PressureInput::P1 ? kDampingModeAddressP1 : kDampingModeAddressP2;
    session_.WriteMemoryByteAt(route_, address, smart ? 1 : 0);
}

}  // namespace corvel
