#pragma once
// The results of corvelctl: one record per result, printed either as
// "name: value" lines for a person or as one JSON object per line for scripts.

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace corvel::cli {

class Record {
public:
    using Value = std::variant<std::string, double, float, std::int64_t, bool>;

    Record& add(std::string name, std::string value);
    Record& add(std::string name, const char* value) { return add(std::move(name), std::string(value)); }
    Record& add(std::string name, double value);
    // A single-precision value of the transmitter, written with the digits it has.
    Record& add(std::string name, float value);
    Record& add(std::string name, std::int64_t value);
    Record& add(std::string name, int value) { return add(std::move(name), static_cast<std::int64_t>(value)); }
    Record& add(std::string name, bool value);

    const std::vector<std::pair<std::string, Value>>& fields() const { return fields_; }

private:
    std::vector<std::pair<std::string, Value>> fields_;
};

// A JSON string literal of UTF-8 `text`, quotes included; control characters
// are escaped. Texts of the transmitter are decoded from Windows-1252 before
// they reach a record.
std::string JsonString(std::string_view text);

// The record as one line of JSON.
std::string JsonLine(const Record& record);

// The record as "name: value" lines.
std::string TextLines(const Record& record);

class Output {
public:
    Output(std::ostream& out, bool json) : out_(out), json_(json) {}
    void emit(const Record& record);
    bool json() const { return json_; }

private:
    std::ostream& out_;
    bool json_;
    int emitted_ = 0;
};

}  // namespace corvel::cli
