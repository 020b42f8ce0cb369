#include <gtest/gtest.h>

#include "link/reading_status.h"

namespace corvel {
namespace {

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
