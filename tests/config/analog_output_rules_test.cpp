#include "config/analog_output_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "common/number_format.h"

namespace corvel {
namespace {

constexpr std::uint32_t B = 0x4000;

// A valid configuration: 0-100 PSI sensor, range 0-100, volts 1-5, both
// alarms closed, "Between" 10-90 with a deadband of 1.
AnalogOutputSettings Valid() {
    AnalogOutputSettings s;
    s.lsl = 0.0f;
    s.usl = 100.0f;
    s.lrv = 0.0f;
    s.urv = 100.0f;
    s.minimumSpan = 10.0f;
    s.conversionFactor = 1.0f;
    s.output = OutputType::Volts;
    s.aoAtLrv = 1.0f;
    s.aoAtUrv = 5.0f;
    s.transmitterAlarm = 1;
    for (AlarmSettings& alarm : s.alarms) alarm = AlarmSettings{kAlarmClosed, 0, 10.0f, 90.0f, 1.0f};
    return s;
}

struct Rule {
    const char* name;
    std::function<void(AnalogOutputSettings&)> change;
    std::vector<RuleNote> notes;  // what the operator is told, in order
    bool saved;
};

RuleNote Failure(const char* text) { return {NoteKind::Failure, text}; }
RuleNote Warning(const char* text) { return {NoteKind::Warning, text}; }

class SaveRules : public ::testing::TestWithParam<Rule> {};

TEST_P(SaveRules, OnlyTheFirstFailingRuleIsReported) {
    AnalogOutputSettings settings = Valid();
    GetParam().change(settings);
    const SaveCheck check = CheckSaveValues(settings, B);
    EXPECT_EQ(check.notes, GetParam().notes);
    EXPECT_EQ(!check.failed, GetParam().saved);
    EXPECT_EQ(check.writes.empty(), !GetParam().saved);
}

const char* kDeadbandTooLarge1 =
    "Digital Output 1 values range smaller than max valid Reset Deadband\nor\nReset Deadband value too large for "
    "Digital Output values range";

INSTANTIATE_TEST_SUITE_P(
    Table, SaveRules,
    ::testing::Values(
        Rule{"valid", [](auto&) {}, {}, true},
        Rule{"limits_themselves", [](auto& s) { s.lrv = s.lsl; s.urv = s.usl; }, {}, true},
        Rule{"lrv_below_lsl", [](auto& s) { s.lrv = -0.5f; s.aoAtUrv = 9.0f; },
             {Failure("Pressure LRV too low- lower than LSL")}, false},
        Rule{"lrv_above_urv", [](auto& s) { s.lrv = 60.0f; s.urv = 50.0f; },
             {Failure("Pressure LRV too high- higher than URV")}, false},
        Rule{"span_equal_to_min_span", [](auto& s) { s.lrv = 20.0f; s.urv = 30.0f;
                                                     for (auto& a : s.alarms) a = {kAlarmClosed, 2, 25.0f, 0, 0.5f}; },
             {}, true},
        Rule{"span_below_min_span", [](auto& s) { s.lrv = 20.0f; s.urv = 29.0f; },
             {Failure("Pressure range (URV - LRV) is lower than minimum span")}, false},
        Rule{"zero_span_with_no_minimum", [](auto& s) { s.minimumSpan = 0.0f; s.lrv = s.urv = 50.0f; },
             {Failure("Pressure range (URV - LRV) is lower than minimum span")}, false},
        Rule{"urv_just_above_usl_is_snapped", [](auto& s) { s.urv = 100.0001f; }, {}, true},
        Rule{"urv_above_usl", [](auto& s) { s.urv = 100.001f; }, {Failure("Pressure URV too high- higher than USL")},
             false},
        Rule{"volts_at_five", [](auto& s) { s.aoAtUrv = 5.0f; s.aoAtLrv = 0.0f; }, {}, true},
        Rule{"volts_above_five", [](auto& s) { s.aoAtUrv = 5.01f; }, {Failure("AO@URV too high- higher than 5V")},
             false},
        Rule{"volts_below_zero", [](auto& s) { s.aoAtLrv = -0.1f; }, {Failure("AO@LRV too low- lower than 0V")}, false},
        Rule{"current_limits", [](auto& s) { s.output = OutputType::Current; s.aoAtLrv = 4.0f; s.aoAtUrv = 20.0f; },
             {}, true},
        Rule{"current_below_four", [](auto& s) { s.output = OutputType::Current; s.aoAtLrv = 3.9f; s.aoAtUrv = 20.0f; },
             {Failure("AO@LRV too low- lower than 4mA")}, false},
        Rule{"current_above_twenty", [](auto& s) { s.output = OutputType::Current; s.aoAtLrv = 4.0f; s.aoAtUrv = 20.5f; },
             {Failure("AO@URV too high- higher than 20mA")}, false},
        Rule{"single_value_below_lsl", [](auto& s) { s.alarms[0] = {kAlarmOpen, 2, -1.0f, 0, 1.0f}; },
             {Failure("Digital Output 1 Value less than LSL")}, false},
        Rule{"lower_value_within_tolerance_of_lsl", [](auto& s) { s.alarms[0].value1 = -0.0001f; }, {}, true},
        Rule{"lower_value_below_lsl", [](auto& s) { s.alarms[0].value1 = -0.001f; },
             {Failure("Digital Output 1 Lower Value less than LSL")}, false},
        Rule{"value_within_tolerance_of_usl", [](auto& s) { s.alarms[0] = {kAlarmOpen, 2, 100.0001f, 0, 1.0f}; }, {},
             true},
        Rule{"value_above_usl", [](auto& s) { s.alarms[0] = {kAlarmOpen, 2, 100.001f, 0, 1.0f}; },
             {Failure("Digital Output 1 Value greater than USL")}, false},
        Rule{"alarm2_lower_value_within_tolerance_of_lsl", [](auto& s) { s.alarms[1].value1 = -0.0001f; }, {}, true},
        Rule{"alarm2_lower_value_below_lsl", [](auto& s) { s.alarms[1].value1 = -0.001f; },
             {Failure("Digital Output 2 Lower Value less than LSL")}, false},
        Rule{"upper_value_within_tolerance_of_usl", [](auto& s) { s.alarms[1].value2 = 100.0001f; }, {}, true},
        Rule{"inactive_alarm_is_checked_too", [](auto& s) { s.alarms[0] = {kAlarmInactive, 0, 150.0f, 160.0f, 1.0f}; },
             {Failure("Digital Output 1 Lower Value greater than USL")}, false},
        Rule{"deadband_too_large", [](auto& s) { s.alarms[0].deadband = 41.0f; }, {Failure(kDeadbandTooLarge1)}, false},
        Rule{"deadband_corrected_and_saved", [](auto& s) { s.alarms[0].deadband = 0.1f; },
             {Warning("Digital Output 1 Reset Deadband value invalid.  Correcting value written to device")}, true},
        Rule{"upper_value_above_usl", [](auto& s) { s.alarms[1].value2 = 100.001f; },
             {Failure("Digital Output 2 Upper Value greater than USL")}, false},
        Rule{"lrv_failure_hides_later_ones", [](auto& s) { s.lrv = -1.0f; s.aoAtLrv = 9.0f; s.alarms[0].value1 = -5.0f; },
             {Failure("Pressure LRV too low- lower than LSL")}, false},
        Rule{"factor_zero_writes_nothing", [](auto& s) { s.conversionFactor = 0.0f; },
             {Failure(kBadConversionFactor)}, false},
        Rule{"not_a_number_writes_nothing", [](auto& s) { s.urv = std::numeric_limits<float>::quiet_NaN(); },
             {Failure("A value to be saved is not a number; nothing was saved")}, false}),
    [](const ::testing::TestParamInfo<Rule>& info) { return std::string(info.param.name); });

TEST(SaveValues, SwapsARangeAndWritesInTheTransmittersOrder) {
    AnalogOutputSettings settings = Valid();
    settings.alarms[0] = {kAlarmClosed, 1, 80.0f, 20.0f, 2.0f};  // "Not Between", given high first
    settings.alarms[1] = {kAlarmOpen, 3, 40.0f, 7.0f, 1.0f};     // "Less Than": value 2 written as it is
    settings.lrv = 10.0f;
    settings.urv = 50.0f;
    settings.conversionFactor = 2.0f;
    const SaveCheck check = CheckSaveValues(settings, B);
    ASSERT_FALSE(check.failed);
    EXPECT_EQ(check.checked.alarms[0].value1, 20.0f);
    const std::vector<MemoryWrite> expected = {
        ByteWrite(Module::Output, B + 64, 1),       ByteWrite(Module::Output, B + 96, 1),
        ByteWrite(Module::Output, B + 0, 0),        FloatWrite(Module::Pressure, 0x2830, 5.0f),
        FloatWrite(Module::Pressure, 0x2834, 25.0f), FloatWrite(Module::Output, 0x2830, 1.0f),
        FloatWrite(Module::Output, 0x2834, 5.0f),   ByteWrite(Module::Output, B + 128, 1),
        ByteWrite(Module::Output, B + 130, 2),      FloatWrite(Module::Output, B + 140, 25.0f),
        FloatWrite(Module::Output, B + 144, 175.0f), FloatWrite(Module::Output, B + 148, 5.0f),
        ByteWrite(Module::Output, B + 160, 0),      ByteWrite(Module::Output, B + 162, 6),
        FloatWrite(Module::Output, B + 172, 75.0f), FloatWrite(Module::Output, B + 176, 7.0f),
        FloatWrite(Module::Output, B + 180, 2.5f)};
    EXPECT_EQ(check.writes, expected);
}

TEST(SaveValues, SquareRootTransferWritesItsValueAndCurrentUsesItsAddresses) {
    AnalogOutputSettings settings = Valid();
    settings.transfer = 1;
    settings.transferValue = 0.5f;
    settings.output = OutputType::Current;
    settings.aoAtLrv = 4.0f;
    settings.aoAtUrv = 20.0f;
    const SaveCheck check = CheckSaveValues(settings, B);
    ASSERT_FALSE(check.failed);
    EXPECT_EQ(check.writes[3], FloatWrite(Module::Output, 0x3406, 0.5f));
    EXPECT_EQ(check.writes[6], FloatWrite(Module::Output, 0x2A30, 4.0f));
    EXPECT_EQ(check.writes[7], FloatWrite(Module::Output, 0x2A34, 20.0f));
}

TEST(SaveValues, AnAlarm2FailureIsMarkedForItsSingleBox) {
    AnalogOutputSettings settings = Valid();
    settings.alarms[1].value1 = -3.0f;
    EXPECT_TRUE(CheckSaveValues(settings, B).alarm2Failed);
    settings = Valid();
    settings.alarms[0].value1 = -3.0f;
    EXPECT_FALSE(CheckSaveValues(settings, B).alarm2Failed);
}

TEST(PercentOfSpan, ConvertsBothWaysThroughSixDecimals) {
    EXPECT_FLOAT_EQ(PercentOfSpan(30.0f, 10.0f, 60.0f), 40.0f);
    EXPECT_FLOAT_EQ(DeadbandPercent(5.0f, 10.0f, 60.0f), 10.0f);
    EXPECT_FLOAT_EQ(ValueFromPercent(40.0f, 10.0f, 60.0f), 30.0f);
    EXPECT_FLOAT_EQ(DeadbandFromPercent(10.0f, 10.0f, 60.0f), 5.0f);
    EXPECT_EQ(ValueFromPercent(33.3333333f, 0.0f, 1.0f), 0.333333f);
    // Back from percent in double precision: in single precision this value is saved again as 22.222219.
    EXPECT_EQ(FormatFixed(PercentOfSpan(ValueFromPercent(22.2222195f, 0.0f, 54.0f), 0.0f, 54.0f), 0, 6), "22.222221");
    EXPECT_EQ(ConditionPosition(5), 2);
    EXPECT_EQ(ConditionPosition(3), 3);  // outside the list: the position of the same number
    EXPECT_EQ(ConditionCode(5), 8);
}

TEST(OpeningCorrections, RangeSnapsQuietlyWithinTheToleranceAndWritesBeyondIt) {
    float lrv = -0.0001f;
    float urv = 0.0f;
    std::vector<OpenCorrection> corrections = CorrectRangeAtOpen(lrv, urv, 0.0f, 100.0f, 2.0f);
    ASSERT_EQ(corrections.size(), 1u);  // URV 0: 100.0 written without a message
    EXPECT_FALSE(corrections[0].message);
    EXPECT_EQ(*corrections[0].write, FloatWrite(Module::Pressure, 0x2834, 100.0f));
    EXPECT_EQ(lrv, 0.0f);
    EXPECT_EQ(urv, 100.0f);

    lrv = -0.001f;
    urv = 100.001f;
    corrections = CorrectRangeAtOpen(lrv, urv, 5.0f, 100.0f, 2.0f);
    ASSERT_EQ(corrections.size(), 2u);
    EXPECT_EQ(*corrections[0].message, "LRV value less than LSL.  Saving corrected value to device");
    EXPECT_EQ(*corrections[0].write, FloatWrite(Module::Pressure, 0x2830, 2.5f));
    EXPECT_EQ(*corrections[1].message, "URV value greater than USL.  Saving corrected value to device");
}

TEST(OpeningCorrections, AlarmValuesWithinTheToleranceSnapQuietly) {
    struct Row {
        std::size_t alarm;
        float value1;
        float value2;
        const char* message;  // with its write, or none
    };
    const Row rows[] = {
        {0, -0.0001f, 90.0f, nullptr},
        {0, -0.001f, 90.0f, "Digital Output 1 lower value less than LSL.  Saving corrected value to device"},
        {0, 10.0f, 100.0001f, nullptr},
        {0, 10.0f, 100.001f, "Digital Output 1 upper value higher than USL.  Saving corrected value to device"},
        {1, -0.0001f, 90.0f, nullptr},
        {1, -0.001f, 90.0f, "Digital Output 2 lower value less than LSL.  Saving corrected value to device"},
        {1, 10.0f, 100.0001f, nullptr},
        {1, 10.0f, 100.001f, "Digital Output 2 Upper Value higher than USL.  Saving corrected value to device"}};
    for (const Row& row : rows) {
        std::array<AlarmSettings, 2> alarms;
        alarms.fill(AlarmSettings{kAlarmClosed, 0, 10.0f, 90.0f, 1.0f});
        alarms[row.alarm].value1 = row.value1;
        alarms[row.alarm].value2 = row.value2;
        const std::vector<OpenCorrection> corrections = CorrectAlarmsAtOpen(alarms, Valid(), B);
        ASSERT_EQ(corrections.size(), row.message ? 1u : 0u) << row.value1 << " " << row.value2;
        if (row.message) {
            EXPECT_EQ(*corrections[0].message, row.message);
            const std::uint32_t at = B + (row.alarm == 0 ? 128 : 160) + (row.value1 < 0.0f ? 12 : 16);
            EXPECT_EQ(*corrections[0].write, FloatWrite(Module::Output, at, row.value1 < 0.0f ? 0.0f : 100.0f));
        }
        EXPECT_EQ(alarms[row.alarm].value1, std::max(row.value1, 0.0f));
        EXPECT_EQ(alarms[row.alarm].value2, std::min(row.value2, 100.0f));
    }
}

TEST(OpeningCorrections, AlarmValuesFirstThenTheDeadbandsOfBoth) {
    AnalogOutputSettings range = Valid();
    std::array<AlarmSettings, 2> alarms = {AlarmSettings{kAlarmClosed, 0, -1.0f, 90.0f, 0.1f},
                                           AlarmSettings{kAlarmClosed, 0, 10.0f, 101.0f, 1.0f}};
    const std::vector<OpenCorrection> corrections = CorrectAlarmsAtOpen(alarms, range, B);
    ASSERT_EQ(corrections.size(), 3u);
    EXPECT_EQ(*corrections[0].message,
              "Digital Output 1 lower value less than LSL.  Saving corrected value to device");
    EXPECT_EQ(*corrections[1].message,
              "Digital Output 2 Upper Value higher than USL.  Saving corrected value to device");
    EXPECT_EQ(*corrections[2].message,
              "Digital Output 1 Reset Deadband value invalid.  Saving corrected value to device");
    EXPECT_EQ(*corrections[2].write, FloatWrite(Module::Output, B + 148, 0.5f));
    EXPECT_EQ(alarms[0].value1, 0.0f);
    EXPECT_EQ(alarms[1].value2, 100.0f);
}

}  // namespace
}  // namespace corvel
