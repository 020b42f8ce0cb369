#pragma once
// Number texts of the device link, always in the C locale (full stop as the
// decimal point) whatever locale the process runs in.

#include <string>
#include <string_view>

namespace corvel {

// The value with `decimals` digits after the point, right-aligned in at least
// `width` characters: what "%*.*f" gives in the C locale. A negative number of
// decimals means 6, as with printf.
std::string FormatFixed(double value, int width, int decimals);

// The leading decimal number of a text, as an operator types it: leading blanks
// and one '+' are skipped; text that does not start with a number gives 0.
double ParseDecimal(std::string_view text);

}  // namespace corvel
