// The line inventory over a pseudo-terminal, against the simulator keeping the
// pace of a real line: three transmitters at addresses 5, 77 and 200, wire
// time at the baud rate and a 3 ms turnaround. Walks addresses 1-254 with the
// short wait and then with the exchange's own time-outs (thorough), at 115200
// and at 9600 baud. Prints the time of each, what was found, and the ratio to
// the physical floor: every byte that crossed the wire at 10 bits a byte (the
// 254 probes and the identification exchanges of the three found).
//
//   bench_inventory [--fast-only]

#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "link/line_inventory.h"
#include "link/owned_link_context.h"
#include "link/serial_port_posix.h"
#include "link/serial_trace.h"
#include "sim/device_config.h"
#include "sim/pty_server.h"

namespace corvel {
namespace {

constexpr int kCom = 6;
constexpr int kAddresses[] = {5, 77, 200};

std::string Fixed(double value, int decimals) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals).ptr;
    return std::string(text, end);
}

struct Measured {
    double seconds = 0.0;
    double floorSeconds = 0.0;
    std::string found;
};

Measured Walk(std::uint32_t baudRate, bool thorough) {
    std::size_t wireBytes = 0;
    PosixSerialPortFactory system;
    TracingSerialPortFactory ports(system, [&](TraceDirection direction, ByteSpan bytes, auto) {
        if (direction != TraceDirection::Remark) wireBytes += bytes.size();
    });
    OwnedLinkContext link;
    DeviceSession session(link.with(ports));
    LineInventory inventory(session, SteadyInventoryClock());
    InventoryObserver quiet;
    const InventoryPlan plan{.portName = "COM" + std::to_string(kCom), .baudRate = baudRate, .thorough = thorough};
    const auto start = std::chrono::steady_clock::now();
    const auto entries = inventory.run(plan, quiet);
    Measured measured;
    measured.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    measured.floorSeconds = static_cast<double>(wireBytes) * 10.0 / baudRate;
    for (const InventoryEntry& entry : entries)
        measured.found +=
            std::to_string(entry.networkAddress) + " " + entry.modelCode + " " + entry.serialNumber + "; ";
    return measured;
}

int Run(bool fastOnly) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("bench-inventory-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    ::setenv("CORVEL_PORT_DIR", folder.c_str(), 1);
    int status = 0;
    for (const std::uint32_t baudRate : {115200u, 9600u}) {
        sim::PtyServer server;
        for (const int address : kAddresses) {
            sim::DeviceConfig config = *sim::ModelConfig(address == 77 ? "440D" : "4402");
            config.address = static_cast<std::uint8_t>(address);
            config.serialNumber = "BENCH-" + std::to_string(address);
            server.line().add(config);
        }
        server.line().timing = {true, baudRate, std::chrono::milliseconds(3), std::chrono::milliseconds(50)};
        if (const auto error = server.start(folder, kCom)) {
            std::fprintf(stderr, "cannot start the simulator: %s\n", error->c_str());
            return 1;
        }
        for (const bool thorough : {false, true}) {
            if (thorough && fastOnly) continue;
            const Measured m = Walk(baudRate, thorough);
            std::printf("%6u baud, %-9s 1-254: %s s, floor %s s, ratio %s; found %s\n", baudRate,
                        thorough ? "thorough" : "fast", Fixed(m.seconds, 2).c_str(), Fixed(m.floorSeconds, 2).c_str(),
                        Fixed(m.seconds / m.floorSeconds, 1).c_str(), m.found.c_str());
            if (baudRate == 115200 && !thorough && m.seconds > 8.0) status = 1;
        }
        server.stop();
    }
    std::filesystem::remove_all(folder);
    std::printf("target: the fast walk at 115200 baud in at most 8 s, all three found\n");
    return status;
}

}  // namespace
}  // namespace corvel

int main(int argc, char** argv) {
    const bool fastOnly = argc > 1 && std::string(argv[1]) == "--fast-only";
    return corvel::Run(fastOnly);
}
