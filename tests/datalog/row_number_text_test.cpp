#include <gtest/gtest.h>

#include <array>
#include <string>

#include "datalog/row_number_text.h"

namespace corvel {
namespace {

std::string TextOf(const RowNumberText& row) {
    std::array<char, kRowNumberCopySize> copy;
    const char* const end = row.copyTo(copy.data());
    return std::string(static_cast<const char*>(copy.data()), end);
}

TEST(RowNumberText, CountsUpFromOneThroughEveryCarry) {
    RowNumberText row;
    for (int number = 1; number <= 1'000'001; ++number) {
        ASSERT_EQ(TextOf(row), std::to_string(number));
        row.increment();
    }
}

}  // namespace
}  // namespace corvel
