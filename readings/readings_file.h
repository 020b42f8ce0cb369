#pragma once
// Collecting readings into a text file: the sample buffer of a collection run,
// the checks of its operator fields, the numbered line of each sample and the
// writing of the file. Numbers are written in the C locale; lines end in
// CR LF.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvel {

inline constexpr std::size_t kSampleBufferSize = 10000;
inline constexpr unsigned kMaxCollectionInterval = 300;
// Stored instead of a pressure reading whose status is 33 (hard over range),
// and written as "Out of range".
inline constexpr float kOutOfRangeMarker = 1234567.0f;
inline constexpr int kHardOverRangeStatus = 33;
// Written in place of a sample's value, minimum and maximum when the
// transmitter did not answer for it: no earlier reply stands in for it.
inline constexpr const char* kNoReadingText = "No reading";

inline constexpr const char* kCollectionCaption = "Data Collection";
inline constexpr const char* kIntervalTooLong = "Max interval is 300 seconds";
inline constexpr const char* kNoOutputFile = "No output file selected";
inline constexpr const char* kNotAPositiveInteger = "Please enter a positive integer.";
inline constexpr const char* kNotAnInteger = "Please enter an integer.";
inline constexpr const char* kReadingsFileFilter = "Data Files (*.txt)|*.txt|All Files (*.*)|*.*||";
inline constexpr const char* kReadingsFileExtension = "csv";

struct SampleValues {
    float value = 0.0f;
    float minimum = 0.0f;
    float maximum = 0.0f;
};

struct SampleEntry {
    SampleValues p1;
    SampleValues p2;
    SampleValues temperature;
    std::string date;  // "%m/%d/%Y"
    std::string time;  // "%H:%M:%S"
    bool answered = true;  // false: the sample's exchange failed and its values are none
};

// Sample k of a run goes into entry k modulo the buffer size.
class SampleBuffer {
public:
    SampleBuffer() : entries_(kSampleBufferSize) {}
    SampleEntry& operator[](std::size_t entry) { return entries_[entry % kSampleBufferSize]; }
    const SampleEntry& operator[](std::size_t entry) const { return entries_[entry % kSampleBufferSize]; }
    // Zeroes every value; the date and time texts stay.
    void clearValues();

private:
    std::vector<SampleEntry> entries_;
};

// "Interval (sec)": an unsigned whole number (blanks around it allowed).
std::optional<unsigned> ParseInterval(std::string_view text);
// "Number of Samples": a whole number, possibly negative.
std::optional<int> ParseSampleCount(std::string_view text);

// The texts that every line of a run repeats.
struct ReadingsLineParts {
    bool p2Enabled = false;
    std::string p1Heading;  // type label and range text, e.g. "P1:  GI100"
    std::string p1Unit;
    std::string p2Heading;
    std::string p2Unit;
};

// Line `number` (1-based) for one entry, CR LF included.
std::string ReadingsLine(int number, const SampleEntry& entry, const ReadingsLineParts& parts);

// The local date and time texts of now: "%m/%d/%Y" and "%H:%M:%S".
void StampNow(SampleEntry& entry);

// Writes `lines` to `path`, replacing it or, with `append`, after its present
// contents. The file is written beside the target and renamed over it when
// complete, so a failure leaves the previous file as it was. A target that
// exists and is not a regular file is refused. On failure `error` holds the
// system's reason.
bool WriteReadingsFile(const std::filesystem::path& path, bool append, const std::vector<std::string>& lines,
                       std::string& error);

}  // namespace corvel
