#pragma once
// A serial port double for the command tests: it records every request written
// and every read size asked for, and answers each request with the bytes a
// responder gives (nothing = a silent device). Ports whose names the responder
// does not know fail to open.

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/device_session.h"
#include "link/frame.h"
#include "link/serial_port.h"

namespace corvel::test {

using Bytes = std::vector<std::uint8_t>;

struct Exchange {
    std::string port;
    Bytes request;
    std::vector<std::size_t> readSizes;
};

class ScriptedLine {
public:
    // Answers a request written on a port; nothing for silence.
    using Responder = std::function<Bytes(const std::string& port, const Bytes& request)>;

    Responder responder = [](const std::string&, const Bytes&) { return Bytes{}; };
    std::function<bool(const std::string& port)> portExists = [](const std::string&) { return true; };
    std::vector<Exchange> exchanges;

    // Replies given in order, one per request.
    void queueReplies(std::vector<Bytes> replies);
};

class ScriptedPortFactory final : public SerialPortFactory {
public:
    explicit ScriptedPortFactory(ScriptedLine& line) : line_(line) {}
    std::unique_ptr<SerialPort> create() override;

private:
    ScriptedLine& line_;
};

// A reply frame: header with `status`, the payload and a route block.
Bytes ReplyFrame(std::uint8_t status, const Bytes& payload, RouteBlock route = {0x28, 0x80, 0x28, 0x80, 0x80, 0x80});

// A reply whose payload is `size` bytes, zero except for the bytes set by
// absolute reply offset in `bytes` (offsets from 12 on).
Bytes ReplyWith(std::uint8_t status, std::size_t payloadSize, std::initializer_list<std::pair<std::size_t, Bytes>> bytes);

// A session on the scripted line with in-memory collaborators.
struct SessionFixture {
    ScriptedLine line;
    ScriptedPortFactory ports{line};
    CommSettings comm;
    MemoryStoredSettings store;
    SharedDeviceValues shared;
    struct RecordingNotifier final : Notifier {
        std::vector<std::string> messages;
        void showMessage(const std::string& text) override { messages.push_back(text); }
    } notifier;
    DeviceSession session{LinkContext{comm, store, ports, notifier, shared}};

    // The designed exchange, which takes whatever arrives as the reply: the
    // scripted replies here are made by hand, without a valid CRC.
    SessionFixture() {
        comm.setBaudText("115200");
        comm.acceptDamagedReplies = true;
    }
    const Exchange& only() const;
};

inline constexpr RouteBlock kRoute{0x01, 0xF0, 0x80, 0x28, 0xF0, 0x40};

}  // namespace corvel::test
