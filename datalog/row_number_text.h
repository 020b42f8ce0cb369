#pragma once
// The number of the next data line as decimal text, counted up in place: a
// line costs a digit increment instead of a number conversion.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

namespace corvel {

// A copy of the digits writes this many bytes, whatever their number.
inline constexpr std::size_t kRowNumberCopySize = 16;

class RowNumberText {
public:
    RowNumberText() {
        digits_.fill('0');
        digits_[kEnd - 1] = '1';
    }

    // Copies the digits to `out`, which must have room for kRowNumberCopySize
    // bytes; returns the end of the digits.
    char* copyTo(char* out) const {
        std::memcpy(out, digits_.data() + begin_, kRowNumberCopySize);
        return out + (kEnd - begin_);
    }

    // Row numbers stay below 2^31 (the sample count is a signed 32-bit
    // number), far from the fifteen digits the text can hold.
    void increment() {
        std::size_t digit = kEnd - 1;
        for (; digits_[digit] == '9'; --digit) digits_[digit] = '0';
        ++digits_[digit];
        begin_ = std::min(begin_, digit);
    }

private:
    // The digits end at kEnd; the bytes after them keep a fixed-size copy
    // inside the array.
    static constexpr std::size_t kEnd = kRowNumberCopySize;

    std::array<char, kEnd + kRowNumberCopySize> digits_;
    std::size_t begin_ = kEnd - 1;
};

}  // namespace corvel
