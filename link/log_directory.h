#pragma once
// The list of log files a two-module transmitter keeps: directory positions
// 1, 2, 3, ... are read until a file name is empty or repeats one read
// before. A listed file is opened by its directory position.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "link/device_session.h"

namespace corvel {

inline constexpr std::size_t kLogBlockBytes = 128;

struct LogDirectoryEntry {
    std::uint8_t fileNumber = 0;  // the directory position
    std::string fileName;
    std::string logName;
    std::string startTime;  // "dd/dd/yyyy hh:mm:ss" in the file header's order
    std::uint32_t samples = 0;
    int modules = 0;

    // The blocks the file should take: 20 bytes per sample and module in
    // 128-byte blocks, and two more for the headers. Never 0.
    std::size_t estimatedBlocks() const;
};

struct LogDirectory {
    // Rejected: a reply did not come. Interrupted: a reply carried a non-zero
    // status, which the link has shown the operator; the entries read before
    // it are kept.
    enum class Outcome { Listed, Collecting, Rejected, Interrupted };
    Outcome outcome = Outcome::Listed;
    // Why the directory could not be read (Rejected, Interrupted): the session's status text.
    std::string failure;
    std::vector<LogDirectoryEntry> entries;  // in directory order
};

// Reads the file count and the directory through the route to the log store.
LogDirectory ReadLogDirectoryEntries(DeviceSession& session, const RouteBlock& storeRoute);

// "%02d/%02d/%04d %02d:%02d:%02d" of the start-time bytes of a log file
// header: year (u16), first and second date fields, reserved, hour, minute, second.
std::string LogStartTimeText(const std::array<std::uint8_t, 8>& bytes);

}  // namespace corvel
