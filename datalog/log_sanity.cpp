#include "datalog/log_sanity.h"

namespace corvel {
namespace {

constexpr std::size_t kMostModules = 2;

std::string Number(std::uint64_t value) { return std::to_string(value); }

std::optional<std::string> DateTimeProblem(const logFileHeader& header) {
    const auto outside = [](unsigned value, unsigned low, unsigned high) { return value < low || value > high; };
    if (outside(header.startDateFirst(), 1, 31) || outside(header.startDateSecond(), 1, 31))
        return "its start date " + Number(header.startDateFirst()) + "/" + Number(header.startDateSecond()) +
               " is no date";
    if (outside(header.startHour(), 0, 23) || outside(header.startMinute(), 0, 59) ||
        outside(header.startSecond(), 0, 59))
        return "its start time " + Number(header.startHour()) + ":" + Number(header.startMinute()) + ":" +
               Number(header.startSecond()) + " is no time of day";
    return std::nullopt;
}

}  // namespace

std::uint64_t RecordsInFile(std::uint64_t fileSize, std::size_t moduleCount) {
    const std::uint64_t headers = kLogFileHeaderSize + moduleCount * kModuleHeaderSize;
    return fileSize > headers ? (fileSize - headers) / kSampleRecordSize : 0;
}

std::optional<std::string> LogHeaderProblem(const LogDescription& log, std::span<const moduleHeader_v0> modules,
                                            std::uint64_t fileSize, bool headersComplete) {
    if (modules.size() > kMostModules)
        return "it declares " + Number(modules.size()) + " modules, and a log has at most " + Number(kMostModules);
    for (std::size_t i = 0; i < modules.size(); ++i) {
        const std::uint8_t type = modules[i].moduleType();
        if (type != kPressureModuleKind && type != kVoltageCurrentModuleKind)
            return "module " + Number(i + 1) + " is of the unknown type " + Number(type);
    }
    if (headersComplete) {
        if (auto problem = DateTimeProblem(log.header)) return problem;
    }
    const std::uint64_t records = RecordsInFile(fileSize, modules.size());
    if (log.sampleCount <= 0 && records > 0)
        return "its header claims " + std::to_string(log.sampleCount) + " samples, yet the file holds " +
               Number(records) + " records";
    if (log.sampleCount > kSamplesPerRecordAtMost * static_cast<std::int64_t>(records) + kSamplesBeyondRecords)
        return "its header claims " + std::to_string(log.sampleCount) + " samples, and the file holds only " +
               Number(records) + " records";
    return std::nullopt;
}

}  // namespace corvel
