#include "value_text.h"

#include <array>
#include <charconv>

namespace corvel {

namespace {

constexpr int kDefaultDecimals = 6;
// Room for the largest single-precision value (39 digits) with 127 decimals.
constexpr std::size_t kMaxValueLength = 1 + 39 + 1 + 127;

}  // namespace

void FormatValueText(float value, int decimals, std::string& text) {
    std::array<char, kMaxValueLength + 16> digits;
    const int precision = decimals < 0 ? kDefaultDecimals : decimals;
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), static_cast<double>(value),
                                      std::chars_format::fixed, precision);
    const auto length = static_cast<std::size_t>(result.ptr - digits.data());
    const std::size_t padding = length < kValueTextWidth ? kValueTextWidth - length : 0;
    text.assign(padding, ' ');
    text.append(digits.data(), length);
}

void AppendZeroPadded(std::string& text, unsigned value, int width) {
    std::array<char, 16> digits;
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    const auto length = static_cast<int>(result.ptr - digits.data());
    if (length < width) text.append(static_cast<std::size_t>(width - length), '0');
    text.append(digits.data(), result.ptr);
}

}  // namespace corvel
