#include <io.h>

#include <cerrno>
#include <cstdio>

#include "datalog/file_access.h"

namespace corvel {

namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

}  // namespace

FileHandle OpenForReading(const std::filesystem::path& path, std::error_code& error) {
    FileHandle file(_wfopen(path.c_str(), L"rb"));
    if (!file) {
        // Opening a folder fails with EACCES here; say what it is.
        error = std::filesystem::is_directory(path) ? std::make_error_code(std::errc::is_a_directory) : LastError();
        return file;
    }
    error.clear();
    return file;
}

FileHandle CreateForWriting(const std::filesystem::path& path, std::error_code& error) {
    FileHandle file(_wfopen(path.c_str(), L"wb"));
    if (!file) {
        error = LastError();
        return file;
    }
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    error.clear();
    return file;
}

bool StandardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }
bool StandardInputIsTerminal() { return _isatty(_fileno(stdin)) != 0; }

}  // namespace corvel
