#pragma once
// Converts one binary data log file into comma-separated text: the header
// lines, the column heading and one line per sampling instant, every line
// ending in CR LF. Reads and writes in streams, so memory use does not grow
// with the size of the log.

#include <cstdint>
#include <filesystem>
#include <functional>

#include "datalog/conversion_prompter.h"

namespace corvel {

// Called now and then with the bytes of the log read so far and its size.
using ConversionProgress = std::function<void(std::uint64_t bytesRead, std::uint64_t fileSize)>;
// Asked between two stretches of the log: true ends the conversion at once.
using ConversionStop = std::function<bool()>;

inline constexpr const char* kShortHeaderCaption = "Error reading file";
inline constexpr const char* kShortFileHeaderQuestion = "File header length less than expected, continue?";
inline constexpr const char* kShortModuleHeaderQuestion = "Module header length less than expected, continue?";
inline constexpr const char* kUnknownModuleReport = "An invalid argument was encountered.";

// Returns true on success. Failures are reported through the prompter before
// it returns (file errors, an unknown module, a file that is no log); a No to
// a short-header question or a stop ends the conversion without a report.
// The output file appears only on success: the lines go to a file beside it
// that takes its name at the end, and is removed otherwise.
bool convert(const std::filesystem::path& inputPath, const std::filesystem::path& outputPath,
             ConversionPrompter& prompter, const ConversionProgress& progress = {}, const ConversionStop& stop = {});

}  // namespace corvel
