#include "datalog/log_file_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace corvel {

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;

}  // namespace

LogFileReader::LogFileReader() : buffer_(kChunkSize) {}

std::error_code LogFileReader::open(const std::filesystem::path& path) {
    std::error_code error;
    file_ = OpenForReading(path, error);
    if (error) return error;
    begin_ = end_ = 0;
    atEnd_ = false;
    bytesRead_ = 0;
    error_.clear();
    std::error_code sizeError;
    const auto size = std::filesystem::file_size(path, sizeError);
    fileSize_ = sizeError ? 0 : size;
    return {};
}

std::size_t LogFileReader::readInto(MutableByteSpan target) {
    std::size_t got = 0;
    while (got < target.size() && (begin_ < end_ || refill())) {
        const std::size_t take = std::min(target.size() - got, end_ - begin_);
        std::memcpy(target.data() + got, buffer_.data() + begin_, take);
        begin_ += take;
        got += take;
    }
    std::fill(target.begin() + static_cast<std::ptrdiff_t>(got), target.end(), std::uint8_t{0});
    bytesRead_ += got;
    return got;
}

bool LogFileReader::refill() {
    if (atEnd_ || !file_) return false;
    begin_ = 0;
    end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_.get());
    if (end_ < buffer_.size()) {
        atEnd_ = true;
        if (std::ferror(file_.get())) error_ = std::error_code(errno ? errno : EIO, std::generic_category());
    }
    return end_ > 0;
}

}  // namespace corvel
