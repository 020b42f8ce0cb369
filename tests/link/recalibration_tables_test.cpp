// The recalibration tables of status codes, each row as the documentation of
// the transmitter gives it (the reading status table is tested beside the
// number formats).
#include "link/reading_status.h"

#include <gtest/gtest.h>

namespace corvel {
namespace {

TEST(RecalibrationTables, PointStatusZeroResultsAndReadings) {
    const std::pair<int, const char*> points[] = {
        {16, "M too low"},          {17, "M too high"},         {18, "N too low"},          {19, "N too high"},
        {20, "Cal expired"},        {64, "Recal not allowed"},  {65, "Too far from zero"},  {66, "Point out of range"},
        {67, "Point beyond limit"}, {68, "Recal script error"}, {69, "Recal point error"},
        {70, "Recal command out of sequence"}};
    for (const auto& [code, text] : points) EXPECT_STREQ(RecalPointStatusText(code), text) << code;
    for (const int code : {0, 1, 21, 33, 63, 71}) EXPECT_EQ(RecalPointStatusText(code), nullptr) << code;

    const std::pair<int, const char*> zero[] = {{64, "Recal not allowed         "},
                                                {65, "Too far from zero         "},
                                                {66, "Point out of range        "},
                                                {67, "Point beyond limit         "},
                                                {68, "Recal script error         "},
                                                {69, "Recal point error          "},
                                                {70, "Recal command out of sequence       "}};
    for (const auto& [code, text] : zero) EXPECT_STREQ(ZeroResultText(code), text) << code;
    for (const int code : {0, 63, 71}) EXPECT_EQ(ZeroResultText(code), nullptr) << code;

    const std::tuple<int, const char*, bool> readings[] = {
        {0, "", false},
        {16, "Cell M too low", true},
        {17, "Cell M too high", true},
        {18, "Cell N too low", true},
        {19, "Cell N too high", true},
        {32, "Meas soft over range", true},
        {33, "Meas hard over range", true},
        {34, "Temp soft over range", true},
        {35, "Temp hard over range", true}};
    for (const auto& [code, text, alarm] : readings) {
        const RecalReadingStatus status = RecalReadingStatusOf(code);
        EXPECT_EQ(*status.text, text) << code;
        EXPECT_EQ(*status.alarm, alarm) << code;
    }
    for (const int code : {20, 5}) {  // 20 is told in a box; others change nothing
        EXPECT_FALSE(RecalReadingStatusOf(code).text) << code;
        EXPECT_FALSE(RecalReadingStatusOf(code).alarm) << code;
    }
}

}  // namespace
}  // namespace corvel
