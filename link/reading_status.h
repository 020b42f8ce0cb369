#pragma once
// What a reading status code of a pressure channel (P1 or P2) means to the
// operator: the status text, which field turns light red and which value is
// replaced by "------". Shared by the measurement window and corvelctl.

#include <optional>
#include <string>

namespace corvel {

enum class StatusField {
    Unchanged,    // colours stay as they were
    NormalBoth,   // the channel's value field and the temperature field turn light grey
    Channel,      // the channel's value field turns light red
    Temperature,  // the temperature field turns light red
};

struct ReadingStatus {
    std::optional<std::string> text;  // empty optional: the status text stays as it was
    StatusField field = StatusField::Unchanged;
    bool dashChannelValue = false;      // the channel's value text becomes "------"
    bool dashTemperatureValue = false;  // the temperature value text becomes "------"
};

inline constexpr const char* kDashedValue = "------";

// The meaning of `code` for one pressure channel. Code 19 reads "Temp Overrange",
// except for P1 in the reading loop, where it reads "Temp over range".
ReadingStatus ReadingStatusOf(int code, bool p1InReadingLoop = false);

// The question before a zero, and its caption.
inline constexpr const char* kZeroQuestion = "Equalize and or vent to atmosphere as appropriate";
inline constexpr const char* kZeroCaption = "Zero";

// The report of a zero's result code 64-70 (trailing blanks are part of the
// texts); nullptr for any other code.
const char* ZeroResultText(int code);

// The error box of a recalibration step's status code; nullptr for 0 and
// for codes the operator is not told about.
const char* RecalPointStatusText(int code);

// A reading during a recalibration's live loop: the status text and the
// colour of the reading field (empty optionals: they stay as they were).
struct RecalReadingStatus {
    std::optional<std::string> text;
    std::optional<bool> alarm;  // light red, else light grey
};
RecalReadingStatus RecalReadingStatusOf(int code);

}  // namespace corvel
