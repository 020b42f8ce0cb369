#pragma once
// A serial line with simulated transmitters on it, as on an RS-485 multidrop
// bus: the line collects the bytes the PC sends, cuts them into request frames,
// and the transmitter that a frame addresses answers (route byte 3; a frame
// with route byte 3 = 0 is answered by the first transmitter on the line).
// The transmitter's faults shape or suppress its reply.
//
// Timing: a reply starts `turnaround` (plus any fault delay) after the last
// request byte; with wire time on, each byte then takes 10 bits at the baud
// rate. A frame left incomplete is answered with status 0x03 once the line
// has been quiet for `frameTimeout`.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "sim/device_model.h"
#include "sim/protocol.h"

namespace corvel::sim {

struct LineTiming {
    bool wireTime = false;
    std::uint32_t baudRate = 115200;
    std::chrono::microseconds turnaround{1000};
    std::chrono::milliseconds frameTimeout{50};

    // Time on the wire of `bytes` bytes at 10 bits a byte, rounded up to the
    // microsecond as a whole (no per-byte truncation), or nothing when wire
    // time is off.
    std::chrono::microseconds durationOf(std::size_t bytes) const;
};

// A reply on its way: it starts `startsAfter` the moment it was caused.
struct Transmission {
    Bytes bytes;
    std::chrono::microseconds startsAfter{0};
};

class SimLine {
public:
    SimDevice& add(DeviceConfig config);
    // Takes every transmitter off the line.
    void removeAll() {
        devices_.clear();
        input_.clear();
    }
    const std::vector<std::unique_ptr<SimDevice>>& devices() const { return devices_; }
    // The transmitter at a network address, or nullptr.
    SimDevice* device(std::uint8_t networkAddress);

    // Bytes the PC sent, heard at `seconds` on the device clock. Returns the
    // replies to every frame they complete.
    std::vector<Transmission> hear(ByteSpan bytes, double seconds);
    // The line went quiet: an incomplete frame gets its 0x03 reply.
    std::vector<Transmission> quiet();
    bool holdsPartialFrame() const { return !input_.empty(); }
    // Forgets any partial frame (the PC closed the port).
    void clearInput() { input_.clear(); }

    // Bytes put on the line unasked (transport tests, line noise); the port
    // receives them at once. takeEmitted() hands them over.
    void emit(ByteSpan bytes) { emitted_.insert(emitted_.end(), bytes.begin(), bytes.end()); }
    Bytes takeEmitted() { return std::exchange(emitted_, {}); }

    LineTiming timing;
    // Called with every run of bytes the line hears (traces, transport tests).
    std::function<void(ByteSpan)> onHeard;

private:
    void dropNoise();
    void answerFrame(ByteSpan frame, double seconds, std::vector<Transmission>& out);
    SimDevice* addressee(std::uint8_t routeByte3);
    Transmission shape(SimDevice& device, Bytes reply) const;
    static bool silenced(const SimDevice& device);

    std::vector<std::unique_ptr<SimDevice>> devices_;
    Bytes input_;
    Bytes emitted_;
};

}  // namespace corvel::sim
