#include "datalog/log_converter.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <random>
#include <span>
#include <vector>

#include "datalog/buffered_file_writer.h"
#include "datalog/file_access.h"
#include "datalog/log_description.h"
#include "datalog/log_file_reader.h"
#include "datalog/log_line_assembler.h"
#include "datalog/log_sanity.h"

namespace corvel {

namespace {

using Access = ConversionPrompter::FileAccess;

constexpr std::uint64_t kProgressSteps = 200;
constexpr std::uint64_t kMinimumProgressStep = 64 * 1024;

struct LogHeaders {
    LogDescription log;
    std::vector<moduleHeader_v0> modules;
    bool complete = true;
};

// Reads the file header and the module headers; asks whether to go on when
// one of them is cut short, once for the file. Empty when the operator
// answered No.
std::optional<LogHeaders> ReadHeaders(LogFileReader& reader, ConversionPrompter& prompter) {
    LogHeaders headers;
    const auto goOn = [&](const char* question) {
        if (!headers.complete) return true;  // the operator has answered for this file
        headers.complete = false;
        return prompter.askYesNo(kShortHeaderCaption, question);
    };
    logFileHeader header;
    if (reader.read(header) < kLogFileHeaderSize && !goOn(kShortFileHeaderQuestion)) return std::nullopt;
    headers.modules.resize(header.moduleCount());
    for (moduleHeader_v0& module : headers.modules) {
        if (reader.read(module) < kModuleHeaderSize && !goOn(kShortModuleHeaderQuestion)) return std::nullopt;
    }
    headers.log = DescribeLog(header, headers.modules);
    return headers;
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

// Writes the data lines; false when a record names an undeclared module (which
// it reports) or when `stop` asks to end (without a report).
// Stops early when the output cannot be written or the input cannot be read
// (a failed read would otherwise pad the file with repeated lines up to its
// sample count); the caller reports those errors. `instants` counts the
// sampling instants (time stamps) of the file's own records; `reachedEnd`
// tells whether the records ran out before the last line.
bool WriteDataLines(const LogDescription& log, LogFileReader& reader, BufferedFileWriter& output,
                    ConversionPrompter& prompter, ProgressReporter& progress, const ConversionStop& stop,
                    std::int64_t& instants, bool& reachedEnd) {
    LogLineAssembler lines(log, output);
    sampleRecord record;
    instants = 0;
    std::int32_t lastTimeStamp = 0;
    while (lines.wantsMoreRecords() && !output.error()) {
        if (stop && stop()) return false;
        reachedEnd = reachedEnd || reader.exhausted();
        const std::span<const std::uint8_t> records = reader.readRecords();
        if (reader.error()) break;
        progress.update(reader.bytesRead());
        for (std::size_t at = 0; at < records.size() && lines.wantsMoreRecords(); at += kSampleRecordSize) {
            std::memcpy(record.bytes.data(), records.data() + at, kSampleRecordSize);
            if (!record.isNoRecord() && (instants == 0 || record.timeStamp() != lastTimeStamp)) {
                ++instants;
                lastTimeStamp = record.timeStamp();
            }
            if (lines.handle(record) == LogLineAssembler::Outcome::UnknownModule) {
                prompter.report(kUnknownModuleReport);
                return false;
            }
        }
    }
    return true;
}


// Why `outputPath` cannot take the converted log, or nothing.
std::optional<std::string> OutputProblem(const std::filesystem::path& inputPath,
                                         const std::filesystem::path& outputPath) {
    std::error_code error;
    const auto status = std::filesystem::symlink_status(outputPath, error);
    if (!std::filesystem::exists(status)) return std::nullopt;
    if (!std::filesystem::is_regular_file(status))
        return "Cannot write " + outputPath.string() + ": it is not a regular file.";
    if (std::filesystem::equivalent(inputPath, outputPath, error))
        return "The log file cannot be converted onto itself: " + outputPath.string();
    return std::nullopt;
}

// The converted lines go to a file beside the output, which takes the
// output's name only when the conversion succeeds.
std::filesystem::path PartFileBeside(const std::filesystem::path& outputPath) {
    std::random_device random;
    return outputPath.parent_path() / ("." + outputPath.filename().string() + "." + std::to_string(random()) + ".part");
}

// Converts into `partPath`; true when every line was written.
bool ConvertInto(LogFileReader& reader, const LogHeaders& headers, const std::filesystem::path& inputPath,
                 const std::filesystem::path& partPath, const std::filesystem::path& outputPath,
                 ConversionPrompter& prompter, const ConversionProgress& progress, const ConversionStop& stop) {
    std::error_code createError;
    FileHandle outputFile = CreateForWriting(partPath, createError);
    if (createError) {
        prompter.reportFileError(Access::Write, createError, outputPath);
        return false;
    }
    BufferedFileWriter output(std::move(outputFile));
    output.append(HeaderLines(headers.log));
    ProgressReporter reporter(progress, reader.fileSize());
    std::int64_t instants = 0;
    bool reachedEnd = false;
    const bool linesWritten =
        WriteDataLines(headers.log, reader, output, prompter, reporter, stop, instants, reachedEnd);
    if (const std::error_code writeError = output.close()) {
        prompter.reportFileError(Access::Write, writeError, outputPath);
        return false;
    }
    if (!linesWritten) return false;
    if (const std::error_code readError = reader.error()) {
        prompter.reportFileError(Access::Read, readError, inputPath);
        return false;
    }
    reporter.finish(reader.bytesRead());
    if (reachedEnd && instants < headers.log.sampleCount) {
        prompter.inform("The log ends after " + std::to_string(instants) + " of " +
                        std::to_string(headers.log.sampleCount) +
                        " samples; the remaining lines repeat the last values, marked D.");
    }
    return true;
}

}  // namespace

bool convert(const std::filesystem::path& inputPath, const std::filesystem::path& outputPath,
             ConversionPrompter& prompter, const ConversionProgress& progress, const ConversionStop& stop) {
    if (const std::optional<std::string> problem = OutputProblem(inputPath, outputPath)) {
        prompter.report(*problem);
        return false;
    }
    LogFileReader reader;
    if (const std::error_code error = reader.open(inputPath)) {
        prompter.reportFileError(Access::Read, error, inputPath);
        return false;
    }
    const std::optional<LogHeaders> headers = ReadHeaders(reader, prompter);
    if (!headers) return false;
    if (const auto problem = LogHeaderProblem(headers->log, headers->modules, reader.fileSize(), headers->complete)) {
        prompter.report(inputPath.string() + " is not a data log file, or it is damaged: " + *problem + ".");
        return false;
    }
    const std::filesystem::path partPath = PartFileBeside(outputPath);
    const bool converted = ConvertInto(reader, *headers, inputPath, partPath, outputPath, prompter, progress, stop);
    std::error_code renameError;
    if (converted) std::filesystem::rename(partPath, outputPath, renameError);
    if (!converted || renameError) {
        std::error_code ignored;
        std::filesystem::remove(partPath, ignored);
    }
    if (renameError) prompter.reportFileError(Access::Write, renameError, outputPath);
    return converted && !renameError;
}

}  // namespace corvel
