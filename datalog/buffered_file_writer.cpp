#include "buffered_file_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace corvel {

namespace {

constexpr std::size_t kInitialSize = 64 * 1024;

}  // namespace

BufferedFileWriter::BufferedFileWriter(FileHandle file, std::size_t capacity)
    : file_(std::move(file)), capacity_(capacity), buffer_(std::min(capacity, kInitialSize)) {}

void BufferedFileWriter::makeRoom(std::size_t count) {
    if (buffer_.size() < capacity_) buffer_.resize(std::min(capacity_, std::max(2 * buffer_.size(), used_ + count)));
    if (count > buffer_.size() - used_) flush();
    if (count > buffer_.size()) buffer_.resize(count);
}

void BufferedFileWriter::flush() {
    if (!error_ && used_ > 0 && file_ && std::fwrite(buffer_.data(), 1, used_, file_.get()) != used_)
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
