#include "cli/cli_output.h"

#include <array>
#include <charconv>
#include <cmath>

namespace corvel::cli {

namespace {

// The shortest text that reads back as the same value; JSON has no infinities.
template <typename Number>
std::string NumberText(Number value) {
    if (!std::isfinite(value)) return "null";
    std::array<char, 64> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    return std::string(digits.data(), result.ptr);
}

std::string JsonValue(const Record::Value& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return JsonString(*text);
    if (const auto* number = std::get_if<double>(&value)) return NumberText(*number);
    if (const auto* single = std::get_if<float>(&value)) return NumberText(*single);
    if (const auto* integer = std::get_if<std::int64_t>(&value)) return std::to_string(*integer);
    return std::get<bool>(value) ? "true" : "false";
}

std::string PlainValue(const Record::Value& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    return JsonValue(value);
}

}  // namespace

Record& Record::add(std::string name, std::string value) {
    fields_.emplace_back(std::move(name), std::move(value));
    return *this;
}

Record& Record::add(std::string name, double value) {
    fields_.emplace_back(std::move(name), value);
    return *this;
}

Record& Record::add(std::string name, float value) {
    fields_.emplace_back(std::move(name), value);
    return *this;
}

Record& Record::add(std::string name, std::int64_t value) {
    fields_.emplace_back(std::move(name), value);
    return *this;
}

Record& Record::add(std::string name, bool value) {
    fields_.emplace_back(std::move(name), value);
    return *this;
}

std::string JsonString(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string json = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"': json += "\\\""; break;
        case '\\': json += "\\\\"; break;
        case '\n': json += "\\n"; break;
        case '\r': json += "\\r"; break;
        case '\t': json += "\\t"; break;
        default:
            if (byte < 0x20 || byte == 0x7F) {
                json += "\\u00";
                json += kHex[byte >> 4];
                json += kHex[byte & 0x0F];
            } else {
                json += c;
            }
        }
    }
    return json + "\"";
}

std::string JsonLine(const Record& record) {
    std::string line = "{";
    for (const auto& [name, value] : record.fields()) {
        if (line.size() > 1) line += ",";
        line += JsonString(name) + ":" + JsonValue(value);
    }
    return line + "}";
}

std::string TextLines(const Record& record) {
    std::string lines;
    for (const auto& [name, value] : record.fields()) lines += name + ": " + PlainValue(value) + "\n";
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
