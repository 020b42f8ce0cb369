// Every device command decoding whatever bytes a transmitter might send back:
// the input is a run of replies, each a length byte and that many bytes,
// handed out one per exchange.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "device_session.h"
#include "owned_link_context.h"

namespace corvel {
namespace {

class ReplayLine {
public:
    ReplayLine(const std::uint8_t* data, std::size_t size) : data_(data, data + size) {}
    // The next reply of the input, or nothing when it is used up.
    std::vector<std::uint8_t> next() {
        if (data_.empty()) return {};
        const std::size_t length = std::min<std::size_t>(data_.front(), data_.size() - 1);
        std::vector<std::uint8_t> reply(data_.begin() + 1, data_.begin() + 1 + static_cast<std::ptrdiff_t>(length));
        data_.erase(data_.begin(), data_.begin() + 1 + static_cast<std::ptrdiff_t>(length));
        return reply;
    }
    bool empty() const { return data_.empty(); }

private:
    std::deque<std::uint8_t> data_;
};

class ReplayPort final : public SerialPort {
public:
    explicit ReplayPort(ReplayLine& line) : line_(line) {}
    bool open(const std::string&) override { return true; }
    bool configure(std::uint32_t, const LineSettings&, const PortTimeouts&) override { return true; }
    bool write(ByteSpan bytes, std::size_t& written) override {
        const std::vector<std::uint8_t> reply = line_.next();
        pending_.assign(reply.begin(), reply.end());
        written = bytes.size();
        return true;
    }
    bool read(MutableByteSpan buffer, std::size_t& received, const ReadCompletion&) override {
        received = std::min(buffer.size(), pending_.size());
        std::copy_n(pending_.begin(), received, buffer.begin());
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(received));
        return true;
    }
    void pause(std::chrono::milliseconds) override {}
    void close() override {}
    PortError lastError() const override { return {110, "timed out"}; }

private:
    ReplayLine& line_;
    std::deque<std::uint8_t> pending_;
};

class ReplayPorts final : public SerialPortFactory {
public:
    explicit ReplayPorts(ReplayLine& line) : line_(line) {}
    std::unique_ptr<SerialPort> create() override { return std::make_unique<ReplayPort>(line_); }

private:
    ReplayLine& line_;
};

void RunEveryCommand(DeviceSession& s, const ReplayLine& line) {
    const RouteBlock r{1, 0xF0, 0x80, 40, 0xF0, 0x40};
    const std::function<void()> commands[] = {
        [&] { s.SendEmptyCommand(r); },
        [&] { s.ReadIdentity(r, 0x40); },
        [&] { s.ReadSensorInfoP1(r); },
        [&] { s.ReadSensorInfoP2(r); },
        [&] { s.ReadDescription(r, 0x40); },
        [&] { s.ReadTagAndAsset(r, 0x40); },
        [&] { s.ReadManufacturingRecord(r, 0x40); },
        [&] { s.ReadManufacturingLimits(r); },
        [&] { s.ReadEngineeringUnits(true, true, true, true, r); },
        [&] { s.WriteEngineeringUnits(true, true, true, r); },
        [&] { s.ReadMeasurements(true, true, true, true, r, true, 1, 0); },
        [&] { s.ReadMeasurementsForOutput(true, true, false, true, r, false, 0, 1); },
        [&] { s.ReadOutputKind(r); },
        [&] { s.ZeroChannels(true, true, true, r); },
        [&] { s.StartRecalibration(r); },
        [&] { s.ReadCalibrationPoint(r); },
        [&] { s.SaveCalibrationPoint(r); },
        [&] { s.FinishRecalibration(r); },
        [&] { s.ReadSensorRange(true, true, true, true, r); },
        [&] { s.ReadMemoryBlock(r, 0); },
        [&] { s.ReadLowerRangeValue(r); },
        [&] { s.ReadDampingTimeP1(r); },
        [&] { s.WriteDampingTimeP1(r); },
        [&] { s.ReadDeviceStrings(r, 0x28); },
        [&] { s.ReadFirmwareVersion(r); },
        [&] { s.WriteNetworkAddress(r, 12, 0x28); },
        [&] { s.ReadLogFileCount(r); },
        [&] { s.ReadLogDirectory(r, 1); },
        [&] { s.ReadLogBlock(r, 1); },
        [&] { s.ReadIdentityAtAddress(); },
        [&] { s.ReadDeviceKind(r); },
        [&] { s.FindDeviceOnPorts(r); },
    };
    for (const auto& command : commands) {
        if (line.empty()) return;
        command();
    }
}

}  // namespace
}  // namespace corvel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace corvel;
    ReplayLine line(data, size);
    ReplayPorts ports(line);
    OwnedLinkContext link;
    DeviceSession session(link.with(ports));
    RunEveryCommand(session, line);
    return 0;
}
