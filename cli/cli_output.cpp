#include "cli/cli_output.h"

#include <array>
#include <charconv>
#include <cmath>

namespace corvel::cli {

namespace {

// The double nearest to the shortest decimal text of `value`, so that JSON
// shows the digits the transmitter sent (14.700266, not 14.700265884399414).
double WithFloatDigits(float value) {
    if (!std::isfinite(value)) return value;
    std::array<char, 32> digits{};
    const auto written = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    double widened = value;
    std::from_chars(digits.data(), written.ptr, widened);
    return widened;
}

// Numbers as JSON writes them (a full stop, whatever the locale; null when
// not finite); invalid UTF-8 becomes U+FFFD rather than stopping the output.
std::string JsonText(const nlohmann::ordered_json& value) {
    return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace

Record& Record::add(const std::string& name, std::string value) {
    fields_[name] = std::move(value);
    return *this;
}

Record& Record::add(const std::string& name, double value) {
    // A whole number is written without a fraction ("100", not "100.0").
    constexpr double kExactWholeNumbers = 9007199254740992.0;  // 2^53
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < kExactWholeNumbers)
        fields_[name] = static_cast<std::int64_t>(value);
    else
        fields_[name] = value;
    return *this;
}

Record& Record::add(const std::string& name, float value) { return add(name, WithFloatDigits(value)); }

Record& Record::add(const std::string& name, std::int64_t value) {
    fields_[name] = value;
    return *this;
}

Record& Record::add(const std::string& name, bool value) {
    fields_[name] = value;
    return *this;
}

Record& Record::add(const std::string& name, const std::optional<std::string>& value) {
    if (!value) {
        fields_[name] = nullptr;
        return *this;
    }
    return add(name, *value);
}

std::string JsonLine(const Record& record) { return JsonText(record.fields()); }

std::string TextLines(const Record& record) {
    std::string lines;
    for (const auto& [name, value] : record.fields().items())
        lines += name + ": " + (value.is_string() ? value.get<std::string>() : JsonText(value)) + "\n";
    return lines;
}

void Output::emit(const Record& record) {
    if (json_) {
        out_ << JsonLine(record) << '\n';
    } else {
        if (emitted_ > 0) out_ << '\n';  // a blank line between the records of one run
        out_ << TextLines(record);
    }
    ++emitted_;
    out_.flush();
}

}  // namespace corvel::cli
