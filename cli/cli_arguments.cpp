#include "cli/cli_arguments.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <iterator>
#include <string_view>

#include "common/number_format.h"
#include "link/port_names.h"

namespace corvel::cli {

namespace {

bool IsOption(const std::string& item) { return item.size() > 1 && item[0] == '-'; }

// The line speeds a serial port can be set to.
constexpr std::uint32_t kLineSpeeds[] = {300,    600,    1200,   2400,   4800,    9600,    19200,
                                         38400,  57600,  115200, 230400, 460800,  500000,  576000,
                                         921600, 1000000, 1152000, 1500000, 2000000};

std::uint32_t ParseLineSpeed(const std::string& text) {
    const auto rate = static_cast<std::uint32_t>(ParseInteger(text, 1, 4000000, "--baud"));
    if (std::find(std::begin(kLineSpeeds), std::end(kLineSpeeds), rate) != std::end(kLineSpeeds)) return rate;
    std::string speeds;
    for (const std::uint32_t speed : kLineSpeeds) speeds += (speeds.empty() ? "" : ", ") + std::to_string(speed);
    throw UsageError("--baud " + text + ": no serial line runs at that speed; use one of " + speeds);
}

// Removes "--name VALUE" or "--name=VALUE" from `items`.
std::optional<std::string> TakeOptionValue(std::vector<std::string>& items, const std::string& name) {
    for (auto it = items.begin(); it != items.end(); ++it) {
        if (*it == name) {
            if (std::next(it) == items.end()) throw UsageError("option " + name + " needs a value");
            std::string value = *std::next(it);
            items.erase(it, std::next(it, 2));
            return value;
        }
        if (it->rfind(name + "=", 0) == 0) {
            std::string value = it->substr(name.size() + 1);
            items.erase(it);
            return value;
        }
    }
    return std::nullopt;
}

bool TakeOptionFlag(std::vector<std::string>& items, const std::string& name) {
    const auto it = std::find(items.begin(), items.end(), name);
    if (it == items.end()) return false;
    items.erase(it);
    return true;
}

std::string ParsePortName(const std::string& name) {
    if (name.empty()) throw UsageError("--port needs a port name");
    if (const auto number = ComArgumentNumber(name); number && (*number < kFirstPort || *number > kLastPort))
        throw UsageError("--port " + name + ": the serial ports are COM1 to COM100");
    return name;
}

}  // namespace

std::optional<long long> ComArgumentNumber(std::string_view name) {
    if (name.starts_with("\\\\.\\")) name.remove_prefix(4);
    if (name.size() < 4 || name.size() > 12) return std::nullopt;
    for (std::size_t i = 0; i < 3; ++i)
        if (std::toupper(static_cast<unsigned char>(name[i])) != "COM"[i]) return std::nullopt;
    return ParseWholeText<long long>(name.substr(3), {.minus = false});
}

long long ParseInteger(const std::string& text, long long low, long long high, const std::string& what) {
    const auto value = ParseWholeText<long long>(text, {.min = low, .max = high});
    if (!value)
        throw UsageError(what + " must be a whole number from " + std::to_string(low) + " to " +
                         std::to_string(high) + ", not \"" + text + "\"");
    return *value;
}

double ParseSeconds(const std::string& text, const std::string& what) {
    const auto value = ParseWholeText<double>(text);
    if (!value || !std::isfinite(*value) || *value < 0.0)
        throw UsageError(what + " must be a number of seconds, not \"" + text + "\"");
    return *value;
}

GlobalOptions TakeGlobalOptions(std::vector<std::string>& args) {
    GlobalOptions options;
    if (auto port = TakeOptionValue(args, "--port")) options.port = ParsePortName(*port);
    if (auto baud = TakeOptionValue(args, "--baud")) options.baudRate = ParseLineSpeed(*baud);
    if (auto address = TakeOptionValue(args, "--address"))
        options.address = static_cast<std::uint8_t>(ParseInteger(*address, 1, 254, "--address"));
    options.json = TakeOptionFlag(args, "--json");
    options.trace = TakeOptionFlag(args, "--trace");
    options.acceptDamagedReplies = TakeOptionFlag(args, "--accept-damaged-replies");
    options.help = TakeOptionFlag(args, "--help") | TakeOptionFlag(args, "-h");
    options.version = TakeOptionFlag(args, "--version");
    return options;
}

bool Arguments::takeFlag(const std::string& name) { return TakeOptionFlag(items_, name); }

std::optional<std::string> Arguments::takeValue(const std::string& name) { return TakeOptionValue(items_, name); }

std::string Arguments::takePositional(const std::string& what) {
    auto value = takeOptionalPositional();
    if (!value) throw UsageError("missing " + what);
    return *value;
}

std::optional<std::string> Arguments::takeOptionalPositional() {
    const auto it = std::find_if(items_.begin(), items_.end(), [](const std::string& item) { return !IsOption(item); });
    if (it == items_.end()) return std::nullopt;
    std::string value = *it;
    items_.erase(it);
    return value;
}

void Arguments::finish() const {
    if (items_.empty()) return;
    const std::string& item = items_.front();
    throw UsageError((IsOption(item) ? "unknown option \"" : "unexpected argument \"") + item + "\"");
}

}  // namespace corvel::cli
