#include "sim/inprocess_port.h"

#include <cerrno>
#include <system_error>

#include "link/port_names.h"

namespace corvel::sim {

SimLine& InProcessBus::line(int number) {
    auto& slot = lines_[number];
    if (!slot) slot = std::make_unique<SimLine>();
    return *slot;
}

SimLine* InProcessBus::findLine(int number) {
    const auto found = lines_.find(number);
    return found != lines_.end() ? found->second.get() : nullptr;
}

std::unique_ptr<SerialPort> InProcessBus::createPort() { return std::make_unique<InProcessPort>(*this); }

bool InProcessPort::fail(int code) {
    error_ = {code, std::generic_category().message(code)};
    return false;
}

bool InProcessPort::open(const std::string& name) {
    if (line_) return fail(EBUSY);
    const int number = PortNumberFromOpenName(name, 0);
    SimLine* line = bus_.findLine(number);
    if (!line) return fail(ENOENT);
    if (!bus_.claim(number)) return fail(EBUSY);
    line_ = line;
    number_ = number;
    error_ = {};
    return true;
}

bool InProcessPort::configure(std::uint32_t, const LineSettings& line, const PortTimeouts& timeouts) {
    if (!line_) return fail(EBADF);
    settings_ = line;
    timeouts_ = timeouts;
    line_->timing.baudRate = line.baudRate;
    return true;
}

void InProcessPort::schedule(const std::vector<Transmission>& replies, Micros from) {
    for (const Transmission& reply : replies) {
        const Micros start = std::max(from + reply.startsAfter, incoming_.empty() ? from : incoming_.back().at);
        for (std::size_t i = 0; i < reply.bytes.size(); ++i)
            incoming_.push_back({reply.bytes[i], start + line_->timing.durationOf(i + 1)});
    }
}

bool InProcessPort::write(ByteSpan bytes, std::size_t& written) {
    written = 0;
    if (!line_) return fail(EBADF);
    SimulatedClock& clock = bus_.clock();
    clock.advance(line_->timing.durationOf(bytes.size()));
    schedule(line_->hear(bytes, clock.seconds()), clock.now());
    written = bytes.size();
    return true;
}

// Takes the bytes that arrive before the read ends. The completion test is
// asked before every wait, the first one included. `timedOut` receives the
// moment the read ran into a time-out, if it did.
std::size_t InProcessPort::collect(MutableByteSpan buffer, const ReadCompletion& complete, Micros deadline,
                                   std::optional<Micros>& timedOut) {
    const Micros interval = std::chrono::milliseconds(timeouts_.readIntervalMs);
    SimulatedClock& clock = bus_.clock();
    std::size_t received = 0;
    Micros last = clock.now();
    while (received < buffer.size() && !(complete && complete(ByteSpan(buffer.data(), received)))) {
        const Micros silenceEnds = received > 0 ? std::min(last + interval, deadline) : deadline;
        if (incoming_.empty() || std::max(incoming_.front().at, clock.now()) > silenceEnds) {
            timedOut = silenceEnds;
            return received;
        }
        clock.advanceTo(incoming_.front().at);
        last = clock.now();
        buffer[received++] = incoming_.front().byte;
        incoming_.pop_front();
    }
    return received;
}

bool InProcessPort::read(MutableByteSpan buffer, std::size_t& received, const ReadCompletion& complete) {
    received = 0;
    if (!line_) return fail(EBADF);
    SimulatedClock& clock = bus_.clock();
    schedule({{line_->takeEmitted(), Micros{0}}}, clock.now());
    if (line_->holdsPartialFrame() && incoming_.empty())
        schedule(line_->quiet(), clock.now() + line_->timing.frameTimeout);
    const Micros total = std::chrono::milliseconds(timeouts_.readTotalPerByteMs * buffer.size() +
                                                   timeouts_.readTotalConstantMs);
    std::optional<Micros> timedOut;
    received = collect(buffer, complete, clock.now() + total, timedOut);
    if (timedOut) {
        clock.advanceTo(*timedOut);
        error_ = {ETIMEDOUT, std::generic_category().message(ETIMEDOUT)};
    }
    return true;
}

void InProcessPort::pause(std::chrono::milliseconds duration) { bus_.clock().advance(duration); }

void InProcessPort::close() {
    if (!line_) return;
    line_->clearInput();
    incoming_.clear();
    bus_.release(number_);
    line_ = nullptr;
    number_ = 0;
}

}  // namespace corvel::sim
