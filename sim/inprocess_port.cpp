#include "inprocess_port.h"

#include <cerrno>
#include <system_error>

#include "port_names.h"

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
    const Micros byteTime = line_->timing.byteTime();
    for (const Transmission& reply : replies) {
        Micros at = std::max(from + reply.startsAfter, incoming_.empty() ? from : incoming_.back().at);
        for (std::uint8_t byte : reply.bytes) {
            at += byteTime;
            incoming_.push_back({byte, at});
        }
    }
}

bool InProcessPort::write(ByteSpan bytes, std::size_t& written) {
    written = 0;
    if (!line_) return fail(EBADF);
    SimulatedClock& clock = bus_.clock();
    clock.advance(line_->timing.byteTime() * static_cast<long>(bytes.size()));
    schedule(line_->hear(bytes, clock.seconds()), clock.now());
    written = bytes.size();
    return true;
}

// Takes the bytes that arrive before the read ends. `timedOut` receives the
// moment the read ran into a time-out, if it did.
std::size_t InProcessPort::collect(MutableByteSpan buffer, const ReadCompletion& complete, Micros deadline,
                                   std::optional<Micros>& timedOut) {
    const Micros interval = std::chrono::milliseconds(timeouts_.readIntervalMs);
    SimulatedClock& clock = bus_.clock();
    std::size_t received = 0;
    Micros last = clock.now();
    while (received < buffer.size()) {
        const Micros silenceEnds = received > 0 ? std::min(last + interval, deadline) : deadline;
        if (incoming_.empty() || std::max(incoming_.front().at, clock.now()) > silenceEnds) {
            timedOut = silenceEnds;
            return received;
        }
        clock.advanceTo(incoming_.front().at);
        last = clock.now();
        buffer[received++] = incoming_.front().byte;
        incoming_.pop_front();
        if (complete && complete(ByteSpan(buffer.data(), received))) break;
    }
    return received;
}

bool InProcessPort::read(MutableByteSpan buffer, std::size_t& received, const ReadCompletion& complete) {
    received = 0;
    if (!line_) return fail(EBADF);
    SimulatedClock& clock = bus_.clock();
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
