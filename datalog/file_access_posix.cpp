#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "datalog/file_access.h"

namespace corvel {

namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

}  // namespace

FileHandle OpenForReading(const std::filesystem::path& path, std::error_code& error) {
    FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        error = LastError();
        return file;
    }
    struct stat status {};
    if (fstat(fileno(file.get()), &status) == 0 && S_ISDIR(status.st_mode)) {
        error = std::make_error_code(std::errc::is_a_directory);
        file.reset();
        return file;
    }
    error.clear();
    return file;
}

FileHandle CreateForWriting(const std::filesystem::path& path, std::error_code& error) {
    FileHandle file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        error = LastError();
        return file;
    }
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    error.clear();
    return file;
}

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }
bool StandardInputIsTerminal() { return isatty(STDIN_FILENO) == 1; }

}  // namespace corvel
