#include "link/reply_tally.h"

#include "link/port_names.h"

namespace corvel {

void ReplyTally::count(ReplyCheck check, const std::string& port, std::uint32_t baud) {
    if (!IsDamage(check)) {
        ++sound;
        return;
    }
    ++damaged;
    lastDamage = check;
    damagedOnPort = port;
    damagedAtBaud = baud;
}

std::string DamagedRepliesDiagnosis(const ReplyTally& tally, std::string_view remedy) {
    const std::string replies =
        tally.damaged == 1 ? "its reply" : "all " + std::to_string(tally.damaged) + " of its replies";
    return "A transmitter answered on " + PortDisplayNameOf(tally.damagedOnPort) + " (" +
           std::to_string(tally.damagedAtBaud) + " baud), but " + replies + " failed the reply check (" +
           ReplyDamageReason(tally.lastDamage) +
           "). Check the cable and the line's termination; if this transmitter's firmware seals its replies "
           "differently, " +
           std::string(remedy) + ".";
}

}  // namespace corvel
