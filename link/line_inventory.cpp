#include "link/line_inventory.h"

#include <algorithm>

#include "link/device_addresses.h"
#include "link/port_names.h"

namespace corvel {
namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

constexpr std::uint8_t kRecordIdentity = 0x00;
constexpr std::uint8_t kProbeFirstRead = 18;
constexpr std::size_t kProbeLength = 18;
constexpr int kBitsPerByte = 10;

// The identity request that asks who is there: at one network address of the
// line, or whoever answers on a port (route bytes 3 and 5 left 0).
RouteBlock ProbeRoute(const InventoryPlan& plan, int step) {
    if (plan.walk == InventoryWalk::Ports) return {0, 0x80, 0x80, 0, 0xF0, 0};
    return {0x80, 0x80, 0x80, static_cast<std::uint8_t>(step), 0xF0, kCommunicationModule};
}

}  // namespace

InventoryClock SteadyInventoryClock() {
    return [] {
        return std::chrono::duration_cast<microseconds>(std::chrono::steady_clock::now().time_since_epoch());
    };
}

microseconds WireTime(std::size_t bytes, std::uint32_t baudRate) {
    if (baudRate == 0) return microseconds(0);
    const auto bits = static_cast<std::uint64_t>(bytes) * kBitsPerByte * 1'000'000u;
    return microseconds(static_cast<std::int64_t>((bits + baudRate - 1) / baudRate));
}

milliseconds ProbeWait(std::uint32_t baudRate, milliseconds turnaround) {
    const microseconds wire = WireTime(kProbeLength, baudRate) + WireTime(kProbeFirstRead, baudRate);
    return std::chrono::ceil<milliseconds>(wire) + turnaround;
}

std::vector<InventoryEntry> LineInventory::run(const InventoryPlan& plan, InventoryObserver& observer) {
    cancelled_ = false;
    turnaround_ = plan.turnaroundAllowance;
    CommSettings& comm = session_.context().comm;
    comm.setBaudText(std::to_string(plan.baudRate));
    if (plan.walk == InventoryWalk::Addresses) comm.portName = plan.portName;
    std::vector<InventoryEntry> found;
    const microseconds started = clock_();
    const int total = std::max(0, plan.last - plan.first + 1);
    for (int step = plan.first; step <= plan.last; ++step) {
        InventoryEntry entry;
        if ((cancelled_ = observer.cancelled())) break;
        if (probe(plan, step, entry)) {
            if ((cancelled_ = observer.cancelled())) break;
            identify(entry);
            found.push_back(entry);
            observer.found(entry);
        }
        const int done = step - plan.first + 1;
        observer.progress(progressAfter(done, total - done, started));
    }
    return found;
}

// True when a transmitter answered at this step; `entry` then holds where it is.
bool LineInventory::probe(const InventoryPlan& plan, int step, InventoryEntry& entry) {
    if (plan.walk == InventoryWalk::Ports) session_.context().comm.portName = PortOpenName(step);
    FrameBuffer reply{};
    Answer answer = ask(plan, step, !plan.thorough, reply);
    if (answer == Answer::Unclear) answer = ask(plan, step, false, reply);
    return answer == Answer::Answered && takeAnswer(plan, step, reply, entry);
}

LineInventory::Answer LineInventory::ask(const InventoryPlan& plan, int step, bool quick, FrameBuffer& reply) {
    FrameBuffer request{};
    const FrameRequest identity{kClassInfo, 0, kRecordIdentity, {}, ProbeRoute(plan, step), 0};
    const std::size_t length = BuildFrame(request, identity);
    reply.fill(0);
    std::optional<milliseconds> wait;
    if (quick) wait = ProbeWait(plan.baudRate, turnaround_);
    const microseconds before = clock_();
    if (session_.SerialTransact(request, static_cast<std::uint8_t>(length), reply, kProbeFirstRead, wait)) {
        measureTurnaround(clock_() - before, reply);
        return Answer::Answered;
    }
    // Bytes that came too late or came to harm: ask once more, with time to spare.
    if (IsDamage(session_.replyCheck) || (session_.replyCheck == ReplyCheck::Intact && reply[0] != 0))
        return Answer::Unclear;
    return Answer::Silent;
}

// On a port, a transmitter is taken when its communication module answered
// (route byte 0 or 2 of the reply is 40); at an address, only that address's answer counts.
bool LineInventory::takeAnswer(const InventoryPlan& plan, int step, const FrameBuffer& reply,
                               InventoryEntry& entry) const {
    const RouteBlock from = FrameRoute(reply);
    if (plan.walk == InventoryWalk::Ports) {
        if (from[0] != kCommunicationModule && from[2] != kCommunicationModule) return false;
        entry.networkAddress = from[0];
        entry.module = from[2];
    } else {
        if (from[0] != step) return false;
        entry.networkAddress = from[0];
        entry.module = kCommunicationModule;
    }
    entry.portName = session_.context().comm.portName;
    return true;
}

// The time between the probe's last byte and the reply's first, beyond what
// the wire takes, sets the least allowance for the rest of the run.
void LineInventory::measureTurnaround(microseconds elapsed, const FrameBuffer& reply) {
    const std::uint32_t baud = session_.context().comm.baudRate;
    const microseconds wire = WireTime(kProbeLength, baud) + WireTime(FrameLength(reply), baud);
    turnaround_ = std::max(turnaround_, std::chrono::ceil<milliseconds>(elapsed - wire));
}

// The reads that Find Device and Device Info use; a read that fails leaves
// its field empty rather than what an earlier transmitter sent.
void LineInventory::identify(InventoryEntry& entry) {
    DeviceSession& s = session_;
    const RouteBlock route{0x80, 0xF0, 0x80, entry.networkAddress, 0xF0, kPressureModule};
    s.discovery.foundNetworkAddress = entry.networkAddress;
    if (s.ReadIdentity(route, entry.module)) {
        entry.serialNumber = s.serialNumberText;
        entry.firmwareVersion = s.versionText;
    }
    if (s.ReadDeviceStrings(route, entry.module)) {
        entry.modelCode = s.memory.modelCodeText;
        entry.modelName = s.memory.modelNameText;
    }
    if (s.ReadFirmwareVersion(route) && !s.memory.firmwareVersionText.empty())
        entry.firmwareVersion = s.memory.firmwareVersionText;
    if (s.ReadTagAndAsset(route, entry.module)) entry.tag = s.tagText;
    entry.p2Present = s.ReadDeviceKind(route) == 0;
    if (s.ReadSensorInfoP1(route)) entry.p1 = s.p1Sensor;
    if (entry.p2Present && s.ReadSensorInfoP2(route)) entry.p2 = s.p2Sensor;
}

InventoryProgress LineInventory::progressAfter(int done, int left, microseconds started) const {
    const microseconds elapsed = clock_() - started;
    const auto estimate = done > 0 ? elapsed * left / done : microseconds(0);
    return {done, left, std::chrono::ceil<milliseconds>(estimate)};
}

}  // namespace corvel
