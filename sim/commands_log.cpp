// The data log commands of the two-module models: log state (class 0x09),
// log files (class 0x51) and log blocks (class 0x52). Reply payloads:
//   log state        0 state result (0)                                (1 byte)
//   file count       0 count, or 'W' while collecting data             (18 bytes)
//   directory entry  0 position  4 file name (14)  18 first 120 bytes  (138 bytes)
//   open/close/erase 0 file number                                     (18 bytes)
//   block            0 file number  2 0x80 when another block follows
//                    8 the 128 data bytes                              (136 bytes)
// Models without a log store answer 0x10; a block of a file not open 0x15.

#include "sim/commands.h"

namespace corvel::sim {
namespace {

constexpr std::uint8_t kLogState = 0x8F;
constexpr std::uint8_t kDirectory = 0x41;
constexpr std::uint8_t kOpen = 0x42;
constexpr std::uint8_t kClose = 0x44;
constexpr std::uint8_t kEraseAll = 0xC5;
constexpr std::uint8_t kCountRequest = 0xFF;
constexpr std::uint8_t kCollecting = 'W';
constexpr std::uint8_t kAnotherBlock = 0x80;
constexpr std::uint8_t kStatusNotInThisMode = 0x15;
constexpr std::size_t kFileNameField = 14;

Reply Short(std::uint8_t first) {
    Bytes payload(18, 0);
    payload[0] = first;
    return {kStatusGood, payload};
}

Reply DirectoryEntry(LogStore& store, std::uint8_t position) {
    Bytes payload(18 + kLogDirectoryPreview, 0);
    payload[0] = position;
    if (const StoredLogFile* file = store.file(position)) {
        PutText(payload, 4, kFileNameField - 1, file->name);
        for (std::size_t i = 0; i < kLogDirectoryPreview && i < file->bytes.size(); ++i) payload[18 + i] = file->bytes[i];
    }
    return {kStatusGood, payload};
}

Reply FileCommand(const CommandContext& c, LogStore& store) {
    const std::uint8_t argument = c.payloadByte(0);
    switch (c.request.command2) {
    case kDirectory:
        if (argument == kCountRequest)
            return Short(store.collecting ? kCollecting : static_cast<std::uint8_t>(store.count()));
        return DirectoryEntry(store, argument);
    case kOpen: return store.open(argument) ? Short(argument) : StatusOnly(kStatusUnknownCommand2);
    case kClose: return store.close(argument) ? Short(argument) : StatusOnly(kStatusNotInThisMode);
    case kEraseAll:
        if (argument != kCountRequest) return StatusOnly(kStatusUnknownCommand2);
        store.eraseAll();
        return Short(argument);
    default: return StatusOnly(kStatusUnknownCommand2);
    }
}

}  // namespace

Reply AnswerLogState(const CommandContext& c) {
    LogStore* store = c.device.logStore();
    if (!store) return StatusOnly(kStatusUnknownCommand1);
    if (c.request.command2 != kLogState) return StatusOnly(kStatusUnknownCommand2);
    store->state = c.payloadByte(0);
    return {kStatusGood, Bytes(1, 0)};
}

Reply AnswerLogFiles(const CommandContext& c) {
    LogStore* store = c.device.logStore();
    if (!store) return StatusOnly(kStatusUnknownCommand1);
    return FileCommand(c, *store);
}

Reply AnswerLogBlock(const CommandContext& c) {
    LogStore* store = c.device.logStore();
    if (!store) return StatusOnly(kStatusUnknownCommand1);
    if (c.request.command2 != 0) return StatusOnly(kStatusUnknownCommand2);
    if (c.payloadByte(0) != kLogBlockSize) return StatusOnly(kStatusUnknownCommand2);
    const std::uint8_t number = c.payloadByte(1);
    const std::optional<LogBlock> block = store->nextBlock(number);
    if (!block) return StatusOnly(kStatusNotInThisMode);
    ++c.device.logBlocksServed;
    Bytes payload(8, 0);
    payload[0] = number;
    payload[2] = block->anotherFollows ? kAnotherBlock : 0;
    payload.insert(payload.end(), block->data.begin(), block->data.end());
    return {kStatusGood, payload};
}

}  // namespace corvel::sim
