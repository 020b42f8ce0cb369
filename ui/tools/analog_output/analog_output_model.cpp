#include "ui/tools/analog_output/analog_output_model.h"

#include <bit>
#include <cmath>

#include "common/bytes.h"
#include "config/alarm_block.h"
#include "common/number_format.h"
#include "link/device_addresses.h"
#include "link/reading_status.h"
#include "link/windows1252.h"

namespace corvel {
namespace {

constexpr const char* kReadError = "Device read error         ";
constexpr const char* kWriteError = "Device write error         ";
constexpr const char* kResetQuestion =
    "This will reset values (excluding Pressure and Output LRV/URV) back to factory defaults.\n\nContinue?";
constexpr const char* kNotANumber = "Please enter a number.";
constexpr const char* kCloseQuestion = "Values have been edited. Save new values to device before closing?";
constexpr const char* kHiLevel = "22.50";
constexpr const char* kInactive = "Inactive";
constexpr std::uint8_t kVoltsKind = 0x40;  // '@'
constexpr std::chrono::milliseconds kZeroSettling{500};

// The number the operator typed: a decimal in the C locale, blanks around it allowed.
std::optional<float> Number(std::string_view text) {
    return ParseWholeText<float>(text, {.blanks = " ", .plus = true});
}

float& FieldValue(AnalogOutputSettings& s, AoField field) {
    switch (field) {
        case AoField::Lrv: return s.lrv;
        case AoField::Urv: return s.urv;
        case AoField::AoAtLrv: return s.aoAtLrv;
        case AoField::AoAtUrv: return s.aoAtUrv;
        case AoField::Alarm1Value1: return s.alarms[0].value1;
        case AoField::Alarm1Value2: return s.alarms[0].value2;
        case AoField::Alarm1Deadband: return s.alarms[0].deadband;
        case AoField::Alarm2Value1: return s.alarms[1].value1;
        case AoField::Alarm2Value2: return s.alarms[1].value2;
        case AoField::Alarm2Deadband: return s.alarms[1].deadband;
    }
    return s.lrv;
}

std::string Level(float value) { return FormatFixed(value, 1, 2); }

}  // namespace

const std::string& ShownText(const AnalogOutputState& state, AoField field) {
    switch (field) {
        case AoField::Lrv: return state.lrvText;
        case AoField::Urv: return state.urvText;
        case AoField::AoAtLrv: return state.aoAtLrvText;
        case AoField::AoAtUrv: return state.aoAtUrvText;
        default: break;
    }
    const auto alarmField = static_cast<std::size_t>(field) - static_cast<std::size_t>(AoField::Alarm1Value1);
    return state.alarms[alarmField / 3].texts[alarmField % 3];
}

AnalogOutputModel::AnalogOutputModel(const ToolContext& context, WindowHost& host)
    : context_(context),
      host_(host),
      notifier_(context.prompter),
      session_(LinkContext{context.comm, context.store, context.ports, notifier_, context.shared}) {}

RouteBlock AnalogOutputModel::route(Module module) const {
    return RouteBlock{0x80, 0x80, kCommunicationModule, connection_.networkAddress, 0x80,
                      module == Module::Output ? kOutputModule : kPressureModule};
}

std::string AnalogOutputModel::pressureText(float value, int width) const {
    return FormatFixed(value, width, decimals_);
}

// ---- Opening ----------------------------------------------------------------------------

void AnalogOutputModel::open() {
    connection_ = ReadStoredConnection(context_.store, context_.comm);
    if (readAlarmBlock()) {
        showTransmitterAlarm(settings_.transmitterAlarm != 0);
        if (!session_.ReadOutputKind(route(Module::Output))) {
            context_.prompter.error(kReadError);
        } else {
            settings_.output = session_.memory.singleByteResult == kVoltsKind ? OutputType::Volts : OutputType::Current;
            readOutputLevels();
            if (readPressure() && readRange() && convertAlarms()) {
                // opened completely
            }
        }
    }
    finishOpening();
}

bool AnalogOutputModel::readFailed() {
    context_.prompter.error(kReadError);
    return false;
}

bool AnalogOutputModel::readAlarmBlock() {
    const RouteBlock out = route(Module::Output);
    if (!session_.ReadMemoryWord(out, address::kLiveAlarmBlockPointer)) return false;
    alarmBlock_ = session_.memory.wordResult;
    if (!session_.ReadMemoryWord(out, address::kDefaultAlarmBlockPointer)) return false;
    defaultBlock_ = session_.memory.wordResult;
    // A block that did not arrive must not be taken for settings (and corrected on the transmitter).
    if (!session_.ReadMemoryBlock(out, alarmBlock_)) return readFailed();
    const AlarmBlockHead head = DecodeAlarmBlockHead(session_.memory.blockBuffer);
    settings_.transfer = head.transfer;
    minimumSpanFraction_ = head.minimumSpanFraction;
    settings_.transmitterAlarm = head.transmitterAlarm;
    if (!session_.ReadMemoryBlock(out, alarmBlock_ + alarm_block::kAlarm[0])) return readFailed();
    // Percent of span until the range is known.
    settings_.alarms = DecodeAlarms(session_.memory.blockBuffer);
    return true;
}

bool AnalogOutputModel::readOutputLevels() {
    const bool volts = settings_.output == OutputType::Volts;
    state_.outputCaption = volts ? "Output (V)" : "Output (mA)";
    const RouteBlock out = route(Module::Output);
    if (!session_.ReadMemoryDword(out, OutputLevelAtLrvAddress(settings_.output))) {
        context_.prompter.error(kReadError);
        return false;
    }
    const float atLrv = session_.memory.dwordResult;
    if (!session_.ReadMemoryDword(out, OutputLevelAtUrvAddress(settings_.output))) {
        context_.prompter.error(kReadError);
        return false;
    }
    settings_.aoAtLrv = atLrv;
    settings_.aoAtUrv = session_.memory.dwordResult;
    state_.aoAtLrvText = Level(settings_.aoAtLrv);
    state_.aoAtUrvText = Level(settings_.aoAtUrv);
    return true;
}

bool AnalogOutputModel::readPressure() {
    const RouteBlock pressure = route(Module::Pressure);
    session_.ReadMeasurements(ChannelMask{.p1 = true}, pressure, MinMax::Without, 1, 1);
    if (!session_.lastExchangeSucceeded || !session_.ReadEngineeringUnits(ChannelMask{.p1 = true}, pressure) ||
        !session_.ReadManufacturingLimits(pressure) || !session_.ReadUnitRecordP1Selected(pressure)) {
        return readFailed();
    }
    decimals_ = session_.p1.precisionDigits;
    unitName_ = Windows1252ToUtf8(session_.p1Sensor.unitName);
    state_.measurementText = Windows1252ToUtf8(session_.p1.displayText);
    settings_.conversionFactor = context_.shared.conversionFactor;
    // The limits are used as shown.
    state_.lslText = pressureText(context_.shared.lowerSensorLimit, 1);
    state_.uslText = pressureText(context_.shared.upperSensorLimit, 1);
    settings_.lsl = AsShown(context_.shared.lowerSensorLimit, decimals_);
    settings_.usl = AsShown(context_.shared.upperSensorLimit, decimals_);
    return true;
}

bool AnalogOutputModel::readRange() {
    // A factor of 0 would be divided by in the corrections below: checked first.
    if (!(settings_.conversionFactor != 0.0f) || !std::isfinite(settings_.conversionFactor)) {
        context_.prompter.error(kBadConversionFactor);
        return false;
    }
    const RouteBlock pressure = route(Module::Pressure);
    // A range value that did not arrive reads as 0 and would be "corrected" on the transmitter.
    if (!session_.ReadLowerRangeValue(pressure) || !session_.ReadUpperRangeValue(pressure)) return readFailed();
    settings_.lrv = session_.memory.lowerRangeValue * settings_.conversionFactor;
    settings_.urv = session_.memory.upperRangeValue * settings_.conversionFactor;
    for (const OpenCorrection& correction : CorrectRangeAtOpen(settings_.lrv, settings_.urv, settings_.lsl,
                                                               settings_.usl, settings_.conversionFactor)) {
        if (!apply(correction)) return false;
    }
    state_.lrvText = pressureText(settings_.lrv, 1);
    state_.urvText = pressureText(settings_.urv, 1);
    state_.pressureCaption = "Pressure (" + unitName_ + ")";
    for (std::size_t i = 0; i < 2; ++i)
        state_.alarms[i].caption = "Digital Output " + std::to_string(i + 1) + " (" + unitName_ + ")";
    if (settings_.transfer == 1) {
        if (!session_.ReadMemoryDword(route(Module::Output), address::kSquareRootValue)) {
            context_.prompter.error(kReadError);
            return false;
        }
        settings_.transferValue = session_.memory.dwordResult;
        state_.transferValueText = FormatFixed(settings_.transferValue, 1, decimals_);
    }
    settings_.minimumSpan = (settings_.usl - settings_.lsl) * minimumSpanFraction_;
    state_.minimumSpanText = pressureText(settings_.minimumSpan, 12);
    return true;
}

bool AnalogOutputModel::convertAlarms() {
    for (AlarmSettings& alarm : settings_.alarms) {
        alarm.value1 = ValueFromPercent(alarm.value1, settings_.lrv, settings_.urv);
        alarm.value2 = ValueFromPercent(alarm.value2, settings_.lrv, settings_.urv);
        alarm.deadband = DeadbandFromPercent(alarm.deadband, settings_.lrv, settings_.urv);
    }
    // A corrected deadband is read back and shown before the next correction's message.
    for (const OpenCorrection& correction : CorrectAlarmsAtOpen(settings_.alarms, settings_, alarmBlock_)) {
        if (!apply(correction)) return false;
        const std::optional<std::size_t> alarm = correction.write ? deadbandAlarm(*correction.write) : std::nullopt;
        if (alarm && !readDeadbandBack(*alarm)) return false;
    }
    return true;
}

std::optional<std::size_t> AnalogOutputModel::deadbandAlarm(const MemoryWrite& write) const {
    for (std::size_t i = 0; i < 2; ++i) {
        if (write.address == alarmBlock_ + alarm_block::kAlarm[i] + alarm_block::kDeadband) return i;
    }
    return std::nullopt;
}

bool AnalogOutputModel::readDeadbandBack(std::size_t alarm) {
    const std::uint32_t at = alarmBlock_ + alarm_block::kAlarm[alarm] + alarm_block::kDeadband;
    if (!session_.ReadMemoryDword(route(Module::Output), at)) return readFailed();
    settings_.alarms[alarm].deadband = DeadbandFromPercent(session_.memory.dwordResult, settings_.lrv, settings_.urv);
    showAlarmValues(alarm);
    host_.showValues();
    return true;
}

bool AnalogOutputModel::apply(const OpenCorrection& correction) {
    if (correction.message) context_.prompter.error(*correction.message);
    if (correction.write && !write(*correction.write)) {
        context_.prompter.error(kWriteError);
        return false;
    }
    return true;
}

bool AnalogOutputModel::write(const MemoryWrite& w) {
    const RouteBlock target = route(w.module);
    if (w.isByte) return session_.WriteMemoryByteAt(target, w.address, w.byte);
    return session_.WriteMemoryDword(target, w.address, std::bit_cast<std::uint32_t>(w.value));
}

void AnalogOutputModel::finishOpening() {
    valuesEdited_ = false;
    edited_.fill(false);
    showAll();
}

// ---- Display ------------------------------------------------------------------------------

void AnalogOutputModel::showTransmitterAlarm(bool hi) {
    state_.transmitterAlarmHi = hi;
    state_.alarmLevelText = hi ? kHiLevel : kInactive;
}

void AnalogOutputModel::showAll() {
    state_.lrvText = pressureText(settings_.lrv, 1);
    state_.urvText = pressureText(settings_.urv, 1);
    state_.aoAtLrvText = Level(settings_.aoAtLrv);
    state_.aoAtUrvText = Level(settings_.aoAtUrv);
    for (std::size_t i = 0; i < 2; ++i) {
        showAlarm(i);
        showAlarmValues(i);
    }
}

void AnalogOutputModel::showAlarm(std::size_t index) {
    AlarmState& shown = state_.alarms[index];
    const AlarmSettings& alarm = settings_.alarms[index];
    // Only Closed (1) and Open (0) show the alarm's controls; any other state reads as Inactive.
    shown.controlsShown = alarm.state == kAlarmClosed || alarm.state == kAlarmOpen;
    const bool range = IsRangeCondition(alarm.condition);
    shown.value2Shown = shown.controlsShown && range;
    if (!shown.controlsShown) {
        shown.labels = {"", "", ""};
    } else if (range) {
        shown.labels = {"Lower Value", "Upper Value", "Reset Deadband"};
    } else {
        shown.labels = {"Value", "", "Reset Deadband"};
    }
}

void AnalogOutputModel::showAlarmValues(std::size_t index) {
    const AlarmSettings& alarm = settings_.alarms[index];
    const float minimum = MinimumDeadband(settings_.lsl, settings_.usl);
    state_.alarms[index].texts = {pressureText(alarm.value1, 12), pressureText(alarm.value2, 12),
                                 pressureText(std::max(alarm.deadband, minimum), 12)};
}

// ---- The operator's edits -------------------------------------------------------------------

void AnalogOutputModel::markEdited(AoField field) {
    edited_[static_cast<std::size_t>(field)] = true;
    valuesEdited_ = true;
}

bool AnalogOutputModel::takeTexts(const std::array<std::string, kAoFieldCount>& texts) {
    AnalogOutputSettings taken = settings_;
    for (std::size_t i = 0; i < kAoFieldCount; ++i) {
        if (!edited_[i]) continue;  // the full-precision value stays
        const auto field = static_cast<AoField>(i);
        const std::optional<float> value = Number(texts[i]);
        if (!value) {
            notANumber_ = field;
            context_.prompter.notify(kNotANumber);
            return false;
        }
        FieldValue(taken, field) = *value;
    }
    notANumber_.reset();
    settings_ = taken;
    finishHandler();
    return true;
}

void AnalogOutputModel::finishHandler() {
    edited_.fill(false);
    showAll();
}

void AnalogOutputModel::chooseTransfer(std::uint8_t transfer) {
    settings_.transfer = transfer;
    valuesEdited_ = true;
    finishHandler();
}

void AnalogOutputModel::chooseTransmitterAlarm(std::uint8_t alarm) {
    settings_.transmitterAlarm = alarm;
    showTransmitterAlarm(alarm != 0);
    valuesEdited_ = true;
    finishHandler();
}

void AnalogOutputModel::chooseOutput(OutputType output) {
    settings_.output = output;
    readOutputLevels();
    finishHandler();
}

void AnalogOutputModel::chooseAlarmState(std::size_t index, std::uint8_t state) {
    AlarmSettings& alarm = settings_.alarms[index];
    if (alarm.state != state) {
        alarm.state = state;
        valuesEdited_ = true;
        // Closed or Open with an unselected condition list starts at its first entry.
        const bool listed = alarm.condition >= 0 && alarm.condition < static_cast<int>(kConditionTexts.size());
        if (state != kAlarmInactive && !listed) alarm.condition = 0;
    }
    finishHandler();
}

void AnalogOutputModel::chooseCondition(std::size_t index, int position) {
    AlarmSettings& alarm = settings_.alarms[index];
    if (alarm.condition != position) {
        alarm.condition = position;
        valuesEdited_ = true;
    }
    finishHandler();
}

// ---- Save Values ------------------------------------------------------------------------------

void AnalogOutputModel::save(const std::array<std::string, kAoFieldCount>& texts) {
    // A text that is no number stays in its field, still counted as edited.
    if (takeTexts(texts)) save();
}

void AnalogOutputModel::save() {
    SortRangeValues(settings_.alarms);
    showAll();
    host_.showValues();
    const SaveCheck check = CheckSaveValues(settings_, alarmBlock_);
    for (const RuleNote& note : check.notes) context_.prompter.error(note.text);
    if (check.failed) {
        if (!check.alarm2Failed) {
            context_.prompter.show(Message{"All values not valid.  No values were saved to device", "Values Not Saved",
                                           MessageIcon::Information, MessageButtons::Ok});
        }
    } else {
        bool written = true;
        for (const MemoryWrite& w : check.writes) {
            if (!write(w)) {
                written = false;
                break;
            }
        }
        written = written && session_.SendEmptyCommandFlag40();
        if (written) {
            context_.prompter.show(Message{"All values valid and saved to device successfully", "Values Saved",
                                           MessageIcon::Information, MessageButtons::Ok});
        } else {
            context_.prompter.error(kWriteError);
        }
    }
    restoreAfterSave(check);
}

void AnalogOutputModel::restoreAfterSave(const SaveCheck& check) {
    settings_ = check.checked;
    for (std::size_t i = 0; i < 2; ++i) {
        if (!check.percent[i]) continue;
        AlarmSettings& alarm = settings_.alarms[i];
        alarm.value1 = ValueFromPercent(check.percent[i]->value1, settings_.lrv, settings_.urv);
        if (check.percent[i]->value2Converted) {
            alarm.value2 = ValueFromPercent(check.percent[i]->value2, settings_.lrv, settings_.urv);
        }
        alarm.deadband = DeadbandFromPercent(check.percent[i]->deadband, settings_.lrv, settings_.urv);
    }
    valuesEdited_ = false;
    finishHandler();
}

// ---- Zero, Reset Defaults, Close ------------------------------------------------------------------

void AnalogOutputModel::zero() {
    const RouteBlock pressure = route(Module::Pressure);
    session_.ReadMeasurementsForOutput(ChannelMask{.p1 = true}, pressure, MinMax::Without, 1, 1);
    const Message question{kZeroQuestion, kZeroCaption, MessageIcon::Warning, MessageButtons::YesNo};
    if (context_.prompter.show(question) != MessageAnswer::Yes) return;
    // P1 and the temperature channel are zeroed together.
    session_.ZeroChannels(ChannelMask{.p1 = true, .channel4 = true}, pressure);
    if (!session_.lastExchangeSucceeded) return reportLinkFailure();
    if (const char* text = ZeroResultText(session_.p1.statusCode)) {
        context_.prompter.error(text);
        return;
    }
    if (session_.p1.statusCode != 0) return;
    host_.wait(kZeroSettling, {});
    session_.ReadMeasurements(ChannelMask{.p1 = true}, pressure, MinMax::Without, 1, 1);
    if (!session_.lastExchangeSucceeded) return reportLinkFailure();
    state_.measurementText = Windows1252ToUtf8(session_.p1.displayText);
}

void AnalogOutputModel::reportLinkFailure() { context_.prompter.error(session_.statusText); }

void AnalogOutputModel::resetDefaults() {
    if (!context_.prompter.confirm(kResetQuestion)) return;
    resetFromDefaults();
    finishHandler();
}

struct AnalogOutputModel::FactoryDefaults {
    std::array<std::uint8_t, 2> codes{};
    std::array<AlarmPercent, 2> values{};
    std::uint8_t transmitterAlarm = 0;
};

// Reads D+128, D+160 (read, not used), D+130, D+162, both alarms' values, then D+64.
bool AnalogOutputModel::readDefaults(FactoryDefaults& defaults) {
    const RouteBlock out = route(Module::Output);
    const auto byteAt = [&](std::uint32_t offset, std::uint8_t& into) {
        if (!session_.ReadMemoryByte(out, defaultBlock_ + offset)) return false;
        into = session_.memory.singleByteResult;
        return true;
    };
    const auto floatAt = [&](std::uint32_t offset, float& into) {
        if (!session_.ReadMemoryDword(out, defaultBlock_ + offset)) return false;
        into = session_.memory.dwordResult;
        return true;
    };
    using namespace alarm_block;
    std::uint8_t state = 0;
    if (!byteAt(kAlarm[0] + kState, state) || !byteAt(kAlarm[1] + kState, state) ||
        !byteAt(kAlarm[0] + kCondition, defaults.codes[0]) || !byteAt(kAlarm[1] + kCondition, defaults.codes[1])) {
        return readFailed();
    }
    for (std::size_t i = 0; i < 2; ++i) {
        if (!floatAt(kAlarm[i] + kValue1, defaults.values[i].value1) ||
            !floatAt(kAlarm[i] + kValue2, defaults.values[i].value2)) {
            return readFailed();
        }
    }
    return byteAt(kTransmitterAlarm, defaults.transmitterAlarm) || readFailed();
}

bool AnalogOutputModel::resetFromDefaults() {
    FactoryDefaults defaults;
    if (!readDefaults(defaults)) return false;
    // The transmitter alarm is written back as read; only 1 shows as Hi.
    settings_.transmitterAlarm = defaults.transmitterAlarm;
    showTransmitterAlarm(defaults.transmitterAlarm == 1);
    settings_.transfer = 0;
    std::vector<MemoryWrite> writes{
        ByteWrite(Module::Output, alarmBlock_ + alarm_block::kTransmitterAlarm, settings_.transmitterAlarm),
        ByteWrite(Module::Output, alarmBlock_ + alarm_block::kTransmitterAlarmCopy, settings_.transmitterAlarm),
        ByteWrite(Module::Output, alarmBlock_ + alarm_block::kTransfer, 0)};
    for (std::size_t i = 0; i < 2; ++i) {
        AlarmSettings& alarm = settings_.alarms[i];
        alarm.state = kAlarmInactive;
        alarm.condition = ConditionPosition(defaults.codes[i]);
        const std::uint32_t at = alarmBlock_ + alarm_block::kAlarm[i];
        writes.push_back(ByteWrite(Module::Output, at + alarm_block::kState, kAlarmInactive));
        writes.push_back(ByteWrite(Module::Output, at + alarm_block::kCondition, defaults.codes[i]));
        writes.push_back(FloatWrite(Module::Output, at + alarm_block::kValue1, defaults.values[i].value1));
        writes.push_back(FloatWrite(Module::Output, at + alarm_block::kValue2, defaults.values[i].value2));
    }
    for (const MemoryWrite& w : writes) {
        if (!write(w)) {
            context_.prompter.error(kWriteError);
            return false;
        }
    }
    for (std::size_t i = 0; i < 2; ++i) {
        settings_.alarms[i].value1 = ValueFromPercent(defaults.values[i].value1, settings_.lrv, settings_.urv);
        settings_.alarms[i].value2 = ValueFromPercent(defaults.values[i].value2, settings_.lrv, settings_.urv);
    }
    return true;
}

bool AnalogOutputModel::close(const std::array<std::string, kAoFieldCount>& texts) {
    notANumber_.reset();
    if (!valuesEdited_) return true;
    const Message question{kCloseQuestion, std::string(kApplicationTitle), MessageIcon::Warning,
                           MessageButtons::YesNoCancel};
    switch (context_.prompter.show(question)) {
        case MessageAnswer::Yes:
            save(texts);
            return !notANumber_;
        case MessageAnswer::No: return true;
        default: return false;
    }
}

}  // namespace corvel
