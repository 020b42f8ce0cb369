#include "link/serial_trace.h"

#include "link/frame_decoder.h"


namespace corvel {

TracingSerialPort::TracingSerialPort(std::unique_ptr<SerialPort> port, TraceSink sink)
    : port_(std::move(port)), sink_(std::move(sink)) {}

bool TracingSerialPort::write(ByteSpan bytes, std::size_t& written) {
    const bool result = port_->write(bytes, written);
    if (written > 0) sink_(TraceDirection::Out, bytes.first(written), std::chrono::steady_clock::now());
    return result;
}

bool TracingSerialPort::read(MutableByteSpan buffer, std::size_t& received, const ReadCompletion& complete) {
    const bool result = port_->read(buffer, received, complete);
    if (received > 0) sink_(TraceDirection::In, ByteSpan(buffer.data(), received), std::chrono::steady_clock::now());
    return result;
}

void TracingSerialPort::annotate(const std::string& remark) {
    const auto* text = reinterpret_cast<const std::uint8_t*>(remark.data());
    sink_(TraceDirection::Remark, ByteSpan(text, remark.size()), std::chrono::steady_clock::now());
    port_->annotate(remark);
}

std::unique_ptr<SerialPort> TracingSerialPortFactory::create() {
    return std::make_unique<TracingSerialPort>(ports_.create(), sink_);
}

std::string FormatTraceLine(TraceDirection direction, ByteSpan bytes, std::chrono::steady_clock::duration sinceStart) {
    const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(sinceStart).count();
    std::string fraction = std::to_string(micros % 1000);
    std::string line = std::to_string(micros / 1000) + "." + std::string(3 - fraction.size(), '0') + fraction;
    if (direction == TraceDirection::Remark) return line + " ! " + std::string(bytes.begin(), bytes.end());
    line += direction == TraceDirection::Out ? " >" : " <";
    if (!bytes.empty()) line += ' ' + HexBytes(bytes);
    return line;
}

std::string TraceLineFormatter::line(TraceDirection direction, ByteSpan bytes,
                                     std::chrono::steady_clock::duration sinceStart) {
    std::string text = FormatTraceLine(direction, bytes, sinceStart);
    std::string decoded;
    if (direction == TraceDirection::Out) {
        replyStarted_ = false;
        if (bytes.size() >= kHeaderSize || DecodeRequest(bytes).operation != "Unknown") decoded = RequestSummary(bytes);
    } else if (direction == TraceDirection::In && !replyStarted_) {
        replyStarted_ = true;
        decoded = ReplyStatusText(bytes);
    }
    return decoded.empty() ? text : text + " | " + decoded;
}

}  // namespace corvel
