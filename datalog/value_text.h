#pragma once
// Texts of the converted log: measured values right-aligned in 12 characters
// with the channel's decimals (a negative count means six, as for a number
// format without precision), and zero-padded clock and date fields. Always a
// full stop as decimal point, whatever the process locale.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

namespace corvel {

inline constexpr std::size_t kValueTextWidth = 12;
// The largest single-precision value has 39 digits; decimals go up to 127.
inline constexpr std::size_t kMaxValueTextLength = 1 + 39 + 1 + 127;

// One value text, kept without any allocation. The text is formatted in
// place, right-aligned against a fixed end inside its own storage, so it is
// never copied on its way to the line. Short texts (the usual case) are
// copied into a line as one fixed-size block, which is why a copy may write
// up to kValueTextCopySlack bytes past the end of the text.
inline constexpr std::size_t kValueTextCopySlack = 32;

class ValueText {
public:
    std::string_view view() const { return {begin(), size_}; }
    std::size_t size() const { return size_; }

    // Copies the text to `out`, which must have room for size() plus
    // kValueTextCopySlack bytes; returns the end of the copied text.
    char* copyTo(char* out) const {
        if (size_ <= kValueTextCopySlack)
            std::memcpy(out, begin(), kValueTextCopySlack);
        else
            std::memcpy(out, begin(), size_);
        return out + size_;
    }

private:
    friend void FormatValueText(float value, int decimals, ValueText& text);

    // The text ends at kMaxValueTextLength; the slack after it keeps a
    // fixed-size copy of a short text inside the storage.
    const char* begin() const { return chars_.data() + kMaxValueTextLength - size_; }
    char* end() { return chars_.data() + kMaxValueTextLength; }

    std::array<char, kMaxValueTextLength + kValueTextCopySlack> chars_{};
    std::size_t size_ = 0;
    // What the text shows: readings that stay the same are not formatted
    // again. No value has yet been formatted while the decimals are unset.
    std::uint32_t valueBits_ = 0;
    int decimals_ = kNoDecimals;
    static constexpr int kNoDecimals = std::numeric_limits<int>::min();
};

// Replaces `text` with the value, exactly as the C "%12.*f" format gives it
// (at once when `text` already shows that value with those decimals).
void FormatValueText(float value, int decimals, ValueText& text);

// "00" to "99", two characters each.
inline constexpr std::array<char, 200> kDigitPairs = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[static_cast<std::size_t>(2 * i)] = static_cast<char>('0' + i / 10);
        pairs[static_cast<std::size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

// Writes `value` (0-99) as two digits at `out`; returns the end.
inline char* WriteTwoDigits(char* out, std::uint32_t value) {
    std::memcpy(out, kDigitPairs.data() + 2 * value, 2);
    return out + 2;
}

// Appends `value` in decimal, zero-padded on the left to `width` digits.
void AppendZeroPadded(std::string& text, unsigned value, int width);

}  // namespace corvel
