#include "cli_arguments.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace corvel::cli {

namespace {

bool IsOption(const std::string& item) { return item.size() > 1 && item[0] == '-'; }

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

}  // namespace

long long ParseInteger(const std::string& text, long long low, long long high, const std::string& what) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < low || value > high)
        throw UsageError(what + " must be a whole number from " + std::to_string(low) + " to " +
                         std::to_string(high) + ", not \"" + text + "\"");
    return value;
}

double ParseSeconds(const std::string& text, const std::string& what) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value) || value < 0.0)
        throw UsageError(what + " must be a number of seconds, not \"" + text + "\"");
    return value;
}

GlobalOptions TakeGlobalOptions(std::vector<std::string>& args) {
    GlobalOptions options;
    if (auto port = TakeOptionValue(args, "--port")) {
        if (port->empty()) throw UsageError("--port needs a port name");
        options.port = *port;
    }
    if (auto baud = TakeOptionValue(args, "--baud"))
        options.baudRate = static_cast<std::uint32_t>(ParseInteger(*baud, 1, 4000000, "--baud"));
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
    if (!items_.empty()) throw UsageError("unexpected argument \"" + items_.front() + "\"");
}

}  // namespace corvel::cli
