#include "sim/log_store.h"

#include <algorithm>

namespace corvel::sim {

void LogStore::eraseAll() {
    files_.clear();
    openFile_ = 0;
}

const StoredLogFile* LogStore::file(std::size_t number) const {
    return number >= 1 && number <= files_.size() ? &files_[number - 1] : nullptr;
}

bool LogStore::open(std::size_t number) {
    if (!file(number)) return false;
    openFile_ = number;
    nextOffset_ = 0;
    return true;
}

bool LogStore::close(std::size_t number) {
    if (openFile_ != number || number == 0) return false;
    openFile_ = 0;
    return true;
}

std::optional<LogBlock> LogStore::nextBlock(std::size_t number) {
    if (openFile_ == 0 || openFile_ != number) return std::nullopt;
    const std::vector<std::uint8_t>& bytes = files_[openFile_ - 1].bytes;
    LogBlock block{std::vector<std::uint8_t>(kLogBlockSize, 0), false};
    const std::size_t start = std::min(nextOffset_, bytes.size());
    const std::size_t end = std::min(start + kLogBlockSize, bytes.size());
    std::copy(bytes.begin() + static_cast<std::ptrdiff_t>(start), bytes.begin() + static_cast<std::ptrdiff_t>(end),
              block.data.begin());
    nextOffset_ = start + kLogBlockSize;
    block.anotherFollows = nextOffset_ < bytes.size();
    return block;
}

}  // namespace corvel::sim
