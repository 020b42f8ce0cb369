// scan: find transmitters over the serial ports (USB, RS-232) or over the
// network addresses of an RS-485 line.

#include <string>

#include "cli_commands.h"
#include "port_names.h"
#include "tool_session.h"

namespace corvel::cli {

namespace {

Record FoundRecord(ToolSession& tool) {
    DeviceSession& device = tool.device();
    Record record;
    record.add("port", PortDisplayNameOf(tool.comm().portName))
        .add("network_address", static_cast<int>(device.foundNetworkAddress))
        .add("module", static_cast<int>(device.foundModuleNumber))
        .add("version", device.versionText);
    return record;
}

// Every port from COM1 on; each answering transmitter is reported once.
int ScanPorts(ToolSession& tool, Output& output) {
    DeviceSession& device = tool.device();
    device.portCounter = kFirstPort;
    device.SelectPortByNumber(kFirstPort);
    const RouteBlock route = tool.route(kPressureModule);
    int found = 0;
    while (device.FindDeviceOnPorts(route)) {
        output.emit(FoundRecord(tool));
        ++found;
        if (device.scanFinished || device.portCounter >= kLastPort) break;
        ++device.portCounter;
        device.SelectPortByNumber(device.portCounter);
    }
    return found;
}

// Every network address from `from` to 254 on the line.
int ScanAddresses(ToolSession& tool, Output& output, std::uint8_t from) {
    DeviceSession& device = tool.device();
    int found = 0;
    while (from != 0) {
        const std::uint8_t networkAddress = device.ScanNetworkAddresses(from);
        if (networkAddress == 0) break;
        device.ReadIdentityAtAddress();
        output.emit(FoundRecord(tool));
        ++found;
        from = device.nextStartAddress;
    }
    return found;
}

}  // namespace

void RunScan(CommandCall& call) {
    const bool rs485 = call.args.takeFlag("--rs485");
    const auto from = call.args.takeValue("--from");
    call.args.finish();
    if (from && !rs485) throw UsageError("--from belongs to an RS-485 scan (--rs485)");
    const auto start = static_cast<std::uint8_t>(from ? ParseInteger(*from, 1, 254, "--from") : 1);
    ToolSession tool(call.options, call.environment.ports, call.environment.err);
    const int found = rs485 ? ScanAddresses(tool, call.output, start) : ScanPorts(tool, call.output);
    if (found == 0) throw OperationError("No device found");
}

}  // namespace corvel::cli
