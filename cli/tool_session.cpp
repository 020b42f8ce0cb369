#include "cli/tool_session.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <memory>

#include "common/number_format.h"
#include "link/port_names.h"

namespace corvel::cli {

namespace {

constexpr std::string_view kAcceptDamagedRepliesRemedy = "run the command again with --accept-damaged-replies";

// One line per write and per read: milliseconds since the session was set up,
// the direction, the bytes and what the frame says.
TraceSink TraceLinesTo(std::ostream& err) {
    const auto start = std::chrono::steady_clock::now();
    auto lines = std::make_shared<TraceLineFormatter>();
    return [&err, start, lines](TraceDirection direction, ByteSpan bytes, std::chrono::steady_clock::time_point at) {
        err << "trace " << lines->line(direction, bytes, at - start) << '\n';
    };
}

// Both sinks, either of which may be empty.
TraceSink BothSinks(TraceSink first, TraceSink second) {
    if (!first) return second;
    if (!second) return first;
    return [first, second](TraceDirection direction, ByteSpan bytes, std::chrono::steady_clock::time_point at) {
        first(direction, bytes, at);
        second(direction, bytes, at);
    };
}

// A read that waited out its time-outs without a byte: the ports leave the
// platform's time-out code (the simulated ones ETIMEDOUT everywhere).
bool TimedOut(const PortError& error) {
#ifdef _WIN32
    constexpr int kWindowsTimeout = 1460;  // ERROR_TIMEOUT
    if (error.code == kWindowsTimeout) return true;
#endif
    return error.code == ETIMEDOUT;
}

}  // namespace

void StreamNotifier::showMessage(const std::string& text) {
    constexpr std::string_view kErrorPrefix = "error ";
    const bool bareErrorNumber =
        text.starts_with(kErrorPrefix) && ParseWholeText<int>(std::string_view(text).substr(kErrorPrefix.size()));
    if (!bareErrorNumber) err_ << "corvelctl: " << text << '\n';
}

std::string PortArgumentOpenName(const std::string& port) {
    const auto number = ComArgumentNumber(port);
    return number && *number >= kFirstPort && *number <= kLastPort ? PortOpenName(static_cast<int>(*number)) : port;
}

ToolSession::ToolSession(const CommandCall& call, TraceSink watcher)
    : deviceOf_(call.environment.deviceOf),
      notifier_(call.environment.err),
      tracing_(call.options.trace || watcher
                   ? std::make_unique<TracingSerialPortFactory>(
                         call.environment.ports,
                         BothSinks(call.options.trace ? TraceLinesTo(call.environment.err) : TraceSink{},
                                   std::move(watcher)))
                   : nullptr),
      session_(LinkContext{comm_, store_, tracing_ ? *tracing_ : call.environment.ports, notifier_, shared_}),
      address_(call.options.address),
      sourceNetwork_(1) {
    const GlobalOptions& options = call.options;
    // The session starts on COM1; the chosen port replaces it before any exchange.
    comm_.portName = PortArgumentOpenName(options.port);
    comm_.setBaudText(std::to_string(options.baudRate));
    comm_.acceptDamagedReplies = options.acceptDamagedReplies;
    comm_.rs485Address = options.address;
    const int number = PortNumberFromOpenName(comm_.portName, 1);
    sourceNetwork_ = static_cast<std::uint8_t>(number);
    session_.discovery.currentNetworkAddress = address_;
    session_.discovery.foundNetworkAddress = address_;
    session_.discovery.foundModuleNumber = kCommunicationModule;
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

std::string ToolSession::portText() const { return PortDisplayNameOf(comm_.portName); }

std::string ToolSession::placeText() const {
    return "at address " + std::to_string(address_) + " on " + portText();
}

void ToolSession::fail(const std::string& what) const {
    const std::string& status = session_.statusText;
    if (status.empty()) throw OperationError(what);
    if (!session_.lastCallResult) {
        std::string device;
        if (const auto path = deviceOf_ ? deviceOf_(comm_.portName) : std::nullopt; path && *path != comm_.portName)
            device = " (" + (path->empty() ? std::string("no serial device has this number") : *path) + ")";
        throw OperationError("cannot open " + portText() + device + ": " + status);
    }
    const bool silent = session_.bytesRead == 0 && session_.replyCheck == ReplyCheck::Intact &&
                        status.starts_with(kSerialTransactFailedText);
    if (silent && TimedOut(session_.portError))
        throw OperationError(what + ": no reply from " + transmitterText() + " (timed out)");
    if (silent) throw OperationError(what + ": " + status + "; no reply from " + transmitterText());
    // Every reply came damaged: the cable, the termination, or firmware that
    // seals its replies another way.
    if (session_.replyTally.onlyDamaged() && !comm_.acceptDamagedReplies) {
        throw OperationError(what + ": " + status,
                             DamagedRepliesDiagnosis(session_.replyTally, kAcceptDamagedRepliesRemedy));
    }
    throw OperationError(what + ": " + status);
}

}  // namespace corvel::cli
