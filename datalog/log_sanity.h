#pragma once
// What a real data log satisfies before any data line is written: at most two
// modules of the two known types, a start date and time in range, and a
// sample count that the file's size can hold as a log cut short. A file that
// fails is not converted (a random file would otherwise claim a billion
// samples and be padded out to tens of gigabytes).

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "datalog/log_description.h"

namespace corvel {

// At most this many samples per record the file holds, and this many more: a
// log cut short still converts, padded with repeated lines, but not a header
// whose sample count no file of its size could have been meant to hold.
inline constexpr std::int64_t kSamplesPerRecordAtMost = 16;
inline constexpr std::int64_t kSamplesBeyondRecords = 10000;

// The number of whole sample records after the headers of a file of `fileSize` bytes.
std::uint64_t RecordsInFile(std::uint64_t fileSize, std::size_t moduleCount);

// Why the headers cannot be a data log's (or a sound one's), or nothing. The
// start date and time are not checked when the operator chose to go on with
// headers cut short (`headersComplete` false): their missing bytes read as 0.
std::optional<std::string> LogHeaderProblem(const LogDescription& log, std::span<const moduleHeader_v0> modules,
                                            std::uint64_t fileSize, bool headersComplete);

}  // namespace corvel
