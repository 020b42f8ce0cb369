#include "datalog/buffered_file_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace corvel {

namespace {

constexpr std::size_t kInitialSize = 64 * 1024;

}  // namespace

BufferedFileWriter::BufferedFileWriter(FileHandle file, std::size_t capacity)
    : file_(std::move(file)),
      capacity_(capacity),
      buffer_(std::make_unique_for_overwrite<char[]>(std::min(capacity, kInitialSize))),
      size_(std::min(capacity, kInitialSize)) {}

// Writes out what is buffered, then enlarges the empty buffer (doubling it
// up to its capacity, or to `count` when that is more): nothing is copied.
void BufferedFileWriter::makeRoom(std::size_t count) {
    flush();
    const std::size_t size = std::max(count, std::min(capacity_, 2 * size_));
    if (size > size_) {
        buffer_ = std::make_unique_for_overwrite<char[]>(size);
        size_ = size;
    }
}

void BufferedFileWriter::flush() {
    if (!error_ && used_ > 0 && file_ && std::fwrite(buffer_.get(), 1, used_, file_.get()) != used_)
        error_ = std::error_code(errno ? errno : EIO, std::generic_category());
    used_ = 0;
}

std::error_code BufferedFileWriter::close() {
    flush();
    if (file_ && std::fclose(file_.release()) != 0 && !error_)
        error_ = std::error_code(errno ? errno : EIO, std::generic_category());
    return error_;
}

}  // namespace corvel
