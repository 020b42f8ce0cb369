#include "tests/link/reply_frame.h"

namespace corvel::test {

std::vector<std::uint8_t> ReplyFrame(std::uint8_t n) {
    std::vector<std::uint8_t> frame(12 + n + 6, 0);
    frame[0] = 0x80;
    frame[1] = 0x01;
    frame[2] = n;
    for (std::size_t i = 12; i < frame.size(); ++i) frame[i] = static_cast<std::uint8_t>(i - 11);
    return frame;
}

}  // namespace corvel::test
