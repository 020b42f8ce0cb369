#include "cli/cli_arguments.h"

#include <CLI/App.hpp>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <iterator>
#include <string_view>

#include "common/number_format.h"
#include "link/port_names.h"

namespace corvel::cli {

namespace {

// The line speeds a serial port can be set to.
constexpr std::uint32_t kLineSpeeds[] = {300,    600,    1200,   2400,   4800,    9600,    19200,
                                         38400,  57600,  115200, 230400, 460800,  500000,  576000,
                                         921600, 1000000, 1152000, 1500000, 2000000};

}  // namespace

std::uint32_t ParseLineSpeed(const std::string& text) {
    const auto rate = static_cast<std::uint32_t>(ParseInteger(text, 1, 4000000, "--baud"));
    if (std::find(std::begin(kLineSpeeds), std::end(kLineSpeeds), rate) != std::end(kLineSpeeds)) return rate;
    std::string speeds;
    for (const std::uint32_t speed : kLineSpeeds) speeds += (speeds.empty() ? "" : ", ") + std::to_string(speed);
    throw UsageError("--baud " + text + ": no serial line runs at that speed; use one of " + speeds);
}

std::string ParsePortName(const std::string& name) {
    if (name.empty()) throw UsageError("--port needs a port name");
    if (const auto number = ComArgumentNumber(name); number && (*number < kFirstPort || *number > kLastPort))
        throw UsageError("--port " + name + ": the serial ports are COM1 to COM100");
    return name;
}

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

bool Arguments::flag(const std::string& name) const { return command_.count(name) > 0; }

std::optional<std::string> Arguments::value(const std::string& name) const {
    const CLI::Option* option = command_.get_option(name);
    if (option->count() == 0) return std::nullopt;
    return option->as<std::string>();
}

std::string Arguments::positional(const std::string& name) const {
    auto given = value(name);
    if (!given) throw UsageError("missing " + name);
    return *given;
}

}  // namespace corvel::cli
