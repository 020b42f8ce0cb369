#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <limits>
#include <optional>

#include "common/number_format.h"

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

TEST(ParseWholeText, RulesForBlanksSignsZerosHexAndRange) {
    const NumberRules<int> plain{};
    const NumberRules<int> typed{.blanks = " \t", .plus = true};
    const NumberRules<int> noSign{.minus = false, .leadingZero = false};
    const NumberRules<int> hex{.hex = true, .min = -1, .max = 255};
    struct Row {
        const char* text;
        const NumberRules<int>& rules;
        std::optional<int> value;
    };
    const Row rows[] = {
        {"42", plain, 42},          {"-42", plain, -42},         {"", plain, std::nullopt},
        {" 42", plain, std::nullopt}, {"+42", plain, std::nullopt}, {"42x", plain, std::nullopt},
        {"4 2", plain, std::nullopt}, {"2147483647", plain, 2147483647}, {"2147483648", plain, std::nullopt},
        {"-2147483648", plain, std::numeric_limits<int>::min()},   {"0x10", plain, std::nullopt},
        {" \t+42\t ", typed, 42},   {" -7 ", typed, -7},          {"  ", typed, std::nullopt},
        {"+-7", typed, std::nullopt}, {"++7", typed, std::nullopt}, {"+", typed, std::nullopt},
        {"007", plain, 7},          {"007", noSign, std::nullopt}, {"0", noSign, 0},
        {"-7", noSign, std::nullopt},
        {"0x1F", hex, 31},          {"0XfF", hex, 255},          {"0x100", hex, std::nullopt},
        {"0x", hex, std::nullopt},  {"0x-1", hex, std::nullopt}, {"-0x1", hex, std::nullopt},
        {"-1", hex, -1},            {"-2", hex, std::nullopt},   {"1F", hex, std::nullopt},
    };
    for (const Row& row : rows) EXPECT_EQ(ParseWholeText<int>(row.text, row.rules), row.value) << row.text;
    EXPECT_EQ(ParseWholeText<std::uint8_t>("256"), std::nullopt);
    EXPECT_EQ(ParseWholeText<unsigned>("-0"), std::nullopt);
    EXPECT_EQ(ParseWholeText<std::uint32_t>("4294967296"), std::nullopt);
    EXPECT_EQ(ParseWholeText<float>(" +2.5 ", {.blanks = " ", .plus = true}), 2.5f);
    EXPECT_EQ(ParseWholeText<float>("0x1.5", {.hex = true}), std::nullopt);
    EXPECT_EQ(ParseWholeText<double>("1e400"), std::nullopt);
}

}  // namespace
}  // namespace corvel
