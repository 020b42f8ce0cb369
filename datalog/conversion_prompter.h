#pragma once
// The questions and reports that a log conversion raises. The data log
// dialog answers them in message boxes, the command line on its terminal.

#include <filesystem>
#include <string>
#include <system_error>

#include "datalog/file_access.h"

namespace corvel {

class ConversionPrompter {
public:
    virtual ~ConversionPrompter() = default;
    // A Yes/No question; true means Yes.
    virtual bool askYesNo(const std::string& caption, const std::string& text) = 0;
    // A report of a failure (file errors, a record of an undeclared module).
    virtual void report(const std::string& text) = 0;
    // A file that could not be read or written; the report names the file.
    enum class FileAccess { Read, Write };
    virtual void reportFileError(FileAccess access, std::error_code error, const std::filesystem::path& path) {
        (void)access;
        report(FileErrorText(error, path));
    }
    // Something the operator should know about a conversion that succeeds
    // (a log cut short).
    virtual void inform(const std::string& text) { (void)text; }
};

}  // namespace corvel
