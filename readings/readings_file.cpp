#include "readings/readings_file.h"

#include <ctime>

#include "common/number_format.h"
#include "common/replace_file.h"

namespace corvel {
namespace {

// A whole number as the operator types it: blanks around it and a '+' allowed.
template <typename Number>
std::optional<Number> TypedWholeNumber(std::string_view text) {
    return ParseWholeText<Number>(text, {.blanks = " \t", .plus = true});
}

// "%f": six decimals.
std::string Decimal(float value) { return FormatFixed(value, 0, 6); }

// The value, or "Out of range" for the marker.
std::string ValueText(float value) { return value == kOutOfRangeMarker ? "Out of range" : Decimal(value); }

// "%05d" of a line number (1 and up).
std::string LineNumber(int number) {
    std::string digits = std::to_string(number);
    if (digits.size() < 5) digits.insert(0, 5 - digits.size(), '0');
    return digits;
}

std::string InputColumns(const SampleValues& values, const std::string& unit, bool answered) {
    if (!answered) return std::string(kNoReadingText) + "   " + unit + "   " + kNoReadingText + "   " + kNoReadingText;
    return ValueText(values.value) + "   " + unit + "   " + Decimal(values.minimum) + "   " + Decimal(values.maximum);
}

}  // namespace

void SampleBuffer::clearValues() {
    for (SampleEntry& entry : entries_) entry.p1 = entry.p2 = entry.temperature = SampleValues{};
}

std::optional<unsigned> ParseInterval(std::string_view text) {
    return TypedWholeNumber<unsigned>(text);
}

std::optional<int> ParseSampleCount(std::string_view text) { return TypedWholeNumber<int>(text); }

std::string ReadingsLine(int number, const SampleEntry& entry, const ReadingsLineParts& parts) {
    std::string line = LineNumber(number);
    if (parts.p2Enabled) {
        line += " " + parts.p1Heading + "   " + InputColumns(entry.p1, parts.p1Unit, entry.answered) + "   " +
                parts.p2Heading + "   " + InputColumns(entry.p2, parts.p2Unit, entry.answered);
    } else {
        line += "   " + InputColumns(entry.p1, parts.p1Unit, entry.answered);
    }
    return line + "   " + entry.time + "   " + entry.date + "\r\n";
}

void StampNow(SampleEntry& entry) {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    char text[32] = {};
    std::strftime(text, sizeof text, "%m/%d/%Y", local);
    entry.date = text;
    std::strftime(text, sizeof text, "%H:%M:%S", local);
    entry.time = text;
}

bool WriteReadingsFile(const std::filesystem::path& path, bool append, const std::vector<std::string>& lines,
                       std::string& error) {
    return ReplaceFileContents(path, append, lines, error);
}

}  // namespace corvel
