// Feeds arbitrary bytes to a line of simulated transmitters, once as they
// come (framing, CRC check, partial frames) and once as the payload of a
// sealed request whose command bytes and module come from the input, so that
// every command answer meets malformed payloads.
#include <cstddef>
#include <cstdint>

#include "link/device_addresses.h"
#include "sim/line.h"

namespace {

void Populate(corvel::sim::SimLine& line) {
    std::uint8_t address = 40;
    for (const char* model : {"4402", "4400", "440D", "Q712"}) {
        corvel::sim::DeviceConfig config = *corvel::sim::ModelConfig(model);
        config.address = address++;
        line.add(config);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    corvel::sim::SimLine line;
    Populate(line);
    const corvel::ByteSpan bytes(data, size);
    line.hear(bytes, 1.0);
    line.quiet();

    if (size < 5) return 0;
    corvel::FrameBuffer frame;
    const std::uint8_t modules[] = {corvel::kPressureModule, corvel::kSecondModule,   corvel::kOutputModule,
                                    corvel::kLogStoreModule, corvel::kLogStateModule, corvel::kCommunicationModule,
                                    0x00};
    const corvel::RouteBlock route{0x80, 0xF0, 0x80, static_cast<std::uint8_t>(40 + data[3] % 4), 0xF0,
                                   modules[data[4] % sizeof modules]};
    const std::size_t length =
        corvel::BuildFrame(frame, {.command1 = data[0], .command2 = data[1], .command3 = data[2],
                                   .payload = bytes.subspan(5), .route = route});
    // Twice, so that state left by the first answer (open files, a running
    // recalibration, a changed address) meets the second.
    line.hear(corvel::ByteSpan(frame.data(), length), 2.0);
    line.hear(corvel::ByteSpan(frame.data(), length), 3.0);
    return 0;
}
