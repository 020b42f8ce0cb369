#include "common/number_format.h"

#include <array>
#include <charconv>
#include <algorithm>

namespace corvel {

namespace {

// Digit counts come from signed bytes of the transmitter; more is never asked for.
constexpr int kMostDecimals = 127;

}  // namespace

std::string FormatFixed(double value, int width, int decimals) {
    if (decimals < 0) decimals = 6;
    decimals = std::min(decimals, kMostDecimals);
    // Room for the largest double in fixed notation (309 digits), a sign, a point and the decimals.
    std::array<char, 320 + kMostDecimals> digits{};
    const auto [end, error] =
        std::to_chars(digits.data(), digits.data() + digits.size(), value, std::chars_format::fixed, decimals);
    std::string text = error == std::errc{} ? std::string(digits.data(), end) : std::string();
    if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

double ParseDecimal(std::string_view text) {
    std::size_t start = text.find_first_not_of(" \t\r\n\f\v");
    if (start == std::string_view::npos) return 0.0;
    if (text[start] == '+') ++start;
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data() + start, text.data() + text.size(), value);
    (void)end;
    return error == std::errc{} ? value : 0.0;
}

}  // namespace corvel
