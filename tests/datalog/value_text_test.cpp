#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "datalog/value_text.h"

namespace corvel {
namespace {

std::string Formatted(float value, int decimals) {
    ValueText text;
    FormatValueText(value, decimals, text);
    return std::string(text.view());
}

// The C library's own "%12.*f", in the C locale, as the oracle.
std::string PrintfFormatted(float value, int decimals) {
    char text[256];
    std::snprintf(text, sizeof text, "%12.*f", decimals, static_cast<double>(value));
    return text;
}

TEST(ValueText, RightAlignsInTwelveCharactersWithTheChannelsDecimals) {
    EXPECT_EQ(Formatted(14.7f, 2), "       14.70");
    EXPECT_EQ(Formatted(-3.5f, 0), "          -4");
    EXPECT_EQ(Formatted(2.5f, 0), "           2");  // exact ties round to even
    EXPECT_EQ(Formatted(-0.001f, 2), "       -0.00");
    // A negative count of decimals means six, as with no precision at all.
    EXPECT_EQ(Formatted(1.5f, -1), "    1.500000");
    // Longer texts are not cut.
    EXPECT_EQ(Formatted(123456789.0f, 4), "123456792.0000");
    EXPECT_EQ(Formatted(std::numeric_limits<float>::max(), 127).size(), 39u + 1u + 127u);
    EXPECT_EQ(Formatted(std::numeric_limits<float>::infinity(), 2), "         inf");
    EXPECT_EQ(Formatted(-std::numeric_limits<float>::quiet_NaN(), 2), "        -nan");
}

TEST(ValueText, MatchesTheCFormatAtExactTiesTinyAndLargeValues) {
    const float values[] = {0.125f, 0.375f, -0.625f, 2.5f, 3.5f, 1e-45f, -1e-40f, 1.17549435e-38f, 0.0f, -0.0f,
                            8589934591.0f, 8589934592.0f, 16777216.5f, 123456.789f, 3.4028235e38f, -3.4028235e38f};
    for (float value : values)
        for (int decimals = -1; decimals <= 12; ++decimals)
            EXPECT_EQ(Formatted(value, decimals), PrintfFormatted(value, decimals)) << value << " " << decimals;
}

TEST(ValueText, MatchesTheCFormatForManyValuesAndDecimals) {
    std::mt19937 random(4400);
    std::uniform_int_distribution<std::uint32_t> bits;
    std::uniform_real_distribution<float> plausible(-20000.0f, 20000.0f);
    for (int i = 0; i < 200000; ++i) {
        const int decimals = i % 12 - 1;
        float value = plausible(random);
        if (i % 3 == 0) {
            value = std::bit_cast<float>(bits(random));
            if (!std::isfinite(value)) continue;
        }
        ASSERT_EQ(Formatted(value, decimals), PrintfFormatted(value, decimals)) << value << " " << decimals;
    }
}

TEST(ValueText, AReusedTextFollowsEveryChangeOfValueOrDecimals) {
    // A column's text is formatted again only when the reading or its
    // decimals change; short and long texts, signed zeros and the fallback
    // for large values take turns in one text.
    const std::pair<float, int> sequence[] = {
        {14.7f, 2}, {14.7f, 2}, {14.7f, 3}, {-0.0f, 2}, {0.0f, 2},  {0.0f, 2},  {1e30f, 2}, {1e30f, -1},
        {1e30f, 2}, {14.7f, 2}, {2.5f, 0},  {2.5f, 12}, {14.7f, 2}, {3.5f, -1}, {3.5f, 6}};
    ValueText text;
    for (const auto& [value, decimals] : sequence) {
        FormatValueText(value, decimals, text);
        EXPECT_EQ(text.view(), PrintfFormatted(value, decimals)) << value << " " << decimals;
    }
}

TEST(ValueText, ZeroPadsClockAndDateFields) {
    std::string text;
    AppendZeroPadded(text, 7, 2);
    AppendZeroPadded(text, 2024, 4);
    AppendZeroPadded(text, 123, 2);
    AppendZeroPadded(text, 0, 2);
    EXPECT_EQ(text, "07202412300");
}

}  // namespace
}  // namespace corvel
