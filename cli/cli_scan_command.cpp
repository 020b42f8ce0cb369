// scan: find transmitters over the serial ports (USB, RS-232) or over the
// network addresses of an RS-485 line.

#include <ostream>
#include <string>

#include "cli/cli_commands.h"
#include "link/port_names.h"
#include "cli/tool_session.h"
#include "link/windows1252.h"

namespace corvel::cli {

namespace {

constexpr std::uint8_t kLastNetworkAddress = 254;

Record FoundRecord(ToolSession& tool) {
    DeviceSession& device = tool.device();
    Record record;
    record.add("port", PortDisplayNameOf(tool.comm().portName))
        .add("network_address", static_cast<int>(device.discovery.foundNetworkAddress))
        .add("module", static_cast<int>(device.discovery.foundModuleNumber))
        .add("version", Windows1252ToUtf8(device.versionText));
    return record;
}

// Every port from COM1 on; each answering transmitter is reported once.
int ScanPorts(const CommandCall& call) {
    ToolSession tool(call);
    Output& output = call.output;
    DeviceSession& device = tool.device();
    device.discovery.portCounter = kFirstPort;
    device.SelectPortByNumber(kFirstPort);
    const RouteBlock route = tool.route(kPressureModule);
    int found = 0;
    while (device.FindDeviceOnPorts(route)) {
        output.emit(FoundRecord(tool));
        ++found;
        if (device.discovery.scanFinished || device.discovery.portCounter >= kLastPort) break;
        ++device.discovery.portCounter;
        device.SelectPortByNumber(device.discovery.portCounter);
    }
    return found;
}

// "Scanning COM2: address 17, 1 found" on one terminal line, rewritten as
// the scan moves on; nothing when the error stream is no terminal.
class AddressScanLine {
public:
    AddressScanLine(std::ostream& err, bool shown, std::string port) : err_(err), shown_(shown), port_(std::move(port)) {}
    ~AddressScanLine() {
        if (drawn_) err_ << '\n';
    }
    // Request header byte 4 carries the network address it is sent to.
    TraceSink watcher() {
        if (!shown_) return {};
        return [this](TraceDirection direction, ByteSpan bytes, std::chrono::steady_clock::time_point) {
            if (direction == TraceDirection::Out && bytes.size() > offset::kHeaderRoute3)
                draw(bytes[offset::kHeaderRoute3]);
        };
    }
    void countFound() { ++found_; }

private:
    void draw(int address) {
        err_ << "\rScanning " << port_ << ": address " << address << ", " << found_ << " found   " << std::flush;
        drawn_ = true;
    }

    std::ostream& err_;
    bool shown_;
    std::string port_;
    int found_ = 0;
    bool drawn_ = false;
};

// Every network address from `from` to 254 on the line.
int ScanAddresses(const CommandCall& call, std::uint8_t from) {
    AddressScanLine progress(call.environment.err, call.environment.progressOnTerminal,
                             PortDisplayNameOf(PortArgumentOpenName(call.options.port)));
    ToolSession tool(call, progress.watcher());
    DeviceSession& device = tool.device();
    int found = 0;
    for (;;) {
        const std::uint8_t networkAddress = device.ScanNetworkAddresses(from);
        if (networkAddress == 0) break;
        device.ReadIdentityAtAddress();
        call.output.emit(FoundRecord(tool));
        progress.countFound();
        ++found;
        if (networkAddress >= kLastNetworkAddress) break;
        from = device.discovery.nextStartAddress;
    }
    return found;
}

void RunScan(CommandCall& call) {
    const bool rs485 = call.args.flag("--rs485");
    const auto from = call.args.value("--from");
    if (from && !rs485) throw UsageError("--from belongs to an RS-485 scan (--rs485)");
    const auto start = static_cast<std::uint8_t>(from ? ParseInteger(*from, 1, 254, "--from") : 1);
    const int found = rs485 ? ScanAddresses(call, start) : ScanPorts(call);
    if (found == 0) throw OperationError("No device found");
}

}  // namespace

void AddScanCommand(CommandLine& commandLine) {
    CLI::App& scan = commandLine.addCommand(
        commandLine.tool(), "scan",
        "Finds transmitters: on every serial port COM1..COM100 (USB, RS-232), or with --rs485 at\n"
        "every network address from A (default 1) to 254 on the port of --port.",
        RunScan);
    scan.add_flag("--rs485")->description("try the network addresses of an RS-485 line instead of the ports");
    scan.add_option("--from", "the first network address to try (default 1)")->option_text("A");
}

}  // namespace corvel::cli
