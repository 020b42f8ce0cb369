// ISO 8601 times.

#include <gtest/gtest.h>

#include "common/iso_time.h"

namespace corvel {
namespace {

TEST(IsoTime, UtcToTheMillisecondOrToTheSecond) {
    using namespace std::chrono;
    const std::pair<sys_time<milliseconds>, const char*> cases[] = {
        {sys_days{1970y / January / 1}, "1970-01-01T00:00:00.000Z"},
        {sys_days{2028y / February / 29} + 23h + 59min + 59s + 999ms, "2028-02-29T23:59:59.999Z"},
        {sys_days{2026y / December / 8} + 9h + 5min + 7s + 40ms, "2026-12-08T09:05:07.040Z"},
    };
    for (const auto& [time, text] : cases) EXPECT_EQ(IsoUtcTime(time), text);
    EXPECT_EQ(IsoUtcTime(sys_days{2026y / December / 8} + 9h + 5min + 7s + 999ms, IsoPrecision::Seconds),
              "2026-12-08T09:05:07Z");
}

}  // namespace
}  // namespace corvel
