#pragma once
// One exchange with the transmitter as the bus monitor lists it, and the
// observer through which the link publishes every exchange. A session without
// an observer builds no record at all.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "link/frame.h"

namespace corvel {

struct ExchangeRecord {
    std::chrono::system_clock::time_point sentAt;  // when the request went out
    std::string port;                              // open name, e.g. "COM3" or "\\.\COM12"
    std::uint32_t baudRate = 0;
    std::vector<std::uint8_t> bytes;  // the request, then every reply byte received
    std::uint16_t requestLength = 0;
    ReplyCheck check = ReplyCheck::Intact;
    std::chrono::microseconds roundTrip{0};  // from the request written to the reply read
    std::uint8_t repeat = 0;  // 0 for a first try; 1, 2 for automatic repeats after a damaged reply

    ByteSpan request() const { return ByteSpan(bytes.data(), requestLength); }
    ByteSpan reply() const { return ByteSpan(bytes).subspan(requestLength); }
    bool timedOut() const { return reply().empty(); }
    bool damaged() const { return IsDamage(check); }
    // A time-out, a damaged reply, the "no device here" answer or a status other than "Good".
    bool failed() const {
        const ByteSpan answer = reply();
        return check != ReplyCheck::Intact || answer.size() <= offset::kControl ||
               answer[offset::kControl] != 0;
    }
};

class ExchangeObserver {
public:
    virtual ~ExchangeObserver() = default;
    // Called on the exchange's own thread as soon as its reply is in. It must
    // return at once: keep the record and look at it later.
    virtual void exchanged(ExchangeRecord record) = 0;
};

}  // namespace corvel
