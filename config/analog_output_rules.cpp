#include "config/analog_output_rules.h"

#include <cmath>
#include <utility>

#include "common/number_format.h"
#include "link/device_addresses.h"

namespace corvel {
namespace {

constexpr std::array<std::uint8_t, 6> kConditionCodes = {1, 2, 5, 6, 7, 8};
constexpr float kFullSpanPercent = 100.0f;

bool Finite(float value) { return std::isfinite(value); }

std::string DigitalOutput(int number) { return "Digital Output " + std::to_string(number); }

// The checks of one save, stopping at the first failing rule.
class SaveChecker {
public:
    SaveChecker(const AnalogOutputSettings& settings, std::uint32_t alarmBlock)
        : block_(alarmBlock), minimumDeadband_(MinimumDeadband(settings.lsl, settings.usl)) {
        result_.checked = settings;
    }

    SaveCheck run() {
        SortRangeValues(s().alarms);
        if (fail(!valuesAreNumbers(), "A value to be saved is not a number; nothing was saved") ||
            fail(!(result_.checked.conversionFactor != 0.0f) || !Finite(result_.checked.conversionFactor),
                 kBadConversionFactor) ||
            !checkPressure() || !checkOutput() || !checkAlarm(0) || !checkAlarm(1)) {
            return std::move(result_);
        }
        addWrites();
        return std::move(result_);
    }

private:
    AnalogOutputSettings& s() { return result_.checked; }

    bool fail(bool failing, const std::string& text) {
        if (!failing) return false;
        result_.notes.push_back({NoteKind::Failure, text});
        result_.failed = true;
        return true;
    }

    bool valuesAreNumbers() {
        const AnalogOutputSettings& v = s();
        bool finite = Finite(v.lrv) && Finite(v.urv) && Finite(v.aoAtLrv) && Finite(v.aoAtUrv);
        for (const AlarmSettings& alarm : v.alarms)
            finite = finite && Finite(alarm.value1) && Finite(alarm.value2) && Finite(alarm.deadband);
        return finite && (v.transfer != 1 || Finite(v.transferValue));
    }

    bool checkPressure() {
        AnalogOutputSettings& v = s();
        if (fail(v.lrv < v.lsl, "Pressure LRV too low- lower than LSL") ||
            fail(v.lrv > v.urv, "Pressure LRV too high- higher than URV") ||
            // A span of zero is refused too: percent of span would divide by it.
            fail(v.urv - v.lrv < v.minimumSpan || !(v.urv - v.lrv > 0.0f),
                 "Pressure range (URV - LRV) is lower than minimum span")) {
            return false;
        }
        if (v.urv > v.usl) {
            if (fail(v.urv - v.usl > kLimitTolerance, "Pressure URV too high- higher than USL")) return false;
            v.urv = v.usl;
        }
        return true;
    }

    bool checkOutput() {
        const AnalogOutputSettings& v = s();
        const bool volts = v.output == OutputType::Volts;
        const float low = volts ? 0.0f : 4.0f;
        const float high = volts ? 5.0f : 20.0f;
        const std::string unit = volts ? "V" : "mA";
        const std::string lowText = volts ? "0V" : "4mA";
        const std::string highText = volts ? "5V" : "20mA";
        return !(fail(v.aoAtLrv < low, "AO@LRV too low- lower than " + lowText) ||
                 fail(v.aoAtLrv > high, "AO@LRV too high- higher than " + highText) ||
                 fail(v.aoAtUrv < low, "AO@URV too low- lower than " + lowText) ||
                 fail(v.aoAtUrv > high, "AO@URV too high- higher than " + highText));
    }

