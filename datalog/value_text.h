#pragma once
// Texts of the converted log: measured values right-aligned in 12 characters
// with the channel's decimals (a negative count means six, as for a number
// format without precision), and zero-padded clock and date fields. Always a
// full stop as decimal point, whatever the process locale.

#include <string>

namespace corvel {

inline constexpr int kValueTextWidth = 12;

// Replaces `text` with the value, exactly as the C "%12.*f" format gives it.
void FormatValueText(float value, int decimals, std::string& text);

// Appends `value` in decimal, zero-padded on the left to `width` digits.
void AppendZeroPadded(std::string& text, unsigned value, int width);

}  // namespace corvel
