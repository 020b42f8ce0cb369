#pragma once
// Opening files by path and the operator's texts for file errors. The opening
// itself is platform code (file_access_posix.cpp).

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

namespace corvel {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Opens an existing file for binary reading; a folder counts as access denied.
FileHandle OpenForReading(const std::filesystem::path& path, std::error_code& error);

// Creates or truncates a file for binary writing. The handle is unbuffered:
// its writer keeps its own large buffer.
FileHandle CreateForWriting(const std::filesystem::path& path, std::error_code& error);

bool StandardErrorIsTerminal();
bool StandardInputIsTerminal();

// The report shown for a failed file operation, for example
// "Tank.bin was not found." or "Access to Tank.bin was denied.".
std::string FileErrorText(std::error_code error, const std::filesystem::path& path);

}  // namespace corvel
