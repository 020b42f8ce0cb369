#include "config/transmitter_configuration.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>
#include <sstream>

#include "common/replace_file.h"
#include "link/windows1252.h"

namespace corvel {
namespace {

using Json = nlohmann::ordered_json;

// The names of the byte settings in the file, by value.
struct Named {
    int value;
    const char* name;
};
constexpr Named kDampingModes[] = {{kDampingExponential, "Exponential"}, {kDampingSmart, "Smart"}};
constexpr Named kOutputTypes[] = {{static_cast<int>(OutputType::Volts), "volts"},
                                  {static_cast<int>(OutputType::Current), "current"}};
constexpr Named kTransmitterAlarms[] = {{1, "Hi"}, {0, "Inactive"}};
constexpr Named kTransfers[] = {{0, "Linear"}, {1, "Sq Rt"}};
constexpr Named kAlarmStates[] = {{kAlarmClosed, "Closed"}, {kAlarmOpen, "Open"}, {kAlarmInactive, "Inactive"}};

template <std::size_t N>
std::string NameOf(const Named (&names)[N], int value) {
    for (const Named& named : names)
        if (named.value == value) return named.name;
    return std::to_string(value);
}

// A float as the shortest decimal that reads back as the same float, so that
// 0.1f is written as 0.1 and not as the double nearest to it.
double Tidy(float value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    double tidy = 0.0;
    std::from_chars(text, end, tidy);
    return tidy;
}

Json PressureInputJson(const PressureInputSettings& input) {
    return Json{{"unit_code", input.unitCode},
                {"unit_name", input.unitName},
                {"decimals", input.decimals},
                {"damping_on", input.dampingOn},
                {"damping_time", Tidy(input.dampingTime)},
                {"damping_mode", NameOf(kDampingModes, input.dampingMode)}};
}

Json DigitalOutputJson(const DigitalOutputSettings& alarm) {
    const bool listed = alarm.condition >= 0 && alarm.condition < static_cast<int>(kConditionTexts.size());
    return Json{{"state", NameOf(kAlarmStates, alarm.state)},
                {"condition", listed ? kConditionTexts[static_cast<std::size_t>(alarm.condition)] : "?"},
                {"value1", Tidy(alarm.value1)},
                {"value2", Tidy(alarm.value2)},
                {"deadband", Tidy(alarm.deadband)}};
}

Json AnalogOutputJson(const AnalogOutputConfiguration& ao) {
    Json alarms = Json::array();
    for (const DigitalOutputSettings& alarm : ao.digitalOutputs) alarms.push_back(DigitalOutputJson(alarm));
    return Json{{"lrv", Tidy(ao.lrv)},
                {"urv", Tidy(ao.urv)},
                {"conversion_factor", Tidy(ao.conversionFactor)},
                {"output_type", NameOf(kOutputTypes, static_cast<int>(ao.output))},
                {"ao_at_lrv", Tidy(ao.aoAtLrv)},
                {"ao_at_urv", Tidy(ao.aoAtUrv)},
                {"transmitter_alarm", NameOf(kTransmitterAlarms, ao.transmitterAlarm)},
                {"transfer", NameOf(kTransfers, ao.transfer)},
                {"square_root_value", Tidy(ao.squareRootValue)},
                {"digital_outputs", alarms}};
}

// ---- Reading a document: every field checked, the first wrong one named ---------------

struct FieldError {
    std::string path;
    std::string problem;
};

// One JSON object of the document, at `path` ("analog_output.digital_outputs[1]").
class Fields {
public:
    Fields(const Json& object, std::string path, std::initializer_list<const char*> known)
        : object_(object), path_(std::move(path)) {
        if (!object_.is_object()) throw FieldError{path_.empty() ? "document" : path_, "not an object"};
        for (const auto& item : object_.items()) {
            if (std::find_if(known.begin(), known.end(), [&](const char* k) { return item.key() == k; }) == known.end())
                throw FieldError{name(item.key()), "not a field of this format"};
        }
    }

    std::string name(const std::string& key) const { return path_.empty() ? key : path_ + "." + key; }

    const Json& at(const char* key) const {
        if (!object_.contains(key)) throw FieldError{name(key), "missing"};
        return object_.at(key);
    }
    bool has(const char* key) const { return object_.contains(key); }

