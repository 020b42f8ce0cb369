// Data log commands: log state (class 0x09), directory, open, close and erase
// (class 0x51), and block transfer (class 0x52).

#include <string>
#include <vector>

#include "link/command_exchange.h"
#include "link/device_session.h"

namespace corvel {

namespace {

constexpr std::uint8_t kLogState = 0x8F;
constexpr std::uint8_t kLogDirectory = 0x41;
constexpr std::uint8_t kLogOpen = 0x42;
constexpr std::uint8_t kLogClose = 0x44;
constexpr std::uint8_t kLogEraseAll = 0xC5;
constexpr std::uint8_t kBlockSize = 0x80;
constexpr std::uint8_t kAllFiles = 0xFF;

constexpr std::size_t kFileNameAt = 16;
constexpr std::size_t kFileStartAt = 30;  // the first 120 bytes of the log file
constexpr std::size_t kFileStartLength = 120;
constexpr std::size_t kBlockAt = 20;
constexpr std::size_t kMoreBlocksAt = 14;
constexpr std::size_t kLogNameLength = 20;

// A request of class 0x51: 16 bytes of payload, the first one given.
bool FileCommand(DeviceSession& session, const RouteBlock& route, std::uint8_t operation, std::uint8_t first,
                 std::uint8_t firstRead, FrameBuffer& reply) {
    const std::vector<std::uint8_t> payload = command::PaddedPayload({first}, 16);
    return command::Exchange(session, FrameRequest{kClassLogFiles, operation, 0, payload, route, 0}, firstRead, reply);
}

// Keeps the status of a log transfer reply; a non-zero one is shown to the
// operator at once and becomes the status text.
void ShowLogError(DeviceSession& session, bool exchanged, const FrameBuffer& reply) {
    const std::uint8_t status = exchanged ? command::ReplyStatus(reply) : 0;
    session.lastReplyStatus = status;
    if (status == 0) return;
    session.context().notifier.showMessage("error " + std::to_string(status));
    session.SetStatusText(status);
}

void DecodeDirectoryEntry(DeviceSession& session, const FrameBuffer& reply) {
    LogTransfer& entry = session.logTransfer;
    entry.logBuffer.fill(0);
    for (std::size_t i = 0; i < kFileStartLength; ++i) entry.logBuffer[i] = U8At(reply, kFileStartAt + i);
    const auto& log = entry.logBuffer;
    std::copy_n(log.begin() + 2, entry.logStartTimeBytes.size(), entry.logStartTimeBytes.begin());
    entry.logModuleCount = log[10];
    entry.logNameText = TextAt(log, 12, kLogNameLength);
    std::copy_n(log.begin() + 80, entry.logSampleCountBytes.size(), entry.logSampleCountBytes.begin());
}

}  // namespace

bool DeviceSession::ReadLogState(const RouteBlock& route, std::uint8_t value) {
    const std::uint8_t payload[] = {value};
    FrameBuffer reply;
    const bool exchanged =
        command::Exchange(*this, FrameRequest{kClassLogState, kLogState, 0, payload, route, 0}, 15, reply);
    return command::Accepted(*this, exchanged, reply) && U8At(reply, 12) == 0;
}

std::uint8_t DeviceSession::ReadLogFileCount(const RouteBlock& route) {
    FrameBuffer reply;
    const bool exchanged = FileCommand(*this, route, kLogDirectory, kAllFiles, 156, reply);
    ShowLogError(*this, exchanged, reply);
    return U8At(reply, 12);
}

std::string DeviceSession::ReadLogDirectory(const RouteBlock& route, std::uint8_t position) {
    FrameBuffer reply;
    const bool exchanged = FileCommand(*this, route, kLogDirectory, position, 156, reply);
    ShowLogError(*this, exchanged, reply);
    DecodeDirectoryEntry(*this, reply);
    return TextAt(reply, kFileNameAt, kFileStartAt - kFileNameAt);
}

bool DeviceSession::OpenLogFile(const RouteBlock& route, std::uint8_t fileNumber) {
    FrameBuffer reply;
    return FileCommand(*this, route, kLogOpen, fileNumber, 36, reply);
}

bool DeviceSession::CloseLogFile(const RouteBlock& route, std::uint8_t fileNumber) {
    FrameBuffer reply;
    return FileCommand(*this, route, kLogClose, fileNumber, 36, reply);
}

bool DeviceSession::EraseAllLogFiles(const RouteBlock& route) {
    FrameBuffer reply;
    const bool exchanged = FileCommand(*this, route, kLogEraseAll, kAllFiles, 36, reply);
    return command::Accepted(*this, exchanged, reply);
}

bool DeviceSession::ReadLogBlock(const RouteBlock& route, std::uint8_t fileNumber) {
    const std::uint8_t payload[] = {kBlockSize, fileNumber, 0, 0, 0, 0};
    FrameBuffer reply;
    logTransfer.logBlockReceived = false;
    const bool exchanged =
        command::Exchange(*this, FrameRequest{kClassLogBlock, 0x00, 0, payload, route, 0}, 154, reply);
    if (!exchanged) return false;
    const std::uint8_t status = command::ReplyStatus(reply);
    if (status != 0) {
        // A rejected block carries no data: end the transfer rather than append
        // the previous block again.
        ShowLogError(*this, exchanged, reply);
        return false;
    }
    for (std::size_t i = 0; i < logTransfer.logBuffer.size(); ++i) logTransfer.logBuffer[i] = U8At(reply, kBlockAt + i);
    logTransfer.logBlockReceived = true;
    return U8At(reply, kMoreBlocksAt) == kBlockSize;
}

}  // namespace corvel
