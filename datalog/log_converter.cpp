#include "log_converter.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <span>
#include <vector>

#include "buffered_file_writer.h"
#include "file_access.h"
#include "log_description.h"
#include "log_file_reader.h"
#include "log_line_assembler.h"

namespace corvel {

namespace {

constexpr std::uint64_t kProgressSteps = 200;
constexpr std::uint64_t kMinimumProgressStep = 64 * 1024;

// Reads the file header and the module headers; asks whether to go on when
// one of them is cut short. Empty when the operator answered No.
std::optional<LogDescription> ReadHeaders(LogFileReader& reader, ConversionPrompter& prompter) {
    logFileHeader header;
    if (reader.read(header) < kLogFileHeaderSize && !prompter.askYesNo(kShortHeaderCaption, kShortFileHeaderQuestion))
        return std::nullopt;
    std::vector<moduleHeader_v0> modules(header.moduleCount());
    for (moduleHeader_v0& module : modules) {
        if (reader.read(module) < kModuleHeaderSize &&
            !prompter.askYesNo(kShortHeaderCaption, kShortModuleHeaderQuestion))
            return std::nullopt;
    }
    return DescribeLog(header, modules);
}

class ProgressReporter {
public:
    ProgressReporter(const ConversionProgress& progress, std::uint64_t fileSize)
        : progress_(progress), fileSize_(fileSize), step_(std::max(fileSize / kProgressSteps, kMinimumProgressStep)) {}

    void update(std::uint64_t bytesRead) {
        if (bytesRead < next_) return;
        next_ = bytesRead + step_;
        if (progress_) progress_(bytesRead, fileSize_);
    }
    void finish(std::uint64_t bytesRead) {
        if (progress_) progress_(std::max(bytesRead, fileSize_), fileSize_);
    }

private:
    const ConversionProgress& progress_;
    std::uint64_t fileSize_;
    std::uint64_t step_;
    std::uint64_t next_ = 0;
};

// Writes the data lines; false when a record names an undeclared module.
// Stops early when the output cannot be written or the input cannot be read
// (a failed read would otherwise pad the file with repeated lines up to its
// sample count); the caller reports those errors.
bool WriteDataLines(const LogDescription& log, LogFileReader& reader, BufferedFileWriter& output,
                    ConversionPrompter& prompter, ProgressReporter& progress) {
    LogLineAssembler lines(log, output);
    sampleRecord record;
    while (lines.wantsMoreRecords() && !output.error()) {
        const std::span<const std::uint8_t> records = reader.readRecords();
        if (reader.error()) break;
        progress.update(reader.bytesRead());
        for (std::size_t at = 0; at < records.size() && lines.wantsMoreRecords(); at += kSampleRecordSize) {
            std::memcpy(record.bytes.data(), records.data() + at, kSampleRecordSize);
            if (lines.handle(record) == LogLineAssembler::Outcome::UnknownModule) {
                prompter.report(kUnknownModuleReport);
                return false;
            }
        }
    }
    return true;
}

}  // namespace

bool convert(const std::filesystem::path& inputPath, const std::filesystem::path& outputPath,
             ConversionPrompter& prompter, const ConversionProgress& progress) {
    LogFileReader reader;
    if (const std::error_code error = reader.open(inputPath)) {
        prompter.report(FileErrorText(error, inputPath));
        return false;
    }
    const std::optional<LogDescription> log = ReadHeaders(reader, prompter);
    if (!log) return false;

    std::error_code createError;
    FileHandle outputFile = CreateForWriting(outputPath, createError);
    if (createError) {
        prompter.report(FileErrorText(createError, outputPath));
        return false;
    }
    BufferedFileWriter output(std::move(outputFile));
    output.append(HeaderLines(*log));

    ProgressReporter reporter(progress, reader.fileSize());
    const bool linesWritten = WriteDataLines(*log, reader, output, prompter, reporter);
    if (const std::error_code writeError = output.close()) {
        prompter.report(FileErrorText(writeError, outputPath));
        return false;
    }
    if (!linesWritten) return false;
    if (const std::error_code readError = reader.error()) {
        prompter.report(FileErrorText(readError, inputPath));
        return false;
    }
    reporter.finish(reader.bytesRead());
    return true;
}

}  // namespace corvel
