#pragma once
// The device link as corvelctl uses it: its own CommSettings, an in-memory
// settings store, its own shared device values and one DeviceSession, all
// set up from the command-line options. With --trace every port the session
// opens reports its bytes to the error stream.

#include <memory>
#include <ostream>
#include <string>

#include "cli/cli_arguments.h"
#include "cli/cli_commands.h"
#include "app/comm_settings.h"
#include "link/device_addresses.h"
#include "link/device_session.h"
#include "link/notifier.h"
#include "link/serial_trace.h"
#include "link/shared_device_values.h"
#include "app/stored_settings.h"

namespace corvel::cli {

// The link's message boxes become lines on the error stream, except its bare
// "error 16" of a refused log command: the command's own failure line names
// the transmitter's status in words.
class StreamNotifier final : public Notifier {
public:
    explicit StreamNotifier(std::ostream& err) : err_(err) {}
    void showMessage(const std::string& text) override;

private:
    std::ostream& err_;
};

// The open name of a port argument: "COM1".."COM100" (any case) follow the
// port numbering of the link; any other name (a device path) is used as given.
std::string PortArgumentOpenName(const std::string& port);

class ToolSession {
public:
    // `watcher` sees every exchange's bytes as --trace does (for a progress
    // display), beside the trace when both are wanted.
    explicit ToolSession(const CommandCall& call, TraceSink watcher = {});
    ToolSession(const ToolSession&) = delete;
    ToolSession& operator=(const ToolSession&) = delete;

    DeviceSession& device() { return session_; }
    CommSettings& comm() { return comm_; }
    std::uint8_t address() const { return address_; }

    // The route to `module` of the transmitter at the chosen address.
    RouteBlock route(std::uint8_t module) const;

    // Throws OperationError when `ok` is false: what failed in the
    // technician's words, then the link's status text (see fail).
    void require(bool ok, const std::string& what) const;
    // A port that would not open is named with its device ("cannot open COM9
    // (/dev/ttyUSB3): ..."); a silent line says "no reply from the transmitter
    // at address 12 on COM5 (timed out)" instead of the status text.
    [[noreturn]] void fail(const std::string& what) const;

    // "at address 12 on COM5"
    std::string placeText() const;
    // "the transmitter at address 12 on COM5"
    std::string transmitterText() const { return "the transmitter " + placeText(); }

private:
    std::string portText() const;

    std::function<std::optional<std::string>(const std::string&)> deviceOf_;
    CommSettings comm_;
    MemoryStoredSettings store_;
    SharedDeviceValues shared_;
    StreamNotifier notifier_;
    std::unique_ptr<TracingSerialPortFactory> tracing_;  // only with --trace
    DeviceSession session_;
    std::uint8_t address_;
    std::uint8_t sourceNetwork_;
};

}  // namespace corvel::cli
