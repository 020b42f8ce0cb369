#include "sim/line.h"

#include <algorithm>

namespace corvel::sim {

std::chrono::microseconds LineTiming::durationOf(std::size_t bytes) const {
    if (!wireTime || baudRate == 0) return std::chrono::microseconds{0};
    const auto bitMicros = static_cast<std::uint64_t>(bytes) * 10'000'000u;
    return std::chrono::microseconds{static_cast<std::int64_t>((bitMicros + baudRate - 1) / baudRate)};
}

SimDevice& SimLine::add(DeviceConfig config) {
    devices_.push_back(std::make_unique<SimDevice>(std::move(config)));
    return *devices_.back();
}

SimDevice* SimLine::device(std::uint8_t networkAddress) {
    for (const auto& device : devices_)
        if (device->networkAddress() == networkAddress) return device.get();
    return nullptr;
}

SimDevice* SimLine::addressee(std::uint8_t routeByte3) {
    if (routeByte3 == 0) return devices_.empty() ? nullptr : devices_.front().get();
    return device(routeByte3);
}

// Bytes that cannot start a request (a Modbus request, line noise) are skipped.
void SimLine::dropNoise() {
    const auto start = std::find(input_.begin(), input_.end(), kStartByte);
    input_.erase(input_.begin(), start);
}

std::vector<Transmission> SimLine::hear(ByteSpan bytes, double seconds) {
    std::vector<Transmission> replies;
    if (onHeard) onHeard(bytes);
    input_.insert(input_.end(), bytes.begin(), bytes.end());
    for (;;) {
        dropNoise();
        const std::optional<std::size_t> length = AnnouncedLength(input_);
        if (!length || input_.size() < *length) break;
        const Bytes frame(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(*length));
        input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(*length));
        answerFrame(frame, seconds, replies);
    }
    return replies;
}

std::vector<Transmission> SimLine::quiet() {
    std::vector<Transmission> replies;
    dropNoise();
    if (input_.size() > offset::kHeaderRoute3) {
        SimDevice* device = addressee(input_[offset::kHeaderRoute3]);
        if (device && !silenced(*device))
            replies.push_back(shape(*device, EncodeErrorReply(input_, kStatusIncomplete, device->networkAddress())));
    }
    input_.clear();
    return replies;
}

bool SimLine::silenced(const SimDevice& device) {
    const auto& drop = device.faults.dropLineAfterLogBlocks;
    return device.faults.silent || (drop && device.logBlocksServed >= *drop);
}

void SimLine::answerFrame(ByteSpan frame, double seconds, std::vector<Transmission>& out) {
    const bool crcGood = CrcMatches(frame);
    // A frame with a bad CRC is taken to be for the node its header names.
    const std::uint8_t node = crcGood ? FrameRoute(frame)[3] : frame[offset::kHeaderRoute3];
    SimDevice* device = addressee(node);
    if (!device || silenced(*device)) return;
    const std::uint8_t address = device->networkAddress();
    if (!crcGood) {
        out.push_back(shape(*device, EncodeErrorReply(frame, kStatusBadCrc, address)));
        return;
    }
    const Request request = ParseRequest(frame);
    const StatusOverride* forced = device->faults.overrideFor(request.command1, request.command2);
    const Reply reply = forced ? Reply{forced->status, {}} : Answer(*device, request, seconds);
    out.push_back(shape(*device, EncodeReply(request, reply, address)));
}

Transmission SimLine::shape(SimDevice& device, Bytes reply) const {
    const Faults& faults = device.faults;
    if (faults.corruptReplyCrc) reply[offset::kCrcLow] ^= 0x01;
    reply[offset::kPayloadLength] = static_cast<std::uint8_t>(reply[offset::kPayloadLength] + faults.overstatePayloadLength);
    if (faults.cutReplyTo && *faults.cutReplyTo < reply.size()) reply.resize(*faults.cutReplyTo);
    reply.insert(reply.begin(), faults.garbageBefore.begin(), faults.garbageBefore.end());
    return {std::move(reply), timing.turnaround + faults.replyDelay};
}

}  // namespace corvel::sim
