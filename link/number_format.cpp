#include "number_format.h"

#include <array>
#include <charconv>
#include <cmath>

namespace corvel {

std::string FormatFixed(double value, int width, int decimals) {
    if (decimals < 0) decimals = 6;
    // Room for the largest float in fixed notation (39 digits) and any precision asked for.
    std::array<char, 400> digits{};
    const auto [end, error] =
        std::to_chars(digits.data(), digits.data() + digits.size(), value, std::chars_format::fixed, decimals);
    std::string text = error == std::errc{} ? std::string(digits.data(), end) : std::string("nan");
    if (std::isnan(value)) text = std::signbit(value) ? "-nan" : "nan";
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
