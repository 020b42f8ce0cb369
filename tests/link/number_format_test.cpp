#include <gtest/gtest.h>

#include <clocale>
#include <limits>

#include "link/number_format.h"
#include "link/reading_status.h"

namespace corvel {
namespace {

TEST(FormatFixed, WidthDecimalsAndPrintfDefaultForNegativeDecimals) {
    EXPECT_EQ(FormatFixed(3.14159, 12, 2), "        3.14");
    EXPECT_EQ(FormatFixed(-3.14159, 1, 0), "-3");
    EXPECT_EQ(FormatFixed(2.5, 1, -1), "2.500000");
    EXPECT_EQ(FormatFixed(123456.0, 3, 1), "123456.0");
    EXPECT_EQ(FormatFixed(0.1f, 16, 10), "    0.1000000015");
    EXPECT_EQ(FormatFixed(-1e308, 1, 127).size(), 1u + 309u + 1u + 127u);
    EXPECT_EQ(FormatFixed(std::numeric_limits<double>::quiet_NaN(), 5, 2), "  nan");
}

TEST(FormatFixed, FullStopUnderAGermanLocale) {
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 not available";
    const std::string text = FormatFixed(1.5, 10, 5);
    const double parsed = ParseDecimal("2.75");
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(text, "   1.50000");
    EXPECT_DOUBLE_EQ(parsed, 2.75);
}

TEST(ParseDecimal, LeadingNumberOfATypedText) {
    EXPECT_DOUBLE_EQ(ParseDecimal("2.5"), 2.5);
    EXPECT_DOUBLE_EQ(ParseDecimal("  +1.25 s"), 1.25);
    EXPECT_DOUBLE_EQ(ParseDecimal("-0.5"), -0.5);
    EXPECT_DOUBLE_EQ(ParseDecimal(".5"), 0.5);
    EXPECT_DOUBLE_EQ(ParseDecimal("abc"), 0.0);
    EXPECT_DOUBLE_EQ(ParseDecimal(""), 0.0);
    EXPECT_DOUBLE_EQ(ParseDecimal("1,5"), 1.0);
}

TEST(ReadingStatusTable, TextsFieldsAndDashes) {
    struct Row {
        int code;
        const char* text;
        StatusField field;
        bool dashChannel, dashTemperature;
    };
    const Row rows[] = {
        {0, "OK", StatusField::NormalBoth, false, false},
        {16, "Pres over range", StatusField::Channel, true, false},
        {17, "Pres over range", StatusField::Channel, true, false},
        {18, "Temp over range", StatusField::Temperature, false, true},
        {19, "Temp Overrange", StatusField::Temperature, false, true},
        {20, "Cal expired", StatusField::Unchanged, false, false},
        {32, "Pres soft over range", StatusField::Channel, false, false},
        {33, "Pres hard over range", StatusField::Channel, true, false},
        {34, "Temp soft over range", StatusField::Temperature, false, false},
        {35, "Temp hard over range", StatusField::Temperature, false, true},
    };
    for (const Row& row : rows) {
        const ReadingStatus status = ReadingStatusOf(row.code);
        EXPECT_EQ(status.text, std::optional<std::string>(row.text)) << row.code;
        EXPECT_EQ(status.field, row.field) << row.code;
        EXPECT_EQ(status.dashChannelValue, row.dashChannel) << row.code;
        EXPECT_EQ(status.dashTemperatureValue, row.dashTemperature) << row.code;
    }
    EXPECT_EQ(ReadingStatusOf(19, true).text, std::optional<std::string>("Temp over range"));
    for (const int other : {1, 15, 21, 31, 36, 255, -1}) {
        EXPECT_FALSE(ReadingStatusOf(other).text.has_value()) << other;
        EXPECT_EQ(ReadingStatusOf(other).field, StatusField::Unchanged) << other;
    }
}

}  // namespace
}  // namespace corvel
