#pragma once
// The input of fuzz_command_replies, read front to back: operation selectors,
// their arguments and the transmitter's replies, interleaved in the order the
// session asks for them. Every read is bounds-checked; an input that is used
// up yields zeros and empty texts and replies.
//
//   byte    one byte            text   a length byte, then that many bytes
//   flag    bit 0 of a byte     reply  a length byte L, then L bytes; L = 255
//   u32     4 bytes, LSB first         is followed by a second length byte
//   route   6 bytes                    whose value is added to it
//
// InputWriter writes the same encoding (command_replies_corpus records inputs with it).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/bytes.h"
#include "link/frame.h"

namespace corvel::fuzz {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::uint8_t kLongReply = 0xFF;

class InputCursor {
public:
    // Every byte read is also appended to `echo` when one is given.
    explicit InputCursor(ByteSpan input, Bytes* echo = nullptr) : input_(input), echo_(echo) {}

    bool empty() const { return at_ == input_.size(); }
    std::size_t consumed() const { return at_; }

    std::uint8_t byte() { return empty() ? 0 : take(1).front(); }
    bool flag() { return (byte() & 1) != 0; }
    std::uint32_t u32() { return U32At(take(4), 0); }
    RouteBlock route() {
        RouteBlock route{};
        const ByteSpan bytes = take(route.size());
        std::copy(bytes.begin(), bytes.end(), route.begin());
        return route;
    }
    std::string text() {
        const ByteSpan bytes = take(byte());
        return std::string(bytes.begin(), bytes.end());
    }
    Bytes reply() {
        std::size_t length = byte();
        if (length == kLongReply) length += byte();
        const ByteSpan bytes = take(length);
        return Bytes(bytes.begin(), bytes.end());
    }

private:
    ByteSpan take(std::size_t count) {
        const ByteSpan bytes = input_.subspan(at_, std::min(count, input_.size() - at_));
        at_ += bytes.size();
        if (echo_) echo_->insert(echo_->end(), bytes.begin(), bytes.end());
        return bytes;
    }

    ByteSpan input_;
    std::size_t at_ = 0;
    Bytes* echo_;
};

class InputWriter {
public:
    InputWriter& byte(std::uint8_t value) {
        bytes.push_back(value);
        return *this;
    }
    InputWriter& flag(bool value) { return byte(value ? 1 : 0); }
    InputWriter& u32(std::uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8) byte(static_cast<std::uint8_t>(value >> shift));
        return *this;
    }
    InputWriter& route(const RouteBlock& route) {
        bytes.insert(bytes.end(), route.begin(), route.end());
        return *this;
    }
    InputWriter& text(std::string_view text) {
        const std::size_t length = std::min<std::size_t>(text.size(), 0xFF);
        byte(static_cast<std::uint8_t>(length));
        bytes.insert(bytes.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length));
        return *this;
    }
    InputWriter& reply(ByteSpan reply) {
        const std::size_t length = std::min<std::size_t>(reply.size(), 2 * kLongReply);
        if (length >= kLongReply) {
            byte(kLongReply).byte(static_cast<std::uint8_t>(length - kLongReply));
        } else {
            byte(static_cast<std::uint8_t>(length));
        }
        bytes.insert(bytes.end(), reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(length));
        return *this;
    }

    Bytes bytes;
};

}  // namespace corvel::fuzz
