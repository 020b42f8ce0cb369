#include "tool_session.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>

#include "port_names.h"

namespace corvel::cli {

namespace {

// The port number of "COMn" (1..100, any case), or 0.
int ComPortNumber(const std::string& port) {
    if (port.size() < 4) return 0;
    std::string prefix = port.substr(0, 3);
    std::transform(prefix.begin(), prefix.end(), prefix.begin(), [](unsigned char c) { return std::toupper(c); });
    if (prefix != "COM") return 0;
    int number = 0;
    const auto [end, error] = std::from_chars(port.data() + 3, port.data() + port.size(), number);
    if (error != std::errc{} || end != port.data() + port.size()) return 0;
    return number >= kFirstPort && number <= kLastPort ? number : 0;
}

// One line per write and per read: milliseconds since the session was set up,
// the direction and the bytes.
TraceSink TraceLinesTo(std::ostream& err) {
    const auto start = std::chrono::steady_clock::now();
    return [&err, start](TraceDirection direction, ByteSpan bytes, std::chrono::steady_clock::time_point at) {
        err << "trace " << FormatTraceLine(direction, bytes, at - start) << '\n';
    };
}

}  // namespace

std::string PortArgumentOpenName(const std::string& port) {
    const int number = ComPortNumber(port);
    return number ? PortOpenName(number) : port;
}

ToolSession::ToolSession(const GlobalOptions& options, SerialPortFactory& ports, std::ostream& err)
    : notifier_(err),
      tracing_(options.trace ? std::make_unique<TracingSerialPortFactory>(ports, TraceLinesTo(err)) : nullptr),
      session_(LinkContext{comm_, store_, tracing_ ? *tracing_ : ports, notifier_, shared_}),
      address_(options.address),
      sourceNetwork_(1) {
    // The session starts on COM1; the chosen port replaces it before any exchange.
    comm_.portName = PortArgumentOpenName(options.port);
    comm_.setBaudText(std::to_string(options.baudRate));
    comm_.acceptDamagedReplies = options.acceptDamagedReplies;
    comm_.rs485Address = options.address;
    const int number = PortNumberFromOpenName(comm_.portName, 1);
    sourceNetwork_ = static_cast<std::uint8_t>(number);
    session_.currentNetworkAddress = address_;
    session_.foundNetworkAddress = address_;
    session_.foundModuleNumber = kCommunicationModule;
    store_.write(key::kPort, comm_.portName);
    store_.write(key::kBaudRate, comm_.baudText);
    store_.write(key::kCommBoardAddress, std::to_string(address_));
}

RouteBlock ToolSession::route(std::uint8_t module) const {
    return RouteBlock{sourceNetwork_, 0xF0, 0x80, address_, 0xF0, module};
}

void ToolSession::require(bool ok, const std::string& what) const {
    if (!ok) fail(what);
}

void ToolSession::fail(const std::string& what) const {
    const std::string& status = session_.statusText;
    throw OperationError(status.empty() ? what : what + ": " + status);
}

}  // namespace corvel::cli
