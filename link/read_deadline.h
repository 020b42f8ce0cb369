#pragma once
// When a read gives up: the total time-out (per requested byte plus a
// constant) bounds the whole read and is all the first byte may wait; once a
// byte has arrived, the next must follow within the interval time-out.

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>

#include "link/serial_port.h"

namespace corvel {

inline std::chrono::milliseconds TotalTimeout(std::uint32_t perByteMs, std::uint32_t constantMs, std::size_t count) {
    return std::chrono::milliseconds(static_cast<std::int64_t>(perByteMs) * static_cast<std::int64_t>(count) +
                                     constantMs);
}

template <typename TimePoint>
TimePoint ReadDeadline(const PortTimeouts& timeouts, std::size_t requested, TimePoint started, std::size_t received,
                       TimePoint lastByte) {
    const TimePoint total = started + TotalTimeout(timeouts.readTotalPerByteMs, timeouts.readTotalConstantMs, requested);
    if (received == 0) return total;
    return std::min(total, lastByte + std::chrono::milliseconds(timeouts.readIntervalMs));
}

}  // namespace corvel
