#include "config/configuration_restore.h"

#include <algorithm>
#include <set>

#include "common/number_format.h"
#include "config/alarm_block.h"
#include "config/configuration_settings.h"
#include "link/device_addresses.h"
#include "link/windows1252.h"

namespace corvel {
namespace {

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
        s.alarms[i] = AlarmSettings{from.state, from.condition, ValueFromPercent(from.value1Percent, s.lrv, s.urv),
                                    ValueFromPercent(from.value2Percent, s.lrv, s.urv),
                                    DeadbandFromPercent(from.deadbandPercent, s.lrv, s.urv)};
    }
    return s;
}

// Save Values' writes of the analog output, each with the setting it stores,
// in its order; values as the transmitter keeps them.
std::vector<RestoreWrite> AnalogOutputWrites(const AnalogOutputConfiguration& ao, std::uint32_t block) {
    const auto byte = [](const std::string& setting, std::uint32_t at, std::uint8_t value) {
        return RestoreWrite{RestoreWriteKind::AnalogOutput, {setting}, PressureInput::P1,
                            ByteWrite(Module::Output, at, value)};
    };
    const auto number = [](const std::string& setting, Module module, std::uint32_t at, float value) {
        return RestoreWrite{RestoreWriteKind::AnalogOutput, {setting}, PressureInput::P1, FloatWrite(module, at, value)};
    };
    std::vector<RestoreWrite> writes{
        byte(setting::kTransmitterAlarm, block + alarm_block::kTransmitterAlarm, ao.transmitterAlarm),
        byte(setting::kTransmitterAlarm, block + alarm_block::kTransmitterAlarmCopy, ao.transmitterAlarm),
        byte(setting::kTransfer, block + alarm_block::kTransfer, ao.transfer)};
    if (ao.transfer == 1)
        writes.push_back(number(setting::kSquareRootValue, Module::Output, address::kSquareRootValue, ao.squareRootValue));
    writes.push_back(number(setting::kLrv, Module::Pressure, address::kLowerRangeValue, ao.lrv));
    writes.push_back(number(setting::kUrv, Module::Pressure, address::kUpperRangeValue, ao.urv));
    writes.push_back(number(setting::kAoAtLrv, Module::Output, OutputLevelAtLrvAddress(ao.output), ao.aoAtLrv));
    writes.push_back(number(setting::kAoAtUrv, Module::Output, OutputLevelAtUrvAddress(ao.output), ao.aoAtUrv));
    for (std::size_t i = 0; i < 2; ++i) {
        const DigitalOutputSettings& alarm = ao.digitalOutputs[i];
        const std::uint32_t at = block + alarm_block::kAlarm[i];
        writes.push_back(byte(setting::AlarmState(i), at + alarm_block::kState, alarm.state));
        writes.push_back(byte(setting::AlarmCondition(i), at + alarm_block::kCondition, ConditionCode(alarm.condition)));
        writes.push_back(number(setting::AlarmValue1(i), Module::Output, at + alarm_block::kValue1, alarm.value1Percent));
        writes.push_back(number(setting::AlarmValue2(i), Module::Output, at + alarm_block::kValue2, alarm.value2Percent));
        writes.push_back(
            number(setting::AlarmDeadband(i), Module::Output, at + alarm_block::kDeadband, alarm.deadbandPercent));
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

// A deadband below the smallest the rules allow is raised to it, as Save
// Values does; the rules' warning says so.
void RaiseDeadbands(AnalogOutputConfiguration& ao, const AnalogOutputLimits& limits) {
    const AnalogOutputSettings shown = DisplaySettings(ao, limits);
    const float minimum = MinimumDeadband(limits.lsl, limits.usl);
    for (std::size_t i = 0; i < 2; ++i)
        if (shown.alarms[i].deadband < minimum)
            ao.digitalOutputs[i].deadbandPercent = DeadbandPercent(minimum, shown.lrv, shown.urv);
}

std::vector<RestoreWrite> CandidateWrites(const TransmitterConfiguration& target, const TransmitterReading& current) {
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
        for (RestoreWrite& write : AnalogOutputWrites(*target.analogOutput, current.limits->alarmBlock))
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
        if (!Utf8ToWindows1252(*text)) return std::string("The ") + name + " of the file holds a character the transmitter cannot store";
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
std::optional<std::string> AnalogOutputRefusal(const TransmitterConfiguration& target, const TransmitterReading& current,
                                               std::vector<std::string>& warnings) {
    if (!target.analogOutput || !current.limits) return std::nullopt;
    const SaveCheck check =
        CheckSaveValues(DisplaySettings(*target.analogOutput, *current.limits), current.limits->alarmBlock);
    for (const RuleNote& note : check.notes) {
        if (note.kind == NoteKind::Failure) return note.text;
        warnings.push_back(note.text);
    }
    return std::nullopt;
}

}  // namespace

RestorePlan PlanRestore(const TransmitterReading& transmitter, const TransmitterConfiguration& file,
                        const RestoreOptions& options) {
    RestorePlan plan;
    const TransmitterConfiguration& current = transmitter.configuration;
    plan.refusal = FamilyRefusal(current, file, options);
    if (!plan.refusal) plan.refusal = UnstorableText(file);
    if (plan.refusal) return plan;
    plan.target = TargetOf(current, file);
    plan.refusal = AnalogOutputRefusal(plan.target, transmitter, plan.warnings);
    if (plan.refusal) return plan;
    if (plan.target.analogOutput && transmitter.limits) RaiseDeadbands(*plan.target.analogOutput, *transmitter.limits);

    std::set<std::string> changing;
    for (const ComparisonRow& row : Differences(CompareConfigurations(current, plan.target))) changing.insert(row.setting);
    for (const ComparisonRow& row : Differences(CompareConfigurations(current, file)))
        if (!changing.contains(row.setting)) plan.notRestored.push_back(row.setting);
    plan.writes = NeededWrites(CandidateWrites(plan.target, transmitter), changing);

    const std::vector<ComparisonRow> rows = CompareConfigurations(current, plan.target);
    for (const RestoreWrite& write : plan.writes)
        for (const std::string& name : write.settings) {
            const auto row = std::find_if(rows.begin(), rows.end(), [&](const ComparisonRow& r) { return r.setting == name; });
            if (std::none_of(plan.changes.begin(), plan.changes.end(), [&](const ComparisonRow& c) { return c.setting == name; }))
                plan.changes.push_back(*row);
        }
    return plan;
}

}  // namespace corvel
