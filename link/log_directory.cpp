#include "link/log_directory.h"

#include <set>

namespace corvel {

namespace {

constexpr std::uint8_t kCollecting = 'W';
constexpr int kLastDirectoryPosition = 254;
constexpr std::uint64_t kBytesPerSampleAndModule = 20;
constexpr std::size_t kHeaderBlocks = 2;

std::string ZeroPadded(int value, int width) {
    std::string text = std::to_string(value);
    if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
    return text;
}

// True when the last directory reply arrived and carried a good status.
bool DirectoryReplyAccepted(const DeviceSession& session) {
    return session.lastExchangeSucceeded && session.lastReplyStatus == 0;
}

// The directory as far as it was read, ended by the last reply.
LogDirectory Ended(const DeviceSession& session, LogDirectory directory) {
    directory.outcome =
        session.lastExchangeSucceeded ? LogDirectory::Outcome::Interrupted : LogDirectory::Outcome::Rejected;
    directory.failure = session.statusText;
    return directory;
}

}  // namespace

std::size_t LogDirectoryEntry::estimatedBlocks() const {
    const std::uint64_t bytes = static_cast<std::uint64_t>(modules) * samples * kBytesPerSampleAndModule;
    return static_cast<std::size_t>(bytes / kLogBlockBytes) + kHeaderBlocks;
}

std::string LogStartTimeText(const std::array<std::uint8_t, 8>& bytes) {
    const int year = bytes[0] | (bytes[1] << 8);
    return ZeroPadded(bytes[2], 2) + "/" + ZeroPadded(bytes[3], 2) + "/" + ZeroPadded(year, 4) + " " +
           ZeroPadded(bytes[5], 2) + ":" + ZeroPadded(bytes[6], 2) + ":" + ZeroPadded(bytes[7], 2);
}

LogDirectory ReadLogDirectoryEntries(DeviceSession& session, const RouteBlock& storeRoute) {
    const std::uint8_t count = session.ReadLogFileCount(storeRoute);
    LogDirectory directory;
    if (!DirectoryReplyAccepted(session)) return Ended(session, std::move(directory));
    if (count == kCollecting) {
        directory.outcome = LogDirectory::Outcome::Collecting;
        return directory;
    }
    std::set<std::string> names;
    for (int position = 1; position <= kLastDirectoryPosition; ++position) {
        const std::string name = session.ReadLogDirectory(storeRoute, static_cast<std::uint8_t>(position));
        if (!DirectoryReplyAccepted(session)) return Ended(session, std::move(directory));
        if (name.empty() || !names.insert(name).second) break;
        const LogTransfer& entry = session.logTransfer;
        directory.entries.push_back({static_cast<std::uint8_t>(position), name, entry.logNameText,
                                     LogStartTimeText(entry.logStartTimeBytes), U32At(entry.logSampleCountBytes, 0),
                                     entry.logModuleCount});
    }
    return directory;
}

}  // namespace corvel
