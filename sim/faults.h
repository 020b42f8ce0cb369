#pragma once
// Faults a test switches on for one simulated transmitter. They stay on until
// changed; `Faults{}` is a healthy device.

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace corvel::sim {

// A command by its class and, when given, its command byte 2.
struct CommandMatch {
    std::uint8_t command1 = 0;
    std::optional<std::uint8_t> command2;

    bool matches(std::uint8_t c1, std::uint8_t c2) const { return c1 == command1 && (!command2 || *command2 == c2); }
};

struct StatusOverride {
    CommandMatch command;
    std::uint8_t status = 0;
};

struct Faults {
    bool silent = false;                        // answers nothing
    std::optional<std::size_t> cutReplyTo;      // sends only the first bytes of each reply
    bool corruptReplyCrc = false;               // reply CRC off by one
    std::vector<StatusOverride> statusFor;      // this status (and an empty payload) for that command
    std::uint8_t overstatePayloadLength = 0;    // added to reply byte 2, payload unchanged
    std::chrono::milliseconds replyDelay{0};    // extra wait before the reply starts
    std::vector<std::uint8_t> garbageBefore;    // bytes sent ahead of each reply
    // The line drops after this many log blocks have been served: from then on
    // the device is silent (until the faults are changed).
    std::optional<std::size_t> dropLineAfterLogBlocks;

    const StatusOverride* overrideFor(std::uint8_t c1, std::uint8_t c2) const {
        for (const StatusOverride& o : statusFor)
            if (o.command.matches(c1, c2)) return &o;
        return nullptr;
    }
};

}  // namespace corvel::sim
