// The data lines of converted logs: grouping of records into instants,
// carry-forward, filler lines, clock and value texts.
#include <gtest/gtest.h>

#include <clocale>

#include "tests/datalog/conversion_harness.h"

namespace corvel::testing {
namespace {

using Texts = std::array<std::string_view, 5>;

constexpr std::array<float, 5> kRaw0 = {14.7f, 3.25f, 4.5f, 12.0f, 21.5f};
constexpr std::array<float, 5> kRaw1 = {14.8f, 3.5f, 4.25f, 12.5f, 21.7f};
constexpr std::array<float, 5> kRaw2 = {15.0f, 3.75f, 4.0f, 13.0f, 22.0f};
constexpr std::array<float, 5> kRaw3 = {15.5f, 4.0f, 3.5f, 14.0f, 22.5f};
constexpr Texts kText0 = {"14.70", "3.25", "4.500", "12.000", "21.5"};
constexpr Texts kText1 = {"14.80", "3.50", "4.250", "12.500", "21.7"};
constexpr Texts kText2 = {"15.00", "3.75", "4.000", "13.000", "22.0"};
constexpr Texts kText3 = {"15.50", "4.00", "3.500", "14.000", "22.5"};

std::string WithHeader(std::string_view header, std::initializer_list<std::string> rows) {
    std::string text(header);
    for (const std::string& row : rows) text += row + "\r\n";
    return text;
}

// The header lines of TwoModuleLog(100, samples).
std::string TwoModuleHeader(int samples) {
    std::string header(kTwoModuleHeader);
    const std::string from = "Number of Samples: 3";
    header.replace(header.find(from), from.size(), "Number of Samples: " + std::to_string(samples));
    return header;
}

class LogLinesTest : public ConversionTest {};

TEST_F(LogLinesTest, TwoModulesThreeInstantsGiveThreeLines) {
    LogBuilder log = TwoModuleLog(100, 3);
    log.instant(0, kRaw0).instant(100, kRaw1).instant(200, kRaw2);

    EXPECT_EQ(convertLog(log), WithHeader(kTwoModuleHeader, {Row(1, "10:00:00", kText0), Row(2, "10:00:01", kText1),
                                                             Row(3, "10:00:02", kText2)}));
    EXPECT_TRUE(converted);
    EXPECT_TRUE(prompter.questions.empty());
    EXPECT_TRUE(prompter.reports.empty());
}

TEST_F(LogLinesTest, AFileEndingEarlyRepeatsTheLastValuesUpToTheSampleCount) {
    // GIVEN the file ends after the first record of the second instant
    LogBuilder log = TwoModuleLog(100, 4);
    log.instant(0, kRaw0).value(0x40, 1, 100, 14.8f);
    // THEN line 1 was written at that record; the rest repeat with "D" but the last
    const Texts repeated = {"14.80", "3.25", "4.500", "12.000", "21.5"};
    EXPECT_EQ(convertLog(log), WithHeader(TwoModuleHeader(4), {Row(1, "10:00:00", kText0),
                                                               Row(2, "10:00:01", repeated, "D"),
                                                               Row(3, "10:00:02", repeated, "D"),
                                                               Row(4, "10:00:03", repeated)}));
    EXPECT_TRUE(converted);
}

TEST_F(LogLinesTest, RecordsAlternatingByModuleGiveALineAtTheSecondTagChange) {
    // GIVEN P1 and volts only, one record of each module per instant
    ModuleSpec pressure = PressureModule(100, 3);
    pressure.channels[1] = {};
    ModuleSpec voltageCurrent = VoltageCurrentModule(100, 3, "");
    voltageCurrent.channels[1] = {};
    voltageCurrent.channels[3] = {};
    LogBuilder log;
    log.name("Alt").serial("7").module(pressure).module(voltageCurrent);
    for (int i = 0; i < 3; ++i)
        log.value(0x40, 1, i * 100, 1.0f + 0.5f * i).value(0x41, 1, i * 100, 2.0f + 0.5f * i);

    const std::string text = convertLog(log);
    EXPECT_NE(text.find("Sample,Time,P1:PSI,P2:N/A,Volts:V,Curr:mA,Temp:,Status\r\n"
                        "1,10:00:00,        1.00,,       2.000,,,\r\n"
                        "2,10:00:01,        1.50,,       2.500,,,\r\n"
                        "3,10:00:02,        2.00,,       3.000,,,\r\n"),
              std::string::npos)
        << text;
}

TEST_F(LogLinesTest, AChannelMissingAtModuleCompletionKeepsThePreviousTextWithoutD) {
    LogBuilder log = TwoModuleLog(100, 3);
    log.instant(0, kRaw0);
    log.value(0x40, 1, 100, kRaw1[0]);  // no P2 at this instant
    log.value(0x41, 1, 100, kRaw1[2]).value(0x41, 2, 100, kRaw1[3]).value(0x41, 4, 100, kRaw1[4]);
    log.instant(200, kRaw2);

    const Texts keptP2 = {"14.80", "3.25", "4.250", "12.500", "21.7"};
    EXPECT_EQ(convertLog(log), WithHeader(kTwoModuleHeader, {Row(1, "10:00:00", kText0), Row(2, "10:00:01", keptP2),
                                                             Row(3, "10:00:02", kText2)}));
}

// A log whose second instant has no pressure records and whose third has no
// P2: the change of time stamp carries P1 and P2 forward and the line waits
// until the second module has reported.
LogBuilder PendingLog(const std::string& p2Units) {
    LogBuilder log;
    log.name("Tank 3").serial("SN4400-17").module(PressureModule(100, 3, "PSI", p2Units)).module(
        VoltageCurrentModule(100, 3));
    log.instant(0, kRaw0);
    log.value(0x41, 1, 100, kRaw1[2]).value(0x41, 2, 100, kRaw1[3]).value(0x41, 4, 100, kRaw1[4]);
    log.value(0x40, 1, 200, kRaw2[0]);
    log.value(0x41, 1, 200, kRaw2[2]).value(0x41, 2, 200, kRaw2[3]).value(0x41, 4, 200, kRaw2[4]);
    return log;
}

TEST_F(LogLinesTest, AChangeOfInstantWithMissingColumnsWaitsForTheModulesAndMarksD) {
    const std::string text = convertLog(PendingLog("bar"));
    EXPECT_TRUE(text.ends_with(Lines({Row(1, "10:00:00", kText0),
                                      Row(2, "10:00:01", {"15.00", "3.25", "4.250", "12.500", "21.7"}, "D"),
                                      Row(3, "10:00:02", {"15.00", "3.25", "4.000", "13.000", "22.0"})})))
        << text;
}

TEST_F(LogLinesTest, AMissingP2WithoutUnitsIsLeftEmptyInsteadOfCarriedForward) {
    const std::string text = convertLog(PendingLog(""));
    EXPECT_TRUE(text.ends_with(Lines({Row(1, "10:00:00", kText0),
                                      Row(2, "10:00:01", {"15.00", "", "4.250", "12.500", "21.7"}, "D"),
                                      Row(3, "10:00:02", {"15.00", "", "4.000", "13.000", "22.0"})})))
        << text;
}

TEST_F(LogLinesTest, AMarkerTwoAndAHalfIntervalsLaterAddsAFillerLine) {
    // GIVEN three instants, a marker of the first module at 4.5 s, and the
    // instants at 4.5 s and 5.5 s
    LogBuilder log = TwoModuleLog(100, 6);
    log.instant(0, kRaw0).instant(100, kRaw1).instant(200, kRaw2);
    log.marker(0x40, 450).instant(450, kRaw3).instant(550, kRaw0);

    EXPECT_EQ(convertLog(log), WithHeader(TwoModuleHeader(6), {Row(1, "10:00:00", kText0),
                                                               Row(2, "10:00:01", kText1),
                                                               Row(3, "10:00:02", kText2),
                                                               Row(4, "10:00:03", kText2, "D"),
                                                               Row(5, "10:00:04", kText3),
                                                               Row(6, "10:00:05", kText0)}));
}

TEST_F(LogLinesTest, TheGapBeginsAtExactlyOneAndAHalfIntervals) {
    // GIVEN three instants one interval apart, then a marker of the first
    // module `after` hundredths later, followed by its instant and one more
    const auto logWithGap = [](std::int32_t interval, std::int32_t after) {
        LogBuilder log = TwoModuleLog(interval, 6);
        log.instant(0, kRaw0).instant(interval, kRaw1).instant(2 * interval, kRaw2);
        const std::int32_t marker = 2 * interval + after;
        log.marker(0x40, marker).instant(marker, kRaw3).instant(marker + interval, kRaw0);
        return log;
    };
    // Whether data line 4 is the filler: line 3's values again, marked D.
    const auto fillerAtLineFour = [](const std::string& text) {
        const std::size_t begin = text.find("\r\n4,");
        const std::string line = text.substr(begin + 2, text.find("\r\n", begin + 2) - begin - 2);
        return line.ends_with(",D") && line.find("15.00") != std::string::npos;
    };
    // THEN exactly 1.5 intervals writes the filler line after line 3
    EXPECT_EQ(convertLog(logWithGap(100, 150)),
              WithHeader(TwoModuleHeader(6), {Row(1, "10:00:00", kText0), Row(2, "10:00:01", kText1),
                                              Row(3, "10:00:02", kText2), Row(4, "10:00:03", kText2, "D"),
                                              Row(5, "10:00:04", kText3), Row(6, "10:00:05", kText0)}));
    // AND so do 2.0 intervals, and 1.5 of a 3-second interval (the halving of 300 is exact)
    EXPECT_TRUE(fillerAtLineFour(convertLog(logWithGap(100, 200))));
    EXPECT_TRUE(fillerAtLineFour(convertLog(logWithGap(300, 450))));
    // AND just under 1.5 intervals writes none
    EXPECT_FALSE(fillerAtLineFour(convertLog(logWithGap(100, 149))));
    EXPECT_FALSE(fillerAtLineFour(convertLog(logWithGap(300, 449))));
}

TEST_F(LogLinesTest, AGapAtAChangeOfTimeStampWritesTheFillerInPlaceOfTheLine) {
    // GIVEN the marker comes from the second module, so the instant is not complete
    LogBuilder log = TwoModuleLog(100, 6);
    log.instant(0, kRaw0).instant(100, kRaw1).instant(200, kRaw2);
    log.marker(0x41, 450).instant(450, kRaw3);

    const std::string text = convertLog(log);
    EXPECT_NE(text.find(Lines({Row(2, "10:00:01", kText1), Row(3, "10:00:02", kText2, "D")}) + "4,10:00:03,"),
              std::string::npos)
        << text;
}

TEST_F(LogLinesTest, NoFillerLineForOneIntervalLessThanOneAndAHalfOrBeforeRowThree) {
    // Each marker is followed by an instant with its time stamp: without a
    // gap the output equals that of the log without the marker.
    const auto logWithMarker = [](std::int32_t markerStamp, bool withMarker) {
        const bool afterRowThree = markerStamp > 200;
        LogBuilder log = TwoModuleLog(100, afterRowThree ? 5 : 3);
        log.instant(0, kRaw0);
        if (afterRowThree) log.instant(100, kRaw1).instant(200, kRaw2);
        if (withMarker) log.marker(0x40, markerStamp);
        log.instant(markerStamp, kRaw3).instant(markerStamp + 100, kRaw0);
        return log;
    };
    for (std::int32_t markerStamp : {300, 340, 250}) {
        const std::string expected = convertLog(logWithMarker(markerStamp, false));
        EXPECT_EQ(convertLog(logWithMarker(markerStamp, true)), expected) << "marker at " << markerStamp;
        EXPECT_EQ(expected.find(",D\r\n"), std::string::npos);
    }
}

TEST_F(LogLinesTest, AValueRecordAfterAGapAddsNoFillerLine) {
    LogBuilder log = TwoModuleLog(100, 4);
    log.instant(0, kRaw0).instant(100, kRaw1).instant(200, kRaw2).instant(450, kRaw3);
    EXPECT_EQ(convertLog(log), WithHeader(TwoModuleHeader(4), {Row(1, "10:00:00", kText0), Row(2, "10:00:01", kText1),
                                                               Row(3, "10:00:02", kText2),
                                                               Row(4, "10:00:03", kText3)}));
}

TEST_F(LogLinesTest, TheClockAdvancesByTheIntervalAndWrapsAtMidnight) {
    // GIVEN logs without records: every line repeats the (empty) last values
    LogBuilder ninety = TwoModuleLog(9000, 3);
    EXPECT_TRUE(convertLog(ninety).ends_with(
        Lines({"1,10:00:00,,,,,,D", "2,10:01:30,,,,,,D", "3,10:03:00,,,,,,"})));

    LogBuilder lateEvening = TwoModuleLog(3600 * 100, 3);
    lateEvening.start(2024, 3, 15, 22, 59, 0);
    EXPECT_TRUE(convertLog(lateEvening).ends_with(
        Lines({"1,22:59:00,,,,,,D", "2,23:59:00,,,,,,D", "3,00:59:00,,,,,,"})));
}

TEST_F(LogLinesTest, ValueTextsFollowScaleDecimalsAndTemperatureUnits) {
    // GIVEN P1 scaled by 2, P2 with decimals 0xFF, current not logged, temperature in degree F
    ModuleSpec pressure = PressureModule(100, 1);
    pressure.channels[0].scale = 2.0f;
    pressure.channels[1].decimals = -1;
    ModuleSpec voltageCurrent = VoltageCurrentModule(100, 1, "\xB0"
                                                             "F");
    voltageCurrent.channels[1].interval = 0;
    voltageCurrent.channels[3].scale = 10.0f;  // never applied to the temperature
    LogBuilder log;
    log.name("Units").serial("1").module(pressure).module(voltageCurrent);
    log.instant(0, {7.35f, 1.5f, 4.5f, 12.7f, 100.0f});
    log.value(0x40, 0, 0, 99.0f).value(0x40, 3, 0, 98.0f);  // channel 0 and 3 fill nothing

    const std::string text = convertLog(log);
    EXPECT_TRUE(text.ends_with("\r\n1,10:00:00,       14.70,    1.500000,       4.500,          13,       212.0,\r\n"))
        << text;
}

TEST_F(LogLinesTest, AnyOtherTemperatureUnitShowsTheRawValue) {
    LogBuilder log;
    log.module(PressureModule(100, 1)).module(VoltageCurrentModule(100, 1, "\xB0"
                                                                           "C"));
    log.instant(0, {1, 2, 3, 4, 100.0f});
    EXPECT_TRUE(convertLog(log).ends_with(",       100.0,\r\n"));
}

TEST_F(LogLinesTest, StatusCodesNameTheLineAndHoldForTheInstant) {
    LogBuilder log = TwoModuleLog(100, 6);
    const std::uint8_t codes[] = {0x20, 0x21, 0x22, 0x23, 0x7F, 0x00};
    for (int i = 0; i < 6; ++i) {
        // the code comes with P2; the records after it carry no code
        log.value(0x40, 1, i * 100, 1.0f).value(0x40, 2, i * 100, 2.0f, codes[i]);
        log.value(0x41, 1, i * 100, 3.0f).value(0x41, 2, i * 100, 4.0f).value(0x41, 4, i * 100, 5.0f);
    }
    const std::string text = convertLog(log);
    for (const char* status : {",MS\r\n2,", ",MH\r\n3,", ",TS\r\n4,", ",TH\r\n5,", ",E\r\n6,"})
        EXPECT_NE(text.find(status), std::string::npos) << status;
}

TEST_F(LogLinesTest, NumbersKeepAFullStopUnderAGermanLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 locale not installed";
    LogBuilder log = TwoModuleLog(100, 1);
    log.instant(0, kRaw0);
    const std::string text = convertLog(log);
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_TRUE(text.ends_with("1,10:00:00,       14.70,        3.25,       4.500,      12.000,        21.5,\r\n"))
        << text;
}

}  // namespace
}  // namespace corvel::testing
