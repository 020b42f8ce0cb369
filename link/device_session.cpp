// The exchange with the transmitter: one request, one reply, the port open only
// in between. The commands that build on it live in files of their own.

#include "link/device_session.h"

#include <algorithm>
#include <chrono>
#include <optional>

#include "link/port_names.h"

namespace corvel {
namespace {

constexpr std::uint32_t kQueueSize = 156;

// What one exchange writes, how long it waits before reading, and how much its
// first read asks for.
struct ExchangePlan {
    std::size_t writeLength = 0;
    std::size_t firstReadLength = 0;
    std::chrono::milliseconds pauseAfterWrite{0};
    // When given, all the first part may take, from the start of its read (the
    // line inventory's short wait at an empty address); the rest of the reply
    // then has the exchange's own time-outs.
    std::optional<std::chrono::milliseconds> firstPartWait;
};

constexpr ExchangePlan kDelayedPlan{26, 40, std::chrono::milliseconds(200), {}};
constexpr ExchangePlan kNextPortPlan{18, 12, {}, {}};
constexpr ExchangePlan kFindPortPlan{18, 18, {}, {}};

// The first read may end early once its bytes make a whole frame (12 + n + 6).
bool FormsWholeFrame(ByteSpan received) {
    return received.size() > offset::kPayloadLength && received.size() >= FrameLength(received);
}

// Every byte received for one reply: what the exchange's reads took, and the
// rest of the frame when they stop short of it (read for the reply check only).
struct ReceivedReply {
    std::array<std::uint8_t, kHeaderSize + 255 + kRouteSize> bytes{};
    std::size_t count = 0;
    std::chrono::steady_clock::time_point readAt;  // when the exchange's reads ended