    std::string text(const char* key) const {
        const Json& value = at(key);
        if (!value.is_string()) throw FieldError{name(key), "not a text"};
        return value.get<std::string>();
    }
    // A text the transmitter stores: Windows-1252, at most `length` bytes, no
    // NUL (it would end the text) and no 0xCC byte (sent as NUL).
    std::string storedText(const char* key, std::size_t length) const {
        const std::string value = text(key);
        const std::optional<std::string> bytes = Utf8ToWindows1252(value);
        if (!bytes || bytes->find('\0') != std::string::npos || bytes->find('\xCC') != std::string::npos)
            throw FieldError{name(key), "holds a character the transmitter cannot store"};
        if (bytes->size() > length)
            throw FieldError{name(key), "longer than " + std::to_string(length) + " characters"};
        return value;
    }
    bool flag(const char* key) const {
        const Json& value = at(key);
        if (!value.is_boolean()) throw FieldError{name(key), "not true or false"};
        return value.get<bool>();
    }
    int whole(const char* key, int low, int high) const {
        const Json& value = at(key);
        if (!value.is_number_integer()) throw FieldError{name(key), "not a whole number"};
        const auto number = value.get<long long>();
        if (number < low || number > high)
            throw FieldError{name(key), "outside " + std::to_string(low) + " to " + std::to_string(high)};
        return static_cast<int>(number);
    }
    float number(const char* key) const {
        const Json& value = at(key);
        if (!value.is_number()) throw FieldError{name(key), "not a number"};
        const double number = value.get<double>();
        if (!std::isfinite(number) || std::fabs(number) > std::numeric_limits<float>::max())
            throw FieldError{name(key), "outside the numbers the transmitter keeps"};
        return static_cast<float>(number);
    }
    template <std::size_t N>
    int named(const char* key, const Named (&names)[N]) const {
        const std::string value = text(key);
        std::string allowed;
        for (const Named& n : names) {
            if (value == n.name) return n.value;
            allowed += std::string(allowed.empty() ? "" : ", ") + "\"" + n.name + "\"";
        }
        throw FieldError{name(key), "not one of " + allowed};
    }
    int condition(const char* key) const {
        const std::string value = text(key);
        for (std::size_t i = 0; i < kConditionTexts.size(); ++i)
            if (value == kConditionTexts[i]) return static_cast<int>(i);
        throw FieldError{name(key), "not a condition of the list (\"Between\" .. \"Less Than or Equal\")"};
    }
    const Json& list(const char* key, std::size_t low, std::size_t high) const {
        const Json& value = at(key);
        if (!value.is_array() || value.size() < low || value.size() > high)
            throw FieldError{name(key), "not a list of " + std::to_string(low) +
                                            (low == high ? "" : " or " + std::to_string(high)) + " entries"};
        return value;
    }

private:
    const Json& object_;
    std::string path_;
};

// "2026-12-08T15:47:13Z" and the like: a date, 'T', a time, then a zone.
bool IsIsoTime(const std::string& text) {
    if (text.size() < 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':')
        return false;
    for (std::size_t at : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u, 11u, 12u, 14u, 15u, 17u, 18u})
        if (text[at] < '0' || text[at] > '9') return false;
    return text.back() == 'Z' || text[text.size() - 6] == '+' || text[text.size() - 6] == '-';
}

PressureInputSettings PressureInputFrom(const Json& object, const std::string& path) {
    const Fields f(object, path, {"unit_code", "unit_name", "decimals", "damping_on", "damping_time", "damping_mode"});
    PressureInputSettings input;
    input.unitCode = static_cast<std::uint8_t>(f.whole("unit_code", 0, 255));
    input.unitName = f.text("unit_name");
    input.decimals = f.whole("decimals", -128, 127);
    input.dampingOn = f.flag("damping_on");
    input.dampingTime = f.number("damping_time");
    if (input.dampingTime < 0.0f) throw FieldError{f.name("damping_time"), "negative"};
    input.dampingMode = static_cast<std::uint8_t>(f.named("damping_mode", kDampingModes));
    return input;
}

DigitalOutputSettings DigitalOutputFrom(const Json& object, const std::string& path) {
    const Fields f(object, path, {"state", "condition", "value1", "value2", "deadband"});
    DigitalOutputSettings alarm;
    alarm.state = static_cast<std::uint8_t>(f.named("state", kAlarmStates));
    alarm.condition = f.condition("condition");
    alarm.value1 = f.number("value1");
    alarm.value2 = f.number("value2");
    alarm.deadband = f.number("deadband");
    return alarm;
}

AnalogOutputConfiguration AnalogOutputFrom(const Json& object) {
    const Fields f(object, "analog_output",
                   {"lrv", "urv", "conversion_factor", "output_type", "ao_at_lrv", "ao_at_urv", "transmitter_alarm",
                    "transfer", "square_root_value", "digital_outputs"});
    AnalogOutputConfiguration ao;
    ao.lrv = f.number("lrv");
    ao.urv = f.number("urv");
    ao.conversionFactor = f.number("conversion_factor");
    if (ao.conversionFactor == 0.0f) throw FieldError{f.name("conversion_factor"), "0"};
    ao.output = static_cast<OutputType>(f.named("output_type", kOutputTypes));
    ao.aoAtLrv = f.number("ao_at_lrv");
    ao.aoAtUrv = f.number("ao_at_urv");
    ao.transmitterAlarm = static_cast<std::uint8_t>(f.named("transmitter_alarm", kTransmitterAlarms));
    ao.transfer = static_cast<std::uint8_t>(f.named("transfer", kTransfers));
    ao.squareRootValue = f.number("square_root_value");
    const Json& alarms = f.list("digital_outputs", 2, 2);
    for (std::size_t i = 0; i < 2; ++i)
        ao.digitalOutputs[i] = DigitalOutputFrom(alarms[i], f.name("digital_outputs") + "[" + std::to_string(i) + "]");
    return ao;
}

TransmitterIdentity IdentityFrom(const Json& object) {
    const Fields f(object, "identity", {"model_code", "model_name", "serial_number", "firmware_version"});
    return TransmitterIdentity{f.text("model_code"), f.text("model_name"), f.text("serial_number"),
                               f.text("firmware_version")};
}

void CheckFormat(const Json& document) {
    if (!document.is_object()) throw FieldError{"document", "not an object"};
    if (!document.contains("format") || document["format"] != kConfigurationFormat)
        throw FieldError{"format", "not \"" + std::string(kConfigurationFormat) + "\": not a configuration file"};
    if (!document.contains("version") || !document["version"].is_number_integer())
        throw FieldError{"version", "missing or not a whole number"};
    if (document["version"] != kConfigurationVersion)
        throw FieldError{"version", document["version"].dump() + " is not a version this utility reads (it reads " +
                                        std::to_string(kConfigurationVersion) + ")"};
}

TransmitterConfiguration ConfigurationFrom(const Json& document) {
    CheckFormat(document);
    const Fields f(document, "",
                   {"format", "version", "read_time", "utility_version", "identity", "tag", "asset", "description",
                    "pressure_inputs", "temperature_unit", "analog_output"});
    TransmitterConfiguration c;
    c.readTime = f.text("read_time");
    if (!IsIsoTime(c.readTime)) throw FieldError{"read_time", "not an ISO 8601 date and time"};
    c.utilityVersion = f.text("utility_version");
    c.identity = IdentityFrom(f.at("identity"));
    c.tag = f.storedText("tag", kTagLength);
    c.asset = f.storedText("asset", kAssetLength);
    c.description = f.storedText("description", kDescriptionLength);
    const Json& inputs = f.list("pressure_inputs", 1, 2);
    c.p1 = PressureInputFrom(inputs[0], "pressure_inputs[0]");
    if (inputs.size() == 2) c.p2 = PressureInputFrom(inputs[1], "pressure_inputs[1]");
    const Fields temperature(f.at("temperature_unit"), "temperature_unit", {"code", "name"});
    c.temperatureUnit = static_cast<std::uint8_t>(temperature.whole("code", kFahrenheit, kCelsius));
    c.temperatureUnitName = temperature.text("name");
    if (f.has("analog_output")) c.analogOutput = AnalogOutputFrom(f.at("analog_output"));
    return c;
}

}  // namespace

