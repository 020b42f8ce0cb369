#include "tests/link/scripted_port.h"

#include <algorithm>
#include <stdexcept>

namespace corvel::test {

namespace {

class ScriptedPort final : public SerialPort {
public:
    explicit ScriptedPort(ScriptedLine& line) : line_(line) {}

    bool open(const std::string& name) override {
        if (!line_.portExists(name)) {
            error_ = {2, "No such file or directory"};
            return false;
        }
        name_ = name;
        return true;
    }
    bool configure(std::uint32_t, const LineSettings&, const PortTimeouts&) override { return !name_.empty(); }
    bool write(ByteSpan bytes, std::size_t& written) override {
        const Bytes request(bytes.begin(), bytes.end());
        line_.exchanges.push_back({name_, request, {}});
        const Bytes reply = line_.responder(name_, request);
        pending_.assign(reply.begin(), reply.end());
        written = bytes.size();
        return true;
    }
    bool read(MutableByteSpan buffer, std::size_t& received, const ReadCompletion&) override {
        if (!line_.exchanges.empty()) line_.exchanges.back().readSizes.push_back(buffer.size());
        received = std::min(buffer.size(), pending_.size());
        std::copy_n(pending_.begin(), received, buffer.begin());
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(received));
        if (received == 0) error_ = {121, "The semaphore timeout period has expired."};
        return true;
    }
    void pause(std::chrono::milliseconds) override {}
    void close() override { name_.clear(); }
    PortError lastError() const override { return error_; }

private:
    ScriptedLine& line_;
    std::string name_;
    std::deque<std::uint8_t> pending_;
    PortError error_;
};

}  // namespace

void ScriptedLine::queueReplies(std::vector<Bytes> replies) {
    auto queue = std::make_shared<std::deque<Bytes>>(replies.begin(), replies.end());
    responder = [queue](const std::string&, const Bytes&) {
        if (queue->empty()) return Bytes{};
        Bytes reply = queue->front();
        queue->pop_front();
        return reply;
    };
}

std::unique_ptr<SerialPort> ScriptedPortFactory::create() { return std::make_unique<ScriptedPort>(line_); }

Bytes ReplyFrame(std::uint8_t status, const Bytes& payload, RouteBlock route) {
    Bytes frame(kHeaderSize + payload.size() + kRouteSize, 0);
    frame[offset::kStart] = kStartByte;
    frame[offset::kFlags] = kFlagRouteFollows;
    frame[offset::kPayloadLength] = static_cast<std::uint8_t>(payload.size());
    frame[offset::kControl] = status;
    std::copy(payload.begin(), payload.end(), frame.begin() + kHeaderSize);
    std::copy(route.begin(), route.end(), frame.end() - kRouteSize);
    return frame;
}

Bytes ReplyWith(std::uint8_t status, std::size_t payloadSize, std::initializer_list<std::pair<std::size_t, Bytes>> bytes) {
    Bytes payload(payloadSize, 0);
    for (const auto& [at, values] : bytes) {
        if (at < kHeaderSize || at - kHeaderSize + values.size() > payloadSize) throw std::out_of_range("reply byte");
        std::copy(values.begin(), values.end(), payload.begin() + static_cast<std::ptrdiff_t>(at - kHeaderSize));
    }
    return ReplyFrame(status, payload);
}

const Exchange& SessionFixture::only() const {
    if (line.exchanges.size() != 1) throw std::logic_error("expected exactly one exchange, got " + std::to_string(line.exchanges.size()));
    return line.exchanges.front();
}

}  // namespace corvel::test
