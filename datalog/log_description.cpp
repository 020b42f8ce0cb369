#include "datalog/log_description.h"

#include <string_view>

#include "datalog/value_text.h"

namespace corvel {

namespace {

constexpr std::string_view kDegreesFahrenheit = "\xB0"
                                                "F";

std::string_view VoltageCurrentModeName(std::uint8_t code) {
    switch (code) {
        case 0x00: return "V Measure    ";
        case 0x10: return "I Measure    ";
        case 0x20: return "I Measure Cal    ";
        case 0x30: return "24V Source    ";
        case 0x40: return "V Source    ";
        case 0x50: return "I Source    ";
        case 0x60: return "I Sink    ";
        default: return "";
    }
}

std::string_view PressureModeName(std::uint8_t simulating) { return simulating ? "Sim    " : "Measure"; }

int ColumnOf(std::uint8_t moduleType, int channel) {
    if (moduleType == kPressureModuleKind) {
        if (channel == 1) return kP1Column;
        if (channel == 2) return kP2Column;
    } else if (moduleType == kVoltageCurrentModuleKind) {
        if (channel == 1) return kVoltsColumn;
        if (channel == 2) return kCurrentColumn;
        if (channel == 4) return kTempColumn;
    }
    return kNoColumn;
}

void TakeUnitsAndMode(LogDescription& log, const moduleHeader_v0& module) {
    if (module.moduleType() == kPressureModuleKind) {
        log.p1Units = module.channel(1).units();
        log.p2Units = module.channel(2).units();
        if (log.p2Units.empty()) log.p2Units = "N/A";
        log.pressureMode = module.moduleMode();
    } else if (module.moduleType() == kVoltageCurrentModuleKind) {
        log.temperatureUnits = module.channel(4).units();
        log.voltageCurrentMode = module.moduleMode();
    }
}

ModulePlan PlanModule(LogDescription& log, const moduleHeader_v0& module) {
    ModulePlan plan;
    for (int number = 1; number <= kChannelsPerModule; ++number) {
        const channelInfo info = module.channel(number);
        ChannelPlan& channel = plan[static_cast<std::size_t>(number - 1)];
        channel.column = ColumnOf(module.moduleType(), number);
        channel.decimals = info.isLogged() ? info.decimals() : 0;
        channel.scale = info.scale();
        channel.usesScale = channel.column != kTempColumn;
        if (info.isLogged()) {
            log.intervalSeconds = info.interval() / 100;
            log.sampleCount = info.sampleCount();
        }
    }
    return plan;
}

// With two modules or more every column is expected at every instant. A log
// of a single module only ever fills the columns of its own logged channels.
std::array<bool, kColumnCount> ExpectedColumns(std::span<const moduleHeader_v0> modules) {
    std::array<bool, kColumnCount> expected{};
    if (modules.size() != 1) {
        expected.fill(true);
        return expected;
    }
    for (int number = 1; number <= kChannelsPerModule; ++number) {
        const int column = ColumnOf(modules[0].moduleType(), number);
        if (column != kNoColumn && modules[0].channel(number).isLogged())
            expected[static_cast<std::size_t>(column)] = true;
    }
    return expected;
}

void AppendUnsigned(std::string& text, std::uint64_t value) { text += std::to_string(value); }

void AppendStartTime(std::string& text, const logFileHeader& header) {
    AppendZeroPadded(text, header.startDateFirst(), 2);
    text += '/';
    AppendZeroPadded(text, header.startDateSecond(), 2);
    text += '/';
    AppendZeroPadded(text, header.startYear(), 4);
    text += ' ';
    AppendZeroPadded(text, header.startHour(), 2);
    text += ':';
    AppendZeroPadded(text, header.startMinute(), 2);
    text += ':';
    AppendZeroPadded(text, header.startSecond(), 2);
}

// Interval, sample count and the duration of the log: whole minutes, or
// whole hours and minutes once the duration passes 59 minutes.
void AppendIntervalLines(std::string& text, const LogDescription& log) {
    text += "Interval: ";
    AppendUnsigned(text, static_cast<std::uint32_t>(log.intervalSeconds));
    text += " sec\r\nNumber of Samples: ";
    AppendUnsigned(text, static_cast<std::uint32_t>(log.sampleCount));
    text += "\r\nData Log Duration: ";
    const double minutes = static_cast<double>(log.intervalSeconds) * (static_cast<double>(log.sampleCount) - 1.0) / 60.0;
    const auto wholeMinutes = minutes > 0 ? static_cast<std::uint64_t>(minutes) : 0;
    if (minutes > 59) {
        AppendUnsigned(text, wholeMinutes / 60);
        text += " hours ";
        AppendUnsigned(text, wholeMinutes % 60);
    } else {
        AppendUnsigned(text, wholeMinutes);
    }
    text += " mins\r\n\r\n";
}

}  // namespace

LogDescription DescribeLog(const logFileHeader& header, std::span<const moduleHeader_v0> modules) {
    LogDescription log;
    log.header = header;
    for (const moduleHeader_v0& module : modules) {
        TakeUnitsAndMode(log, module);
        log.modules.push_back(PlanModule(log, module));
    }
    const bool fahrenheit = log.temperatureUnits == kDegreesFahrenheit;
    for (ModulePlan& plan : log.modules)
        for (ChannelPlan& channel : plan) channel.toFahrenheit = fahrenheit && channel.column == kTempColumn;
    log.expectedColumns = ExpectedColumns(modules);
    return log;
}

std::string HeaderLines(const LogDescription& log) {
    std::string text = "Log Name: " + log.header.logName() + "\r\nStart Time: ";
    AppendStartTime(text, log.header);
    text += "\r\nUnit S/N: " + log.header.unitSerialNumber() + "\r\n";
    AppendIntervalLines(text, log);
    text += ",,Pressure: ";
    text += PressureModeName(log.pressureMode);
    text += ",,Volt Current: ";
    text += VoltageCurrentModeName(log.voltageCurrentMode);
    text += "\r\nSample,Time,P1:" + log.p1Units + ",P2:" + log.p2Units + ",Volts:V,Curr:mA,Temp:" +
            log.temperatureUnits + ",Status\r\n";
    return text;
}

}  // namespace corvel
