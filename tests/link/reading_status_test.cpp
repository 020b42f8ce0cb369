// The operator's tables of status codes, each row as the documentation of
// the transmitter gives it.
#include "reading_status.h"

#include <gtest/gtest.h>

namespace corvel {
namespace {

struct ReadingRow {
    int code;
    const char* text;  // nullptr: the text stays as it was
    StatusField field;
    bool dashChannel;
    bool dashTemperature;
};

TEST(ReadingStatusTable, EveryRow) {
    const ReadingRow table[] = {
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
        {5, nullptr, StatusField::Unchanged, false, false},
        {-1, nullptr, StatusField::Unchanged, false, false},
    };
    for (const ReadingRow& row : table) {
        const ReadingStatus status = ReadingStatusOf(row.code);
        EXPECT_EQ(status.text.has_value(), row.text != nullptr) << row.code;
        if (row.text) {
            EXPECT_EQ(*status.text, row.text) << row.code;
        }
        EXPECT_EQ(status.field, row.field) << row.code;
        EXPECT_EQ(status.dashChannelValue, row.dashChannel) << row.code;
        EXPECT_EQ(status.dashTemperatureValue, row.dashTemperature) << row.code;
    }
    EXPECT_EQ(*ReadingStatusOf(19, true).text, "Temp over range");  // P1 in the reading loop
}

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
