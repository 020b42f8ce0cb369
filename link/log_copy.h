#pragma once
// Copies one log file from the transmitter's log store to a file on the PC.
//
// Logging is held (log state 255) for the copy and released (0) after it,
// whatever the outcome; the file is opened, read block by block until the
// transmitter itself says no more blocks follow, and closed. The transmitter
// serves blocks in sequence and cannot send one again, so a block that fails
// ends that attempt: the file is closed, logging released, and the copy starts
// again from the first block, up to two more times.
//
// The blocks go to a new file beside the target, which is renamed over the
// target only when the copy is complete: a failed or stopped copy leaves the
// target as it was. A target that exists and is not a regular file is refused.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "link/device_session.h"
#include "link/log_directory.h"

namespace corvel {

inline constexpr int kLogCopyAttempts = 3;

struct LogCopyProgress {
    std::size_t blocks = 0;  // received in this attempt
    std::size_t estimatedBlocks = 1;
    int attempt = 1;
    // Estimate of the time left; nothing before the first block.
    std::optional<std::chrono::seconds> remaining;

    std::uint64_t bytes() const { return static_cast<std::uint64_t>(blocks) * kLogBlockBytes; }
    // Percent of the estimate, never below 1 and held at 100 when the log
    // turns out longer than estimated.
    int percent() const;
};

// Called before the first block and after every block; false stops the copy.
using LogCopyObserver = std::function<bool(const LogCopyProgress&)>;

struct LogCopyRequest {
    RouteBlock storeRoute;  // to the log store (kLogStoreModule)
    RouteBlock stateRoute;  // to the log state (kLogStateModule)
    std::uint8_t fileNumber = 0;
    std::size_t estimatedBlocks = 1;
};

struct LogCopyResult {
    enum class Outcome { Complete, Failed, Stopped, TargetRefused };
    Outcome outcome = Outcome::Failed;
    std::string failure;  // what went wrong, in the operator's words
    std::uint64_t bytes = 0;
    int attempts = 0;

    bool complete() const { return outcome == Outcome::Complete; }
};

// Why `target` cannot receive a copy or a converted file, or nothing when it can.
std::optional<std::string> LogTargetProblem(const std::filesystem::path& target);

// The time left at the pace so far: `elapsed` for `blocks` of `estimatedBlocks`.
std::optional<std::chrono::seconds> RemainingCopyTime(std::chrono::steady_clock::duration elapsed, std::size_t blocks,
                                                      std::size_t estimatedBlocks);

LogCopyResult CopyLogFile(DeviceSession& session, const LogCopyRequest& request, const std::filesystem::path& target,
                          const LogCopyObserver& observer = {});

}  // namespace corvel
