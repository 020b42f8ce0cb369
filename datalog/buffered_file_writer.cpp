#include "buffered_file_writer.h"

#include <cerrno>
#include <cstdio>

namespace corvel {

BufferedFileWriter::BufferedFileWriter(FileHandle file, std::size_t capacity)
    : file_(std::move(file)), buffer_(capacity) {}

void BufferedFileWriter::flush() {
    writeThrough(std::string_view(buffer_.data(), used_));
    used_ = 0;
}

void BufferedFileWriter::writeThrough(std::string_view text) {
    if (error_ || text.empty() || !file_) return;
    if (std::fwrite(text.data(), 1, text.size(), file_.get()) != text.size())
        error_ = std::error_code(errno ? errno : EIO, std::generic_category());
}

std::error_code BufferedFileWriter::close() {
    flush();
    if (file_ && std::fclose(file_.release()) != 0 && !error_)
        error_ = std::error_code(errno ? errno : EIO, std::generic_category());
    return error_;
}

}  // namespace corvel
