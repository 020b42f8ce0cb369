// JSON and text forms of corvelctl's results.

#include <gtest/gtest.h>

#include <clocale>
#include <limits>

#include "cli/cli_output.h"

namespace corvel::cli {
namespace {

TEST(JsonOutput, TextsThatAreNoUtf8StillGiveALine) {
    Record record;
    record.add("file", std::string("log\xFF.bin")).add("tag", "a\"b\n");
    EXPECT_EQ(JsonLine(record), "{\"file\":\"log\xEF\xBF\xBD.bin\",\"tag\":\"a\\\"b\\n\"}");
}

TEST(JsonOutput, OneObjectPerRecordWithTypedValues) {
    Record record;
    record.add("name", "PT-1").add("count", 3).add("value", 2.5).add("present", true).add("nan", std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(JsonLine(record), "{\"name\":\"PT-1\",\"count\":3,\"value\":2.5,\"present\":true,\"nan\":null}");
    EXPECT_EQ(TextLines(record), "name: PT-1\ncount: 3\nvalue: 2.5\npresent: true\nnan: null\n");
    Record single;
    single.add("p1", 14.700266f).add("limit", 300.0f).add("start_time", std::optional<std::string>());
    EXPECT_EQ(JsonLine(single), "{\"p1\":14.700266,\"limit\":300,\"start_time\":null}")
        << "a float keeps its own digits, a whole number has no fraction";
}

TEST(JsonOutput, NumbersUseAFullStopUnderAGermanLocale) {
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 not available";
    Record record;
    record.add("value", 1234.5);
    const std::string line = JsonLine(record);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(line, "{\"value\":1234.5}");
}

}  // namespace
}  // namespace corvel::cli
