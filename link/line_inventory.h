#pragma once
// The line inventory: every transmitter on the serial ports (USB, RS-232) or at
// the network addresses of one RS-485 line, each with what identifies it. It
// offers nothing to the operator; it lists what answers.
//
// An address that stays silent costs only the wire time of the probe and of
// the reply's first part at the line's baud rate plus a turnaround allowance
// (20 ms unless set, and at least the longest turnaround measured on a
// transmitter found so far). A partial or damaged reply gets one more probe
// with the exchange's own time-outs; a thorough inventory uses those
// throughout.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "link/device_session.h"

namespace corvel {

// A transmitter found. The texts are as the transmitter sent them (Windows-1252).
struct InventoryEntry {
    std::string portName;  // the open name
    std::uint8_t networkAddress = 0;
    std::uint8_t module = 0;  // the module that answered the probe
    std::string modelCode;
    std::string modelName;
    std::string serialNumber;
    std::string firmwareVersion;
    std::string tag;
    bool p2Present = false;
    SensorInfo p1;
    SensorInfo p2;
};

enum class InventoryWalk { Ports, Addresses };

inline constexpr std::chrono::milliseconds kDefaultTurnaroundAllowance{20};

struct InventoryPlan {
    InventoryWalk walk = InventoryWalk::Addresses;
    std::string portName = "COM1";  // the line whose addresses are walked
    std::uint32_t baudRate = 115200;
    // Network addresses of an address walk, port numbers of a port walk.
    int first = 1;
    int last = 254;
    bool thorough = false;
    std::chrono::milliseconds turnaroundAllowance = kDefaultTurnaroundAllowance;
};

struct InventoryProgress {
    int done = 0;
    int left = 0;
    std::chrono::milliseconds timeLeft{0};  // estimated from the pace so far
};

// Hears of each transmitter as it is found and of the progress after each
// probe; asked before each probe whether the operator cancelled.
class InventoryObserver {
public:
    virtual ~InventoryObserver() = default;
    virtual void found(const InventoryEntry& /*entry*/) {}
    virtual void progress(const InventoryProgress& /*progress*/) {}
    virtual bool cancelled() const { return false; }
};

// The time the inventory paces itself by: the steady clock, or a simulated one.
using InventoryClock = std::function<std::chrono::microseconds()>;
InventoryClock SteadyInventoryClock();

// Wire time of `bytes` bytes at 10 bits a byte.
std::chrono::microseconds WireTime(std::size_t bytes, std::uint32_t baudRate);
// How long a probe waits for the first part of a reply.
std::chrono::milliseconds ProbeWait(std::uint32_t baudRate, std::chrono::milliseconds turnaround);

class LineInventory {
public:
    // The session's CommSettings get the port and baud rate of each probe.
    LineInventory(DeviceSession& session, InventoryClock clock) : session_(session), clock_(std::move(clock)) {}

    // Everything found, in the order of the walk; ends early when cancelled.
    std::vector<InventoryEntry> run(const InventoryPlan& plan, InventoryObserver& observer);
    bool cancelled() const { return cancelled_; }
    // The turnaround allowance as the run left it.
    std::chrono::milliseconds turnaround() const { return turnaround_; }

private:
    enum class Answer { Silent, Answered, Unclear };

    bool probe(const InventoryPlan& plan, int step, InventoryEntry& entry);
    Answer ask(const InventoryPlan& plan, int step, bool quick, FrameBuffer& reply);
    bool takeAnswer(const InventoryPlan& plan, int step, const FrameBuffer& reply, InventoryEntry& entry) const;
    void measureTurnaround(std::chrono::microseconds elapsed, const FrameBuffer& reply);
    void identify(InventoryEntry& entry);
    InventoryProgress progressAfter(int done, int left, std::chrono::microseconds started) const;

    DeviceSession& session_;
    InventoryClock clock_;
    std::chrono::milliseconds turnaround_ = kDefaultTurnaroundAllowance;
    bool cancelled_ = false;
};

}  // namespace corvel
