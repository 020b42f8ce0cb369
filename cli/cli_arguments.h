#pragma once
// Command-line arguments of corvelctl: the options every command knows, the
// arguments a command takes itself, and the checks of their values. Usage
// mistakes throw UsageError.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace CLI {
class App;
}  // namespace CLI

namespace corvel::cli {

// A mistake in the command line: exit status 2 with the message.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A failed device or file operation: exit status 1 (or the command's own
// status for trouble) with the message, and a hint of what to check or try
// next on a line of its own when there is one.
struct OperationError : std::runtime_error {
    using std::runtime_error::runtime_error;
    OperationError(const std::string& what, std::string hint) : std::runtime_error(what), hint(std::move(hint)) {}

    std::string hint;
    int exitStatus = 1;
};

struct GlobalOptions {
    std::string port = "COM1";
    std::uint32_t baudRate = 115200;
    std::uint8_t address = 40;
    bool json = false;
    bool trace = false;  // every exchange's bytes on the error stream
    bool acceptDamagedReplies = false;  // let replies that fail their checks through
};

// The options and arguments of the chosen command, once the whole command
// line has been read.
class Arguments {
public:
    explicit Arguments(const CLI::App& command) : command_(command) {}

    bool flag(const std::string& name) const;
    std::optional<std::string> value(const std::string& name) const;
    // A positional argument of the command: a usage error when it is missing.
    std::string positional(const std::string& name) const;

private:
    const CLI::App& command_;
};

// The number of a COM port argument ("COM3", "com12", "\\.\COM100"; any
// number, also outside the ports there are), or nothing for another name.
std::optional<long long> ComArgumentNumber(std::string_view name);

std::string ParsePortName(const std::string& name);
std::uint32_t ParseLineSpeed(const std::string& text);

// Whole decimal numbers in a range, for option values.
long long ParseInteger(const std::string& text, long long low, long long high, const std::string& what);
double ParseSeconds(const std::string& text, const std::string& what);

}  // namespace corvel::cli
