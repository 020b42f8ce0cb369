#pragma once
// Test helper: one request/reply exchange with the simulator through its
// in-process serial port, the way the utility does it (open, configure, write,
// read the reply, close), with requests built by BuildFrame.

#include <initializer_list>
#include <vector>

#include "link/frame.h"
#include "sim/inprocess_port.h"
#include "link/port_names.h"

namespace corvel::sim::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes Payload(std::initializer_list<int> values) { return Bytes(values.begin(), values.end()); }

inline RouteBlock RouteTo(std::uint8_t address, std::uint8_t module = 0x40) {
    return {0x80, 0xF0, 0x80, address, 0xF0, module};
}

// Writes `request` on COM `com` and reads until the reply its byte 2 announces
// is complete (or the read times out). Empty when the port does not open.
inline Bytes Transact(InProcessBus& bus, int com, ByteSpan request) {
    auto port = bus.createPort();
    if (!port->open(PortOpenName(com))) return {};
    port->configure(156, LineSettings{}, PortTimeouts{});
    std::size_t written = 0;
    port->write(request, written);
    Bytes reply(273, 0);
    std::size_t received = 0;
    port->read(reply, received, [](ByteSpan got) {
        return got.size() > 2 && got.size() >= kHeaderSize + got[2] + kRouteSize;
    });
    port->close();
    reply.resize(received);
    return reply;
}

inline Bytes Transact(InProcessBus& bus, int com, const FrameRequest& request) {
    FrameBuffer frame;
    const std::size_t length = BuildFrame(frame, request);
    return Transact(bus, com, ByteSpan(frame.data(), length));
}

}  // namespace corvel::sim::test
