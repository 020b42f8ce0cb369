#include "tests/datalog/simulated_log.h"

#include <algorithm>

namespace corvel::testing {

LogBuilder SimulatedPressureLog(std::int32_t samples, std::int32_t interval) {
    ModuleSpec pressure{.type = kPressureModuleKind, .mode = 0, .channels = {}};
    pressure.channels.fill({.interval = 0, .samples = 0, .units = "", .scale = 1.0f, .decimals = 2});
    for (const int channel : {0, 1})
        pressure.channels[channel] = {.interval = interval, .samples = samples, .units = "PSI", .scale = 1.0f, .decimals = 3};
    LogBuilder log;
    log.start(2026, 12, 7, 8, 0, 0).name("Simulated log").serial("SIM0001").module(pressure);
    for (std::int32_t sample = 0; sample < samples; ++sample) {
        const auto step = static_cast<float>(sample);
        log.value(kFirstModuleTag, 1, sample * interval, 14.7f + 0.01f * step)
            .value(kFirstModuleTag, 2, sample * interval, 100.0f - 0.02f * step);
    }
    return log;
}

std::vector<std::uint8_t> InWholeBlocks(std::vector<std::uint8_t> bytes) {
    constexpr std::size_t kBlockSize = 128;
    bytes.resize((bytes.size() + kBlockSize - 1) / kBlockSize * kBlockSize, 0);
    return bytes;
}

::testing::AssertionResult SameBytes(const std::vector<std::uint8_t>& got, const std::vector<std::uint8_t>& expected) {
    if (got == expected) return ::testing::AssertionSuccess();
    const std::size_t common = std::min(got.size(), expected.size());
    const auto at = static_cast<std::size_t>(
        std::mismatch(got.begin(), got.begin() + static_cast<std::ptrdiff_t>(common), expected.begin()).first -
        got.begin());
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    failure << got.size() << " bytes where " << expected.size() << " were expected";
    if (at < common) failure << "; byte " << at << " is " << int(got[at]) << " where " << int(expected[at]) << " was expected";
    return failure;
}

}  // namespace corvel::testing
