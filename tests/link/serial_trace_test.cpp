#include "link/serial_trace.h"

#include <gtest/gtest.h>

#include <vector>

namespace corvel {
namespace {

TEST(SerialTrace, LineShowsTimeDirectionAndBytes) {
    const std::vector<std::uint8_t> bytes{0x80, 0x01, 0xAF};
    EXPECT_EQ(FormatTraceLine(TraceDirection::Out, bytes, std::chrono::microseconds(12045)), "12.045 > 80 01 AF");
    EXPECT_EQ(FormatTraceLine(TraceDirection::In, {}, std::chrono::microseconds(7)), "0.007 <");
}

}  // namespace
}  // namespace corvel
