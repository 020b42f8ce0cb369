#pragma once
// The answers of a simulated transmitter, one function per command class.
// Each returns the reply status and payload; protocol.cpp dispatches to them
// and lays out the frame. Payload offsets below are reply byte - 12.

#include <cstdint>
#include <vector>

#include "sim/device_model.h"
#include "sim/protocol.h"

namespace corvel::sim {

struct CommandContext {
    SimDevice& device;
    const Request& request;
    double seconds;  // device clock

    std::uint8_t operation() const { return request.command2 & 0x0F; }
    std::uint8_t mask() const { return request.command2 & 0xF0; }
    std::uint8_t module() const { return request.route[5]; }
    std::uint8_t payloadByte(std::size_t at) const { return U8At(request.payload, at); }
};

inline Reply StatusOnly(std::uint8_t status) { return {status, {}}; }

// The channels of a channel mask, in mask order (P1, P2, third, temperature).
std::vector<Channel> ChannelsOf(std::uint8_t mask);

Reply AnswerEmpty(const CommandContext& context);           // class 0x00
Reply AnswerInformation(const CommandContext& context);     // class 0x02
Reply AnswerUnits(const CommandContext& context);           // class 0x03
Reply AnswerMeasurements(const CommandContext& context);    // class 0x04
Reply AnswerOutputKind(const CommandContext& context);      // class 0x05
Reply AnswerRecalibration(const CommandContext& context);   // class 0x06
Reply AnswerSensorRange(const CommandContext& context);     // class 0x08
Reply AnswerMemory(const CommandContext& context);          // class 0x62
Reply AnswerLogState(const CommandContext& context);        // class 0x09
Reply AnswerLogFiles(const CommandContext& context);        // class 0x51
Reply AnswerLogBlock(const CommandContext& context);        // class 0x52

}  // namespace corvel::sim
