#include "sim/script.h"

#include <functional>
#include <map>
#include <sstream>

#include "common/number_format.h"

namespace corvel::sim {
namespace {

using Words = std::vector<std::string>;
using Handler = std::function<std::optional<std::string>(LineSpec&, DeviceSpec&, const Words&)>;

Words Split(std::string_view line) {
    Words words;
    std::istringstream in{std::string(line)};
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

// The words from `first` on, joined by single blanks (texts with blanks).
std::string Rest(const Words& words, std::size_t first) {
    std::string text;
    for (std::size_t i = first; i < words.size(); ++i) text += (i > first ? " " : "") + words[i];
    return text;
}

// A number word: decimal, or for whole numbers hexadecimal after "0x".
template <typename T>
std::optional<T> Number(const std::string& word) {
    return ParseWholeText<T>(word, {.hex = true});
}

std::optional<bool> OnOff(const std::string& word) {
    if (word == "on") return true;
    if (word == "off") return false;
    return std::nullopt;
}

std::string Bad(const Words& words) { return "invalid setting: " + Rest(words, 0); }

// Handlers read their arguments through these; a missing or malformed one
// makes the whole setting invalid.
struct Args {
    const Words& words;
    bool ok = true;

    template <typename T>
    T number(std::size_t at) {
        const auto value = at < words.size() ? Number<T>(words[at]) : std::nullopt;
        ok = ok && value.has_value();
        return value.value_or(T{});
    }
    bool flag(std::size_t at) {
        const auto value = at < words.size() ? OnOff(words[at]) : std::nullopt;
        ok = ok && value.has_value();
        return value.value_or(false);
    }
    std::string text(std::size_t at) {
        ok = ok && at < words.size();
        return Rest(words, at);
    }
    std::optional<std::string> result() const { return ok ? std::nullopt : std::optional(Bad(words)); }
};

std::optional<DeviceConfig> Preset(const std::string& model, std::uint8_t address) {
    auto config = ModelConfig(model);
    if (config) config->address = address;
    return config;
}

std::optional<Channel> ChannelNamed(const std::string& name) {
    if (name == "p1") return Channel::P1;
    if (name == "p2") return Channel::P2;
    if (name == "temperature") return Channel::Temperature;
    return std::nullopt;
}

std::optional<std::string> SetBehaviour(ChannelBehaviour& behaviour, const Words& w) {
    Args args{w};
    behaviour.value = args.number<float>(1);
    if (w.size() > 2) behaviour.noise = args.number<float>(2);
    if (w.size() > 3) behaviour.driftPerSecond = args.number<float>(3);
    return args.result();
}

std::optional<std::string> SetLimits(PressureInputConfig& input, const Words& w) {
    Args args{w};
    input.lowerLimit = args.number<float>(1);
    input.upperLimit = args.number<float>(2);
    return args.result();
}

std::optional<std::string> SetFault(Faults& faults, const Words& w) {
    Args args{w};
    const std::string kind = w.size() > 1 ? w[1] : "";
    if (kind == "none") faults = {};
    else if (kind == "silent") faults.silent = true;
    else if (kind == "bad-crc") faults.corruptReplyCrc = true;
    else if (kind == "cut") faults.cutReplyTo = args.number<std::size_t>(2);
    else if (kind == "overstate") faults.overstatePayloadLength = args.number<std::uint8_t>(2);
    else if (kind == "delay") faults.replyDelay = std::chrono::milliseconds(args.number<std::uint32_t>(2));
    else if (kind == "drop-after-blocks") faults.dropLineAfterLogBlocks = args.number<std::size_t>(2);
    else if (kind == "garbage") {
        faults.garbageBefore.clear();
        for (std::size_t i = 2; i < w.size(); ++i) faults.garbageBefore.push_back(args.number<std::uint8_t>(i));
        args.ok = args.ok && w.size() > 2;
    } else if (kind == "status") {
        const std::string command = w.size() > 2 ? w[2] : "";
        const auto colon = command.find(':');
        StatusOverride forced;
        forced.command.command1 = Number<std::uint8_t>(command.substr(0, colon)).value_or(0);
        args.ok = args.ok && Number<std::uint8_t>(command.substr(0, colon)).has_value();
        if (colon != std::string::npos) {
            forced.command.command2 = Number<std::uint8_t>(command.substr(colon + 1));
            args.ok = args.ok && forced.command.command2.has_value();
        }
        forced.status = args.number<std::uint8_t>(3);
        faults.statusFor.push_back(forced);
    } else return Bad(w);
    return args.result();
}

std::optional<std::string> AddLog(DeviceConfig& config, const Words& w) {
    Args args{w};
    const auto samples = args.number<std::uint32_t>(2);
    const auto interval = args.number<std::int32_t>(3);
    if (!args.ok || w[1].size() > 13) return Bad(w);
    config.logs.push_back(PressureLogDescription(w[1], samples, interval));
    config.hasLogStore = true;
    return std::nullopt;
}

// A setting that stores its one argument, read by `read`, in a field of the device.
template <typename Field, typename Read>
Handler Store(Field field, Read read) {
    return [field, read](LineSpec&, DeviceSpec& d, const Words& w) {
        Args args{w};
        d.config.*field = (args.*read)(1);
        return args.result();
    };
}

template <typename Field>
Handler Text(Field field) {
    return Store(field, &Args::text);
}

template <typename Field>
Handler Flag(Field field) {
    return Store(field, &Args::flag);
}

const std::map<std::string, Handler>& Handlers() {
    static const std::map<std::string, Handler> handlers{
        {"device", [](LineSpec& s, DeviceSpec&, const Words& w) -> std::optional<std::string> {
             Args args{w};
             const auto address = args.number<std::uint8_t>(2);
             const auto config = args.ok ? Preset(w[1], address) : std::nullopt;
             if (!config) return Bad(w);
             s.devices.push_back({*config, {}, {}});
             return std::nullopt;
         }},
        {"model", [](LineSpec&, DeviceSpec& d, const Words& w) -> std::optional<std::string> {
             const auto config = w.size() == 2 ? Preset(w[1], d.config.address) : std::nullopt;
             if (!config) return Bad(w);
             d.config = *config;
             return std::nullopt;
         }},
        {"address", [](LineSpec&, DeviceSpec& d, const Words& w) {
             Args args{w};
             d.config.address = args.number<std::uint8_t>(1);
             args.ok = args.ok && d.config.address >= 1 && d.config.address <= 254;
             return args.result();
         }},
        {"serial", Text(&DeviceConfig::serialNumber)},
        {"version", Text(&DeviceConfig::version)},
        {"model-name", Text(&DeviceConfig::modelName)},
        {"model-code", Text(&DeviceConfig::modelCode)},
        {"third-id", Text(&DeviceConfig::thirdIdentification)},
        {"description", Text(&DeviceConfig::description)},
        {"tag", Text(&DeviceConfig::tag)},
        {"asset", Text(&DeviceConfig::asset)},
        {"manufacturing", Text(&DeviceConfig::manufacturingRecord)},
        {"p1", [](LineSpec&, DeviceSpec& d, const Words& w) { return SetBehaviour(d.config.p1.behaviour, w); }},
        {"p2", [](LineSpec&, DeviceSpec& d, const Words& w) { return SetBehaviour(d.config.p2.behaviour, w); }},
        {"temperature", [](LineSpec&, DeviceSpec& d, const Words& w) { return SetBehaviour(d.config.temperature, w); }},
        {"p1-limits", [](LineSpec&, DeviceSpec& d, const Words& w) { return SetLimits(d.config.p1, w); }},
        {"p2-limits", [](LineSpec&, DeviceSpec& d, const Words& w) { return SetLimits(d.config.p2, w); }},
        {"pressure-unit", [](LineSpec&, DeviceSpec& d, const Words& w) {
             Args args{w};
             d.config.pressureUnit = args.number<std::uint8_t>(1);
             args.ok = args.ok && FindUnit(d.config.pressureUnit) && !FindUnit(d.config.pressureUnit)->temperature;
             return args.result();
         }},
        {"temperature-unit", [](LineSpec&, DeviceSpec& d, const Words& w) {
             Args args{w};
             d.config.temperatureUnit = args.number<std::uint8_t>(1);
             args.ok = args.ok && FindUnit(d.config.temperatureUnit) && FindUnit(d.config.temperatureUnit)->temperature;
             return args.result();
         }},
        {"status", [](LineSpec&, DeviceSpec& d, const Words& w) {
             Args args{w};
             const auto channel = w.size() > 1 ? ChannelNamed(w[1]) : std::nullopt;
             const auto code = args.number<std::uint8_t>(2);
             args.ok = args.ok && channel.has_value();
             if (args.ok) d.statuses[static_cast<std::size_t>(*channel)] = code;
             return args.result();
         }},
        {"seed", [](LineSpec&, DeviceSpec& d, const Words& w) {
             Args args{w};
             d.config.seed = args.number<std::uint64_t>(1);
             return args.result();
         }},
        {"recal-points", [](LineSpec&, DeviceSpec& d, const Words& w) {
             Args args{w};
             d.config.recalibrationPoints = args.number<std::uint8_t>(1);
             return args.result();
         }},
        {"recal-allowed", Flag(&DeviceConfig::recalibrationAllowed)},
        {"smart-damping", Flag(&DeviceConfig::smartDamping)},
        {"collecting", Flag(&DeviceConfig::collectingData)},
        {"output-kind", [](LineSpec&, DeviceSpec& d, const Words& w) -> std::optional<std::string> {
             if (w.size() != 2 || (w[1] != "volts" && w[1] != "milliamps")) return Bad(w);
             d.config.outputKind = w[1] == "volts" ? 0x40 : 0x41;
             return std::nullopt;
         }},
        {"log", [](LineSpec&, DeviceSpec& d, const Words& w) { return AddLog(d.config, w); }},
        {"logs-clear", [](LineSpec&, DeviceSpec& d, const Words&) -> std::optional<std::string> {
             d.config.logs.clear();
             return std::nullopt;
         }},
        {"fault", [](LineSpec&, DeviceSpec& d, const Words& w) { return SetFault(d.faults, w); }},
        {"wire-time", [](LineSpec& s, DeviceSpec&, const Words& w) {
             Args args{w};
             s.timing.wireTime = args.flag(1);
             return args.result();
         }},
        {"baud", [](LineSpec& s, DeviceSpec&, const Words& w) {
             Args args{w};
             s.timing.baudRate = args.number<std::uint32_t>(1);
             args.ok = args.ok && s.timing.baudRate > 0;
             return args.result();
         }},
        {"turnaround", [](LineSpec& s, DeviceSpec&, const Words& w) {
             Args args{w};
             s.timing.turnaround = std::chrono::milliseconds(args.number<std::uint32_t>(1));
             return args.result();
         }},
    };
    return handlers;
}

}  // namespace

std::optional<std::string> ApplySetting(LineSpec& lineSpec, std::string_view line) {
    const Words words = Split(line);
    if (words.empty() || words[0].starts_with('#')) return std::nullopt;
    const auto handler = Handlers().find(words[0]);
    if (handler == Handlers().end()) return "unknown setting: " + words[0];
    return handler->second(lineSpec, lineSpec.devices.back(), words);
}

std::optional<std::string> ApplyScript(LineSpec& lineSpec, std::istream& script) {
    int number = 0;
    for (std::string line; std::getline(script, line);) {
        ++number;
        if (auto error = ApplySetting(lineSpec, line)) return "line " + std::to_string(number) + ": " + *error;
    }
    return std::nullopt;
}

void Populate(SimLine& line, const LineSpec& lineSpec) {
    line.timing = lineSpec.timing;
    for (const DeviceSpec& d : lineSpec.devices) {
        SimDevice& device = line.add(d.config);
        device.faults = d.faults;
        for (Channel channel : kAllChannels) device.live(channel).status = d.statuses[static_cast<std::size_t>(channel)];
    }
}

}  // namespace corvel::sim
