// get [NAME], set NAME VALUE, zero: single settings, written as a restore of
// that one setting (so through the analog output rules and in the designed
// order), and the zero of the pressure inputs.

#include <CLI/App.hpp>

#include <algorithm>
#include <cctype>
#include <functional>

#include "cli/cli_commands.h"
#include "cli/cli_configuration.h"
#include "common/number_format.h"
#include "config/configuration_settings.h"
#include "link/device_addresses.h"
#include "link/reading_status.h"

namespace corvel::cli {
namespace {

constexpr std::chrono::milliseconds kZeroSettling{500};

using Setter = std::function<void(TransmitterConfiguration&, const std::string& value)>;

struct SettingEntry {
    std::string name;     // on the command line: "p1-unit", "urv", "do1-condition"
    std::string setting;  // as in the configuration's rows
    Setter set;
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

float Number(const std::string& value) {
    const std::optional<float> number = ParseWholeText<float>(value, {.plus = true});
    if (!number) throw UsageError("VALUE \"" + value + "\" is not a number");
    return *number;
}

// The position of `value` among `choices` (any case).
int Choice(const std::string& value, const std::vector<std::string>& choices) {
    for (std::size_t i = 0; i < choices.size(); ++i)
        if (Lower(value) == Lower(choices[i])) return static_cast<int>(i);
    std::string allowed;
    for (const std::string& choice : choices) allowed += (allowed.empty() ? "\"" : ", \"") + choice + "\"";
    throw UsageError("VALUE \"" + value + "\" is not one of " + allowed);
}

PressureInputSettings& Input(TransmitterConfiguration& c, PressureInput input) {
    if (input == PressureInput::P1) return c.p1;
    if (!c.p2) throw OperationError("this transmitter has no second pressure input (P2)");
    return *c.p2;
}

AnalogOutputConfiguration& Output(TransmitterConfiguration& c) {
    if (!c.analogOutput) throw OperationError("this transmitter has no analog output");
    return *c.analogOutput;
}

void AddInputEntries(std::vector<SettingEntry>& entries, PressureInput input) {
    const std::string prefix = input == PressureInput::P1 ? "p1-" : "p2-";
    entries.push_back(
        {prefix + "unit", setting::Unit(input), [input](TransmitterConfiguration& c, const std::string& v) {
             Input(c, input).unitCode = static_cast<std::uint8_t>(ParseInteger(v, 0, 255, "the unit code"));
         }});
    entries.push_back(
        {prefix + "damping", setting::Damping(input), [input](TransmitterConfiguration& c, const std::string& v) {
             Input(c, input).dampingOn = Choice(v, {"off", "on"}) == 1;
         }});
    entries.push_back({prefix + "damping-time", setting::DampingTime(input),
                       [input](TransmitterConfiguration& c, const std::string& v) {
                           const float seconds = Number(v);
                           if (seconds < 0.0f) throw UsageError("a damping time is not negative");
                           Input(c, input).dampingTime = seconds;
                       }});
    entries.push_back({prefix + "damping-mode", setting::DampingMode(input),
                       [input](TransmitterConfiguration& c, const std::string& v) {
                           Input(c, input).dampingMode = static_cast<std::uint8_t>(Choice(v, {"exponential", "smart"}));
                       }});
}

void AddOutputNumber(std::vector<SettingEntry>& entries, const std::string& name, const std::string& setting,
                     float AnalogOutputConfiguration::*field) {
    entries.push_back(
        {name, setting, [field](TransmitterConfiguration& c, const std::string& v) { Output(c).*field = Number(v); }});
}

void AddAlarmEntries(std::vector<SettingEntry>& entries, std::size_t i) {
    const std::string prefix = "do" + std::to_string(i + 1) + "-";
    const auto alarm = [i](TransmitterConfiguration& c) -> DigitalOutputSettings& {
        return Output(c).digitalOutputs[i];
    };
    entries.push_back(
        {prefix + "state", setting::AlarmState(i), [alarm](TransmitterConfiguration& c, const std::string& v) {
             const std::uint8_t states[] = {kAlarmClosed, kAlarmOpen, kAlarmInactive};
             alarm(c).state = states[Choice(v, {"closed", "open", "inactive"})];
         }});
    entries.push_back(
        {prefix + "condition", setting::AlarmCondition(i), [alarm](TransmitterConfiguration& c, const std::string& v) {
             alarm(c).condition = Choice(v, {kConditionTexts.begin(), kConditionTexts.end()});
         }});
    const std::pair<std::string, float DigitalOutputSettings::*> numbers[] = {
        {"value1", &DigitalOutputSettings::value1},
        {"value2", &DigitalOutputSettings::value2},
        {"deadband", &DigitalOutputSettings::deadband}};
    const std::string settings[] = {setting::AlarmValue1(i), setting::AlarmValue2(i), setting::AlarmDeadband(i)};
    for (std::size_t n = 0; n < 3; ++n) {
        entries.push_back({prefix + numbers[n].first, settings[n],
                           [alarm, field = numbers[n].second](TransmitterConfiguration& c, const std::string& v) {
                               alarm(c).*field = Number(v);
                           }});
    }
}

std::vector<SettingEntry> Entries() {
    std::vector<SettingEntry> entries;
    AddInputEntries(entries, PressureInput::P1);
    AddInputEntries(entries, PressureInput::P2);
    entries.push_back(
        {"temperature-unit", setting::kTemperatureUnit, [](TransmitterConfiguration& c, const std::string& v) {
             c.temperatureUnit = static_cast<std::uint8_t>(Choice(v, {"F", "C"}));
         }});
    AddOutputNumber(entries, "lrv", setting::kLrv, &AnalogOutputConfiguration::lrv);
    AddOutputNumber(entries, "urv", setting::kUrv, &AnalogOutputConfiguration::urv);
    AddOutputNumber(entries, "ao-at-lrv", setting::kAoAtLrv, &AnalogOutputConfiguration::aoAtLrv);
    AddOutputNumber(entries, "ao-at-urv", setting::kAoAtUrv, &AnalogOutputConfiguration::aoAtUrv);
    entries.push_back(
        {"transmitter-alarm", setting::kTransmitterAlarm, [](TransmitterConfiguration& c, const std::string& v) {
             Output(c).transmitterAlarm = Choice(v, {"inactive", "hi"}) == 1 ? 1 : 0;
         }});
    AddAlarmEntries(entries, 0);
    AddAlarmEntries(entries, 1);
    return entries;
}

const SettingEntry& EntryNamed(const std::vector<SettingEntry>& entries, const std::string& name) {
    const auto found =
        std::find_if(entries.begin(), entries.end(), [&](const SettingEntry& e) { return e.name == Lower(name); });
    if (found == entries.end()) throw UsageError("no setting is called \"" + name + "\"; corvelctl get lists them");
    return *found;
}

void RunGet(CommandCall& call) {
    const std::vector<SettingEntry> entries = Entries();
    const std::optional<std::string> wanted = call.args.value("NAME");
    const SettingEntry* only = wanted ? &EntryNamed(entries, *wanted) : nullptr;
    ToolSession tool(call);
    const TransmitterConfiguration configuration = ReadTransmitter(tool).configuration;
    const std::vector<ComparisonRow> rows = CompareConfigurations(configuration, configuration);
    for (const SettingEntry& entry : entries) {
        if (only && only != &entry) continue;
        const auto row =
            std::find_if(rows.begin(), rows.end(), [&](const ComparisonRow& r) { return r.setting == entry.setting; });
        if (row == rows.end()) {
            if (only) throw OperationError("this transmitter has no " + entry.setting);
            continue;
        }
        call.output.emit(
            Record().add("name", entry.name).add("setting", row->setting).add("value", row->transmitterText));
    }
}

void RunSet(CommandCall& call) {
    const std::vector<SettingEntry> entries = Entries();
    const SettingEntry& entry = EntryNamed(entries, call.args.positional("NAME"));
    const std::string value = call.args.positional("VALUE");
    ToolSession tool(call);
    const TransmitterReading reading = ReadTransmitter(tool);
    TransmitterConfiguration wanted = reading.configuration;
    entry.set(wanted, value);
    const RestorePlan plan = PlanRestore(reading, wanted);
    if (plan.changes.empty() && !plan.refusal) EmitPlan(call, plan);
    ApplyPlan(call, tool, plan, std::nullopt);
}

// As the Configuration window's Zero: the minimum and maximum restarted, the
// question, the zero of every pressure input, and a new reading after it settled.
void RunZero(CommandCall& call) {
    ToolSession tool(call);
    DeviceSession& device = tool.device();
    const RouteBlock route = tool.route(kPressureModule);
    const ChannelMask channels{.p1 = true, .p2 = device.ReadDeviceKind(route) == 0, .channel4 = true};
    device.ReadMeasurementsForOutput(channels, route, MinMax::With, 1, 1);
    tool.require(device.lastExchangeSucceeded, "reading the measurements failed");
    RequireConsent(call, kZeroQuestion, "nothing was zeroed");
    device.ZeroChannels(channels, route);
    tool.require(device.lastExchangeSucceeded, "zeroing failed");
    if (ZeroResultText(device.p1.statusCode))
        throw OperationError(std::string("the transmitter refused the zero: ") +
                             RecalPointStatusText(device.p1.statusCode));
    if (call.environment.wait) call.environment.wait(kZeroSettling);
    device.ReadMeasurements(channels, route, MinMax::Without, 1, 1);
    tool.require(device.lastExchangeSucceeded, "reading the measurements failed");
    Record record;
    record.add("zeroed", true).add("p1", device.p1.value);
    if (channels.p2) record.add("p2", device.p2.value);
    call.output.emit(record);
}

}  // namespace

void AddSettingCommands(CommandLine& commandLine) {
    CLI::App& tool = commandLine.tool();
    commandLine
        .addCommand(tool, "get",
                    "Reads one setting (NAME), or all of them with their names: units, damping, LRV/URV,\n"
                    "the output levels and alarms. LRV, URV, alarm values and deadbands are in the pressure\n"
                    "module's own unit, as in a configuration file.",
                    RunGet)
        .add_option("NAME", "the setting, as get without NAME lists them");
    CLI::App& set = commandLine.addCommand(
        tool, "set",
        "Writes one setting after checking it as the tool windows do (LRV, URV, the output levels and\n"
        "alarms against the analog output rules), and reads it back.",
        RunSet);
    set.add_option("NAME", "the setting, as get lists them");
    set.add_option("VALUE", "a number, a unit code, or one of the words the setting takes (on, off, smart...)");
    commandLine
        .addCommand(tool, "zero",
                    "Zeroes the pressure inputs after the question \"Equalize and or vent to atmosphere as\n"
                    "appropriate\", then reads them.",
                    RunZero)
        .add_flag("--yes")
        ->description("zero without asking (needed where there is no terminal to ask on)");
}

}  // namespace corvel::cli
