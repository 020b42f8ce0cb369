#include "config/configuration_restore.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "common/number_format.h"
#include "config/alarm_block.h"
#include "config/configuration_settings.h"
#include "link/device_addresses.h"
#include "link/windows1252.h"

namespace corvel {
namespace {

constexpr int kPercentDecimals = 3;

// Models of one family have the same groups of settings.
struct ModelFamily {
    bool p2 = false;
    bool analogOutput = false;
    bool operator==(const ModelFamily&) const = default;
};

ModelFamily FamilyOf(const TransmitterConfiguration& c) { return {c.p2.has_value(), c.analogOutput.has_value()}; }

std::string ModelText(const TransmitterIdentity& identity) {
    return identity.modelCode.empty() ? std::string("transmitter of unknown model") : identity.modelCode;
}

// The transmitter as it should read after the restore: the file's settings
// where both have them; the output type and the conversion factor stay the
// transmitter's (its hardware and its unit decide them), and so do the
// settings that early firmware does not let change.
TransmitterConfiguration TargetOf(const TransmitterConfiguration& current, const TransmitterConfiguration& file) {
    TransmitterConfiguration target = current;
    target.tag = file.tag;
    target.asset = file.asset;
    target.description = file.description;
    target.p1 = file.p1;
    if (current.p2 && file.p2) target.p2 = file.p2;
    if (IsEarlyFirmware(current.identity.firmwareVersion)) {
        target.tag = current.tag;
        target.asset = current.asset;
        target.description = current.description;
        target.p1.dampingOn = current.p1.dampingOn;
        if (target.p2) target.p2->dampingOn = current.p2->dampingOn;
    }
    target.temperatureUnit = file.temperatureUnit;
    target.temperatureUnitName = file.temperatureUnitName;
    if (current.analogOutput && file.analogOutput) {
        AnalogOutputConfiguration ao = *file.analogOutput;
        ao.conversionFactor = current.analogOutput->conversionFactor;
        if (ao.output != current.analogOutput->output) {
            ao.output = current.analogOutput->output;
            ao.aoAtLrv = current.analogOutput->aoAtLrv;
            ao.aoAtUrv = current.analogOutput->aoAtUrv;
        }
        target.analogOutput = ao;
    }
    return target;
}

// The analog output values in the Analog Output window's terms (display
// units), so that its Save Values rules can judge them.
AnalogOutputSettings DisplaySettings(const AnalogOutputConfiguration& ao, const AnalogOutputLimits& limits) {
    AnalogOutputSettings s;
    s.lrv = ao.lrv * ao.conversionFactor;
    s.urv = ao.urv * ao.conversionFactor;
    s.lsl = limits.lsl;
    s.usl = limits.usl;
    s.minimumSpan = (limits.usl - limits.lsl) * limits.minimumSpanFraction;
    s.conversionFactor = ao.conversionFactor;
    s.output = ao.output;
    s.aoAtLrv = ao.aoAtLrv;
    s.aoAtUrv = ao.aoAtUrv;
    s.transmitterAlarm = ao.transmitterAlarm;
    s.transfer = ao.transfer;
    s.transferValue = ao.squareRootValue;
    for (std::size_t i = 0; i < 2; ++i) {
        const DigitalOutputSettings& from = ao.digitalOutputs[i];
        const float factor = ao.conversionFactor;
        s.alarms[i] = AlarmSettings{from.state, from.condition, from.value1 * factor, from.value2 * factor,
                                    from.deadband * factor};
    }
    return s;
}

// Save Values' writes of the analog output, each with the setting it stores,
// in its order; values as the transmitter keeps them.
std::vector<RestoreWrite> AnalogOutputWrites(const AnalogOutputConfiguration& ao, const StoredAlarms& stored,
                                             std::uint32_t block) {
    const auto byte = [](const std::string& setting, std::uint32_t at, std::uint8_t value) {
        return RestoreWrite{
            RestoreWriteKind::AnalogOutput, {setting}, PressureInput::P1, ByteWrite(Module::Output, at, value)};
    };
    const auto number = [](const std::string& setting, Module module, std::uint32_t at, float value) {
        return RestoreWrite{
            RestoreWriteKind::AnalogOutput, {setting}, PressureInput::P1, FloatWrite(module, at, value)};
    };
    std::vector<RestoreWrite> writes{
        byte(setting::kTransmitterAlarm, block + alarm_block::kTransmitterAlarm, ao.transmitterAlarm),
        byte(setting::kTransmitterAlarm, block + alarm_block::kTransmitterAlarmCopy, ao.transmitterAlarm),
        byte(setting::kTransfer, block + alarm_block::kTransfer, ao.transfer)};
    if (ao.transfer == 1)
        writes.push_back(
            number(setting::kSquareRootValue, Module::Output, address::kSquareRootValue, ao.squareRootValue));
    writes.push_back(number(setting::kLrv, Module::Pressure, address::kLowerRangeValue, ao.lrv));
    writes.push_back(number(setting::kUrv, Module::Pressure, address::kUpperRangeValue, ao.urv));
    writes.push_back(number(setting::kAoAtLrv, Module::Output, OutputLevelAtLrvAddress(ao.output), ao.aoAtLrv));
    writes.push_back(number(setting::kAoAtUrv, Module::Output, OutputLevelAtUrvAddress(ao.output), ao.aoAtUrv));
    for (std::size_t i = 0; i < 2; ++i) {
        const DigitalOutputSettings& alarm = ao.digitalOutputs[i];
        const std::uint32_t at = block + alarm_block::kAlarm[i];
        writes.push_back(byte(setting::AlarmState(i), at + alarm_block::kState, alarm.state));
        writes.push_back(
            byte(setting::AlarmCondition(i), at + alarm_block::kCondition, ConditionCode(alarm.condition)));
        writes.push_back(number(setting::AlarmValue1(i), Module::Output, at + alarm_block::kValue1, stored[i].value1));
        writes.push_back(number(setting::AlarmValue2(i), Module::Output, at + alarm_block::kValue2, stored[i].value2));
        writes.push_back(
            number(setting::AlarmDeadband(i), Module::Output, at + alarm_block::kDeadband, stored[i].deadband));
    }
    return writes;
}

RestoreWrite Step(RestoreWriteKind kind, std::vector<std::string> settings, PressureInput input = PressureInput::P1) {
    RestoreWrite write;
    write.kind = kind;
    write.settings = std::move(settings);
    write.input = input;
    return write;
}

// The alarms' set points as percent of the target span, converted as Save
// Values converts them: range values in ascending order, a deadband below the
// smallest the rules allow raised to it (the rules' warning says so). The
// target's set points become what the transmitter will read back.
StoredAlarms StoreAlarms(AnalogOutputConfiguration& ao, const AnalogOutputLimits& limits) {
    AnalogOutputSettings shown = DisplaySettings(ao, limits);
    SortRangeValues(shown.alarms);
    const float minimum = MinimumDeadband(limits.lsl, limits.usl);
    StoredAlarms stored;
    for (std::size_t i = 0; i < 2; ++i) {
        const AlarmSettings& alarm = shown.alarms[i];
        stored[i] = StoredAlarmValues{PercentOfSpan(alarm.value1, shown.lrv, shown.urv),
                                      PercentOfSpan(alarm.value2, shown.lrv, shown.urv),
                                      DeadbandPercent(std::max(alarm.deadband, minimum), shown.lrv, shown.urv)};
        SetAlarmPressures(ao.digitalOutputs[i], stored[i], ao.lrv, ao.urv);
    }
    return stored;
}

std::vector<RestoreWrite> CandidateWrites(const RestorePlan& plan, const TransmitterReading& current) {
    const TransmitterConfiguration& target = plan.target;
    std::vector<RestoreWrite> writes;
    std::vector<std::string> units{setting::Unit(PressureInput::P1)};
    if (target.p2) units.push_back(setting::Unit(PressureInput::P2));
    units.push_back(setting::kTemperatureUnit);
    writes.push_back(Step(RestoreWriteKind::Units, units));
    for (PressureInput input : {PressureInput::P1, PressureInput::P2}) {
        if (input == PressureInput::P2 && !target.p2) continue;
        writes.push_back(Step(RestoreWriteKind::DampingEnabled, {setting::Damping(input)}, input));
        writes.push_back(Step(RestoreWriteKind::DampingTime, {setting::DampingTime(input)}, input));
        writes.push_back(Step(RestoreWriteKind::DampingMode, {setting::DampingMode(input)}, input));
    }
    if (target.analogOutput && current.limits) {
        for (RestoreWrite& write : AnalogOutputWrites(*target.analogOutput, plan.storedAlarms,
                                                           current.limits->alarmBlock))
            writes.push_back(std::move(write));
        writes.push_back(Step(RestoreWriteKind::AnalogOutputClose, {}));
    }
    writes.push_back(Step(RestoreWriteKind::Description, {setting::kDescription}));
    writes.push_back(Step(RestoreWriteKind::TagAndAsset, {setting::kTag, setting::kAsset}));
    return writes;
}

// The writes that carry a change, each naming only the settings it changes;
// the closing empty command only after analog output writes.
std::vector<RestoreWrite> NeededWrites(std::vector<RestoreWrite> candidates, const std::set<std::string>& changing) {
    std::vector<RestoreWrite> needed;
    bool analogOutputWritten = false;
    for (RestoreWrite& write : candidates) {
        if (write.kind == RestoreWriteKind::AnalogOutputClose) {
            if (analogOutputWritten) needed.push_back(std::move(write));
            continue;
        }
        std::erase_if(write.settings, [&](const std::string& s) { return !changing.contains(s); });
        if (write.settings.empty()) continue;
        analogOutputWritten = analogOutputWritten || write.kind == RestoreWriteKind::AnalogOutput;
        needed.push_back(std::move(write));
    }
    return needed;
}

std::optional<std::string> UnstorableText(const TransmitterConfiguration& file) {
    const std::pair<const char*, const std::string*> texts[] = {
        {setting::kTag, &file.tag}, {setting::kAsset, &file.asset}, {setting::kDescription, &file.description}};
    for (const auto& [name, text] : texts)
        if (!Utf8ToWindows1252(*text))
            return std::string("The ") + name + " of the file holds a character the transmitter cannot store";
    return std::nullopt;
}

std::optional<std::string> FamilyRefusal(const TransmitterConfiguration& transmitter,
                                         const TransmitterConfiguration& file, const RestoreOptions& options) {
    if (FamilyOf(transmitter) == FamilyOf(file) || options.acrossModelFamilies) return std::nullopt;
    return "The file was read from a " + ModelText(file.identity) + ", of another model family than this " +
           ModelText(transmitter.identity) + ": only the settings both have can be restored, and only when asked";
}

// The analog output rules on the values to be written: the first failing
// rule's text, or nothing (its warnings go into the plan).
std::optional<std::string> AnalogOutputRefusal(const TransmitterConfiguration& target,
                                               const TransmitterReading& current, std::vector<std::string>& warnings) {
    const SaveCheck check =
        CheckSaveValues(DisplaySettings(*target.analogOutput, *current.limits), current.limits->alarmBlock);
    for (const RuleNote& note : check.notes) {
        if (note.kind == NoteKind::Failure) return note.text;
        warnings.push_back(note.text);
    }
    return std::nullopt;
}

// The settings whose values change: the alarm values when their
// percentages do, the others when their texts do.
std::set<std::string> ChangingSettings(const TransmitterReading& current, const RestorePlan& plan) {
    std::set<std::string> changing;
    for (const ComparisonRow& row : Differences(CompareConfigurations(current.configuration, plan.target)))
        if (!StoredAlarmValue(plan.storedAlarms, row.setting)) changing.insert(row.setting);
    if (!current.configuration.analogOutput || !plan.target.analogOutput) return changing;
    for (std::size_t i = 0; i < 2; ++i) {
        std::vector<std::string> names{setting::AlarmValue1(i), setting::AlarmDeadband(i)};
        if (IsRangeCondition(plan.target.analogOutput->digitalOutputs[i].condition))
            names.push_back(setting::AlarmValue2(i));
        for (const std::string& name : names)
            if (!SamePercent(*StoredAlarmValue(current.storedAlarms, name), *StoredAlarmValue(plan.storedAlarms, name)))
                changing.insert(name);
    }
    return changing;
}

bool WritesAnalogOutput(const std::vector<RestoreWrite>& writes) {
    return std::any_of(writes.begin(), writes.end(),
                       [](const RestoreWrite& w) { return w.kind == RestoreWriteKind::AnalogOutput; });
}

// The rows of the settings the writes carry, in write order, each once.
std::vector<ComparisonRow> ChangeRows(const std::vector<ComparisonRow>& rows, const std::vector<RestoreWrite>& writes) {
    std::vector<ComparisonRow> changes;
    const auto listed = [&](const std::string& name) {
        return std::any_of(changes.begin(), changes.end(), [&](const ComparisonRow& c) { return c.setting == name; });
    };
    for (const RestoreWrite& write : writes)
        for (const std::string& name : write.settings) {
            const auto row = std::find_if(rows.begin(), rows.end(), [&](const ComparisonRow& r) { return r.setting == name; });
            if (row != rows.end() && !listed(name)) changes.push_back(*row);
        }
    return changes;
}

// An alarm value is written when its percentage of span changes, even where
// its set point stays: the row shows both.
void ShowPercentages(std::vector<ComparisonRow>& changes, const StoredAlarms& now, const StoredAlarms& planned) {
    const auto withPercent = [](const std::string& text, float percent) {
        return text + " (" + FormatFixed(percent, 0, kPercentDecimals) + " %)";
    };
    for (ComparisonRow& row : changes) {
        const std::optional<float> before = StoredAlarmValue(now, row.setting);
        if (!before) continue;
        row.transmitterText = withPercent(row.transmitterText, *before);
        row.fileText = withPercent(row.fileText, *StoredAlarmValue(planned, row.setting));
        row.differs = true;
    }
}

}  // namespace

bool SamePercent(float a, float b) { return std::fabs(a - b) <= kPercentTolerance; }

std::optional<float> StoredAlarmValue(const StoredAlarms& alarms, const std::string& name) {
    for (std::size_t i = 0; i < alarms.size(); ++i) {
        if (name == setting::AlarmValue1(i)) return alarms[i].value1;
        if (name == setting::AlarmValue2(i)) return alarms[i].value2;
        if (name == setting::AlarmDeadband(i)) return alarms[i].deadband;
    }
    return std::nullopt;
}

RestorePlan PlanRestore(const TransmitterReading& transmitter, const TransmitterConfiguration& file,
                        const RestoreOptions& options) {
    RestorePlan plan;
    const TransmitterConfiguration& current = transmitter.configuration;
    plan.refusal = FamilyRefusal(current, file, options);
    if (!plan.refusal) plan.refusal = UnstorableText(file);
    if (plan.refusal) return plan;
    plan.target = TargetOf(current, file);
    // The rules judge the file's own values; the alarms are then stored as Save Values stores them.
    const TransmitterConfiguration asFiled = plan.target;
    plan.storedAlarms = transmitter.storedAlarms;
    if (plan.target.analogOutput && file.analogOutput && transmitter.limits)
        plan.storedAlarms = StoreAlarms(*plan.target.analogOutput, *transmitter.limits);
    const std::set<std::string> changing = ChangingSettings(transmitter, plan);
    plan.writes = NeededWrites(CandidateWrites(plan, transmitter), changing);
    // The analog output rules judge its values only when they are to be written.
    if (WritesAnalogOutput(plan.writes)) {
        plan.refusal = AnalogOutputRefusal(asFiled, transmitter, plan.warnings);
        if (plan.refusal) {
            plan.writes.clear();
            return plan;
        }
    }
    for (const ComparisonRow& row : Differences(CompareConfigurations(current, file)))
        if (!changing.contains(row.setting)) plan.notRestored.push_back(row.setting);
    plan.changes = ChangeRows(CompareConfigurations(current, plan.target), plan.writes);
    ShowPercentages(plan.changes, transmitter.storedAlarms, plan.storedAlarms);
    return plan;
}

}  // namespace corvel
