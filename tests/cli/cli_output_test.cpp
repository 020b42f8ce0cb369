// JSON and text forms of corvelctl's results.

#include <gtest/gtest.h>

#include <clocale>
#include <limits>

#include "cli/cli_output.h"

namespace corvel::cli {
namespace {

TEST(JsonOutput, StringsAreEscaped) {
    EXPECT_EQ(JsonString("plain"), "\"plain\"");
    EXPECT_EQ(JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(JsonString("line\nnext\ttab\r"), "\"line\\nnext\\ttab\\r\"");
    EXPECT_EQ(JsonString(std::string("\x01\x1f\x7f", 3)), "\"\\u0001\\u001f\\u007f\"");
    EXPECT_EQ(JsonString("caf\xC3\xA9 \xE2\x82\xAC"), "\"caf\xC3\xA9 \xE2\x82\xAC\"") << "UTF-8 passes as it is";
    EXPECT_EQ(JsonString(std::string("a\0b", 3)), "\"a\\u0000b\"");
}

TEST(JsonOutput, OneObjectPerRecordWithTypedValues) {
    Record record;
    record.add("name", "PT-1").add("count", 3).add("value", 2.5).add("present", true).add("nan", std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(JsonLine(record), "{\"name\":\"PT-1\",\"count\":3,\"value\":2.5,\"present\":true,\"nan\":null}");
    EXPECT_EQ(TextLines(record), "name: PT-1\ncount: 3\nvalue: 2.5\npresent: true\nnan: null\n");
    Record single;
    single.add("p1", 14.700266f);
    EXPECT_EQ(JsonLine(single), "{\"p1\":14.700266}") << "a float keeps its own digits";
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
