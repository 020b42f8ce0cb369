#pragma once
// Reads a data log file front to back: the file header, the module headers,
// then the sample records. A header read fills its whole header and returns
// how many bytes the file really gave; bytes past the end of the file are
// zero, so a record read at the end has module tag 0x00.
// The file is read in chunks through a small fixed buffer, whatever its size.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <system_error>
#include <vector>

#include "common/bytes.h"
#include "datalog/file_access.h"
#include "datalog/log_file_format.h"

namespace corvel {

class LogFileReader {
public:
    LogFileReader();

    // Opens the log; returns the system's error when it cannot be opened.
    std::error_code open(const std::filesystem::path& path);

    std::size_t read(logFileHeader& header) { return readInto(header.bytes); }
    std::size_t read(moduleHeader_v0& module) { return readInto(module.bytes); }
    // The sample records that follow, as many whole ones as the read buffer
    // holds (at least one): the caller works through a chunk without a call
    // per record. A record cut by the end of the buffer is put together from
    // the next chunk. At the end of the file every call gives one record of
    // zeros (module tag 0x00); a last record cut short by the end of the file is
    // no record either: its missing bytes are not data.
    std::span<const std::uint8_t> readRecords() {
        const std::size_t whole = (end_ - begin_) / kSampleRecordSize * kSampleRecordSize;
        if (whole == 0) {
            if (readInto(assembled_) < kSampleRecordSize) assembled_.fill(0);
            return assembled_;
        }
        const std::span<const std::uint8_t> records(buffer_.data() + begin_, whole);
        begin_ += whole;
        bytesRead_ += whole;
        return records;
    }

    // True once every byte of the file has been handed out.
    bool exhausted() const { return atEnd_ && begin_ >= end_; }
    // Bytes handed out so far, and the size of the file when it was opened.
    std::uint64_t bytesRead() const { return bytesRead_; }
    std::uint64_t fileSize() const { return fileSize_; }
    // A read error other than the end of the file (the reads then give zeros).
    std::error_code error() const { return error_; }

private:
    std::size_t readInto(MutableByteSpan target);
    bool refill();

    FileHandle file_;
    std::vector<std::uint8_t> buffer_;
    std::array<std::uint8_t, kSampleRecordSize> assembled_{};  // a record cut by a chunk end
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
    std::uint64_t bytesRead_ = 0;
    std::uint64_t fileSize_ = 0;
    std::error_code error_;
};

}  // namespace corvel
