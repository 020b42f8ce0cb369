#pragma once
// Number texts, always in the C locale (full stop as the decimal point)
// whatever locale the process runs in.

#include <charconv>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <type_traits>

namespace corvel {

// The value with `decimals` digits after the point, right-aligned in at least
// `width` characters: what "%*.*f" gives in the C locale. A negative number of
// decimals means 6, as with printf.
std::string FormatFixed(double value, int width, int decimals);

// The leading decimal number of a text, as an operator types it: leading blanks
// and one '+' are skipped; text that does not start with a number gives 0.
double ParseDecimal(std::string_view text);

// The smallest value a number text may give unless a caller narrows it:
// minus infinity for floating point, the type's lowest value otherwise.
template <typename T>
constexpr T LowestNumberOf() {
    if constexpr (std::numeric_limits<T>::has_infinity) return -std::numeric_limits<T>::infinity();
    else return std::numeric_limits<T>::lowest();
}

template <typename T>
constexpr T HighestNumberOf() {
    if constexpr (std::numeric_limits<T>::has_infinity) return std::numeric_limits<T>::infinity();
    else return std::numeric_limits<T>::max();
}

// What a number text may hold besides its digits. By default: no blanks, no
// '+', a '-' where the type is signed, leading zeros, decimal digits, any
// value of the type.
template <typename T>
struct NumberRules {
    std::string_view blanks{};           // characters allowed before and after the number
    bool plus = false;                   // one leading '+'
    bool minus = std::is_signed_v<T>;    // one leading '-'
    bool leadingZero = true;             // "07"; when false only "0" itself starts with 0
    bool hex = false;                    // "0x1F" or "0X1F", without a sign (whole numbers only)
    T min = LowestNumberOf<T>();
    T max = HighestNumberOf<T>();
};

// The number that makes up all of `text` under `rules`, or nothing when the
// text is empty, holds anything else, or gives a value outside the range.
template <typename T>
std::optional<T> ParseWholeText(std::string_view text, const NumberRules<T>& rules = {}) {
    const std::size_t first = text.find_first_not_of(rules.blanks);
    if (first == std::string_view::npos) return std::nullopt;
    text = text.substr(first, text.find_last_not_of(rules.blanks) - first + 1);
    const bool hex = std::is_integral_v<T> && rules.hex && (text.starts_with("0x") || text.starts_with("0X"));
    if (hex) text.remove_prefix(2);
    if (text.empty()) return std::nullopt;
    const char sign = !hex && (text.front() == '+' || text.front() == '-') ? text.front() : '\0';
    if ((sign == '+' && !rules.plus) || (sign == '-' && !rules.minus)) return std::nullopt;
    const std::string_view digits = sign == '\0' ? text : text.substr(1);
    if (digits.empty() || digits.front() == '+' || digits.front() == '-') return std::nullopt;
    if (!rules.leadingZero && digits.size() > 1 && digits.front() == '0') return std::nullopt;
    const char* start = sign == '-' ? text.data() : digits.data();
    const char* end = digits.data() + digits.size();
    T value{};
    std::from_chars_result result{};
    if constexpr (std::is_integral_v<T>) result = std::from_chars(start, end, value, hex ? 16 : 10);
    else result = std::from_chars(start, end, value);
    if (result.ec != std::errc() || result.ptr != end || value < rules.min || value > rules.max) return std::nullopt;
    return value;
}

}  // namespace corvel