    bool checkAlarm(std::size_t index) {
        AnalogOutputSettings& v = s();
        AlarmSettings& alarm = v.alarms[index];
        const std::string name = DigitalOutput(static_cast<int>(index) + 1);
        const bool range = IsRangeCondition(alarm.condition);
        const float maximumDeadband = std::abs(alarm.value2 - alarm.value1) / 2.0f;
        const bool tooLarge = range && alarm.deadband > maximumDeadband;
        const bool corrected = alarm.deadband < minimumDeadband_;
        if (corrected) alarm.deadband = minimumDeadband_;
        AlarmPercent percent{PercentOfSpan(alarm.value1, v.lrv, v.urv), alarm.value2,
                             DeadbandPercent(alarm.deadband, v.lrv, v.urv), false};
        result_.percent[index] = percent;
        const std::string value1 = range ? " Lower Value" : " Value";
        const bool failing =
            fail(alarm.value1 < v.lsl - kLimitTolerance, name + value1 + " less than LSL") ||
            fail(alarm.value1 > v.usl + kLimitTolerance, name + value1 + " greater than USL") ||
            fail(tooLarge, name + " values range smaller than max valid Reset Deadband\nor\nReset Deadband value too "
                                  "large for Digital Output values range");
        if (!failing && corrected) {
            result_.notes.push_back(
                {NoteKind::Warning, name + " Reset Deadband value invalid.  Correcting value written to device"});
        }
        if (!failing && range) {
            percent.value2 = PercentOfSpan(alarm.value2, v.lrv, v.urv);
            percent.value2Converted = true;
            result_.percent[index] = percent;
            fail(alarm.value2 < v.lsl, name + " Upper Value less than LSL") ||
                fail(alarm.value2 > v.usl + kLimitTolerance, name + " Upper Value greater than USL");
        }
        if (result_.failed && index == 1) result_.alarm2Failed = true;
        return !result_.failed;
    }

    void addWrites() {
        const AnalogOutputSettings& v = s();
        auto& w = result_.writes;
        w.push_back(ByteWrite(Module::Output, block_ + alarm_block::kTransmitterAlarm, v.transmitterAlarm));
        w.push_back(ByteWrite(Module::Output, block_ + alarm_block::kTransmitterAlarmCopy, v.transmitterAlarm));
        w.push_back(ByteWrite(Module::Output, block_ + alarm_block::kTransfer, v.transfer));
        if (v.transfer == 1) w.push_back(FloatWrite(Module::Output, address::kSquareRootValue, v.transferValue));
        w.push_back(FloatWrite(Module::Pressure, address::kLowerRangeValue, v.lrv / v.conversionFactor));
        w.push_back(FloatWrite(Module::Pressure, address::kUpperRangeValue, v.urv / v.conversionFactor));
        const bool volts = v.output == OutputType::Volts;
        w.push_back(FloatWrite(Module::Output, volts ? address::kVoltsAtLrv : address::kCurrentAtLrv, v.aoAtLrv));
        w.push_back(FloatWrite(Module::Output, volts ? address::kVoltsAtUrv : address::kCurrentAtUrv, v.aoAtUrv));
        for (std::size_t i = 0; i < 2; ++i) {
            const std::uint32_t at = block_ + alarm_block::kAlarm[i];
            const AlarmSettings& alarm = v.alarms[i];
            const AlarmPercent& percent = *result_.percent[i];
            w.push_back(ByteWrite(Module::Output, at + alarm_block::kState, alarm.state));
            w.push_back(ByteWrite(Module::Output, at + alarm_block::kCondition, ConditionCode(alarm.condition)));
            w.push_back(FloatWrite(Module::Output, at + alarm_block::kValue1, percent.value1));
            w.push_back(FloatWrite(Module::Output, at + alarm_block::kValue2, percent.value2));
            w.push_back(FloatWrite(Module::Output, at + alarm_block::kDeadband, percent.deadband));
        }
    }