bool HasAnalogOutput(std::string_view modelCode) { return modelCode == "440D" || modelCode == "442D"; }

bool IsEarlyFirmware(std::string_view version) {
    return version.empty() || version == "00.90" || version == "00.90 " || version == "00.90  ";
}

std::string ConfigurationToJson(const TransmitterConfiguration& c) {
    Json inputs = Json::array({PressureInputJson(c.p1)});
    if (c.p2) inputs.push_back(PressureInputJson(*c.p2));
    Json document{{"format", kConfigurationFormat},
                  {"version", kConfigurationVersion},
                  {"read_time", c.readTime},
                  {"utility_version", c.utilityVersion},
                  {"identity",
                   {{"model_code", c.identity.modelCode},
                    {"model_name", c.identity.modelName},
                    {"serial_number", c.identity.serialNumber},
                    {"firmware_version", c.identity.firmwareVersion}}},
                  {"tag", c.tag},
                  {"asset", c.asset},
                  {"description", c.description},
                  {"pressure_inputs", inputs},
                  {"temperature_unit", {{"code", c.temperatureUnit}, {"name", c.temperatureUnitName}}}};
    if (c.analogOutput) document["analog_output"] = AnalogOutputJson(*c.analogOutput);
    // Texts that are not valid UTF-8 are written with U+FFFD rather than refused.
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

LoadedConfiguration ConfigurationFromJson(std::string_view text) {
    Json document;
    try {
        document = Json::parse(text);
    } catch (const Json::parse_error& e) {
        return {std::nullopt, "not a JSON document (byte " + std::to_string(e.byte) + ")"};
    }
    try {
        return {ConfigurationFrom(document), {}};
    } catch (const FieldError& e) {
        return {std::nullopt, e.path + ": " + e.problem};
    }
}

std::string SaveConfigurationFile(const std::filesystem::path& path, const TransmitterConfiguration& configuration) {
    std::string error;
    if (!ReplaceFileContents(path, false, {ConfigurationToJson(configuration)}, error))
        return "cannot write " + path.string() + ": " + error;
    return {};
}

LoadedConfiguration LoadConfigurationFile(const std::filesystem::path& path) {
    std::error_code code;
    const auto status = std::filesystem::status(path, code);
    if (!std::filesystem::exists(status)) return {std::nullopt, "cannot read " + path.string() + ": no such file"};
    if (!std::filesystem::is_regular_file(status))
        return {std::nullopt, "cannot read " + path.string() + ": not a regular file"};
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    if (!in || in.bad()) return {std::nullopt, "cannot read " + path.string()};
    LoadedConfiguration loaded = ConfigurationFromJson(contents.str());
    if (!loaded.configuration) loaded.error = path.string() + ": " + loaded.error;
    return loaded;
}

}  // namespace corvel
