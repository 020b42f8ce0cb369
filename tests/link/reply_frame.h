#pragma once
// Reply frames of a chosen length for the exchange tests.

#include <cstdint>
#include <vector>

namespace corvel::test {

// A reply frame with payload length byte `n` and the payload bytes 1, 2, 3...
// (the frame is 12 + n + 6 bytes; header byte 8, the status, is 0).
std::vector<std::uint8_t> ReplyFrame(std::uint8_t n);

}  // namespace corvel::test
