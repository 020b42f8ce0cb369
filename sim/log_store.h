#pragma once
// The data log store of a two-module transmitter: the stored files, the one
// file open for reading, and the logging state. Files are numbered from 1 in
// directory order; a file is served in 128-byte blocks, the last one padded
// with zeros.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvel::sim {

inline constexpr std::size_t kLogBlockSize = 128;
inline constexpr std::size_t kLogDirectoryPreview = 120;

struct StoredLogFile {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

struct LogBlock {
    std::vector<std::uint8_t> data;  // always kLogBlockSize bytes
    bool anotherFollows = false;
};

class LogStore {
public:
    void add(StoredLogFile file) { files_.push_back(std::move(file)); }
    void eraseAll();
    std::size_t count() const { return files_.size(); }
    // The file at directory position `number` (1-based), or nullptr.
    const StoredLogFile* file(std::size_t number) const;

    bool open(std::size_t number);
    bool close(std::size_t number);
    // The next block of the open file `number`; nothing when that file is not open.
    std::optional<LogBlock> nextBlock(std::size_t number);

    // True while the transmitter is collecting data: the file count is then 'W'.
    bool collecting = false;
    // The last value of the log state command (255 holds logging for a copy, 0 releases it).
    std::uint8_t state = 0;

private:
    std::vector<StoredLogFile> files_;
    std::size_t openFile_ = 0;  // 0: none
    std::size_t nextOffset_ = 0;
};

}  // namespace corvel::sim