    ByteSpan span() const { return ByteSpan(bytes.data(), count); }
};

// The whole frame of a reply for its check: the bytes the exchange read, then
// what is missing up to the length that byte 2 announces. The reply buffer
// and the exchange's own results stay as the exchange left them.
// The "no device here" answer is taken as it came.
void ReadWholeFrame(SerialPort& port, const FrameBuffer& reply, std::size_t have, ReceivedReply& received) {
    std::copy_n(reply.begin(), have, received.bytes.begin());
    received.count = have;
    const std::size_t frameLength = FrameLength(ByteSpan(reply.data(), have));
    if (have >= frameLength || IsNoDeviceAnswer(received.span())) return;
    std::size_t got = 0;
    const MutableByteSpan rest = MutableByteSpan(received.bytes).subspan(have, frameLength - have);
    port.read(rest, got, [&](ByteSpan more) { return more.size() >= rest.size(); });
    received.count += got;
}

// After a damaged reply, or a first part cut short: discards what the line
// still brings until it has been quiet for the gap between two bytes (a second
// of noise at most), so that the next request's reply starts clean. Clean exchanges never wait for this.
void DrainLine(DeviceSession& session, SerialPort& port) {
    constexpr PortTimeouts kQuietLine{50, 0, 50, 10, 50};
    constexpr int kMostReads = 20;
    if (!port.configure(session.queueSize, session.lineState, kQuietLine)) return;
    std::array<std::uint8_t, 64> discarded{};
    for (int i = 0; i < kMostReads; ++i) {
        std::size_t got = 0;
        if (!port.read(discarded, got, {}) || got == 0) return;
    }
}

// The time-outs of the first read: the exchange's own, or the short wait.
PortTimeouts FirstPartTimeouts(const DeviceSession& session, const ExchangePlan& plan) {
    if (!plan.firstPartWait) return session.timeouts;
    PortTimeouts shortWait = session.timeouts;
    shortWait.readTotalPerByteMs = 0;
    shortWait.readTotalConstantMs = static_cast<std::uint32_t>(plan.firstPartWait->count());
    return shortWait;
}

// After the short wait for the first part: a first part cut short fails the
// exchange (its bytes stay in the reply, so the caller sees that something
// came) once the rest of it has passed; a whole one gets the rest of the reply
// with the exchange's own time-outs.
bool ResumeOwnTimeouts(DeviceSession& session, SerialPort& port, ByteSpan firstPart, std::size_t asked) {
    if (firstPart.size() == asked || FormsWholeFrame(firstPart))
        return port.configure(session.queueSize, session.lineState, session.timeouts);
    DrainLine(session, port);
    return false;
}

// Reads the first part into a local buffer, copies it to `reply` and, when reply
// byte 2 announces more, reads that many further bytes (within the buffer)
// straight after it. True when bytes arrived and the last read succeeded.
bool ReadReply(DeviceSession& session, SerialPort& port, FrameBuffer& reply, const ExchangePlan& plan,
               ReceivedReply& received) {
    FrameBuffer firstPart{};
    const std::size_t asked = std::min(plan.firstReadLength, firstPart.size());
    session.readResult = port.read(MutableByteSpan(firstPart).first(asked), session.bytesRead, FormsWholeFrame);
    const std::size_t firstCount = session.bytesRead;
    if (firstCount == 0) return false;
    std::copy_n(firstPart.begin(), firstCount, reply.begin());
    if (plan.firstPartWait && !ResumeOwnTimeouts(session, port, ByteSpan(firstPart.data(), firstCount), asked))
        return false;
    session.extraLength = firstPart[offset::kPayloadLength];
    if (session.extraLength != 0) {
        const std::size_t frameLength = kHeaderSize + session.extraLength + kRouteSize;
        const std::size_t room = std::min<std::size_t>(session.extraLength, reply.size() - firstCount);
        const auto completesFrame = [&](ByteSpan more) { return firstCount + more.size() >= frameLength; };
        session.readResult =
            port.read(MutableByteSpan(reply).subspan(firstCount, room), session.bytesRead, completesFrame);
    }
    const std::size_t second = session.extraLength != 0 ? session.bytesRead : 0;
    const std::size_t have = std::min(firstCount + second, reply.size());
    if (session.readResult) {
        ReadWholeFrame(port, reply, have, received);
    } else {
        std::copy_n(reply.begin(), have, received.bytes.begin());
        received.count = have;
    }
    return session.readResult;
}

// Requests of the native protocol get their replies checked (the Modbus exit
// request does not).
bool IsNativeFrame(ByteSpan request) { return !request.empty() && request[0] == kStartByte; }

// What the bus monitor keeps of an exchange.
ExchangeRecord RecordOf(const DeviceSession& session, const CommSettings& comm, ByteSpan sent,
                        const ReceivedReply& received, bool accepted, std::chrono::steady_clock::time_point written) {
    ExchangeRecord record;
    record.sentAt = std::chrono::system_clock::now() - (std::chrono::steady_clock::now() - written);
    record.port = comm.portName;
    record.baudRate = comm.baudRate;
    record.bytes.reserve(sent.size() + received.count);
    record.bytes.assign(sent.begin(), sent.end());
    record.bytes.insert(record.bytes.end(), received.bytes.begin(), received.bytes.begin() + received.count);
    record.requestLength = static_cast<std::uint16_t>(sent.size());
    // Bytes that came but failed a read before the reply was whole are a reply cut short.
    const bool cutShort = !accepted && session.replyCheck == ReplyCheck::Intact && received.count > 0;
    record.check = cutShort ? ReplyCheck::Length : session.replyCheck;
    record.roundTrip = std::chrono::duration_cast<std::chrono::microseconds>(received.readAt - written);
    record.repeat = session.automaticRepeat;
    return record;
}

// Writes the request, reads the reply and checks it.
bool Converse(DeviceSession& session, SerialPort& port, const CommSettings& comm, ByteSpan sent, FrameBuffer& reply,
              const ExchangePlan& plan, ReceivedReply& received) {
    session.writeResult = port.write(sent, session.bytesWritten);  // a failed write shows as an empty read
    if (plan.pauseAfterWrite.count() > 0) port.pause(plan.pauseAfterWrite);
    const bool replied = ReadReply(session, port, reply, plan, received);
    received.readAt = std::chrono::steady_clock::now();
    if (!replied || !IsNativeFrame(sent)) return replied;
    session.replyCheck = CheckReply(sent, received.span());
    session.replyTally.count(session.replyCheck, comm.portName, comm.baudRate);
    if (session.replyCheck == ReplyCheck::Intact) return true;
    port.annotate(ReplyDamageText(session.replyCheck));
    // The transmitter's "no device here" is an answer, not damage: it fails the
    // exchange at once, whatever the switch, and leaves nothing on the line.
    if (session.replyCheck == ReplyCheck::NoDevice) return false;
    DrainLine(session, port);
    // Only a technician's explicit choice lets a damaged reply through.
    return comm.acceptDamagedReplies;
}

// One attempt on the port named in CommSettings: open, configure, write the
// request, read the reply; the observer, when there is one, is told. The
// caller closes the port.
bool Attempt(DeviceSession& session, SerialPort& port, const CommSettings& comm, ByteSpan request,
             FrameBuffer& reply, const ExchangePlan& plan) {
    session.replyCheck = ReplyCheck::Intact;
    session.lastCallResult = port.open(comm.portName);
    if (!session.lastCallResult) return false;
    session.lineState = {comm.baudRate, DeviceSession::kDataBits, DeviceSession::kParity, DeviceSession::kStopBits,
                         true};
    session.timeouts = PortTimeouts{};  // 50 ms between bytes; 10 ms a byte + 50 ms in total
    session.lastCallResult = port.configure(session.queueSize, session.lineState, FirstPartTimeouts(session, plan));
    if (!session.lastCallResult) return false;
    const ByteSpan sent = request.first(std::min(plan.writeLength, request.size()));
    ReceivedReply received;
    const auto written = std::chrono::steady_clock::now();
    const bool result = Converse(session, port, comm, sent, reply, plan, received);
    if (ExchangeObserver* observer = session.context().exchanges)
        observer->exchanged(RecordOf(session, comm, sent, received, result, written));
    return result;
}

// One exchange on the current port; a failure leaves the platform's error
// code and text in the status text.
bool TransactReportingFailure(DeviceSession& session, ByteSpan request, FrameBuffer& reply,
                              const ExchangePlan& plan) {
    session.queueSize = kQueueSize;
    session.portError = {};
    const LinkContext& context = session.context();
    const auto port = context.ports.create();
    const bool replied = Attempt(session, *port, context.comm, request, reply, plan);
    if (!replied && session.replyCheck != ReplyCheck::Intact) {
        session.statusText = ReplyDamageText(session.replyCheck);
    } else if (!replied) {
        session.portError = port->lastError();
        session.statusText = std::string(kSerialTransactFailedText) + " with error " +
                             std::to_string(session.portError.code) + ": " + session.portError.text;
    }
    port->close();
    return replied;
}

}  // namespace

DeviceSession::DeviceSession(LinkContext context) : context_(context) { context_.comm.portName = PortOpenName(1); }

bool DeviceSession::SerialTransact(ByteSpan request, std::uint8_t writeLength, FrameBuffer& reply,
                                   std::uint8_t firstReadLength,
                                   std::optional<std::chrono::milliseconds> firstPartWait) {
    return TransactReportingFailure(*this, request, reply, {writeLength, firstReadLength, {}, firstPartWait});
}

bool DeviceSession::SerialTransactDelayed(ByteSpan request, FrameBuffer& reply) {
    return TransactReportingFailure(*this, request, reply, kDelayedPlan);
}

bool DeviceSession::SerialTransactNextPort(ByteSpan request, FrameBuffer& reply) {
    queueSize = kQueueSize;
    for (;;) {
        const auto port = context_.ports.create();
        const bool replied = Attempt(*this, *port, context_.comm, request, reply, kNextPortPlan);
        port->close();
        if (replied) {
            context_.store.write(key::kPort, context_.comm.portName);
            return true;
        }
        // The counter has run past the last port. A caller that stepped it
        // beyond that ends the cycle here too rather than trying ports that
        // do not exist.
        if (discovery.portCounter > kLastPort) {
            context_.comm.portName = PortOpenName(kFirstPort);
            discovery.scanFinished = 1;
            discovery.portCounter = kFirstPort;
        }
        if (discovery.scanFinished) return false;
        SelectPortByNumber(discovery.portCounter);
        ++discovery.portCounter;
    }
}

bool DeviceSession::SerialTransactFindPort(ByteSpan request, FrameBuffer& reply) {
    queueSize = kQueueSize;
    for (;;) {
        const auto port = context_.ports.create();
        const bool found = Attempt(*this, *port, context_.comm, request, reply, kFindPortPlan);
        port->close();
        if (found) break;
        if (discovery.retryFlag) {
            discovery.retryFlag = 0;
            continue;
        }
        // The last port has been tried (or a caller stepped the counter past it).
        if (discovery.portCounter >= kLastPort) {
            context_.comm.portName = PortOpenName(kFirstPort);
            discovery.scanFinished = 1;
            discovery.portCounter = kFirstPort;
        }
        if (discovery.scanFinished) return false;
        ++discovery.portCounter;
        SelectPortByNumber(discovery.portCounter);
    }
    // A port already in the list means the search has come round again. The
    // list holds at most one entry per port, so it never grows past its 100.
    const auto& answered = discovery.answeredPorts;
    const auto listed = answered.begin() + std::min<std::size_t>(discovery.answeredPortCount, answered.size());
    const bool isNew = std::find(answered.begin(), listed, discovery.portCounter) == listed && listed != answered.end();
    if (isNew) {
        discovery.answeredPorts[discovery.answeredPortCount++] = discovery.portCounter;
        context_.store.write(key::kPort, context_.comm.portName);
    }
    if (discovery.scanFinished) {
        context_.comm.portName = PortOpenName(kFirstPort);
        discovery.portCounter = kFirstPort;
    }
    return isNew;
}

void DeviceSession::SelectPortByNumber(int number) { context_.comm.portName = PortOpenName(number); }

void DeviceSession::SetStatusText(std::uint8_t code) { statusText = StatusText(code); }

}  // namespace corvel
