// scan: the line inventory: every transmitter on the serial ports (USB,
// RS-232) or at the network addresses of an RS-485 line.

#include <ostream>
#include <string>

#include "cli/cli_commands.h"
#include "link/line_inventory.h"
#include "link/port_names.h"
#include "cli/tool_session.h"
#include "link/windows1252.h"

namespace corvel::cli {

namespace {

constexpr int kLastNetworkAddress = 254;
constexpr long long kLongestTurnaroundMs = 10000;

Record FoundRecord(const InventoryEntry& entry) {
    Record record;
    record.add("port", PortDisplayNameOf(entry.portName))
        .add("network_address", static_cast<int>(entry.networkAddress))
        .add("module", static_cast<int>(entry.module))
        .add("model", Windows1252ToUtf8(entry.modelCode))
        .add("serial_number", Windows1252ToUtf8(entry.serialNumber))
        .add("tag", Windows1252ToUtf8(entry.tag))
        .add("version", Windows1252ToUtf8(entry.firmwareVersion));
    return record;
}

// Each transmitter is reported as soon as it is found. On a terminal an
// address scan keeps "Scanning COM2: address 17, 1 found" on one line of the
// error stream, rewritten as the scan moves on.
class ScanReport final : public InventoryObserver {
public:
    ScanReport(const CommandCall& call, bool addresses, std::string port)
        : call_(call), shown_(addresses && call.environment.progressOnTerminal), port_(std::move(port)) {}
    ~ScanReport() override {
        if (drawn_) call_.environment.err << '\n';
    }
    // Request header byte 4 carries the network address it is sent to.
    TraceSink watcher() {
        if (!shown_) return {};
        return [this](TraceDirection direction, ByteSpan bytes, std::chrono::steady_clock::time_point) {
            if (direction == TraceDirection::Out && bytes.size() > offset::kHeaderRoute3)
                draw(bytes[offset::kHeaderRoute3]);
        };
    }
    void found(const InventoryEntry& entry) override {
        call_.output.emit(FoundRecord(entry));
        ++found_;
    }

private:
    void draw(int address) {
        call_.environment.err << "\rScanning " << port_ << ": address " << address << ", " << found_ << " found   "
                              << std::flush;
        drawn_ = true;
    }

    const CommandCall& call_;
    bool shown_;
    std::string port_;
    int found_ = 0;
    bool drawn_ = false;
};

// The ports COM1..COM100, or the addresses --from..--to of the line on --port.
InventoryPlan ScanPlan(const CommandCall& call) {
    const Arguments& args = call.args;
    const bool rs485 = args.flag("--rs485");
    const auto from = args.value("--from");
    const auto to = args.value("--to");
    if ((from || to) && !rs485) throw UsageError("--from and --to belong to an RS-485 scan (--rs485)");
    InventoryPlan plan;
    plan.baudRate = call.options.baudRate;
    plan.thorough = args.flag("--thorough");
    if (const auto turnaround = args.value("--turnaround"))
        plan.turnaroundAllowance =
            std::chrono::milliseconds(ParseInteger(*turnaround, 0, kLongestTurnaroundMs, "--turnaround"));
    if (!rs485) {
        plan.walk = InventoryWalk::Ports;
        plan.first = kFirstPort;
        plan.last = kLastPort;
        return plan;
    }
    plan.portName = PortArgumentOpenName(call.options.port);
    plan.first = static_cast<int>(from ? ParseInteger(*from, 1, kLastNetworkAddress, "--from") : 1);
    plan.last = static_cast<int>(to ? ParseInteger(*to, 1, kLastNetworkAddress, "--to") : kLastNetworkAddress);
    if (plan.first > plan.last) throw UsageError("--from must not be above --to");
    return plan;
}

void RunScan(CommandCall& call) {
    const InventoryPlan plan = ScanPlan(call);
    ScanReport report(call, plan.walk == InventoryWalk::Addresses, PortDisplayNameOf(plan.portName));
    ToolSession tool(call, report.watcher());
    LineInventory inventory(tool.device(), SteadyInventoryClock());
    if (inventory.run(plan, report).empty()) throw OperationError("No device found");
}

}  // namespace

void AddScanCommand(CommandLine& commandLine) {
    CLI::App& scan = commandLine.addCommand(
        commandLine.tool(), "scan",
        "Lists every transmitter with its model, serial number, tag and version: on the serial\n"
        "ports COM1..COM100 (USB, RS-232), or with --rs485 at the network addresses A to B\n"
        "(default 1 to 254) on the port of --port. A silent address costs only the wire time\n"
        "at the baud rate plus a turnaround allowance; --thorough waits the full time-outs.",
        RunScan);
    scan.add_flag("--rs485")->description("try the network addresses of an RS-485 line instead of the ports");
    scan.add_option("--from", "the first network address to try (default 1)")->option_text("A");
    scan.add_option("--to", "the last network address to try (default 254)")->option_text("B");
    scan.add_flag("--thorough")->description("wait the full time-outs at every address or port (slower)");
    scan.add_option("--turnaround", "the least time a transmitter is given to start its reply (default 20)")
        ->option_text("MS");
}

}  // namespace corvel::cli
