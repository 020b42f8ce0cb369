// The read's time-out arithmetic, on plain time points: 10 ms a requested
// byte plus 50 ms in total, the first byte may wait all of that, and later
// bytes only 50 ms after the one before.

#include <gtest/gtest.h>

#include <chrono>

#include "link/read_deadline.h"

namespace corvel {
namespace {

using std::chrono::milliseconds;
using TimePoint = std::chrono::time_point<std::chrono::steady_clock, milliseconds>;

TimePoint At(int ms) { return TimePoint(milliseconds(ms)); }

TEST(ReadDeadline, SilentLineCostsTheWholeTotalTimeout) {
    const PortTimeouts timeouts{};
    EXPECT_EQ(ReadDeadline(timeouts, 0, At(1000), 0, At(1000)), At(1050));
    EXPECT_EQ(ReadDeadline(timeouts, 1, At(1000), 0, At(1000)), At(1060));
    EXPECT_EQ(ReadDeadline(timeouts, 64, At(1000), 0, At(1000)), At(1690));
}

TEST(ReadDeadline, LaterBytesWaitTheIntervalBoundedByTheTotal) {
    const PortTimeouts timeouts{};
    // 64 bytes asked at 1000: the total runs out at 1690.
    EXPECT_EQ(ReadDeadline(timeouts, 64, At(1000), 1, At(1010)), At(1060));
    EXPECT_EQ(ReadDeadline(timeouts, 64, At(1000), 30, At(1600)), At(1650));
    EXPECT_EQ(ReadDeadline(timeouts, 64, At(1000), 63, At(1680)), At(1690));
}

TEST(ReadDeadline, EveryTermOfTheTimeoutsCounts) {
    PortTimeouts timeouts{};
    timeouts.readTotalPerByteMs = 3;
    timeouts.readTotalConstantMs = 7;
    timeouts.readIntervalMs = 11;
    EXPECT_EQ(ReadDeadline(timeouts, 10, At(0), 0, At(0)), At(37));
    EXPECT_EQ(ReadDeadline(timeouts, 10, At(0), 2, At(5)), At(16));
}

}  // namespace
}  // namespace corvel
