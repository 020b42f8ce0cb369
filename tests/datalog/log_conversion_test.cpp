// Header lines, and logs outside the usual two-module shape.
#include <gtest/gtest.h>

#include "tests/datalog/conversion_harness.h"

namespace corvel::testing {
namespace {

class LogConversionTest : public ConversionTest {
protected:
    // The interval, sample count and duration lines of the output.
    std::string intervalLines(const LogBuilder& log) {
        const std::string text = convertLog(log);
        const std::size_t begin = text.find("Interval: ");
        const std::size_t end = text.find("\r\n\r\n", begin);
        return begin == std::string::npos || end == std::string::npos ? text : text.substr(begin, end - begin);
    }
};

TEST_F(LogConversionTest, DurationReadsInMinutesUpToFiftyNineThenInHoursAndMinutes) {
    EXPECT_EQ(intervalLines(TwoModuleLog(6000, 60)),
              "Interval: 60 sec\r\nNumber of Samples: 60\r\nData Log Duration: 59 mins");
    EXPECT_EQ(intervalLines(TwoModuleLog(3000, 120)),
              "Interval: 30 sec\r\nNumber of Samples: 120\r\nData Log Duration: 0 hours 59 mins");
    EXPECT_EQ(intervalLines(TwoModuleLog(6000, 61)),
              "Interval: 60 sec\r\nNumber of Samples: 61\r\nData Log Duration: 1 hours 0 mins");
    // hundredths are cut off the interval
    EXPECT_EQ(intervalLines(TwoModuleLog(9099, 1000)),
              "Interval: 90 sec\r\nNumber of Samples: 1000\r\nData Log Duration: 24 hours 58 mins");
}

TEST_F(LogConversionTest, TheLastLoggedChannelSetsIntervalAndSampleCount) {
    ModuleSpec pressure = PressureModule(500, 10);
    ModuleSpec voltageCurrent = VoltageCurrentModule(200, 30);
    voltageCurrent.channels[3] = {.interval = 0, .samples = 99, .units = "C", .scale = 1.0f, .decimals = 1};
    voltageCurrent.channels[1].samples = 20;
    LogBuilder log;
    log.module(pressure).module(voltageCurrent);
    EXPECT_EQ(intervalLines(log), "Interval: 2 sec\r\nNumber of Samples: 20\r\nData Log Duration: 0 mins");
}

TEST_F(LogConversionTest, ModeNamesAndUnitsFillTheHeadingLines) {
    ModuleSpec pressure = PressureModule(100, 0, "inH2O", "kPa");
    pressure.mode = 1;
    ModuleSpec voltageCurrent = VoltageCurrentModule(100, 0, "\xB0"
                                                             "F");
    voltageCurrent.mode = 0x60;
    LogBuilder log;
    log.start(2025, 1, 2, 3, 4, 5).name("Mode test").serial("0042").module(pressure).module(voltageCurrent);
    EXPECT_EQ(convertLog(log),
              Lines({"Log Name: Mode test", "Start Time: 01/02/2025 03:04:05", "Unit S/N: 0042", "Interval: 1 sec",
                     "Number of Samples: 0", "Data Log Duration: 0 mins", "", ",,Pressure: Sim    ,,Volt Current: I Sink    ",
                     "Sample,Time,P1:inH2O,P2:kPa,Volts:V,Curr:mA,Temp:\xB0"
                     "F,Status"}));

    voltageCurrent.mode = 0x70;
    LogBuilder unknownMode;
    unknownMode.module(PressureModule(100, 0)).module(voltageCurrent);
    EXPECT_NE(convertLog(unknownMode).find("\r\n,,Pressure: Measure,,Volt Current: \r\n"), std::string::npos);
}

TEST_F(LogConversionTest, ALaterModuleOfTheSameTypeOverridesUnitsAndMode) {
    // GIVEN two pressure modules; the later one logs nothing, the first simulates
    ModuleSpec firstPressure = PressureModule(100, 5, "PSI", "bar");
    firstPressure.mode = 1;
    ModuleSpec laterPressure = PressureModule(0, 0, "kPa", "");
    LogBuilder log;
    log.module(firstPressure).module(laterPressure);
    EXPECT_NE(convertLog(log).find("Interval: 1 sec\r\nNumber of Samples: 5\r\nData Log Duration: 0 mins\r\n\r\n"
                                          ",,Pressure: Measure,,Volt Current: V Measure    \r\n"
                                          "Sample,Time,P1:kPa,P2:N/A,Volts:V,Curr:mA,Temp:,Status\r\n"),
              std::string::npos);
}

TEST_F(LogConversionTest, AThirtyOneCharacterNameLeavesTheSerialNumberInPlace) {
    LogBuilder log = TwoModuleLog(100, 0);
    log.name("Northern pump station, tank 123").serial("SN-31");
    EXPECT_TRUE(convertLog(log).starts_with("Log Name: Northern pump station, tank 123\r\n"
                                            "Start Time: 03/15/2024 10:00:00\r\nUnit S/N: SN-31\r\n"));
}

TEST_F(LogConversionTest, ModuleCountZeroGivesHeaderLinesOnly) {
    LogBuilder log;
    log.name("Empty");
    EXPECT_EQ(convertLog(log),
              Lines({"Log Name: Empty", "Start Time: 03/15/2024 10:00:00", "Unit S/N: ", "Interval: 0 sec",
                     "Number of Samples: 0", "Data Log Duration: 0 mins", "",
                     ",,Pressure: Measure,,Volt Current: V Measure    ",
                     "Sample,Time,P1:,P2:,Volts:V,Curr:mA,Temp:,Status"}));
    EXPECT_TRUE(converted);
}

TEST_F(LogConversionTest, ALogWithoutLoggedChannelsGivesHeaderLinesOnly) {
    LogBuilder log;
    log.name("Idle").serial("9").module(PressureModule(0, 0));
    EXPECT_TRUE(convertLog(log).ends_with("Interval: 0 sec\r\nNumber of Samples: 0\r\nData Log Duration: 0 mins\r\n\r\n"
                                          ",,Pressure: Measure,,Volt Current: V Measure    \r\n"
                                          "Sample,Time,P1:PSI,P2:N/A,Volts:V,Curr:mA,Temp:,Status\r\n"));
    EXPECT_TRUE(converted);
}

TEST_F(LogConversionTest, NoSamplesClaimedButRecordsPresentIsReported) {
    // GIVEN headers that log nothing (and one that declares no module), with records after them
    for (LogBuilder log : {LogBuilder().name("Idle").module(PressureModule(0, 0)), LogBuilder().name("Empty")}) {
        log.value(0x40, 1, 0, 1.0f).value(0x40, 2, 0, 2.0f).value(0x40, 1, 100, 1.0f);
        prompter.reports.clear();
        // THEN nothing is converted, and the report says why
        EXPECT_EQ(convertLog(log), "");
        EXPECT_FALSE(converted);
        ASSERT_EQ(prompter.reports.size(), 1u);
        EXPECT_EQ(prompter.reports[0], input.string() + " is not a data log file, or it is damaged: its header claims 0 "
                                                        "samples, yet the file holds 3 records.");
    }
}

TEST_F(LogConversionTest, ASingleModuleLogWritesOneLinePerInstant) {
    // GIVEN a pressure module alone, P2 missing at the second instant and a
    // marker 2.5 intervals after the third
    LogBuilder log;
    log.name("Solo").serial("S1").module(PressureModule(100, 5, "PSI", "bar"));
    log.value(0x40, 1, 0, 1.0f).value(0x40, 2, 0, 2.0f);
    log.value(0x40, 1, 100, 1.5f);
    log.value(0x40, 1, 200, 3.0f).value(0x40, 2, 200, 4.0f);
    log.marker(0x40, 450).value(0x40, 1, 450, 5.0f).value(0x40, 2, 450, 6.0f);

    EXPECT_EQ(convertLog(log), Lines({"Log Name: Solo", "Start Time: 03/15/2024 10:00:00", "Unit S/N: S1",
                                      "Interval: 1 sec", "Number of Samples: 5", "Data Log Duration: 0 mins", "",
                                      ",,Pressure: Measure,,Volt Current: V Measure    ",
                                      "Sample,Time,P1:PSI,P2:bar,Volts:V,Curr:mA,Temp:,Status",
                                      Row(1, "10:00:00", {"1.00", "2.00", "", "", ""}),
                                      Row(2, "10:00:01", {"1.50", "2.00", "", "", ""}, "D"),
                                      Row(3, "10:00:02", {"3.00", "4.00", "", "", ""}),
                                      Row(4, "10:00:03", {"3.00", "4.00", "", "", ""}, "D"),
                                      Row(5, "10:00:04", {"5.00", "6.00", "", "", ""})}));
    EXPECT_TRUE(converted);
}

TEST_F(LogConversionTest, ASingleModuleInstantOfMarkersAloneRepeatsThePreviousLineWithD) {
    // GIVEN a pressure module alone with a marker at a time stamp of its own,
    // once right after an instant and once 2.5 intervals after one
    LogBuilder log;
    log.name("Solo").serial("S1").module(PressureModule(100, 7, "PSI", "bar"));
    log.value(0x40, 1, 0, 1.0f).value(0x40, 2, 0, 2.0f);
    log.marker(0x40, 50);
    log.value(0x40, 1, 100, 3.0f).value(0x40, 2, 100, 4.0f);
    log.value(0x40, 1, 200, 5.0f).value(0x40, 2, 200, 6.0f);
    log.marker(0x40, 450);
    log.value(0x40, 1, 500, 7.0f).value(0x40, 2, 500, 8.0f);

    // THEN each line of the marker alone repeats the values before it with "D"
    const std::string text = convertLog(log);
    EXPECT_TRUE(text.ends_with(",Status\r\n" + Lines({Row(1, "10:00:00", {"1.00", "2.00", "", "", ""}),
                                                      Row(2, "10:00:01", {"1.00", "2.00", "", "", ""}, "D"),
                                                      Row(3, "10:00:02", {"3.00", "4.00", "", "", ""}),
                                                      Row(4, "10:00:03", {"5.00", "6.00", "", "", ""}),
                                                      Row(5, "10:00:04", {"5.00", "6.00", "", "", ""}, "D"),
                                                      Row(6, "10:00:05", {"5.00", "6.00", "", "", ""}, "D"),
                                                      Row(7, "10:00:06", {"7.00", "8.00", "", "", ""})})))
        << text;
    EXPECT_TRUE(converted);
}

TEST_F(LogConversionTest, ARecordOfAnUndeclaredModuleStopsTheConversion) {
    // GIVEN one module header and a record tagged for the second module
    LogBuilder log;
    log.name("One").module(PressureModule(100, 3));
    log.value(0x40, 1, 0, 1.0f).value(0x40, 2, 0, 2.0f);
    log.value(0x40, 1, 100, 3.0f).value(0x40, 2, 100, 4.0f);
    log.value(0x41, 1, 200, 5.0f).value(0x40, 1, 200, 6.0f);

    // THEN no output file is left, and the report is the only prompt
    EXPECT_EQ(convertLog(log), "");
    EXPECT_FALSE(std::filesystem::exists(output));
    EXPECT_FALSE(converted);
    EXPECT_EQ(prompter.reports, std::vector<std::string>{"An invalid argument was encountered."});
    EXPECT_TRUE(prompter.questions.empty());
}

}  // namespace
}  // namespace corvel::testing
