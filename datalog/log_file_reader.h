#pragma once
// Reads a data log file front to back: the file header, the module headers,
// then one sample record after another. Every read fills its whole record and
// returns how many bytes the file really gave; bytes past the end of the file
// are zero, so a read at the end gives a record with module tag 0x00.
// The file is read in chunks through a small fixed buffer, whatever its size.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "bytes.h"
#include "file_access.h"
#include "log_file_format.h"

namespace corvel {

class LogFileReader {
public:
    LogFileReader();

    // Opens the log; returns the system's error when it cannot be opened.
    std::error_code open(const std::filesystem::path& path);

    std::size_t read(logFileHeader& header) { return readInto(header.bytes); }
    std::size_t read(moduleHeader_v0& module) { return readInto(module.bytes); }
    std::size_t read(sampleRecord& record) {
        if (end_ - begin_ < kSampleRecordSize) return readInto(record.bytes);
        std::memcpy(record.bytes.data(), buffer_.data() + begin_, kSampleRecordSize);
        begin_ += kSampleRecordSize;
        bytesRead_ += kSampleRecordSize;
        return kSampleRecordSize;
    }

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
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
    std::uint64_t bytesRead_ = 0;
    std::uint64_t fileSize_ = 0;
    std::error_code error_;
};

}  // namespace corvel
