#pragma once
// The results of corvelctl: one record per result, printed either as
// "name: value" lines for a person or as one JSON object per line for scripts.

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

namespace corvel::cli {

class Record {
public:
    // Texts are UTF-8: texts of the transmitter are decoded from Windows-1252
    // before they reach a record.
    Record& add(const std::string& name, std::string value);
    Record& add(const std::string& name, const char* value) { return add(name, std::string(value)); }
    Record& add(const std::string& name, double value);
    // A single-precision value of the transmitter, written with the digits it has.
    Record& add(const std::string& name, float value);
    Record& add(const std::string& name, std::int64_t value);
    Record& add(const std::string& name, int value) { return add(name, static_cast<std::int64_t>(value)); }
    Record& add(const std::string& name, bool value);
    // A text that may be missing (null).
    Record& add(const std::string& name, const std::optional<std::string>& value);

    // The fields in the order they were added.
    const nlohmann::ordered_json& fields() const { return fields_; }

private:
    nlohmann::ordered_json fields_ = nlohmann::ordered_json::object();
};

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
