#include "buffered_file_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace corvel {

namespace {

constexpr std::size_t kInitialSize = 64 * 1024;

}  // namespace

BufferedFileWriter::BufferedFileWriter(FileHandle file, std::size_t capacity)
    : file_(std::move(file)),
      capacity_(capacity),
      buffer_(std::make_unique_for_overwrite<char[]>(std::min(capacity, kInitialSize))),
      size_(std::min(capacity, kInitialSize)) {}

void BufferedFileWriter::makeRoom(std::size_t count) {
    if (size_ < capacity_) grow(std::min(capacity_, std::max(2 * size_, used_ + count)));
    if (count > size_ - used_) flush();
    if (count > size_) grow(count);
}

// Moves the buffered bytes into a larger buffer of `size` bytes.
void BufferedFileWriter::grow(std::size_t size) {
    auto larger = std::make_unique_for_overwrite<char[]>(size);
    std::memcpy(larger.get(), buffer_.get(), used_);
    buffer_ = std::move(larger);
    size_ = size;
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
