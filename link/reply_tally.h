#pragma once
// What the line brought back over a stretch of work (a search, one run of a
// command): how many replies passed their checks, how many came to harm, and
// where and why the last damaged one did. When a transmitter plainly answers
// but every reply is damaged, the operator is told so instead of "not found".

#include <cstdint>
#include <string>
#include <string_view>

#include "link/frame.h"

namespace corvel {

struct ReplyTally {
    int sound = 0;    // intact replies and "no device here" answers
    int damaged = 0;  // replies that failed their checks
    ReplyCheck lastDamage = ReplyCheck::Intact;
    std::string damagedOnPort;  // open name of the port the last damaged reply came on
    std::uint32_t damagedAtBaud = 0;

    // Counts one reply as its checks found it on `port` at `baud`.
    void count(ReplyCheck check, const std::string& port, std::uint32_t baud);
    // Replies were heard, and every one of them was damaged.
    bool onlyDamaged() const { return damaged > 0 && sound == 0; }
};

// "A transmitter answered on COM5 (115200 baud), but all 6 of its replies
// failed the reply check (CRC mismatch). Check the cable and the line's
// termination; if this transmitter's firmware seals its replies differently, "
// followed by `remedy` and a full stop.
std::string DamagedRepliesDiagnosis(const ReplyTally& tally, std::string_view remedy);

}  // namespace corvel
