#include "ui/tools/measurement/measurement_model.h"

#include "common/number_format.h"
#include "link/device_addresses.h"
#include "link/reading_status.h"
#include "link/windows1252.h"

namespace corvel {
namespace {

constexpr const char* kUnitInvalid = "Unit Invalid";
constexpr const char* kDampStateError = "Error setting damp state";
constexpr const char* kNoP2Label = "P2: N/A ";
const std::string kNoAnswer = "The transmitter did not answer: ";
constexpr int kSensorRangeUnknown = 16;
constexpr int kUnitInvalidStatus = 1;
constexpr std::chrono::milliseconds kZeroSettling{500};

int DigitChoice(const PressureState& input) { return input.precision ? 1 : 0; }

}  // namespace

MeasurementModel::MeasurementModel(const ToolContext& context, MeasurementHost& host)
    : context_(context),
      host_(host),
      notifier_(context.prompter),
      session_(LinkContext{context.comm, context.store, context.ports, notifier_, context.shared, context.exchanges}) {}

PressureState& MeasurementModel::pressure(PressureInput input) {
    return input == PressureInput::P1 ? state_.p1 : state_.p2;
}

// ---- Opening ------------------------------------------------------------------

void MeasurementModel::open() {
    host_.setWaitCursor(true);
    openingFailure_.reset();
    connection_ = ReadStoredConnection(context_.store, context_.comm);
    state_.p2Present = context_.comm.p2Present;
    route_ = PressureModuleRoute(connection_);
    answered(session_.ReadDeviceStrings(route_, connection_.commModule));
    readSmartChoice();
    state_.p1.precision = state_.p2.precision = true;
    // The temperature unit alone
    if (answered(session_.ReadEngineeringUnits(ChannelMask{.channel4 = true}, route_))) {
        state_.fahrenheit = session_.temperature.unitCode == 0;
    }
    answered(refresh());
    answered(readSensorHeadings());
    state_.p1.label = p1Heading_;
    openP2();
    if (context_.comm.earlyFirmware) state_.p1.dampingOnEnabled = state_.p2.dampingOnEnabled = false;
    resetMinMaxTexts();
    openDamping();
    state_.resetMinMax = true;
    if (state_.p2Present) state_.p2.label = p2Heading_;
    show();
    host_.setWaitCursor(false);
    if (openingFailure_) tellNoAnswer(*openingFailure_);
}

void MeasurementModel::readSmartChoice() {
    if (!answered(session_.ReadSensorRange(shownChannels(), route_))) return;
    state_.p1.smartEnabled = session_.sensorRangeStatus != kSensorRangeUnknown;
    state_.p1.smart = state_.p1.smartEnabled && session_.p1Range.bytes[3] == 1;
}

ChannelMask MeasurementModel::shownChannels() const {
    return ChannelMask{.p1 = true, .p2 = state_.p2Present, .channel4 = true};
}

// Keeps the link's text of the opening's first failed exchange.
bool MeasurementModel::answered(bool exchanged) {
    if (!exchanged && !openingFailure_) openingFailure_ = session_.statusText;
    return exchanged;
}

void MeasurementModel::tellNoAnswer(const std::string& linkText) {
    context_.prompter.error(kNoAnswer + linkText);
}

// The type labels with their range texts, P1 and, when present, P2.
bool MeasurementModel::readSensorHeadings() {
    const bool p1Read = session_.ReadSensorInfoP1(route_);
    if (p1Read) takeSensorInfo(session_.p1Sensor, p1Heading_, state_.p1);
    if (!state_.p2Present) return p1Read;
    const bool p2Read = session_.ReadSensorInfoP2(route_);
    if (p2Read) takeSensorInfo(session_.p2Sensor, p2Heading_, state_.p2);
    return p1Read && p2Read;
}

void MeasurementModel::takeSensorInfo(const SensorInfo& sensor, std::string& heading, PressureState& input) {
    heading = sensor.label + sensor.upperLimitText;
    input.sensorSpan = static_cast<double>(sensor.upperLimit) - static_cast<double>(sensor.lowerLimit);
    input.sensorSpanUnit = input.unitName;
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
    p2.dampingOnEnabled = true;
    openP2Damping();
}

void MeasurementModel::openP2Damping() {
    PressureState& p2 = state_.p2;
    if (!answered(session_.ReadDampingEnabledP2(route_)) || !session_.memory.dampingEnabledP2) return;
    p2.dampingOn = true;
    answered(readDampingTime(PressureInput::P2));
    p2.dampingEditEnabled = true;
    p2.smartEnabled = session_.sensorRangeStatus != kSensorRangeUnknown;
    p2.smart = p2.smartEnabled && session_.p2Range.bytes[3] == 1;
}

void MeasurementModel::openDamping() {
    if (!answered(session_.ReadDampingEnabledP1(route_)) || !session_.memory.dampingEnabledP1) return;
    state_.p1.dampingOn = true;
    state_.p1.dampingEditEnabled = true;
    answered(readDampingTime(PressureInput::P1));
}

bool MeasurementModel::readDampingTime(PressureInput input) {
    if (input == PressureInput::P1) {
        if (!session_.ReadDampingTimeP1(route_)) return false;
        state_.p1.dampingText = session_.memory.dampingTextP1;
    } else {
        if (!session_.ReadDampingTimeP2(route_)) return false;
        state_.p2.dampingText = session_.memory.dampingTextP2;
    }
    return true;
}

// ---- Readings -----------------------------------------------------------------

// One reading of the enabled channels; a reading that did not come shows as
// dashes with the link's text.
bool MeasurementModel::measure(bool restartMinMax) {
    if (restartMinMax) {
        session_.ReadMeasurementsForOutput(shownChannels(), route_, MinMax::With, DigitChoice(state_.p1),
                                           DigitChoice(state_.p2));
    } else {
        session_.ReadMeasurements(shownChannels(), route_, MinMax::With, DigitChoice(state_.p1),
                                  DigitChoice(state_.p2));
    }
    if (!session_.lastExchangeSucceeded) {
        showFailedReading();
        return false;
    }
    takeReadingTexts();
    return true;
}

void MeasurementModel::showLinkFailure() {
    state_.p1.statusText = session_.statusText;
    if (state_.p2Present) state_.p2.statusText = session_.statusText;
}

void MeasurementModel::reportLinkFailure() {
    showLinkFailure();
    show();
}

void MeasurementModel::showFailedReading() {
    state_.p1.valueText = kDashedValue;
    if (state_.p2Present) state_.p2.valueText = kDashedValue;
    state_.temperatureText = kDashedValue;
    showLinkFailure();
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

bool MeasurementModel::readUnits() {
    if (!session_.ReadEngineeringUnits(shownChannels(), route_)) return false;
    takeUnits();
    return true;
}

void MeasurementModel::takeUnits() {
    state_.unitsKnown = true;
    state_.p1.unitCode = session_.p1.unitCode;
    p1UnitName_ = session_.p1.unitName;
    state_.p1.unitName = Windows1252ToUtf8(p1UnitName_);
    if (state_.p2Present) {
        state_.p2.unitCode = session_.p2.unitCode;
        p2UnitName_ = session_.p2.unitName;
        state_.p2.unitName = Windows1252ToUtf8(p2UnitName_);
    }
}

void MeasurementModel::show() {
    state_.temperatureUnitName = Windows1252ToUtf8(session_.temperature.unitName);
    host_.showValues();
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

bool MeasurementModel::refresh() {
    const bool measured = measure(false);
    if (measured) {
        applyStatus(PressureInput::P1, false);
        if (session_.p2.statusCode == kUnitInvalidStatus) context_.prompter.error(kUnitInvalid);
        applyStatus(PressureInput::P2, false);
    }
    const bool unitsRead = readUnits();
    route_[5] = connection_.moduleAddress;
    host_.setWaitCursor(false);
    show();
    return measured && unitsRead;
}

void MeasurementModel::reportReading() {
    if (!session_.lastExchangeSucceeded) {
        host_.readingMissed();
        return;
    }
    TrendReading reading{session_.p1.value, std::nullopt, session_.temperature.value};
    if (state_.p2Present) reading.p2 = session_.p2.value;
    host_.readingTaken(reading);
}

PlottedTransmitter MeasurementModel::identity() {
    if (!serialNumber_ && session_.ReadIdentity(route_, connection_.commModule)) {
        serialNumber_ = Windows1252ToUtf8(session_.serialNumberText);
    }
    const std::string& model =
        session_.memory.modelNameText.empty() ? session_.memory.modelCodeText : session_.memory.modelNameText;
    return PlottedTransmitter{serialNumber_.value_or(std::string()), Windows1252ToUtf8(model)};
}

void MeasurementModel::read() {
    state_.activity = Activity::Reading;
    show();
    measure(true);
    resetMinMaxTexts();
    while (!stopRequested_) {
        host_.processEvents();
        route_[5] = connection_.moduleAddress;
        if (measure(false)) {
            applyStatus(PressureInput::P1, true);
            if (state_.p2Present) applyStatus(PressureInput::P2, true);
            reportReading();
            catchUpAfterSilence();
        } else {
            host_.readingMissed();
        }
        show();
    }
    // The route keeps the pressure module of the stored settings after the loop.
    state_.activity = Activity::Idle;
    stopRequested_ = false;
    show();
}

void MeasurementModel::requestStop() { stopRequested_ = true; }

// A transmitter that answers again after an opening it missed: what the
// opening read of it is read once it does, until every read has come.
void MeasurementModel::catchUpAfterSilence() {
    if (!openingFailure_) return;
    openingFailure_.reset();
    if (answered(readSensorHeadings())) {
        state_.p1.label = p1Heading_;
        if (state_.p2Present) state_.p2.label = p2Heading_;
    }
    answered(readUnits());
    readSmartChoice();
    openDamping();
    if (state_.p2Present) openP2Damping();
}

// ---- Units, digits, zero ---------------------------------------------------------

// Sends the unit codes shown (P1, P2 and the temperature unit) to the transmitter.
bool MeasurementModel::writeUnits() {
    session_.p1.unitCode = static_cast<std::uint8_t>(state_.p1.unitCode);
    session_.p2.unitCode = static_cast<std::uint8_t>(state_.p2.unitCode);
    session_.temperature.unitCode = state_.fahrenheit ? 0 : 1;
    return session_.WriteEngineeringUnits(shownChannels(), route_);
}

void MeasurementModel::stepUnit(PressureInput input, int step) {
    if (!state_.unitsKnown) return;  // no code of the transmitter's to step from
    PressureState& shown = pressure(input);
    const int previous = shown.unitCode;
    shown.unitCode += step;
    if (!writeUnits()) {
        shown.unitCode = previous;
        reportLinkFailure();
        return;
    }
    takeUnits();
    if (measure(false)) applyStatus(input, false);
    show();
}

bool MeasurementModel::takeControlValues(const ControlValues& values) {
    state_.p1.dampingText = values.p1DampingText;
    state_.p2.dampingText = values.p2DampingText;
    state_.collection.intervalText = values.intervalText;
    state_.collection.samplesText = values.samplesText;
    state_.resetMinMax = values.resetMinMax;
    if (!state_.unitsKnown) return true;  // the code fields are empty and locked
    if (!takeUnitCode(values.p1UnitCode, state_.p1)) return false;
    return !state_.p2Present || takeUnitCode(values.p2UnitCode, state_.p2);
}

bool MeasurementModel::takeUnitCode(const std::string& text, PressureState& input) {
    const std::optional<int> code = ParseWholeText<int>(text);
    if (!code) {
        context_.prompter.notify(kNotAnInteger);
        show();
        return false;
    }
    input.unitCode = *code;
    return true;
}

void MeasurementModel::chooseDigits(PressureInput input, bool precision) {
    pressure(input).precision = precision;
    refresh();
}

void MeasurementModel::chooseTemperatureUnit(bool fahrenheit) {
    // The write carries the pressure unit codes too: never codes the transmitter did not give.
    if (!state_.unitsKnown && !readUnits()) {
        reportLinkFailure();
        return;
    }
    const bool previous = state_.fahrenheit;
    state_.fahrenheit = fahrenheit;
    if (!writeUnits()) {
        state_.fahrenheit = previous;
        reportLinkFailure();
        return;
    }
    refresh();
}

void MeasurementModel::zero() {
    measure(true);
    const Message question{kZeroQuestion, kZeroCaption, MessageIcon::Warning, MessageButtons::YesNo};
    if (context_.prompter.show(question) != MessageAnswer::Yes) return;
    session_.ZeroChannels(shownChannels(), route_);
    if (session_.lastExchangeSucceeded) reportZeroResult();
    else showLinkFailure();
    host_.wait(kZeroSettling, {});
    if (measure(false)) resetMinMaxTexts();
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
        if (on && !readDampingTime(input)) showLinkFailure();
        shown.dampingEditEnabled = on;
    } else {
        context_.prompter.error(kDampStateError);
    }
    show();
}

void MeasurementModel::setDampingTime(PressureInput input, const std::string& text) {
    pressure(input).dampingText = text;
    bool written = false;
    if (input == PressureInput::P1) {
        session_.memory.dampingTextP1 = text;
        written = session_.WriteDampingTimeP1(route_);
    } else {
        session_.memory.dampingTextP2 = text;
        written = session_.WriteDampingTimeP2(route_);
    }
    session_.SendEmptyCommand(route_);
    if (!written) reportLinkFailure();
}

void MeasurementModel::chooseDampingMode(PressureInput input, bool smart) {
    pressure(input).smart = smart;
    const std::uint32_t address = input == PressureInput::P1 ? address::kDampingModeP1 : address::kDampingModeP2;
    if (!session_.WriteMemoryByteAt(route_, address, smart ? 1 : 0)) reportLinkFailure();
}

}  // namespace corvel
