#pragma once
// Collects output text in one large buffer and hands it to the file in few,
// large writes. The buffer starts small and, each time it is full, is
// written out and doubled up to its capacity: a short output costs no large
// allocation, and no byte is copied twice. The buffer is never cleared, as
// every byte is written before it is handed on. The first write error is
// kept; later output is dropped.

#include <cstddef>
#include <memory>
#include <string_view>
#include <system_error>

#include "datalog/file_access.h"

namespace corvel {

class BufferedFileWriter {
public:
    static constexpr std::size_t kDefaultCapacity = 1 << 20;

    explicit BufferedFileWriter(FileHandle file, std::size_t capacity = kDefaultCapacity);

    void append(std::string_view text) {
        text.copy(reserve(text.size()), text.size());
        commit(text.size());
    }

    // Room for `count` bytes at the end of the buffer; `commit` then adds the
    // bytes really used.
    char* reserve(std::size_t count) {
        if (count > size_ - used_) makeRoom(count);
        return buffer_.get() + used_;
    }
    void commit(std::size_t count) { used_ += count; }

    // Writes out what is buffered and closes the file; returns the first error.
    std::error_code close();
    std::error_code error() const { return error_; }

private:
    void makeRoom(std::size_t count);
    void flush();

    FileHandle file_;
    std::size_t capacity_;
    std::unique_ptr<char[]> buffer_;
    std::size_t size_;
    std::size_t used_ = 0;
    std::error_code error_;
};

}  // namespace corvel
