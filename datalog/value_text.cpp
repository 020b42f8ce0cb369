#include "datalog/value_text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace corvel {

namespace {

constexpr int kDefaultDecimals = 6;

constexpr std::array<std::uint64_t, 10> kPowersOfTen = {1,         10,         100,         1000,
                                                        10000,     100000,     1000000,     10000000,
                                                        100000000, 1000000000};

// Writes `pair` (0-99) as two digits before `cursor`.
char* WriteDigitPairBackwards(std::uint32_t pair, char* cursor) {
    *--cursor = kDigitPairs[2 * pair + 1];
    *--cursor = kDigitPairs[2 * pair];
    return cursor;
}

// Writes `value` (below 10^Digits) with exactly `Digits` digits, leading
// zeros kept, ending just before `end`; returns where the digits begin.
template <int Digits>
char* WriteDigitsBackwards(std::uint32_t value, char* end) {
    char* cursor = end;
    for (int digit = 0; digit + 2 <= Digits; digit += 2, value /= 100)
        cursor = WriteDigitPairBackwards(value % 100, cursor);
    if constexpr (Digits % 2 == 1) *--cursor = static_cast<char>('0' + value);
    return cursor;
}

// Writes `value` in decimal without leading zeros ending just before `end`;
// returns where the text begins.
char* WriteIntegerBackwards(std::uint64_t value, char* end) {
    char* cursor = end;
    for (; value >= 100; value /= 100)
        cursor = WriteDigitPairBackwards(static_cast<std::uint32_t>(value % 100), cursor);
    if (value >= 10) return WriteDigitPairBackwards(static_cast<std::uint32_t>(value), cursor);
    *--cursor = static_cast<char>('0' + value);
    return cursor;
}

// Writes `value` as a fixed-point number with `Decimals` decimals (the value
// counts in units of the last decimal) ending just before `end`; returns
// where the text begins. The number of decimals is a constant so that the
// split into whole part and fraction costs a multiplication, not a division.
template <int Decimals>
char* WriteFixedBackwards(std::uint64_t value, char* end) {
    constexpr std::uint64_t unit = kPowersOfTen[Decimals];
    if constexpr (Decimals == 0) {
        return WriteIntegerBackwards(value, end);
    } else {
        char* cursor = WriteDigitsBackwards<Decimals>(static_cast<std::uint32_t>(value % unit), end);
        *--cursor = '.';
        return WriteIntegerBackwards(value / unit, cursor);
    }
}

using FixedWriter = char* (*)(std::uint64_t value, char* end);
constexpr std::array<FixedWriter, 10> kFixedWriters = {
    &WriteFixedBackwards<0>, &WriteFixedBackwards<1>, &WriteFixedBackwards<2>, &WriteFixedBackwards<3>,
    &WriteFixedBackwards<4>, &WriteFixedBackwards<5>, &WriteFixedBackwards<6>, &WriteFixedBackwards<7>,
    &WriteFixedBackwards<8>, &WriteFixedBackwards<9>};

// Exact fixed-point text of a single-precision value with 0-9 decimals and a
// magnitude below 2^33: the value is m × 2^e with a 24-bit m, so m × 10^d
// fits 64 bits and is rounded to nearest, ties to even, like the C library.
// Returns the start of the text ending at `end`, or nullptr for values
// outside that range.
char* FormatFixedExactly(float value, int decimals, char* end) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    const int biasedExponent = static_cast<int>((bits >> 23) & 0xFF);
    if (biasedExponent == 0xFF || decimals > 9) return nullptr;
    std::uint64_t mantissa = bits & 0x7FFFFF;
    int exponent = -149;
    if (biasedExponent != 0) {
        mantissa |= 0x800000;
        exponent = biasedExponent - 150;
    }
    if (exponent > 9) return nullptr;

    std::uint64_t scaled = mantissa * kPowersOfTen[static_cast<std::size_t>(decimals)];
    if (exponent >= 0) {
        scaled <<= exponent;
    } else if (exponent < -60) {
        scaled = 0;  // below half a unit of the last decimal: scaled < 2^54
    } else {
        // Divide by 2^shift, rounding to nearest and ties to even.
        const int shift = -exponent;
        const std::uint64_t halfLessOne = (std::uint64_t{1} << (shift - 1)) - 1;
        scaled = (scaled + halfLessOne + ((scaled >> shift) & 1)) >> shift;
    }

    char* cursor = kFixedWriters[static_cast<std::size_t>(decimals)](scaled, end);
    if (bits >> 31) *--cursor = '-';
    return cursor;
}

// Writes the text of any value, with any number of decimals, ending just
// before `end`; returns its length. Rare in logs, so kept out of the way of
// the common case.
[[gnu::cold]] std::size_t FormatWithLibrary(float value, int decimals, char* end) {
    std::array<char, kMaxValueTextLength> digits;
    const char* stop = std::to_chars(digits.data(), digits.data() + digits.size(), static_cast<double>(value),
                                     std::chars_format::fixed, decimals)
                           .ptr;
    const auto size = static_cast<std::size_t>(stop - digits.data());
    std::memcpy(end - size, digits.data(), size);
    return size;
}

}  // namespace

void FormatValueText(float value, int decimals, ValueText& text) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    if (bits == text.valueBits_ && decimals == text.decimals_) return;
    text.valueBits_ = bits;
    text.decimals_ = decimals;
    const int precision = decimals < 0 ? kDefaultDecimals : decimals;
    // The text is written backwards from its last digit, over blanks that
    // pad it to the column width.
    char* const end = text.end();
    char* const padded = end - kValueTextWidth;
    std::fill(padded, end, ' ');
    if (const char* begin = FormatFixedExactly(value, precision, end))
        text.size_ = static_cast<std::size_t>(end - std::min<const char*>(begin, padded));
    else
        text.size_ = std::max(FormatWithLibrary(value, precision, end), kValueTextWidth);
}

void AppendZeroPadded(std::string& text, unsigned value, int width) {
    std::array<char, 16> digits;
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    const auto length = static_cast<int>(result.ptr - digits.data());
    if (length < width) text.append(static_cast<std::size_t>(width - length), '0');
    text.append(digits.data(), result.ptr);
}

}  // namespace corvel