    std::uint32_t block_;
    float minimumDeadband_;
    SaveCheck result_;
};

OpenCorrection Correction(std::optional<std::string> message, MemoryWrite write) {
    return OpenCorrection{std::move(message), write};
}

}  // namespace

bool IsRangeCondition(int position) { return position == 0 || position == 1; }

std::uint8_t ConditionCode(int position) {
    if (position >= 0 && position < static_cast<int>(kConditionCodes.size())) return kConditionCodes[position];
    return static_cast<std::uint8_t>(position);
}

int ConditionPosition(std::uint8_t code) {
    for (std::size_t i = 0; i < kConditionCodes.size(); ++i)
        if (kConditionCodes[i] == code) return static_cast<int>(i);
    return code;
}

MemoryWrite ByteWrite(Module module, std::uint32_t address, std::uint8_t value) {
    return MemoryWrite{module, address, true, value, 0.0f};
}

MemoryWrite FloatWrite(Module module, std::uint32_t address, float value) {
    return MemoryWrite{module, address, false, 0, value};
}

float MinimumDeadband(float lsl, float usl) { return (usl - lsl) * kMinimumDeadbandFraction; }

float PercentOfSpan(float value, float lrv, float urv) { return (value - lrv) / (urv - lrv) * 100.0f; }

float DeadbandPercent(float deadband, float lrv, float urv) { return deadband / (urv - lrv) * 100.0f; }

float ValueFromPercent(float percent, float lrv, float urv) {
    const double offset = static_cast<double>(percent) * 0.01 * static_cast<double>(urv - lrv);
    return static_cast<float>(ParseDecimal(FormatFixed(offset, 0, 6)) + static_cast<double>(lrv));
}

void SortRangeValues(std::array<AlarmSettings, 2>& alarms) {
    for (AlarmSettings& alarm : alarms) {
        if (IsRangeCondition(alarm.condition) && alarm.value2 < alarm.value1) std::swap(alarm.value1, alarm.value2);
    }
}

float DeadbandFromPercent(float percent, float lrv, float urv) { return percent * 0.01f * (urv - lrv); }

SaveCheck CheckSaveValues(const AnalogOutputSettings& settings, std::uint32_t alarmBlock) {
    return SaveChecker(settings, alarmBlock).run();
}

std::vector<OpenCorrection> CorrectRangeAtOpen(float& lrv, float& urv, float lsl, float usl, float factor) {
    std::vector<OpenCorrection> corrections;
    if (lrv < lsl) {
        if (lsl - lrv > kLimitTolerance) {
            corrections.push_back(Correction("LRV value less than LSL.  Saving corrected value to device",
                                             FloatWrite(Module::Pressure, address::kLowerRangeValue, lsl / factor)));
        }
        lrv = lsl;
    }
    if (urv > usl) {
        if (urv - usl > kLimitTolerance) {
            corrections.push_back(
                Correction("URV value greater than USL.  Saving corrected value to device",
                           FloatWrite(Module::Pressure, address::kUpperRangeValue, kFullSpanPercent)));
        }
        urv = usl;
    }
    if (urv == 0.0f) {
        corrections.push_back(
            Correction(std::nullopt, FloatWrite(Module::Pressure, address::kUpperRangeValue, kFullSpanPercent)));
        urv = usl;
    }
    return corrections;
}

std::vector<OpenCorrection> CorrectAlarmsAtOpen(std::array<AlarmSettings, 2>& alarms,
                                                const AnalogOutputSettings& range, std::uint32_t alarmBlock) {
    std::vector<OpenCorrection> corrections;
    const float minimumDeadband = MinimumDeadband(range.lsl, range.usl);
    std::array<bool, 2> deadbandInvalid{};
    for (std::size_t i = 0; i < alarms.size(); ++i) {
        AlarmSettings& alarm = alarms[i];
        const std::string name = DigitalOutput(static_cast<int>(i) + 1);
        const std::uint32_t at = alarmBlock + alarm_block::kAlarm[i];
        if (alarm.value1 < range.lsl) {
            if (range.lsl - alarm.value1 > kLimitTolerance) {
                corrections.push_back(Correction(name + " lower value less than LSL.  Saving corrected value to device",
                                                 FloatWrite(Module::Output, at + alarm_block::kValue1, 0.0f)));
            }
            alarm.value1 = range.lsl;
        }
        if (alarm.deadband < minimumDeadband) {
            deadbandInvalid[i] = minimumDeadband - alarm.deadband > kLimitTolerance;
            alarm.deadband = minimumDeadband;
        }
        if (alarm.value2 > range.usl) {
            const std::string upper = i == 0 ? " upper value higher than USL" : " Upper Value higher than USL";
            if (alarm.value2 - range.usl > kLimitTolerance) {
                corrections.push_back(Correction(name + upper + ".  Saving corrected value to device",
                                                 FloatWrite(Module::Output, at + alarm_block::kValue2, kFullSpanPercent)));
            }
            alarm.value2 = range.usl;
        }
        if (IsRangeCondition(alarm.condition)) {
            const float maximumDeadband = std::abs(alarm.value2 - alarm.value1) / 2.0f;
            deadbandInvalid[i] = deadbandInvalid[i] || alarm.deadband > maximumDeadband ||
                                 alarm.deadband < minimumDeadband;
        }
    }
    // The deadband corrections come after both alarms' values.
    for (std::size_t i = 0; i < alarms.size(); ++i) {
        if (!deadbandInvalid[i]) continue;
        alarms[i].deadband = minimumDeadband;
        const std::uint32_t at = alarmBlock + alarm_block::kAlarm[i] + alarm_block::kDeadband;
        corrections.push_back(Correction(
            DigitalOutput(static_cast<int>(i) + 1) + " Reset Deadband value invalid.  Saving corrected value to device",
            FloatWrite(Module::Output, at, DeadbandPercent(minimumDeadband, range.lrv, range.urv))));
    }
    return corrections;
}

}  // namespace corvel
